// A fresh folder per test, and helpers to look at what the code under test left in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace orven::testing {

class FilesTestDir : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "orven-files-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        chmod(dir_.c_str(), 0700);
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(dir_))
            names.insert(e.path().filename().string());
        return names;
    }

    static std::vector<std::uint8_t> ReadBytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    static void WriteBytes(const std::string& path, const void* data, std::size_t size) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        ASSERT_TRUE(out.good()) << path;
    }

    static mode_t ModeOf(const std::string& path) {
        struct stat info{};
        stat(path.c_str(), &info);
        return info.st_mode & 07777;
    }

    // Runs check where file permissions are enforced: in place for a normal user, in a child
    // process switched to "nobody" when running as root (root ignores them). nullopt when the
    // switch is impossible. The folder is opened up for reading so that "nobody" can reach it.
    std::optional<bool> WithPermissionsEnforced(const std::function<bool()>& check) {
        if (geteuid() != 0) return check();
        chmod(dir_.c_str(), ModeOf(dir_) | 0055);
        const pid_t child = fork();
        if (child < 0) return std::nullopt;
        if (child == 0) {
            constexpr uid_t kNobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
                _exit(kCannotSwitch);
            _exit(check() ? 0 : 1);
        }
        int status = 0;
        if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return false;
        if (WEXITSTATUS(status) == kCannotSwitch) return std::nullopt;
        return WEXITSTATUS(status) == 0;
    }

    std::string dir_;

private:
    static constexpr int kCannotSwitch = 77;
};

}  // namespace orven::testing
