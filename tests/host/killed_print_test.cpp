// A print killed outright (SIGKILL) while it spools or delivers leaves nothing once the spooler starts again.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host_test_util.h"

extern char **environ;

using namespace host_test;

namespace {

// The sample's pages over and over: a document that takes a while to print.
fs::path BigDocument(size_t bytes)
{
    fs::path path = TempRoot() / "big.ps";
    if (fs::exists(path)) return path;
    std::string sample = ReadFile(SourceDir() / "driver" / "samples" / "sample.ps");
    size_t pages = sample.find("%%Page: 1 1"), trailer = sample.find("%%Trailer");
    std::string body = sample.substr(pages, trailer - pages);
    std::string doc = sample.substr(0, pages);
    while (doc.size() < bytes) doc += body;
    doc += sample.substr(trailer);
    WriteFile(path, doc);
    return path;
}

std::vector<std::string> Entries(const fs::path &dir)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto &e : fs::directory_iterator(dir, ec)) names.push_back(e.path().filename().string());
    return names;
}

// Starts `zepdrv print DOC -O OUT` on `root`, waits until `ready()` holds, then kills it outright. False when the
// print ended before.
bool KillPrintWhen(const fs::path &root, const fs::path &doc, const fs::path &out, const std::function<bool()> &ready)
{
    std::string zepdrv = (BuildDir() / "host" / "zepdrv").string();
    std::vector<std::string> args = {zepdrv, "--root", root.string(), "print", doc.string(), "-O", out.string()};
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawn(&pid, zepdrv.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    bool killed = false;
    for (int i = 0; i < 200000; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) return false;
        if (ready()) {
            kill(pid, SIGKILL);
            killed = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
    if (!killed) kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return killed;
}

class KilledPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = TempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_EQ(RunZepdrv(root_, "install").code, 0);
    }
    fs::path SpoolDir() const { return root_ / "c" / "WINDOWS" / "System32" / "spool" / "PRINTERS"; }
    fs::path JobsDir() const { return root_ / "spooler" / "jobs"; }
    // A new zepdrv process is the spooler starting again.
    void PrintAgain()
    {
        fs::path out = TempDir("again") / "sample.prn";
        RunResult r = RunZepdrv(root_, "print " + Quote((SourceDir() / "driver" / "samples" / "sample.ps").string()) +
                                           " -O " + Quote(out.string()));
        ASSERT_EQ(r.code, 0) << r.err;
    }
    fs::path root_;
};

} // namespace

TEST_F(KilledPrint, WhileSpoolingLeavesNoJobAndNoSpoolFile)
{
    fs::path doc = BigDocument(64u << 20);
    fs::path out = TempDir("spooling") / "out.prn";
    int kills = 0;
    for (int i = 0; i < 3; ++i) {
        std::vector<std::string> before = Entries(SpoolDir());
        kills += KillPrintWhen(root_, doc, out, [&] {
            std::error_code ec;
            for (const auto &e : fs::directory_iterator(SpoolDir(), ec))
                if (std::find(before.begin(), before.end(), e.path().filename()) == before.end() &&
                    fs::file_size(e.path(), ec) > 0)
                    return true;
            return false;
        });
    }
    ASSERT_GT(kills, 0) << "every print ended before it could be killed";
    EXPECT_FALSE(Entries(JobsDir()).empty()) << "the killed jobs are there until the spooler starts again";
    PrintAgain();
    EXPECT_EQ(Entries(JobsDir()), std::vector<std::string>{});
    EXPECT_EQ(Entries(SpoolDir()), std::vector<std::string>{});
    for (const std::string &name : Entries(root_ / "spooler")) EXPECT_EQ(name.find(".tmp."), std::string::npos) << name;
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(KilledPrint, WhileDeliveringLeavesNoTemporaryBesideTheOutput)
{
    // Delivery copies only across file systems; on one it renames the spool file, which leaves nothing to find.
    fs::path shm = "/dev/shm";
    struct stat a {}, b {};
    if (stat(shm.c_str(), &a) != 0 || stat(root_.c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system to deliver to";
    fs::path dir = shm / ("zep-killed-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path out = dir / "out.prn";
    WriteFile(out, "an earlier job\n");
    fs::path doc = BigDocument(64u << 20);
    bool killed = KillPrintWhen(root_, doc, out, [&] { return Entries(dir).size() > 1; });
    if (!killed) {
        fs::remove_all(dir);
        GTEST_SKIP() << "the delivery ended before it could be killed";
    }
    PrintAgain();
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"out.prn"});
    EXPECT_EQ(ReadFile(out), "an earlier job\n");
    EXPECT_EQ(Entries(JobsDir()), std::vector<std::string>{});
    fs::remove_all(dir);
}
