// Paths the host tests share: the source tree, the build tree and a scratch folder per test program run.
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace host_test {

namespace fs = std::filesystem;

// ZEP_SOURCE_DIR / ZEP_BUILD_DIR come from ctest; run by hand, the paths follow from this file and the executable.
inline fs::path SourceDir()
{
    if (const char *dir = std::getenv("ZEP_SOURCE_DIR")) return dir;
    return fs::path(__FILE__).parent_path().parent_path().parent_path();
}

inline fs::path BuildDir()
{
    if (const char *dir = std::getenv("ZEP_BUILD_DIR")) return dir;
    return fs::read_symlink("/proc/self/exe").parent_path().parent_path().parent_path();
}

// Scratch space of this run; removed when the program ends.
inline fs::path TempRoot() { return fs::temp_directory_path() / ("zep-host-test-" + std::to_string(::getpid())); }

inline fs::path TempDir(const std::string &name)
{
    fs::path dir = TempRoot() / name;
    fs::create_directories(dir);
    return dir;
}

struct RemoveTempRoot : ::testing::Environment {
    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(TempRoot(), ec);
    }
};
inline ::testing::Environment *const kRemoveTempRoot = ::testing::AddGlobalTestEnvironment(new RemoveTempRoot);

inline std::string ReadFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

inline void WriteFile(const fs::path &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

// `s` as one shell word, whatever it holds.
inline std::string Quote(const std::string &s)
{
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct RunResult {
    int code;
    std::string out;
    std::string err;
};

// Runs the built zepdrv on the root folder `root` with `args` (shell syntax); its exit code and what it printed.
// A run that hangs is stopped after two minutes (exit code 124).
inline RunResult RunZepdrv(const fs::path &root, const std::string &args, const std::string &scratch = "run")
{
    fs::path dir = TempDir(scratch);
    std::string command = "timeout 120 " + Quote((BuildDir() / "host" / "zepdrv").string()) + " --root " + Quote(root.string()) + " " +
                          args + " >" + Quote((dir / "out.txt").string()) + " 2>" + Quote((dir / "err.txt").string());
    int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(dir / "out.txt"), ReadFile(dir / "err.txt")};
}

} // namespace host_test
