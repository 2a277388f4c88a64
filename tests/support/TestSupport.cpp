#include "support/TestSupport.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace orven::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "orven-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

ProcessResult RunProcess(const std::string& commandLine, const std::string& workDir) {
    TempDir capture;
    const std::string outPath = capture.File("out"), errPath = capture.File("err");
    // The radio archive of every program run here lives in the folder it runs in.
    const std::string full = "cd '" + workDir + "' && export XDG_DATA_HOME='" + workDir + "/" + kArchiveHome +
                             "' && " + commandLine + " >'" + outPath + "' 2>'" + errPath + "' </dev/null";
    const int status = std::system(full.c_str());
    ProcessResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(outPath);
    r.err = ReadText(errPath);
    return r;
}

ProcessResult RunCli(const std::string& arguments, const std::string& workDir) {
    return RunProcess(std::string("'") + ORVEN_CLI_PATH + "' " + arguments, workDir);
}

}  // namespace orven::test
