// The IC card query both plug-ins make: the library named by "CARD_DLL", loaded from the driver folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/companions.h"
#include "common/config.h"
#include "common/cryptolib.h"
#include "test_support.h"

namespace {

using namespace zep;

std::string CardLibraryBytes()
{
    std::ifstream in(ZEP_CARD_LIBRARY_PATH, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Companions, CardQueryAsksTheLibraryTheModelSectionNames)
{
    const std::string library = CardLibraryBytes();
    ASSERT_FALSE(library.empty()) << ZEP_CARD_LIBRARY_PATH;
    // The card configuration lands in the driver folder that every driver of the machine shares (under Wine, the
    // prefix the scenarios print in later): it goes when the test ends, however it ends.
    struct RemoveCardConfig {
        ~RemoveCardConfig() { DeleteFileW((zeptest::DriverDirectory() + TEXT("\\3\\ZepCard.ini")).c_str()); }
    } removeCardConfig;
    const struct {
        const char *name;
        const char *cardKey;     // the model section's CARD_DLL line
        const char *cardConfig;  // the library's own configuration beside the capability file
        DWORD expected;
    } rows[] = {
        {"installed", "CARD_DLL=ZepCard.dll\r\n", "[CardDriver]\r\nInstalled=1\r\n", 1},
        {"not installed", "CARD_DLL=ZepCard.dll\r\n", "[CardDriver]\r\nInstalled=0\r\n", 0},
        {"no key", "", "[CardDriver]\r\nInstalled=1\r\n", 0},
        {"a name with a path is not loaded", "CARD_DLL=..\\3\\ZepCard.dll\r\n", "[CardDriver]\r\nInstalled=1\r\n", 0},
        {"a library that is not there", "CARD_DLL=Missing.dll\r\n", "[CardDriver]\r\nInstalled=1\r\n", 0},
    };
    int n = 0;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const std::string driver = "Zep Card Driver " + std::to_string(n++);
        HANDLE h = zeptest::InstallPrinter("Card Printer " + driver, driver,
                                           {{"zep.ini", zeptest::kPluginIniText},
                                            {"zep.cap", zeptest::CapabilityText(driver, r.cardKey)},
                                            {"ZepCard.dll", library},
                                            {"ZepCard.ini", r.cardConfig}});
        ASSERT_NE(h, nullptr) << GetLastError();
        WCHAR ini[MAX_PATH + 1] = {};
        ASSERT_TRUE(FindDriverFiles(h, ini));
        EXPECT_EQ(QueryCardDriver(h), r.expected);
        ClosePrinter(h);
    }
    EXPECT_EQ(QueryCardDriver(nullptr), 0u);
}

TEST(Companions, CardDataIsReadFromTheCardInTheReader)
{
    const std::string library = CardLibraryBytes();
    ASSERT_FALSE(library.empty()) << ZEP_CARD_LIBRARY_PATH;
    const std::string card32 = "[CardDriver]\r\nCardData=" + std::string(64, 'a') + "\r\n";
    const std::string card33 = "[CardDriver]\r\nCardData=" + std::string(66, 'a') + "\r\n";
    const struct {
        const char *name;
        std::string cardConfig; // the library's configuration beside the capability file holds the card
        DWORD result;
        std::string data;
    } rows[] = {
        {"a card", "[CardDriver]\r\nInstalled=1\r\nCardData=00ff1A2b\r\n", 1, std::string("\x00\xff\x1a\x2b", 4)},
        {"the driver's own section first",
         "[CardDriver]\r\nCardData=01\r\n[DRIVER]\r\nCardData=0203\r\n", 1, "\x02\x03"},
        {"32 bytes, the longest card", card32, 1, std::string(32, '\xaa')},
        {"33 bytes are more than a card holds", card33, 0, ""},
        {"no card", "[CardDriver]\r\nInstalled=1\r\n", 0, ""},
        {"an odd number of digits", "[CardDriver]\r\nCardData=123\r\n", 0, ""},
        {"not hex", "[CardDriver]\r\nCardData=12zz\r\n", 0, ""},
    };
    int n = 0;
    for (const auto &r : rows) {
        SCOPED_TRACE(r.name);
        const std::string driver = "Zep Card Data Driver " + std::to_string(n++);
        std::string config = r.cardConfig;
        if (size_t at = config.find("DRIVER"); at != std::string::npos) config.replace(at, 6, driver);
        HANDLE h = zeptest::InstallPrinter("Card Data Printer " + driver, driver,
                                           {{"zep.ini", zeptest::kPluginIniText},
                                            {"zep.cap", zeptest::CapabilityText(driver, "CARD_DLL=ZepCard.dll\r\n")},
                                            {"ZepCard.dll", library},
                                            {"ZepCard.ini", config}});
        ASSERT_NE(h, nullptr) << GetLastError();
        WCHAR ini[MAX_PATH + 1] = {};
        ASSERT_TRUE(FindDriverFiles(h, ini));
        BYTE key[kKeyBytes];
        std::memset(key, 0xCC, sizeof key);
        DWORD size = 0;
        EXPECT_EQ(GetCardData(h, key, &size), r.result);
        if (r.result) {
            EXPECT_EQ(std::string(reinterpret_cast<char *>(key), size), r.data);
        } else {
            EXPECT_EQ(key[0], 0xCC) << "a card that cannot be read leaves the key alone";
        }
        ClosePrinter(h);
    }
}

} // namespace
