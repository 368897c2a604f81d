// Size, defaults, conversion and merge of the job settings record on both sides, with crafted records.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "common/crypto.h"
#include "common/devmode_render.h"
#include "common/devmode_ui.h"
#include "test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

// Answers the UI defaults from fixed values and counts what was asked.
class FakeDefaults : public UiDefaultsSource {
public:
    const WCHAR *iniPath = TEXT("C:\\drv\\3\\zep.ini");
    const WCHAR *capFile = TEXT("C:\\drv\\3\\zep.cap");
    const WCHAR *driverDir = TEXT("C:\\WINDOWS\\System32\\spool\\DRIVERS\\x64");
    bool haveCrypto = true;
    EncryptionSetting crypto = {2, 3, "", 1, 0x00050007, 0};
    int compression = 0;

    void FindDriverFiles(WCHAR *ini) override
    {
        if (iniPath) lstrcpynW(ini, iniPath, MAX_PATH + 1);
    }
    LPCWSTR CapabilityFile() override { return capFile; }
    bool DriverDirectory(WCHAR *out, DWORD cch) override
    {
        if (!driverDir) return false;
        lstrcpynW(out, driverDir, static_cast<int>(cch));
        return true;
    }
    bool EncryptionDefaults(EncryptionSetting &s) override
    {
        if (haveCrypto) s = crypto;
        return haveCrypto;
    }
    int ModelInt(LPCWSTR) override { return compression; }
};

OemDevmode Filled(BYTE junk)
{
    OemDevmode dm;
    std::memset(&dm, junk, sizeof(dm));
    return dm;
}

OemDevmode OwnRecord()
{
    OemDevmode dm = {};
    RenderDevmodeDefault(&dm);
    dm.dwCryptoTime = 0x20000;
    dm.dwEncryptedPasswordLen = 4;
    return dm;
}

struct ClampCase {
    const char *name;
    std::function<void(OemDevmode &)> set;
    std::function<bool(const OemDevmode &)> expect;
};

TEST(RenderDevmode, ConvertClampsOutOfRangeFields)
{
    const ClampCase cases[] = {
        {"time 23:55 kept", [](auto &d) { d.dwCryptoTime = 0x00170037; }, [](auto &d) { return d.dwCryptoTime == 0x00170037; }},
        {"time 24h reset", [](auto &d) { d.dwCryptoTime = 0x00180000; }, [](auto &d) { return d.dwCryptoTime == 0x20000; }},
        {"time below 0:05", [](auto &d) { d.dwCryptoTime = 4; }, [](auto &d) { return d.dwCryptoTime == 0x20000; }},
        {"time 0:05 kept", [](auto &d) { d.dwCryptoTime = 5; }, [](auto &d) { return d.dwCryptoTime == 5; }},
        {"time 60 minutes", [](auto &d) { d.dwCryptoTime = 0x0001003C; }, [](auto &d) { return d.dwCryptoTime == 0x20000; }},
        {"colour 59 kept", [](auto &d) { d.dwColorCorrect = 0x0001013B; }, [](auto &d) { return d.dwColorCorrect == 0x0001013B; }},
        {"colour entry 60", [](auto &d) { d.dwColorCorrect = 0x0001003C; }, [](auto &d) { return d.dwColorCorrect == 0; }},
        {"colour section 2", [](auto &d) { d.dwColorCorrect = 0x00000201; }, [](auto &d) { return d.dwColorCorrect == 0; }},
        {"colour send 2", [](auto &d) { d.dwColorCorrect = 0x00020001; }, [](auto &d) { return d.dwColorCorrect == 0; }},
        {"watermark 16 kept", [](auto &d) { d.dwWatermarkIndex = 16; }, [](auto &d) { return d.dwWatermarkIndex == 16; }},
        {"watermark 17", [](auto &d) { d.dwWatermarkIndex = 17; }, [](auto &d) { return d.dwWatermarkIndex == 0; }},
        {"tone high byte", [](auto &d) { d.bToneCount = 9; d.bToneCountHigh = 1; }, [](auto &d) { return d.bToneCount == 0 && d.bToneCountHigh == 0; }},
        {"tone count kept", [](auto &d) { d.bToneCount = 200; }, [](auto &d) { return d.bToneCount == 200; }},
        {"value high byte", [](auto &d) { d.bValueCount = 9; d.bValueCountHigh = 2; }, [](auto &d) { return d.bValueCount == 0 && d.bValueCountHigh == 0; }},
        {"gamma send 2", [](auto &d) { d.dwGammaSel = 0x00020003; }, [](auto &d) { return d.dwGammaSel == 0; }},
        {"gamma kept", [](auto &d) { d.dwGammaSel = 0x000100FF; }, [](auto &d) { return d.dwGammaSel == 0x000100FF; }},
        {"nup 6 kept", [](auto &d) { d.bNupSel = 6; }, [](auto &d) { return d.bNupSel == 6; }},
        {"nup 7", [](auto &d) { d.bNupSel = 7; }, [](auto &d) { return d.bNupSel == 0; }},
        {"orientation 3", [](auto &d) { d.bOrientationSel = 3; }, [](auto &d) { return d.bOrientationSel == 0; }},
        {"crypto mode 3", [](auto &d) { d.dwCryptoMode = 3; }, [](auto &d) { return d.dwCryptoMode == 0; }},
        {"crypto level 4", [](auto &d) { d.dwCryptoLevel = 4; }, [](auto &d) { return d.dwCryptoLevel == 0; }},
        {"crypto level 3 kept", [](auto &d) { d.dwCryptoLevel = 3; }, [](auto &d) { return d.dwCryptoLevel == 3; }},
        {"password length 256", [](auto &d) { d.dwEncryptedPasswordLen = 256; d.bEncryptedPassword[0] = 7; }, [](auto &d) { return d.dwEncryptedPasswordLen == 0 && d.bEncryptedPassword[0] == 0; }},
        {"password length 0", [](auto &d) { d.dwEncryptedPasswordLen = 0; d.bEncryptedPassword[0] = 7; }, [](auto &d) { return d.bEncryptedPassword[0] == 0; }},
        {"password length 255 kept", [](auto &d) { d.dwEncryptedPasswordLen = 255; d.bEncryptedPassword[0] = 7; }, [](auto &d) { return d.dwEncryptedPasswordLen == 255 && d.bEncryptedPassword[0] == 7; }},
        {"compression 4", [](auto &d) { d.wCompressionLevel = 4; }, [](auto &d) { return d.wCompressionLevel == 0; }},
        {"option value carried over", [](auto &d) { d.dwOptItemValue = 50; }, [](auto &d) { return d.dwOptItemValue == 50; }},
    };
    for (const ClampCase &c : cases) {
        SCOPED_TRACE(c.name);
        OemDevmode in = OwnRecord();
        c.set(in);
        OemDevmode out = OwnRecord();
        RenderDevmodeConvert(&in, &out);
        EXPECT_TRUE(c.expect(out));
        EXPECT_EQ(out.dwSize, kOemDevmodeSize);
        EXPECT_EQ(out.dwVersion, kOemVersion);
    }
}

TEST(RenderDevmode, ForeignRecordGetsABareHeader)
{
    OemDevmode in = Filled(0x11);
    OemDevmode out = Filled(0x5A);
    out.dwSignature = kOemSignature;
    RenderDevmodeConvert(&in, &out);
    EXPECT_EQ(out.dwSize, kOemDevmodeSize);
    EXPECT_EQ(out.dwSignature, kOemSignature);
    EXPECT_EQ(out.dwVersion, kOemVersion);
    EXPECT_EQ(out.dwOptItemValue, 0);
    // Nothing of the foreign input, and nothing else of the output, is touched.
    EXPECT_EQ(out.dwWatermarkIndex, 0x5A5A5A5Au);
    EXPECT_EQ(out.dwGammaSel, 0x5A5A5A5Au);
}

TEST(RenderDevmode, DefaultAndMergeWriteHeaderAndClearOptionValue)
{
    OemDevmode out = Filled(0x77);
    RenderDevmodeDefault(&out);
    EXPECT_EQ(out.dwSize, kOemDevmodeSize);
    EXPECT_EQ(out.dwSignature, kOemSignature);
    EXPECT_EQ(out.dwVersion, kOemVersion);
    EXPECT_EQ(out.dwOptItemValue, 0);
    EXPECT_EQ(out.dwCryptoMode, 0x77777777u); // the rest is the core's

    OemDevmode in = OwnRecord();
    in.dwOptItemValue = 55;
    in.dwVersion = 9;
    RenderDevmodeMerge(&in, &out);
    EXPECT_EQ(out.dwOptItemValue, 0);
    EXPECT_EQ(out.dwVersion, kOemVersion);
}

// The sizes inside a record come from anywhere: a copy must stay inside both records.
TEST(DevmodeBothSides, CraftedSizesNeverCopyPastTheRecord)
{
    struct SizeCase {
        const char *name;
        DWORD inSize, outSize, copied;
    } cases[] = {
        {"both huge", 0xFFFFFFFFu, 0xFFFFFFFFu, kOemDevmodeSize},
        {"input huge", 0xFFFFFFFFu, kOemDevmodeSize, kOemDevmodeSize},
        {"output huge", kOemDevmodeSize, 0x80000000u, kOemDevmodeSize},
        {"one past", kOemDevmodeSize + 1, kOemDevmodeSize + 1, kOemDevmodeSize},
        {"zero", 0, kOemDevmodeSize, 0},
        {"shorter than header", 7, kOemDevmodeSize, 7},
        {"sixteen", 16, kOemDevmodeSize, 16},
        {"output smaller", kOemDevmodeSize, 100, 100},
    };
    struct Guarded {
        OemDevmode dm;
        BYTE canary[64];
    };
    FakeDefaults defaults;
    for (const SizeCase &c : cases) {
        for (int side = 0; side < 2; ++side) {
            SCOPED_TRACE(std::string(c.name) + (side ? " (UI)" : " (render)"));
            Guarded in, out;
            std::memset(&in, 0xC3, sizeof(in));
            std::memset(&out, 0xE1, sizeof(out));
            in.dm.dwSize = c.inSize;
            in.dm.dwSignature = kOemSignature;
            out.dm.dwSize = c.outSize;
            out.dm.dwSignature = kOemSignature;
            if (side) UiDevmodeConvert(&in.dm, &out.dm, defaults);
            else RenderDevmodeConvert(&in.dm, &out.dm);
            for (BYTE b : out.canary) ASSERT_EQ(b, 0xE1);
            EXPECT_EQ(out.dm.dwSize, kOemDevmodeSize);
            EXPECT_EQ(out.dm.dwVersion, kOemVersion);
            // A byte of the input reached the output exactly up to the copy length (the wide string at 16 is
            // not rewritten by either side's clamps once copied).
            if (c.copied > 20) {
                EXPECT_EQ(reinterpret_cast<BYTE *>(&out.dm)[20], 0xC3);
            }
            if (c.copied < kOemDevmodeSize) {
                EXPECT_NE(reinterpret_cast<BYTE *>(&out.dm)[kOemDevmodeSize - 1], 0xC3);
            }
        }
    }
}

TEST(DevmodeBothSides, ConvertOntoItselfKeepsTheRecord)
{
    FakeDefaults defaults;
    OemDevmode dm = OwnRecord();
    dm.dwWatermarkIndex = 3;
    RenderDevmodeConvert(&dm, &dm);
    EXPECT_EQ(dm.dwWatermarkIndex, 3u);
    UiDevmodeConvert(&dm, &dm, defaults);
    EXPECT_EQ(dm.dwSignature, kOemSignature);
}

TEST(UiDevmode, DefaultFillsFromConfigurationAndLibrary)
{
    FakeDefaults defaults;
    defaults.compression = 0x0301;
    OemDevmode out = Filled(0x42);
    UiDevmodeDefault(&out, defaults);
    EXPECT_EQ(out.dwSize, kOemDevmodeSize);
    EXPECT_EQ(out.dwSignature, kOemSignature);
    EXPECT_EQ(out.dwVersion, kOemVersion);
    EXPECT_EQ(out.wOverlayIndex[0], 255);
    EXPECT_EQ(out.wOverlayIndex[1], 0x4242); // only the first element is reset
    EXPECT_EQ(out.wszJobName[0], 0);
    EXPECT_EQ(out.wszJobPassword[0], 0);
    EXPECT_EQ(out.dwReserved604, 1u);
    EXPECT_EQ(out.dwReserved3872, 0u);
    EXPECT_EQ(out.bNupSel, 0);
    EXPECT_EQ(out.dwCryptoMode, 2u);
    EXPECT_EQ(out.dwCryptoLevel, 3u);
    EXPECT_EQ(out.dwAskPassword, 1u);
    EXPECT_EQ(out.dwCryptoTime, 0x00050007u);
    EXPECT_EQ(out.dwEncryptedPasswordLen, 0u);
    EXPECT_EQ(out.bEncryptedPassword[0], 0);
    EXPECT_EQ(WString(out.wszPluginIniFile), defaults.iniPath);
    EXPECT_EQ(WString(out.wszCapabilityFile), defaults.capFile);
    EXPECT_EQ(WString(out.wszDriverDirectory), defaults.driverDir);
    EXPECT_EQ(out.wCompressionLevel, 1);
}

TEST(UiDevmode, DefaultWithoutLibraryOrIniLeavesThoseFields)
{
    FakeDefaults defaults;
    defaults.haveCrypto = false;
    defaults.iniPath = nullptr;
    defaults.driverDir = nullptr;
    OemDevmode out = Filled(0x42);
    std::memcpy(out.wszPluginIniFile, TEXT("C:\\old.ini"), 22);
    UiDevmodeDefault(&out, defaults);
    EXPECT_EQ(out.dwCryptoMode, 0x42424242u);
    EXPECT_EQ(out.dwEncryptedPasswordLen, 0x42424242u);
    EXPECT_EQ(WString(out.wszPluginIniFile), TEXT("C:\\old.ini"));
    EXPECT_EQ(out.wszDriverDirectory[0], 0);
}

TEST(UiDevmode, CompressionLevelFromModelBits)
{
    const struct {
        int model;
        WORD level;
    } cases[] = {{0x0000, 0}, {0x0301, 1}, {0x0100, 1}, {0x0400, 2}, {0x0601, 2},
                 {0x0700, 3}, {0x0900, 3}, {0x0A00, 3}, {0x0F00, 3}, {0x1000, 0}};
    for (const auto &c : cases) EXPECT_EQ(CompressionLevelFromModel(c.model), c.level) << std::hex << c.model;
}

TEST(UiDevmode, ConvertOfShortOwnRecordKeepsResetTail)
{
    FakeDefaults defaults;
    OemDevmode in = Filled(0x33);
    in.dwSize = 16;
    in.dwSignature = kOemSignature;
    in.dwOptItemValue = 42;
    OemDevmode out = Filled(0x99);
    out.dwSize = kOemDevmodeSize;
    out.dwSignature = kOemSignature;
    UiDevmodeConvert(&in, &out, defaults);
    EXPECT_EQ(out.dwOptItemValue, 42);
    EXPECT_EQ(out.dwSize, kOemDevmodeSize);
    EXPECT_EQ(out.dwVersion, kOemVersion);
    EXPECT_EQ(out.wOverlayIndex[0], 255);
    EXPECT_EQ(out.dwWatermarkIndex, 0u);
    EXPECT_EQ(out.dwCryptoMode, 2u);
    EXPECT_EQ(out.dwCryptoTime, 0x00050007u);
    EXPECT_EQ(out.dwGammaSel, 0u);
}

TEST(UiDevmode, ConvertOfForeignRecordTakesNothing)
{
    FakeDefaults defaults;
    OemDevmode in = Filled(0x33);
    in.dwSize = kOemDevmodeSize;
    in.dwSignature = 0x31303030;
    OemDevmode out = Filled(0x99);
    out.dwSignature = kOemSignature;
    UiDevmodeConvert(&in, &out, defaults);
    EXPECT_EQ(out.dwSize, kOemDevmodeSize);
    EXPECT_EQ(out.dwReserved84, 0u);
    EXPECT_EQ(out.dwCryptoLevel, 3u);
    EXPECT_EQ(out.dwWatermarkIndex, 0u);
    const BYTE *bytes = reinterpret_cast<const BYTE *>(&out);
    for (size_t i = 0; i < sizeof(out); ++i) ASSERT_NE(bytes[i], 0x33) << "byte " << i;
}

TEST(UiDevmode, MergeLimitsOptionValue)
{
    FakeDefaults defaults;
    const struct {
        LONG in, out;
    } cases[] = {{101, 0}, {100, 100}, {-1, -1}, {0, 0}};
    for (const auto &c : cases) {
        OemDevmode in = OwnRecord();
        in.dwOptItemValue = c.in;
        OemDevmode out = OwnRecord();
        UiDevmodeMerge(&in, &out, defaults);
        EXPECT_EQ(out.dwOptItemValue, c.out) << c.in;
        EXPECT_EQ(out.dwSignature, kOemSignature);
    }
}

TEST(DevModeMethod, ModesAndBadParameters)
{
    FakeDefaults defaults;
    for (int side = 0; side < 2; ++side) {
        auto call = [&](DWORD mode, OEMDMPARAM *p) {
            return side ? UiDevMode(mode, p, defaults) : RenderDevMode(mode, p);
        };
        OEMDMPARAM param = {};
        param.cbBufSize = 0xDEAD;
        EXPECT_EQ(call(OEMDM_SIZE, &param), S_OK);
        EXPECT_EQ(param.cbBufSize, kOemDevmodeSize);
        for (DWORD mode : {0u, 5u}) {
            SetLastError(0xdeadbeef);
            EXPECT_EQ(call(mode, &param), E_FAIL);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        }
        SetLastError(0xdeadbeef);
        EXPECT_EQ(call(OEMDM_DEFAULT, nullptr), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        // Null records: every mode succeeds and does nothing.
        for (DWORD mode : {OEMDM_DEFAULT, OEMDM_CONVERT, OEMDM_MERGE}) EXPECT_EQ(call(mode, &param), S_OK);
        OemDevmode out = Filled(0);
        param.pOEMDMOut = &out;
        EXPECT_EQ(call(OEMDM_DEFAULT, &param), S_OK);
        EXPECT_EQ(out.dwSignature, kOemSignature);
    }
}

} // namespace
