// The PJL job header: whole headers byte for byte, the version and device-name texts, and failed writes.
#include <gtest/gtest.h>

#include <string>

#include "fake_core.h"
#include "render/header.h"
#include "render/inject_points.h"
#include "render/state.h"
#include "tests/common/test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

using zeptest::FakeHeaderSource;

void SetName(WCHAR *field, size_t cch, const WString &text)
{
    for (size_t i = 0; i < cch; ++i) field[i] = i < text.size() ? text[i] : 0;
}

const std::string kUel = "\x1b%-12345X";
const std::string kEnter = "@PJL ENTER LANGUAGE=POSTSCRIPT\n";

struct HeaderCase {
    const char *name;
    JobType type;
    std::map<std::string, std::string> options;
    WORD compression;
    const WCHAR *jobName;
    const WCHAR *pin;
    bool card;
    const WCHAR *driverVer;
    std::string expected;
};

TEST(JobHeader, WholeHeaders)
{
    const HeaderCase cases[] = {
        {"normal job: spooling, drum cleaning on, compression code 2",
         JobType::Normal, {{"ZPHDDSpool", "True"}, {"ZPDrumClean", "ON"}}, 2, TEXT(""), TEXT(""), false, TEXT(""),
         kUel + "@PJL ZEPSPOOL MODE=ALL\r\n@PJL JOB NAME=\"Report\"\r\n@PJL SET ZEPDRUMCLEANINGMODE = ON\r\n"
                "@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n" + kEnter},
        {"spool job: PERMANENT=ON and no spool-mode line",
         JobType::Spool, {{"ZPHDDSpool", "True"}}, 0, TEXT("Quarterly"), TEXT("1234"), false, TEXT(""),
         kUel + "@PJL ZEPSECURE PASSWORD=1234 PERMANENT=ON\r\n@PJL JOB NAME=\"Quarterly\"\r\n" + kEnter},
        {"secure job, drum cleaning off, compression code 3",
         JobType::Secure, {{"ZPDrumClean", "OFF"}}, 3, TEXT("Payroll"), TEXT("0042"), false, TEXT(""),
         kUel + "@PJL ZEPSECURE PASSWORD=0042\r\n@PJL JOB NAME=\"Payroll\"\r\n"
                "@PJL SET ZEPDRUMCLEANINGMODE = OFF\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:9\r\n" + kEnter},
        {"encrypted secure job without an IC card driver: the document name only",
         JobType::SecureChip, {}, 1, TEXT("Payroll"), TEXT("0042"), false, TEXT("08/22/2011,1.2.3.4"),
         kUel + "@PJL JOB NAME=\"Report\"\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:1\r\n" + kEnter},
        {"encrypted secure job with an IC card driver",
         JobType::SecureChip, {}, 0, TEXT(""), TEXT(""), true, TEXT("08/22/2011,1.2.3.4"),
         kUel + "@PJL JOB NAME=\"Report\"\r\n@PJL COMMENT Device Name :Zep CL500 PS\r\n"
                "@PJL COMMENT Version     :1.2.3.4\r\n" + kEnter},
        {"IC card driver, no version value", JobType::SecureChip, {}, 0, TEXT(""), TEXT(""), true, TEXT(""),
         kUel + "@PJL JOB NAME=\"Report\"\r\n@PJL COMMENT Device Name :Zep CL500 PS\r\n"
                "@PJL COMMENT Version     :\r\n" + kEnter},
        {"IC card driver on a normal job: no comments", JobType::Normal, {}, 0, TEXT(""), TEXT(""), true, TEXT("1,2"),
         kUel + "@PJL JOB NAME=\"Report\"\r\n" + kEnter},
        {"options other than exactly True/ON/OFF write nothing",
         JobType::Normal, {{"ZPHDDSpool", "true"}, {"ZPDrumClean", "On"}}, 0, TEXT(""), TEXT(""), false, TEXT(""),
         kUel + "@PJL JOB NAME=\"Report\"\r\n" + kEnter},
        {"spooling with an unknown job type", JobType::Other, {{"ZPHDDSpool", "True"}}, 0, TEXT(""), TEXT(""), false, TEXT(""),
         kUel + "@PJL JOB NAME=\"Report\"\r\n" + kEnter},
        {"compression code out of range", JobType::Normal, {}, 4, TEXT(""), TEXT(""), false, TEXT(""),
         kUel + "@PJL JOB NAME=\"Report\"\r\n" + kEnter},
    };
    for (const HeaderCase &c : cases) {
        SCOPED_TRACE(c.name);
        zeptest::FakeCore core;
        zeptest::FakeDevice device;
        device.options = c.options;
        device.dm.wCompressionLevel = c.compression;
        SetName(device.dm.wszJobName, 17, c.jobName);
        SetName(device.dm.wszJobPassword, 5, c.pin);
        FakeHeaderSource source;
        source.type = c.type;
        source.card = c.card;
        source.driverVer = c.driverVer;
        EXPECT_TRUE(WriteJobHeader(RenderCall{&device.devobj, &core}, source, "Report"));
        EXPECT_EQ(core.stream, c.expected);

        // Every line but the switch to PostScript ends in CR LF; that one in LF alone.
        size_t last = core.stream.rfind('\n', core.stream.size() - 2);
        ASSERT_NE(last, std::string::npos);
        EXPECT_EQ(core.stream.substr(last + 1), kEnter);
        EXPECT_NE(core.stream[core.stream.size() - 2], '\r');
        for (size_t at = core.stream.find('\n'); at < last + 1; at = core.stream.find('\n', at + 1))
            EXPECT_EQ(core.stream[at - 1], '\r') << "line ending at " << at;
    }
}

// A core whose n-th write (from 1) is cut short and every other write is whole.
class FailingCore : public zeptest::FakeCore {
public:
    int failAt = 0;
    int writes = 0;
    STDMETHODIMP DrvWriteSpoolBuf(PDEVOBJ d, PVOID buffer, DWORD size, DWORD *written) override
    {
        if (++writes == failAt) {
            *written = 0;
            return E_FAIL;
        }
        return FakeCore::DrvWriteSpoolBuf(d, buffer, size, written);
    }
};

TEST(JobHeader, AFailedItemFailsTheHeaderAndTheRestIsStillWritten)
{
    const std::string full = kUel + "@PJL ZEPSPOOL MODE=ALL\r\n@PJL JOB NAME=\"Report\"\r\n" +
                             "@PJL SET ZEPDRUMCLEANINGMODE = OFF\r\n@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n" + kEnter;
    const struct {
        const char *name;
        int failAt;
        std::string missing;
    } cases[] = {
        {"universal exit", 1, kUel},
        {"spool mode", 2, "@PJL ZEPSPOOL MODE=ALL\r\n"},
        {"job name", 3, "@PJL JOB NAME=\"Report\"\r\n"},
        {"drum cleaning", 4, "@PJL SET ZEPDRUMCLEANINGMODE = OFF\r\n"},
        {"compression", 5, "@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n"},
        {"switch to PostScript", 6, kEnter},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FailingCore core;
        core.failAt = c.failAt;
        zeptest::FakeDevice device;
        device.options = {{"ZPHDDSpool", "True"}, {"ZPDrumClean", "OFF"}};
        device.dm.wCompressionLevel = 2;
        FakeHeaderSource source;
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(WriteJobHeader(RenderCall{&device.devobj, &core}, source, "Report"));
        EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
        std::string expected = full;
        expected.erase(expected.find(c.missing), c.missing.size());
        EXPECT_EQ(core.stream, expected);
    }
}

TEST(JobHeader, DriverVersionText)
{
    const struct {
        const char *name;
        WString value;
        std::string text;
    } cases[] = {
        {"date and version", TEXT("08/22/2011,1.2.3.4"), "1.2.3.4"},
        {"a double quote ends the version", TEXT("08/22/2011,1.2.3.4\" ; built"), "1.2.3.4"},
        {"no comma", TEXT("1.2.3.4"), ""},
        {"empty", TEXT(""), ""},
        {"only the first comma counts", TEXT("a,b,c"), "b,c"},
        {"comma as the 32nd character", WString(31, TEXT('x')) + TEXT(",9.9"), "9.9"},
        {"comma as the 33rd character", WString(32, TEXT('x')) + TEXT(",9.9"), ""},
        {"at most 32 characters", TEXT("d,") + WString(40, TEXT('7')), std::string(32, '7')},
        {"characters narrowed to their low byte", TEXT("d,1.\u0131\u00e9"), "1.1\xe9"},
        {"a character narrowing to LF ends the text", TEXT("d,1.2\u010a@PJL"), "1.2"},
        {"a CR ends the text", TEXT("d,1.2\r\n@PJL"), "1.2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DriverVersionText(c.value.c_str()), c.text);
    }
    EXPECT_EQ(DriverVersionText(nullptr), "");
}

TEST(JobHeader, DeviceNameText)
{
    if (!zeptest::UseAnsiCodePage(1252)) GTEST_SKIP() << "the ANSI code page is not 1252";
    EXPECT_EQ(DeviceNameText(TEXT("Zep CL500 PS")), "Zep CL500 PS");
    EXPECT_EQ(DeviceNameText(TEXT("Zep\u00e9")), "Zep\xe9");
    EXPECT_EQ(DeviceNameText(WString(300, TEXT('d')).c_str()), std::string(220, 'd'));
    EXPECT_EQ(DeviceNameText(TEXT("Zep\r\n@PJL X")), "Zep");
    EXPECT_EQ(DeviceNameText(TEXT("")), "");
    EXPECT_EQ(DeviceNameText(nullptr), "");
}

// A double-byte character that would straddle the cut is left out whole.
TEST(JobHeader, DeviceNameTextInCodePage932)
{
    if (!zeptest::UseAnsiCodePage(932)) GTEST_SKIP() << "the ANSI code page is not 932";
    WString name = WString(219, TEXT('d')) + TEXT("\u65e5");
    EXPECT_EQ(DeviceNameText(name.c_str()), std::string(219, 'd'));
    zeptest::UseAnsiCodePage(1252);
}

TEST(JobHeader, TheRealSourceWithoutASpoolerPrinter)
{
    // No printer handle: no IC card driver, no driver name, no version; the header is still whole.
    zeptest::FakeCore core;
    zeptest::FakeDevice device;
    device.options = {{"ZPHDD", "True"}, {"ZPJob_Type", "Secure_Chip"}};
    g_render.job = {};
    std::strcpy(g_render.job.szDocumentName, "Minutes");
    EXPECT_TRUE(WriteJobHeader(RenderCall{&device.devobj, &core}));
    EXPECT_EQ(core.stream, kUel + "@PJL JOB NAME=\"Minutes\"\r\n" + kEnter);
    g_render.job = {};
}

} // namespace
