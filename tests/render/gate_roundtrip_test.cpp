// Encrypted jobs through the gate with the sample library, decoded on the printer's side: every job decodes to the
// exact blocks it was written as, also when two jobs are rendered at the same time in one process.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/crypto.h"
#include "common/library.h"
#include "companions/decrypt/decode.h"
#include "render/gate.h"
#include "tests/common/test_support.h"
#include "tests/render/fake_gate.h"

using namespace zep;

namespace {

const std::string kUel = "\x1b%-12345X";

// The gate's world with the real sample library; the spooler is a string.
class LibrarySource final : public GateSource {
public:
    std::string spooled;
    std::string card;        // IC card data; "" for a password job
    OemDevmode dm = {};
    std::vector<DWORD> cancelled;

    LibrarySource() { dm.dwCryptoTime = kDefaultCryptoTime; }

    JobType EffectiveJobType() override { return JobType::SecureChip; }
    bool CardDriverPresent() override { return !card.empty(); }
    bool WriteSpooler(const void *bytes, DWORD count, DWORD *written) override
    {
        spooled.append(static_cast<const char *>(bytes), count);
        *written = count;
        return true;
    }
    void CancelJob(DWORD jobId) override { cancelled.push_back(jobId); }
    bool LoadEncryption(Library &module, EncryptionEntries &entries) override
    {
        module.reset(LoadLibraryW(Path().c_str()));
        entries = ResolveEncryption(module.get());
        return static_cast<bool>(module);
    }
    DWORD GetCardData(BYTE *key, DWORD *size) override
    {
        std::memcpy(key, card.data(), card.size());
        *size = static_cast<DWORD>(card.size());
        return 1;
    }
    OemDevmode *Devmode() override { return &dm; }

    static zeptest::WString Path() { return zeptest::W(ZEP_ZEPCRYPT_PATH); }

    // The stored password as the Job Options page keeps it.
    bool StorePassword(const std::string &password, DWORD mode, DWORD level)
    {
        Library module(LoadLibraryW(Path().c_str()));
        auto encrypt = GetExport<PFN_EncryptPassword>(module.get(), "EncryptPassword");
        if (!encrypt) return false;
        dm.dwCryptoMode = mode;
        dm.dwCryptoLevel = level;
        dm.dwEncryptedPasswordLen = sizeof dm.bEncryptedPassword;
        return encrypt(password.c_str(), static_cast<DWORD>(password.size()), dm.bEncryptedPassword,
                                      &dm.dwEncryptedPasswordLen) != 0;
    }
};

// A job of a few pages cut into blocks of the given size, header first and trailer last.
std::vector<std::string> JobBlocks(const std::string &title, size_t blockSize)
{
    std::string job = kUel + "@PJL JOB NAME=\"" + title + "\"\r\n@PJL ZEPAUXJOBINFO DATA=\"ComputerName=PC\"\r\n"
                      "@PJL ZEPAUXJOBINFO DATA=\"UserName=" + title + "\"\r\n"
                      "@PJL ZEPAUXJOBINFO DATA=\"ReceptionTime=12:00\"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n"
                      "%!PS-Adobe-3.0\n%%Pages: 40\n%%EndComments\n";
    for (int page = 1; page <= 40; ++page)
        job += "%%Page: " + std::to_string(page) + " " + std::to_string(page) + "\n/Helvetica findfont 24 scalefont "
               "setfont 72 720 moveto (" + title + " page " + std::to_string(page) + ") show showpage\n";
    job += "%%EOF\n" + kUel + "@PJL EOJ\r\n";
    std::vector<std::string> blocks;
    for (size_t at = 0; at < job.size(); at += blockSize) blocks.push_back(job.substr(at, blockSize));
    return blocks;
}

std::string Joined(const std::vector<std::string> &blocks)
{
    std::string all;
    for (const std::string &b : blocks) all += b;
    return all;
}

// The blocks through a fresh job's gate; the spooled job.
std::string Encrypt(LibrarySource &source, const std::vector<std::string> &blocks)
{
    GateState state;
    GateStartJob(state);
    state.currentJobId = 5;
    for (const std::string &b : blocks) {
        std::string copy = b;
        DWORD written = 0;
        EXPECT_EQ(RunGate(&state, source, copy.data(), static_cast<DWORD>(copy.size()), &written), S_OK);
    }
    EXPECT_TRUE(source.cancelled.empty());
    EXPECT_EQ(state.context, nullptr) << "the job's end was found";
    return source.spooled;
}

std::string Decode(const std::string &job, const std::string &key, zepdecode::DecodedJob *info = nullptr)
{
    zepdecode::DecodeOptions options;
    options.key = key;
    zepdecode::DecodedJob decoded;
    std::string clear, error;
    EXPECT_TRUE(zepdecode::DecodeJob(job, clear, options, decoded, error)) << error;
    if (info) *info = decoded;
    return clear;
}

TEST(EncryptedJob, PasswordAndCardJobsDecodeToTheirBlocks)
{
    const struct {
        const char *name;
        std::string password; // stored; "" for a card job
        std::string card;
        DWORD mode, level;
        size_t blockSize;
    } cases[] = {
        {"stored password, AES-256", "1234", "", 1, 0, 4096},
        {"stored password, AES-128, small blocks", "s3cret!", "", 0, 1, 100},
        {"IC card", "", std::string("\x00\x01\xfe\xff card", 9), 1, 0, 65536},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LibrarySource source;
        if (!c.password.empty()) {
            ASSERT_TRUE(source.StorePassword(c.password, c.mode, c.level));
        }
        source.card = c.card;
        source.dm.dwCryptoMode = c.mode;
        source.dm.dwCryptoLevel = c.level;
        const std::vector<std::string> blocks = JobBlocks("Ledger", c.blockSize);
        const std::string job = Encrypt(source, blocks);
        EXPECT_EQ(job.find("Ledger page"), std::string::npos) << "the pages are not in clear";
        zepdecode::DecodedJob info;
        EXPECT_EQ(Decode(job, c.password.empty() ? c.card : c.password, &info), Joined(blocks));
        EXPECT_EQ(info.cardJob, !c.card.empty());
        EXPECT_NE(info.clearHeader.find("KeepingTime=02:00"), std::string::npos);
    }
}

TEST(EncryptedJob, TwoJobsOnTwoThreadsBothDecode)
{
    const std::vector<std::string> first = JobBlocks("First", 64), second = JobBlocks("Second", 96);
    LibrarySource a, b;
    ASSERT_TRUE(a.StorePassword("alpha", 1, 0));
    ASSERT_TRUE(b.StorePassword("bravo", 0, 0));
    std::string jobA, jobB;
    std::thread one([&] { jobA = Encrypt(a, first); });
    std::thread two([&] { jobB = Encrypt(b, second); });
    one.join();
    two.join();
    EXPECT_EQ(Decode(jobA, "alpha"), Joined(first));
    EXPECT_EQ(Decode(jobB, "bravo"), Joined(second));
}

} // namespace
