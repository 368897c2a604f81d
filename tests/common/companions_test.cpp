// The IC card query both plug-ins make: the library named by "CARD_DLL", loaded from the driver folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "common/companions.h"
#include "common/config.h"
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

} // namespace
