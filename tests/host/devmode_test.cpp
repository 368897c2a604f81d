// The public DEVMODE fields the core fills from the PPD.
#include "host/core/devmode.h"

#include <gtest/gtest.h>

using namespace zep::host;

TEST(PublicDefaults, ResolutionOnlyWhenItFitsTheFields)
{
    struct Case {
        const char *resolution;
        SHORT x, y;  // 0: left unset
    } cases[] = {
        {"600dpi", 600, 600},
        {"600x1200dpi", 600, 1200},
        {"32767dpi", 32767, 32767},
        {"32768dpi", 0, 0},
        {"4294967896dpi", 0, 0},  // 2^32 + 600: must not wrap round to 600
        {"600x4294967896dpi", 0, 0},
        {"99999999999999999999999x600dpi", 0, 0},
        {"0dpi", 0, 0},
        {"dpi", 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.resolution);
        Ppd ppd;
        std::string error;
        std::string r = c.resolution;
        ASSERT_TRUE(ppd.Parse("*OpenUI *Resolution: PickOne\n*DefaultResolution: " + r + "\n*Resolution " + r +
                                  ": \"\"\n*CloseUI: *Resolution\n",
                              {}, error))
            << error;
        DEVMODEW dm{};
        FillPublicDefaults(dm, ppd, {}, TEXT("Zep Demo"));
        EXPECT_EQ(dm.dmPrintQuality, c.x);
        EXPECT_EQ(dm.dmYResolution, c.y);
        EXPECT_EQ((dm.dmFields & DM_PRINTQUALITY) != 0, c.x != 0);
    }
}
