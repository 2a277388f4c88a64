// A fresh folder per test, helpers to look at what the code under test left in it, and checks run
// in a child process under limits.
#pragma once

#include "support/Documents.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace orven::testing {

class FilesTestDir : public ::testing::Test {
protected:
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_)) names.insert(e.path().filename().string());
        return names;
    }

    static std::vector<std::uint8_t> ReadBytes(const std::string& path) { return test::ReadBytes(path); }
    static void WriteBytes(const std::string& path, const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        test::WriteBytes(path, std::vector<std::uint8_t>(bytes, bytes + size));
    }

    static mode_t ModeOf(const std::string& path) {
        struct stat info{};
        stat(path.c_str(), &info);
        return info.st_mode & 07777;
    }

    // What a child process is put under before it runs a check: file permissions that apply
    // even to root, or a file size limit past which a write fails (as on a full disk) or kills.
    enum class ChildLimit { NobodyUser, FileSizeErrors, FileSizeKills };
    enum class ChildEnd { Passed, Failed, KilledBySizeLimit, OtherDeath, CannotSwitchUser };

    static ChildEnd InChild(ChildLimit limit, const std::function<bool()>& check) {
        const pid_t child = fork();
        if (child < 0) return ChildEnd::OtherDeath;
        if (child == 0) _exit(ApplyLimit(limit) ? (check() ? 0 : 1) : kCannotSwitch);
        int status = 0;
        if (waitpid(child, &status, 0) != child) return ChildEnd::OtherDeath;
        if (WIFSIGNALED(status))
            return WTERMSIG(status) == SIGXFSZ ? ChildEnd::KilledBySizeLimit : ChildEnd::OtherDeath;
        if (!WIFEXITED(status)) return ChildEnd::OtherDeath;
        if (WEXITSTATUS(status) == kCannotSwitch) return ChildEnd::CannotSwitchUser;
        return WEXITSTATUS(status) == 0 ? ChildEnd::Passed : ChildEnd::Failed;
    }

    // Puts save (true when it reports success, and then the file differs from before) through
    // a full disk, a kill part-way through and a folder that takes no new entries. Each time
    // the file at path must keep its bytes; a process that lives on must report the failure
    // and leave no temporary behind; after the kill a new save must still go through.
    void ExpectFailedSavesKeepTheFile(const std::string& path, const std::function<bool()>& save) {
        const auto refused = [&] { return !save(); };
        const auto earlier = ReadBytes(path);
        const auto entries = Entries();
        EXPECT_EQ(InChild(ChildLimit::FileSizeErrors, refused), ChildEnd::Passed) << "full disk";
        EXPECT_EQ(ReadBytes(path), earlier) << "full disk";
        EXPECT_EQ(Entries(), entries) << "full disk";

        EXPECT_EQ(InChild(ChildLimit::FileSizeKills, refused), ChildEnd::KilledBySizeLimit);
        EXPECT_EQ(ReadBytes(path), earlier) << "killed while saving";
        ASSERT_TRUE(save()) << "save after a killed one";
        const auto saved = ReadBytes(path);
        EXPECT_NE(saved, earlier);
        const auto entriesAfterKill = Entries();  // the killed process's temporary stays

        ASSERT_EQ(chmod(path.c_str(), 0666), 0);  // only the folder stands in the way
        ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
        const ChildEnd end = InChild(ChildLimit::NobodyUser, refused);
        ASSERT_EQ(chmod(dir_.c_str(), 0700), 0);
        if (end == ChildEnd::CannotSwitchUser) GTEST_SKIP() << "cannot run without root's file access";
        EXPECT_EQ(end, ChildEnd::Passed) << "read-only folder";
        EXPECT_EQ(ReadBytes(path), saved) << "read-only folder";
        EXPECT_EQ(Entries(), entriesAfterKill) << "read-only folder";
    }

    test::TempDir temp_;
    const std::string dir_ = temp_.path();

private:
    static constexpr int kCannotSwitch = 77;
    static constexpr rlim_t kChildFileSizeLimit = 1024;

    // Runs in the child, before the check.
    static bool ApplyLimit(ChildLimit limit) {
        if (limit == ChildLimit::NobodyUser) {
            constexpr uid_t kNobody = 65534;
            if (geteuid() != 0) return true;
            return setgroups(0, nullptr) == 0 && setgid(kNobody) == 0 && setuid(kNobody) == 0;
        }
        std::signal(SIGXFSZ, limit == ChildLimit::FileSizeKills ? SIG_DFL : SIG_IGN);
        const rlimit noCore{0, 0};  // the kill is expected: no core file
        const rlimit size{kChildFileSizeLimit, kChildFileSizeLimit};
        return setrlimit(RLIMIT_CORE, &noCore) == 0 && setrlimit(RLIMIT_FSIZE, &size) == 0;
    }
};

}  // namespace orven::testing
