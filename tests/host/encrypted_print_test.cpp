// Encrypted secure print through zepdrv: the password asked for at print time, the one stored through printing
// preferences, IC card jobs; each job decodes on the printer's side to the job the same settings give unencrypted,
// and Ghostscript renders it. A job that cannot get its key leaves no output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host_test_util.h"

using namespace host_test;

namespace {

class EncryptedPrint : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Each test installs afresh: the printer keeps no settings and the card reader holds no card.
        root_ = TempDir("encrypted-root-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        RunResult r = Zepdrv("install");
        ASSERT_EQ(r.code, 0) << r.err;
    }

    RunResult Zepdrv(const std::string &args) { return RunZepdrv(root_, args, "encrypted-run"); }

    static std::string Sample() { return (SourceDir() / "driver" / "samples" / "sample.ps").string(); }

    // Prints the sample; the job's bytes, or "" with a test failure.
    std::string Print(const std::string &args)
    {
        const fs::path out = TempDir("encrypted-out") / "job.prn";
        fs::remove(out);
        RunResult r = Zepdrv("print " + args + " " + Quote(Sample()) + " -O " + Quote(out.string()));
        EXPECT_EQ(r.code, 0) << r.err;
        return ReadFile(out);
    }

    // The printer's side: the clear job, or "" with a test failure.
    static std::string Decode(const std::string &job, const std::string &keyArgs)
    {
        const fs::path dir = TempDir("encrypted-decode");
        WriteFile(dir / "job.prn", job);
        fs::remove(dir / "clear.prn");
        const std::string command = Quote((BuildDir() / "companions" / "decrypt" / "zepdecrypt").string()) + " " +
                                    Quote((dir / "job.prn").string()) + " -O " + Quote((dir / "clear.prn").string()) +
                                    " " + keyArgs + " 2>" + Quote((dir / "err.txt").string());
        EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "err.txt");
        return ReadFile(dir / "clear.prn");
    }

    // The card the reader beside the installed capability file holds.
    void InsertCard(const std::string &config)
    {
        WriteFile(root_ / "c" / "WINDOWS" / "System32" / "spool" / "DRIVERS" / "x64" / "3" / "ZepCard.ini", config);
    }

    fs::path root_;
};

// From the PostScript on: what the job header does not decide.
std::string PostScript(const std::string &job)
{
    const size_t at = job.find("%!PS-Adobe");
    return at == std::string::npos ? std::string() : job.substr(at);
}

// Ghostscript renders the job's PostScript (up to the PJL trailer) without an error.
void ExpectRenders(const std::string &job)
{
    std::string ps = PostScript(job);
    ps = ps.substr(0, ps.find("\x1b%-12345X"));
    const fs::path dir = TempDir("encrypted-gs");
    WriteFile(dir / "job.ps", ps);
    const std::string command = "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage " + Quote((dir / "job.ps").string()) +
                                " >" + Quote((dir / "gs.txt").string()) + " 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << ReadFile(dir / "gs.txt");
}

TEST_F(EncryptedPrint, APromptedPasswordDecodesToTheClearJob)
{
    const std::string job = Print("-o ZPJobLimit=True --password 1234");
    EXPECT_EQ(job.find("%!PS-Adobe"), std::string::npos) << "nothing of the document in clear";
    const std::string clear = Decode(job, "--password 1234");
    const std::string plain = Print("-o ZPJobLimit=False");
    ASSERT_FALSE(PostScript(clear).empty());
    EXPECT_EQ(PostScript(clear), PostScript(plain));
    ExpectRenders(clear);
}

TEST_F(EncryptedPrint, AJobWithoutItsKeyStopsWithoutOutput)
{
    const struct {
        const char *name;
        std::string args;
        const char *message;
    } cases[] = {
        {"no password", "-o ZPJobLimit=True", "asked for a password; give one with --password PASSWORD"},
        {"a password the prompt refuses", "-o ZPJobLimit=True --password " + Quote("with space"),
         "the password prompt refused the reply: Enter a password"},
        {"an empty password", "-o ZPJobLimit=True --password ''", "--password wants a password"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path out = TempDir("encrypted-stop") / "job.prn";
        RunResult r = Zepdrv("print " + c.args + " " + Quote(Sample()) + " -O " + Quote(out.string()));
        EXPECT_NE(r.code, 0);
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(out));
    }
    // A reader without a card: the printer gets a clean end of the job, which the spooler then drops.
    InsertCard("[CardDriver]\r\nInstalled=1\r\n");
    const fs::path out = TempDir("encrypted-stop") / "card.prn";
    RunResult r = Zepdrv("print -o ZPJob_Type=Secure " + Quote(Sample()) + " -O " + Quote(out.string()));
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(r.err, "zepdrv: the job was cancelled while it was written\n");
    EXPECT_FALSE(fs::exists(out));
}

TEST_F(EncryptedPrint, AnIcCardJobDecodesWithTheCardsData)
{
    InsertCard("[CardDriver]\r\nInstalled=1\r\nCardData=00112233445566778899aabbccddeeff\r\n");
    const std::string job = Print("-o ZPJob_Type=Secure -s wszJobPassword=1234");
    EXPECT_NE(job.find("@PJL COMMENT ICCARDJOB\r\n"), std::string::npos);
    const std::string clear = Decode(job, "--card-data 00112233445566778899aabbccddeeff");
    EXPECT_NE(clear.find("@PJL COMMENT Device Name :Zep CL500 PS\r\n"), std::string::npos) << "the card's header";
    ExpectRenders(clear);
    const fs::path dir = TempDir("encrypted-wrong-card");
    WriteFile(dir / "job.prn", job);
    EXPECT_NE(std::system((Quote((BuildDir() / "companions" / "decrypt" / "zepdecrypt").string()) + " " +
                           Quote((dir / "job.prn").string()) + " -O " + Quote((dir / "clear.prn").string()) +
                           " --card-data 00112233445566778899aabbccddeefe 2>/dev/null")
                              .c_str()),
              0);
}

TEST_F(EncryptedPrint, APasswordStoredThroughPrintingPreferences)
{
    // Job Options with the printer's job limitation on: the password button opens the library's dialog, where the
    // password is stored (on this Windows version the print-time prompt is not offered).
    RunResult r = Zepdrv("prefs -o ZPJobLimit=True --do 'page Job Options' --do 'click 1512' "
                         "--do 'type 1001 Secret12' --do 'click 1' --do apply");
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string job = Print("");
    const std::string clear = Decode(job, "--password Secret12");
    const std::string plain = Print("-o ZPJobLimit=False");
    ASSERT_FALSE(PostScript(clear).empty());
    EXPECT_EQ(PostScript(clear), PostScript(plain));
    ExpectRenders(clear);
}

} // namespace
