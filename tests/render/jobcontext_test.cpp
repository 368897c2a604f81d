// JobContext: the document-name filter in single- and double-byte code pages, and the capture at StartDoc.
#include <gtest/gtest.h>

#include <cstring>

#include "common/config.h"
#include "fake_core.h"
#include "render/jobcontext.h"
#include "render/jobstart.h"
#include "render/state.h"
#include "tests/common/test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

struct FilterCase {
    const char *name;
    std::string in;
    std::string out;
};

void RunFilter(const FilterCase &c)
{
    SCOPED_TRACE(c.name);
    CHAR out[kDocumentNameBytes + 1];
    std::memset(out, '#', sizeof(out));
    FilterDocumentName(c.in.c_str(), kDocumentNameBytes, out);
    EXPECT_EQ(std::string(out), c.out);
}

TEST(DocumentName, FilterInCodePage1252)
{
    if (!zeptest::UseAnsiCodePage(1252)) GTEST_SKIP() << "the ANSI code page is not 1252";
    const FilterCase cases[] = {
        {"plain", "Report.doc", "Report.doc"},
        {"quotes", "say \"hi\"", "say  hi "},
        {"tab kept", "a\tb", "a\tb"},
        {"newline ends", "line1\nline2", "line1"},
        {"DEL ends", "ab\x7f" "cd", "ab"},
        {"high bytes kept", "caf\xe9 \x81\x82", "caf\xe9 \x81\x82"},
        {"cut at 80", std::string(100, 'a'), std::string(80, 'a')},
        {"empty", "", ""},
    };
    for (const auto &c : cases) RunFilter(c);
}

TEST(DocumentName, FilterInCodePage932)
{
    if (!zeptest::UseAnsiCodePage(932)) GTEST_SKIP() << "the ANSI code page is not 932";
    const FilterCase cases[] = {
        {"double-byte pair", "\x93\xfa\x96\x7b.txt", "\x93\xfa\x96\x7b.txt"},
        {"trail byte looks like a quote", "\x83\x22x", ""},           // 0x22 is no trail byte
        {"trail byte 0x5c kept", "\x95\x5c.doc", "\x95\x5c.doc"},    // a backslash as trail byte
        {"lead byte before NUL", std::string("ab\x93", 3), "ab"},
        {"lead byte before newline", "ab\x93\n", "ab"},
        {"half-width katakana", "\xb1\xb2", "\xb1\xb2"},
        {"lead byte at the cut", std::string(79, 'a') + "\x93\xfa", std::string(79, 'a')},
        {"pair just fits", std::string(78, 'a') + "\x93\xfa", std::string(78, 'a') + "\x93\xfa"},
    };
    for (const auto &c : cases) RunFilter(c);
    zeptest::UseAnsiCodePage(1252);
}

class Capture : public ::testing::Test {
protected:
    static HANDLE printer_;
    static void SetUpTestSuite()
    {
        printer_ = zeptest::InstallPrinter(
            "Capture \"Printer\"", "Zep Capture Driver",
            {{"zep.ini", zeptest::kPluginIniText},
             {"zep.cap", zeptest::CapabilityText("Zep Capture Driver", "JobInfoDll=zepinfo.dll\r\n")}});
    }
    static void TearDownTestSuite() { ClosePrinter(printer_); }

    DWORD StartJob(const WCHAR *document)
    {
        WString doc = document;
        DOC_INFO_1W di = {doc.data(), nullptr, nullptr};
        return StartDocPrinterW(printer_, 1, reinterpret_cast<LPBYTE>(&di));
    }
};
HANDLE Capture::printer_;

TEST_F(Capture, ArmedStartDocCapturesTheJobOnce)
{
    ASSERT_NE(printer_, nullptr) << GetLastError();
    zeptest::FakeDevice device;
    device.devobj.hPrinter = printer_;
    DWORD first = StartJob(TEXT("Quarterly \"final\"\nreport"));
    ASSERT_NE(first, 0u);
    g_render.captureArmed = true;
    StartDocCapture(&device.devobj, first);
    EXPECT_FALSE(g_render.captureArmed);
    EXPECT_EQ(g_render.currentJobId, first);
    EXPECT_EQ(g_render.job.dwJobId, first);
    EXPECT_STREQ(g_render.job.szPrinterName, "Capture \"Printer\"");
    EXPECT_STREQ(g_render.job.szDocumentName, "Quarterly  final ");
    EXPECT_EQ(WString(g_render.job.wszJobInfoDll), TEXT("zepinfo.dll"));
    const WString cap = CapabilityFilePath();
    EXPECT_EQ(std::string(g_render.job.szCapabilityFile), std::string(cap.begin(), cap.end()).substr(0, 64));
    EXPECT_NE(g_render.pluginIniFile[0], 0);
    EndDocPrinter(printer_);

    // A second document without a new BEGINSTREAM keeps the first document's context.
    DWORD second = StartJob(TEXT("Other"));
    StartDocCapture(&device.devobj, second);
    EXPECT_EQ(g_render.currentJobId, second);
    EXPECT_EQ(g_render.job.dwJobId, first);
    EXPECT_STREQ(g_render.job.szDocumentName, "Quarterly  final ");
    EndDocPrinter(printer_);
}

TEST_F(Capture, DriverWithoutConfigurationFilesCapturesNothing)
{
    HANDLE bare = zeptest::InstallPrinter("Bare Printer", "Zep Bare Driver", {{"readme.txt", "x"}});
    ASSERT_NE(bare, nullptr);
    zeptest::FakeDevice device;
    device.devobj.hPrinter = bare;
    JobContext before = g_render.job;
    g_render.captureArmed = true;
    StartDocCapture(&device.devobj, 77);
    EXPECT_FALSE(g_render.captureArmed);
    EXPECT_EQ(g_render.currentJobId, 77u);
    EXPECT_EQ(std::memcmp(&before, &g_render.job, sizeof(before)), 0);
    EXPECT_EQ(CapabilityFilePath()[0], 0);
    ClosePrinter(bare);
}

TEST_F(Capture, UnknownJobStopsAfterThePrinter)
{
    ASSERT_NE(printer_, nullptr);
    JobContext ctx;
    std::memset(&ctx, 'z', sizeof(ctx));
    EXPECT_FALSE(CaptureJobContext(printer_, 0x7FFFFFF0, TEXT(""), ctx));
    EXPECT_EQ(ctx.dwJobId, 0x7FFFFFF0u);
    EXPECT_STREQ(ctx.szPrinterName, "Capture \"Printer\"");
    EXPECT_STREQ(ctx.szDocumentName, "");
    EXPECT_EQ(ctx.wszJobInfoDll[0], 0);
}

} // namespace
