// The injection dispatcher: what each injection point writes, with and without Encapsulated PostScript.
#include <gtest/gtest.h>

#include "fake_core.h"
#include "render/dispatcher.h"
#include "render/state.h"
#include "tests/common/test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

TEST(Dispatcher, OutputPerInjectionPoint)
{
    const struct {
        const char *name;
        DWORD index;
        DWORD outputOption;
        DWORD watermark;
        const char *written;
    } cases[] = {
        // With nothing configured the header is the exit sequence, the document name line and the switch.
        {"begin stream", PSINJECT_BEGINSTREAM, 0, 0,
         "\x1b%-12345X@PJL JOB NAME=\"\"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n"},
        {"begin prolog with watermark", PSINJECT_BEGINPROLOG, 0, 3, ""},
        {"begin setup", PSINJECT_BEGINSETUP, 0, 0, ""},
        {"end setup", PSINJECT_ENDSETUP, 0, 0, ""},
        {"end stream", PSINJECT_ENDSTREAM, 0, 0, kJobTrailer},
        {"end page setup with watermark", PSINJECT_ENDPAGESETUP, 0, 5, ""},
        {"end stream, EPS", PSINJECT_ENDSTREAM, PS_OUTPUT_EPS, 0, ""},
        {"end stream, other output option", PSINJECT_ENDSTREAM, 1, 0, kJobTrailer},
        {"begin stream, EPS", PSINJECT_BEGINSTREAM, PS_OUTPUT_EPS, 0, ""},
        {"page number", PSINJECT_PAGENUMBER, 0, 0, ""},
        {"trailer", PSINJECT_TRAILER, 0, 0, ""},
        {"unknown", 999, 0, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        zeptest::FakeCore core;
        zeptest::FakeDevice device;
        device.outputOption = c.outputOption;
        device.dm.dwWatermarkIndex = c.watermark;
        DWORD result = 0xdeadbeef;
        EXPECT_EQ(RunCommand(RenderCall{&device.devobj, &core}, c.index, &result), S_OK);
        EXPECT_EQ(result, static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(core.stream, c.written);
    }
}

TEST(Dispatcher, ShortWriteFailsTheCommandWithTheLastError)
{
    zeptest::FakeCore core;
    core.writesBeforeFailure = 0;
    zeptest::FakeDevice device;
    DWORD result = 0;
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(RunCommand(RenderCall{&device.devobj, &core}, PSINJECT_ENDSTREAM, &result), S_FALSE);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_WRITE_FAULT));
    // Without a core interface nothing can be written either.
    EXPECT_EQ(RunCommand(RenderCall{&device.devobj, nullptr}, PSINJECT_ENDSTREAM, &result), S_FALSE);
    EXPECT_NE(result, static_cast<DWORD>(ERROR_SUCCESS));
}

TEST(Dispatcher, BeginStreamRearmsCaptureAndClearsFailure)
{
    g_render.captureArmed = false;
    g_render.encryptedStreamFailed = true;
    zeptest::FakeCore core;
    zeptest::FakeDevice device;
    device.outputOption = PS_OUTPUT_EPS; // re-armed in EPS output too
    EXPECT_TRUE(DispatchInjection(RenderCall{&device.devobj, &core}, PSINJECT_BEGINSTREAM));
    EXPECT_TRUE(g_render.captureArmed);
    EXPECT_FALSE(g_render.encryptedStreamFailed);
}

TEST(Emit, TextFilesAndDependentFiles)
{
    zeptest::FakeCore core;
    RenderCall rc{nullptr, &core};
    EXPECT_TRUE(EmitText(rc, ""));
    EXPECT_TRUE(EmitText(rc, "%!PS\n"));
    EXPECT_EQ(core.stream, "%!PS\n");

    std::string big(2500, 'x');
    big[1024] = 'y';
    zeptest::WriteFile(TEXT("C:\\emit\\proc.ps"), big);
    core.stream.clear();
    EXPECT_TRUE(EmitFile(rc, TEXT("C:\\emit\\proc.ps")));
    EXPECT_EQ(core.stream, big);
    EXPECT_FALSE(EmitFile(rc, TEXT("C:\\emit\\missing.ps")));
    core.writesBeforeFailure = 1; // the second 1024-byte block is cut short
    EXPECT_FALSE(EmitFile(rc, TEXT("C:\\emit\\proc.ps")));

    // Dependent files come only from the driver's "3" folder.
    const WString three = zeptest::DriverDirectory() + TEXT("\\3\\");
    zeptest::WriteFile(three + TEXT("procset.ps"), "/zep 1 def\n");
    zeptest::WriteFile(TEXT("C:\\emit\\secret.txt"), "secret");
    zeptest::WriteFile(TEXT("C:\\emit\\plugin.ini"), "[DependentFiles]\r\nPROCSET_JP=procset.ps\r\nOVERLAY_JP=..\\..\\..\\..\\..\\..\\emit\\secret.txt\r\n"
                                              "OVERPRT_JP=C:\\emit\\secret.txt\r\nEMPTY=\r\n");
    lstrcpynW(g_render.pluginIniFile, TEXT("C:\\emit\\plugin.ini"), MAX_PATH + 1);
    zeptest::FakeCore out;
    RenderCall rc2{nullptr, &out};
    EXPECT_TRUE(EmitDependentFile(rc2, TEXT("PROCSET_JP")));
    for (const WCHAR *key : {TEXT("OVERLAY_JP"), TEXT("OVERPRT_JP"), TEXT("EMPTY"), TEXT("MISSING")})
        EXPECT_FALSE(EmitDependentFile(rc2, key));
    EXPECT_EQ(out.stream, "/zep 1 def\n");
    g_render.pluginIniFile[0] = 0;
}

} // namespace
