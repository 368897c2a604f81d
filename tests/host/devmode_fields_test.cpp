// Setting job settings record fields by name, as the host's -s option does.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "host/core/devmode_fields.h"
#include "tests/common/test_support.h"

using namespace zep;
using namespace zep::host;
using zeptest::WString;

namespace {

TEST(DevmodeFields, AcceptedValues)
{
    const struct {
        const char *name;
        const char *value;
        std::function<bool(const OemDevmode &)> check;
    } cases[] = {
        {"wszJobName", "Report", [](auto &d) { return WString(d.wszJobName) == TEXT("Report"); }},
        {"wszJobName", "1234567890123456", [](auto &d) { return d.wszJobName[15] == '6' && d.wszJobName[16] == 0; }},
        {"wszJobName", "\xe5\xa0\xb1\xe5\x91\x8a", [](auto &d) { return WString(d.wszJobName) == TEXT("\u5831\u544a"); }},
        {"wszJobName", "\xf0\x9f\x98\x80", [](auto &d) { return d.wszJobName[0] == 0xD83D && d.wszJobName[1] == 0xDE00; }},
        {"wszJobPassword", "1234", [](auto &d) { return WString(d.wszJobPassword) == TEXT("1234"); }},
        {"dwAskJobName", "1", [](auto &d) { return d.dwAskJobName == 1; }},
        {"dwWatermarkIndex", "0x10", [](auto &d) { return d.dwWatermarkIndex == 16; }},
        {"dwCryptoTime", "0x00170037", [](auto &d) { return d.dwCryptoTime == 0x00170037; }},
        {"dwSize", "4294967295", [](auto &d) { return d.dwSize == 0xFFFFFFFFu; }},
        {"dwOptItemValue", "-1", [](auto &d) { return d.dwOptItemValue == -1; }},
        {"sAngle", "-180", [](auto &d) { return d.watermark.sAngle == -180; }},
        {"watermark.lPointSize", "72", [](auto &d) { return d.watermark.lPointSize == 72; }},
        {"wCompressionLevel", "3", [](auto &d) { return d.wCompressionLevel == 3; }},
        {"bNupSel", "255", [](auto &d) { return d.bNupSel == 255; }},
        {"wOverlayIndex", "3,7", [](auto &d) {
             return d.wOverlayIndex[0] == 3 && d.wOverlayIndex[1] == 7 && d.wOverlayIndex[2] == 255 &&
                    d.wOverlayIndex[3] == 255;
         }},
        {"wOverlayIndex", "", [](auto &d) { return d.wOverlayIndex[0] == 255 && d.wOverlayIndex[3] == 255; }},
        {"bToneData", "1, 2,0xff", [](auto &d) { return d.bToneData[0] == 1 && d.bToneData[2] == 255 && d.bToneData[3] == 0; }},
        {"szPsColor", "0.75 0.75 0.75", [](auto &d) { return std::strcmp(d.watermark.szPsColor, "0.75 0.75 0.75") == 0; }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        OemDevmode dm;
        std::memset(&dm, 0xAB, sizeof(dm));
        std::string error = "unchanged";
        ASSERT_TRUE(SetOemDevmodeField(dm, c.name, c.value, &error));
        EXPECT_EQ(error, "unchanged");
        EXPECT_TRUE(c.check(dm));
    }
}

TEST(DevmodeFields, RejectedValuesLeaveTheRecordAlone)
{
    const struct {
        const char *name;
        const char *value;
    } cases[] = {
        {"wszJobName", "12345678901234567"},   // 17 characters
        {"wszJobPassword", "12345"},
        {"wszJobName", "\xff\xfe"},             // not UTF-8
        {"wszJobName", "\xc0\xaf"},             // overlong
        {"wszJobName", "\xed\xa0\x80"},         // a surrogate
        {"dwWatermarkIndex", "4294967296"},
        {"dwWatermarkIndex", "-1"},
        {"dwWatermarkIndex", "12x"},
        {"dwWatermarkIndex", ""},
        {"dwWatermarkIndex", "0x"},
        {"bNupSel", "256"},
        {"wCompressionLevel", "0x10000"},
        {"sAngle", "40000"},
        {"dwOptItemValue", "2147483648"},
        {"wOverlayIndex", "1,2,3,4,5"},
        {"wOverlayIndex", "1,,2"},
        {"wOverlayIndex", "1,"},
        {"wOverlayIndex", "70000"},
        {"szPsColor", "0123456789abcdef"},
        {"dwNoSuchField", "1"},
        {"dwReserved84", "1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.name) + "=" + c.value);
        OemDevmode dm, before;
        std::memset(&dm, 0xAB, sizeof(dm));
        before = dm;
        std::string error;
        EXPECT_FALSE(SetOemDevmodeField(dm, c.name, c.value, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(std::memcmp(&dm, &before, sizeof(dm)), 0);
        EXPECT_FALSE(SetOemDevmodeField(dm, c.name, c.value, nullptr));
    }
}

TEST(DevmodeFields, NamesListCoversTheNamedFields)
{
    std::string names = OemDevmodeFieldNames();
    for (const char *n : {"wszJobName", "dwAskJobName", "wOverlayIndex", "bNupSel", "dwCryptoMode", "dwGammaSel",
                          "wszWatermarkText", "bEncryptedPassword", "wFontStyle"})
        EXPECT_NE(names.find(n), std::string::npos) << n;
}

} // namespace
