// zepdrv printing secure and spool jobs: the password and job name lines, crafted fields, and the job-name prompt.
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host_test_util.h"

using namespace host_test;

namespace {

class SecurePrintJob : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        root_ = TempDir("secure-root");
        RunResult r = Run("install");
        ASSERT_EQ(r.code, 0) << r.err;
    }

    static RunResult Run(const std::string &args) { return RunZepdrv(root_, args, "secure-run"); }

    // Prints the sample with the given options; the job's bytes, or "" with a test failure.
    static std::string Print(const std::string &name, const std::string &args)
    {
        fs::path out = TempDir("secure-" + name) / "job.prn";
        RunResult r = Run("print -J Report " + args + " " + Quote(Sample()) + " -O " + Quote(out.string()));
        EXPECT_EQ(r.code, 0) << r.err;
        return ReadFile(out);
    }

    static std::string Sample() { return (SourceDir() / "driver" / "samples" / "sample.ps").string(); }

    static fs::path root_;
};
fs::path SecurePrintJob::root_;

// The PJL header: everything before the switch to PostScript.
std::string Header(const std::string &job)
{
    size_t enter = job.find("@PJL ENTER LANGUAGE=POSTSCRIPT\n");
    return enter == std::string::npos ? std::string() : job.substr(0, enter);
}

TEST_F(SecurePrintJob, PasswordAndJobNameLines)
{
    const struct {
        const char *name;
        std::string args;
        std::string lines;
    } cases[] = {
        {"secure", "-o ZPJob_Type=Secure -s wszJobName=Quarterly -s wszJobPassword=1234",
         "\x1b%-12345X@PJL ZEPSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Quarterly\"\r\n"},
        {"spool", "-o ZPJob_Type=Spool -s wszJobName=Archive -s wszJobPassword=0042",
         "\x1b%-12345X@PJL ZEPSECURE PASSWORD=0042 PERMANENT=ON\r\n@PJL JOB NAME=\"Archive\"\r\n"},
        {"normal", "-o ZPJob_Type=Normal -s wszJobName=Quarterly -s wszJobPassword=1234",
         "\x1b%-12345X@PJL ZEPSPOOL MODE=ALL\r\n@PJL JOB NAME=\"Report\"\r\n"},
        {"crafted name and PIN",
         "-o ZPJob_Type=Secure -s " + Quote("wszJobName=a\r\n@PJL RESET\"") + " -s " + Quote("wszJobPassword=1\r\n2"),
         "\x1b%-12345X@PJL ZEPSECURE PASSWORD=12\r\n@PJL JOB NAME=\"a@PJL RESET\"\r\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string header = Header(Print(c.name, c.args));
        EXPECT_EQ(header.rfind(c.lines, 0), 0u) << header;
        EXPECT_EQ(header.find("\r\n@PJL RESET"), std::string::npos);
    }
}

TEST_F(SecurePrintJob, ThePromptIsAnsweredFromTheCommandLine)
{
    std::string header = Header(Print("reply", "-o ZPJob_Type=Secure -s wszJobName=Stored -s wszJobPassword=1234 "
                                               "-s dwAskJobName=1 --reply Typed"));
    EXPECT_NE(header.find("@PJL ZEPSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Typed\"\r\n"), std::string::npos)
        << header;

    // A reply the prompt filters arrives as the prompt keeps it.
    header = Header(Print("filtered", "-o ZPJob_Type=Spool -s dwAskJobName=1 --reply " + Quote("Ty\"ped")));
    EXPECT_NE(header.find("@PJL JOB NAME=\"Typed\"\r\n"), std::string::npos) << header;
}

TEST_F(SecurePrintJob, AnUnansweredPromptStopsTheJob)
{
    const struct {
        const char *name;
        std::string args;
        const char *message;
    } cases[] = {
        {"no reply", "-o ZPJob_Type=Secure -s dwAskJobName=1", "asked for a job name"},
        {"empty reply", "-o ZPJob_Type=Secure -s dwAskJobName=1 --reply ''", "--reply wants a job name"},
        {"reply the prompt cannot take", "-o ZPJob_Type=Secure -s dwAskJobName=1 --reply " + Quote("\"\""),
         "Input Job Name"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fs::path out = TempDir("secure-stop") / "job.prn";
        RunResult r = Run("print " + c.args + " " + Quote(Sample()) + " -O " + Quote(out.string()));
        EXPECT_NE(r.code, 0);
        EXPECT_EQ(r.err.rfind("zepdrv: ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
    // Without the prompt flag a reply is simply not needed.
    std::string header = Header(Print("unused", "-o ZPJob_Type=Secure -s wszJobName=Stored --reply Typed"));
    EXPECT_NE(header.find("@PJL JOB NAME=\"Stored\"\r\n"), std::string::npos) << header;
}

} // namespace
