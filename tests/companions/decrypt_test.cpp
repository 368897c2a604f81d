// The printer-side decoder: framed jobs from the sample library decode to their clear bytes; damaged, truncated,
// wrongly keyed or wrongly framed jobs are refused with one line, and zepdecrypt then leaves no output.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "companions/crypt/zepcrypt.h"
#include "companions/decrypt/decode.h"
#include "host/core/session.h"
#include "host/core/text.h"
#include "crypt_module.h"
#include "tests/host/host_test_util.h"

using namespace host_test;
using zep::host::FunctionCast;
using zep::host::Widen;

namespace {

const std::string kUel = "\x1b%-12345X";
const std::string kJobEnd = "@PJL EOJ NAME = \"END\"\n" + kUel;
const std::string kClear = kUel + "@PJL JOB NAME=\"Memo\"\r\n@PJL ZEPAUXJOBINFO DATA=\"KeepingTime=02:00\"\r\n";

std::string Frame(const std::string &location, const std::string &payload)
{
    return "@PJL ZEPRESOURCEWRITE LOCATION=\"SecureJobAccessor:" + location + "\" SIZE=" +
           std::to_string(payload.size()) + "\n" + payload + kUel;
}

// The stream's pieces from the sample library, for a password at the lowest level.
struct Pieces {
    std::string header;
    std::vector<std::string> data;
    std::string mac;
};

class Decoder : public CryptModule {
protected:
    static Pieces Encrypt(const std::string &password, const std::vector<std::string> &blocks)
    {
        Pieces p;
        ZEPCRYPT_HANDLE h = Get<PFN_ZepCreateEncryption>("CreateEncryption")();
        ZepCryptInitRecord record{};
        record.dwCryptoMode = 1;
        std::memcpy(record.key, password.c_str(), password.size() + 1);
        BYTE *out = nullptr;
        DWORD size = 0;
        EXPECT_EQ(Get<PFN_ZepInitEncryption>("InitEncryption")(h, &record, &out, &size), 0);
        p.header.assign(reinterpret_cast<char *>(out), size);
        for (const std::string &b : blocks) {
            EXPECT_EQ(Get<PFN_ZepUpdateEncryption>("UpdateEncryption")(
                          h, reinterpret_cast<const BYTE *>(b.data()), static_cast<DWORD>(b.size()), &out, &size),
                      0);
            p.data.emplace_back(reinterpret_cast<char *>(out), size);
        }
        EXPECT_EQ(Get<PFN_ZepEndEncryption>("EndEncryption")(h, &out, &size), 0);
        p.mac.assign(reinterpret_cast<char *>(out), size);
        Get<PFN_ZepDeleteEncryption>("DeleteEncryption")(h);
        return p;
    }

    // The job as the gate frames it.
    static std::string Job(const Pieces &p, const std::string &clear = kClear)
    {
        std::string job = clear + Frame("write_start", p.header);
        for (const std::string &d : p.data) job += Frame("write", d);
        return job + Frame("write_end", p.mac) + kJobEnd;
    }

    static bool Decode(const std::string &job, const std::string &key, std::string &clear, std::string &error,
                       zepdecode::DecodedJob *info = nullptr)
    {
        zepdecode::DecodeOptions options;
        options.key = key;
        zepdecode::DecodedJob decoded;
        const bool ok = zepdecode::DecodeJob(job, clear, options, decoded, error);
        if (info) *info = decoded;
        return ok;
    }

};

const std::vector<std::string> kBlocks = {"\x1b%-12345X@PJL JOB NAME=\"Memo\"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n",
                                          "%!PS-Adobe-3.0\n72 720 moveto (Memo) show showpage\n",
                                          "\x1b%-12345X@PJL EOJ\r\n"};

TEST_F(Decoder, FramedJobsDecodeToTheirClearBytes)
{
    const Pieces p = Encrypt("1234", kBlocks);
    const struct {
        const char *name;
        std::string job;
        bool card;
    } cases[] = {
        {"with a clear header", Job(p), false},
        {"without one", Job(p, ""), false},
        {"an IC card job", Job(p, kClear + "@PJL COMMENT ICCARDJOB\r\n"), true},
        {"clear lines left empty where none was captured", Job(p, kUel + "@PJL JOB\r\n\r\n\r\n"), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string clear, error;
        zepdecode::DecodedJob info;
        ASSERT_TRUE(Decode(c.job, "1234", clear, error, &info)) << error;
        EXPECT_EQ(clear, kBlocks[0] + kBlocks[1] + kBlocks[2]);
        EXPECT_EQ(info.cardJob, c.card);
        EXPECT_EQ(info.clearBytes, clear.size());
    }
}

TEST_F(Decoder, DamagedTruncatedWronglyKeyedOrMisframedJobsAreRefused)
{
    const Pieces p = Encrypt("1234", kBlocks);
    const std::string good = Job(p);
    auto replaced = [&](const std::string &from, const std::string &to) {
        std::string job = good;
        job.replace(job.find(from), from.size(), to);
        return job;
    };
    std::string flipped = good;
    flipped[good.find(p.data[1]) + 3] ^= 0x20;
    std::string salt = good;
    salt[good.find(p.header) + 20] ^= 1;
    const std::string writeLine = "SecureJobAccessor:write\" SIZE=" + std::to_string(p.data[0].size()) + "\n";
    const struct {
        const char *name;
        std::string job;
        std::string key;
        const char *error; // part of the message
    } cases[] = {
        {"the wrong password", good, "1235", "does not verify"},
        {"a flipped ciphertext byte", flipped, "1234", "does not verify"},
        {"a changed salt", salt, "1234", "does not verify"},
        {"a plain job", kBlocks[0] + kBlocks[1], "1234", "not an encrypted job"},
        {"a plain job without a header", kBlocks[1], "1234", "resource write"},
        {"a foreign stream header", replaced("ZEC1", "ZEC2"), "1234", "header"},
        {"data after the job's end", good + "x", "1234", "follows the end"},
        {"no job end", good.substr(0, good.size() - kJobEnd.size()), "1234", "end is missing"},
        {"a SIZE with a leading zero", replaced(writeLine, "SecureJobAccessor:write\" SIZE=0" +
                                                               writeLine.substr(writeLine.find('=') + 1)),
         "1234", "malformed"},
        {"a SIZE that is no number", replaced(writeLine, "SecureJobAccessor:write\" SIZE=+5\n"), "1234", "malformed"},
        {"a SIZE beyond a DWORD", replaced(writeLine, "SecureJobAccessor:write\" SIZE=4294967296\n"), "1234",
         "malformed"},
        {"an empty write", replaced(Frame("write", p.data[0]), Frame("write", "") + Frame("write", p.data[0])),
         "1234", "empty"},
        {"a second write_start", replaced(Frame("write", p.data[0]), Frame("write_start", p.header)), "1234",
         "somewhere other"},
        {"a payload without its closing exit", replaced(p.data[2] + kUel, p.data[2]), "1234", "not closed"},
        {"a header line that is not PJL", replaced("@PJL JOB NAME", "JOB NAME"), "1234", "not a PJL line"},
        {"an empty key", good, "", "1 to 32 bytes"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::string clear = "left over", error;
        EXPECT_FALSE(Decode(c.job, c.key, clear, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos);
        EXPECT_EQ(clear, "");
    }
    // Cut anywhere, the job is refused.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        std::string clear, error;
        ASSERT_FALSE(Decode(good.substr(0, cut), "1234", clear, error)) << "cut at " << cut;
    }
}

TEST_F(Decoder, TheProgramWritesTheClearJobOnlyWhenItVerifies)
{
    const fs::path dir = TempDir("decrypt");
    const Pieces p = Encrypt("pw", kBlocks);
    WriteFile(dir / "job.prn", Job(p));
    const std::string program = Quote((BuildDir() / "companions" / "decrypt" / "zepdecrypt").string());
    auto run = [&](const std::string &args) {
        const std::string command = program + " " + args + " 2>" + Quote((dir / "err.txt").string());
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string in = Quote((dir / "job.prn").string()), out = Quote((dir / "clear.ps").string());
    EXPECT_EQ(run(in + " -O " + out + " --password pw"), 0);
    EXPECT_EQ(ReadFile(dir / "clear.ps"), kBlocks[0] + kBlocks[1] + kBlocks[2]);
    EXPECT_EQ(run(in + " -O " + out + " --card-data 7077"), 0) << "the same key as bytes";

    fs::remove(dir / "clear.ps");
    EXPECT_EQ(run(in + " -O " + out + " --password px"), 1);
    const std::string error = ReadFile(dir / "err.txt");
    EXPECT_EQ(error, "zepdecrypt: the job does not verify: a wrong password or card, or damaged data\n");
    EXPECT_FALSE(fs::exists(dir / "clear.ps"));
    EXPECT_FALSE(fs::exists(dir / "clear.ps.part"));
    EXPECT_EQ(run(in + " -O " + out), 1) << "no key";
    EXPECT_EQ(run(in + " -O " + out + " --card-data 7g"), 1);
    EXPECT_EQ(run(Quote((dir / "missing.prn").string()) + " -O " + out + " --password pw"), 1);
    EXPECT_FALSE(fs::exists(dir / "clear.ps"));
}

} // namespace
