// Small helpers the test suites share: a scratch folder, whole-file I/O, running a program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orven::test {

// A fresh folder under the system's temp directory, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::vector<std::uint8_t> ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteText(const std::string& path, const std::string& text);

// Where a program run by RunProcess keeps its radio archive, under the folder it runs in.
inline constexpr const char* kArchiveHome = ".data";
inline constexpr const char* kArchiveFolder = ".data/orven-clone/archive";
inline constexpr const char* kDemoArchiveFolder = ".data/orven-clone/demo-archive";

// Runs a shell command line in a folder; captures stdout and stderr, returns the exit code.
struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};
ProcessResult RunProcess(const std::string& commandLine, const std::string& workDir);

// Runs orven-cli with the given arguments (already quoted as needed) in a folder.
ProcessResult RunCli(const std::string& arguments, const std::string& workDir);

}  // namespace orven::test
