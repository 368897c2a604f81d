// The secure print lines: the three forms, crafted settings records that try to add PJL, and the prompt rule.
#include <gtest/gtest.h>

#include <string>

#include "fake_core.h"
#include "render/secure.h"
#include "tests/common/test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

// Fills a fixed field exactly: the text, then NULs, and no terminator when the text fills it.
template <size_t N>
void Fill(WCHAR (&field)[N], const WString &text)
{
    for (size_t i = 0; i < N; ++i) field[i] = i < text.size() ? text[i] : 0;
}

TEST(SecurePrint, TheThreeForms)
{
    OemDevmode dm = {};
    Fill(dm.wszJobName, TEXT("Quarterly"));
    Fill(dm.wszJobPassword, TEXT("1234"));
    EXPECT_EQ(SecurePrintLines(JobType::Secure, &dm, "Report"),
              "@PJL ZEPSECURE PASSWORD=1234\r\n@PJL JOB NAME=\"Quarterly\"\r\n");
    EXPECT_EQ(SecurePrintLines(JobType::Spool, &dm, "Report"),
              "@PJL ZEPSECURE PASSWORD=1234 PERMANENT=ON\r\n@PJL JOB NAME=\"Quarterly\"\r\n");
    for (JobType other : {JobType::SecureChip, JobType::Normal, JobType::Other})
        EXPECT_EQ(SecurePrintLines(other, &dm, "Report"), "@PJL JOB NAME=\"Report\"\r\n");
    // No private section: the lines stay whole, with empty values.
    EXPECT_EQ(SecurePrintLines(JobType::Secure, nullptr, "Report"), "@PJL ZEPSECURE PASSWORD=\r\n@PJL JOB NAME=\"\"\r\n");
    EXPECT_EQ(SecurePrintLines(JobType::Normal, nullptr, nullptr), "@PJL JOB NAME=\"\"\r\n");
}

TEST(SecurePrint, CraftedRecordsCannotAddPjl)
{
    const struct {
        const char *name;
        WString jobName;
        WString pin;
        std::string nameOut;
        std::string pinOut;
    } cases[] = {
        {"clean", TEXT("Quarterly"), TEXT("1234"), "Quarterly", "1234"},
        {"CR LF and a command in the name", TEXT("a\r\n@PJL RESET"), TEXT("1234"), "a@PJL RESET", "1234"},
        {"double quotes in the name", TEXT("\"x\" y"), TEXT("1234"), "x y", "1234"},
        {"NUL in the middle ends the name", WString(TEXT("ab\0@PJL"), 7), TEXT("12"), "ab", "12"},
        {"16 characters fill the name", TEXT("0123456789ABCDEF"), TEXT(""), "0123456789ABCDEF", ""},
        {"17 characters: no terminator, 16 kept", TEXT("0123456789ABCDEFG"), TEXT(""), "0123456789ABCDEF", ""},
        {"non-ASCII dropped", TEXT("Caf\u00e9 \u65e5\u672c"), TEXT("9"), "Caf ", "9"},
        {"TAB, DEL and ESC dropped", TEXT("a\tb\x7f") TEXT("c\x1b"), TEXT(""), "abc", ""},
        {"PIN with CR LF", TEXT("n"), TEXT("1\r\n2"), "n", "12"},
        {"PIN with letters and a quote", TEXT("n"), TEXT("1a\"4"), "n", "14"},
        {"PIN of 5 digits: no terminator, 4 kept", TEXT("n"), TEXT("12345"), "n", "1234"},
        {"PIN with a NUL in the middle", TEXT("n"), WString(TEXT("1\0") TEXT("23"), 4), "n", "1"},
        {"PIN of non-ASCII digits", TEXT("n"), TEXT("\u0661\uff12"), "n", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        OemDevmode dm = {};
        Fill(dm.wszJobName, c.jobName);
        Fill(dm.wszJobPassword, c.pin);
        // Garbage after the fields must not be read as part of them.
        dm.dwAskJobName = 0x0a0d0a0d;
        CHAR name[kJobNameChars + 1];
        CHAR pin[kPinChars + 1];
        std::memset(name, '#', sizeof(name));
        std::memset(pin, '#', sizeof(pin));
        PjlJobName(dm.wszJobName, name);
        PjlPin(dm.wszJobPassword, pin);
        EXPECT_EQ(std::string(name), c.nameOut);
        EXPECT_EQ(std::string(pin), c.pinOut);
        std::string lines = SecurePrintLines(JobType::Spool, &dm, "Report");
        EXPECT_EQ(lines, "@PJL ZEPSECURE PASSWORD=" + c.pinOut + " PERMANENT=ON\r\n@PJL JOB NAME=\"" + c.nameOut +
                             "\"\r\n");
    }
}

TEST(SecurePrint, DocumentNameCannotAddPjl)
{
    if (!zeptest::UseAnsiCodePage(1252)) GTEST_SKIP() << "the ANSI code page is not 1252";
    const struct {
        const char *name;
        std::string document;
        std::string written;
    } cases[] = {
        {"plain", "Report.doc", "Report.doc"},
        {"CR LF and a command", "doc\r\n@PJL RESET\r\n", "doc"},
        {"quotes become spaces", "say \"hi\"", "say  hi "},
        {"longer than 80 bytes", std::string(90, 'r'), std::string(80, 'r')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SecurePrintLines(JobType::SecureChip, nullptr, c.document.c_str()),
                  "@PJL JOB NAME=\"" + c.written + "\"\r\n");
    }
}

class FakePrompt final : public JobNamePrompt {
public:
    bool readable = true;
    DWORD attributes = PRINTER_ATTRIBUTE_LOCAL;
    WString answer;
    int asked = 0;

    bool PrinterAttributes(DWORD *out) override
    {
        *out = attributes;
        return readable;
    }
    void AskJobName(OemDevmode *dm) override
    {
        ++asked;
        Fill(dm->wszJobName, answer);
    }
};

TEST(SecurePrint, WhenTheJobNameIsAskedFor)
{
    const struct {
        const char *name;
        JobType type;
        DWORD askFlag;
        bool readable;
        DWORD attributes;
        bool asked;
    } cases[] = {
        {"secure, local printer", JobType::Secure, 1, true, PRINTER_ATTRIBUTE_LOCAL, true},
        {"spool, local printer, any non-zero flag", JobType::Spool, 0x100, true, PRINTER_ATTRIBUTE_LOCAL, true},
        {"flag clear", JobType::Secure, 0, true, PRINTER_ATTRIBUTE_LOCAL, false},
        {"shared printer", JobType::Secure, 1, true, PRINTER_ATTRIBUTE_LOCAL | PRINTER_ATTRIBUTE_SHARED, false},
        {"network printer", JobType::Spool, 1, true, PRINTER_ATTRIBUTE_NETWORK, false},
        {"attributes unknown", JobType::Secure, 1, false, 0, false},
        {"encrypted secure job", JobType::SecureChip, 1, true, PRINTER_ATTRIBUTE_LOCAL, false},
        {"normal job", JobType::Normal, 1, true, PRINTER_ATTRIBUTE_LOCAL, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ShouldAskJobName(c.askFlag, c.readable, c.attributes),
                  c.askFlag && c.readable && !(c.attributes & 0x18));
        zeptest::FakeCore core;
        zeptest::FakeDevice device;
        Fill(device.dm.wszJobName, TEXT("Stored"));
        Fill(device.dm.wszJobPassword, TEXT("7777"));
        device.dm.dwAskJobName = c.askFlag;
        FakePrompt prompt;
        prompt.readable = c.readable;
        prompt.attributes = c.attributes;
        prompt.answer = TEXT("Typed");
        EXPECT_TRUE(WriteSecurePrintLines(RenderCall{&device.devobj, &core}, c.type, prompt, "Doc"));
        EXPECT_EQ(prompt.asked, c.asked ? 1 : 0);
        // The prompt's answer is what the job carries, and it stays in the job's settings.
        std::string name = c.type == JobType::Secure || c.type == JobType::Spool ? (c.asked ? "Typed" : "Stored") : "Doc";
        EXPECT_NE(core.stream.find("@PJL JOB NAME=\"" + name + "\"\r\n"), std::string::npos) << core.stream;
        EXPECT_EQ(device.dm.wszJobName[0], c.asked ? TEXT('T') : TEXT('S'));
    }
}

TEST(SecurePrint, AFailedWriteFailsTheItem)
{
    zeptest::FakeCore core;
    core.writesBeforeFailure = 0;
    zeptest::FakeDevice device;
    FakePrompt prompt;
    EXPECT_FALSE(WriteSecurePrintLines(RenderCall{&device.devobj, &core}, JobType::Secure, prompt, "Doc"));
    EXPECT_FALSE(WriteSecurePrintLines(RenderCall{&device.devobj, nullptr}, JobType::Normal, prompt, "Doc"));
}

} // namespace
