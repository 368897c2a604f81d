// The finishing constraints as plain functions: paper classes, punch availability and the rules on the slots.
#include "page_fixture.h"
#include "ui/joboptions/finishing.h"

namespace zeptest {
namespace {

using namespace zep;

TEST(FinishingConstraints, PaperClass)
{
    const struct {
        const char *paper;
        BYTE layout;
        bool portrait;
        bool duplexNone;
        int expected;
    } cases[] = {
        {"A4", 0, true, false, 5},        {"A4", 6, true, false, 4},       {"A4", 0, true, true, 1},
        {"B5", 0, true, false, 1},        {"A3", 0, true, false, 6},       {"A3", 0, false, false, 7},
        {"A3", 1, false, false, 6},       {"Tabloid", 3, true, false, 7},  {"Legal", 0, false, false, 3},
        {"Executive", 6, true, false, 0}, {"Postcard", 0, true, false, 0}, {"A3", 0, false, true, 3},
    };
    for (const auto &c : cases) {
        FinishingInputs in;
        in.pageSize = c.paper;
        in.layout = c.layout;
        in.portrait = c.portrait;
        in.duplexNone = c.duplexNone;
        EXPECT_EQ(PaperClass(in), c.expected) << c.paper << " layout " << int(c.layout) << " portrait " << c.portrait;
    }
}

TEST(FinishingConstraints, PunchAvailability)
{
    const struct {
        int unit;
        const char *paper;
        bool portrait;
        DWORD bind;
        BYTE layout;
        int expected;
    } cases[] = {
        {2, "Executive", true, 2, 0, 1}, {4, "Postcard", true, 2, 0, 0}, {2, "A4", true, 2, 6, 0},
        {1, "A3", true, 2, 0, 1},        {1, "Tabloid", true, 2, 0, 2},  {1, "ZPLegal", true, 2, 0, 4},
        {1, "A4", true, 0, 0, 1},        {1, "A4", true, 1, 0, 0},       {1, "Letter", true, 1, 0, 3},
        {1, "Letter", false, 1, 0, 1},   {3, "A4", false, 0, 0, 0},      {3, "B5", true, 0, 0, 0},
        {0, "A3", true, 0, 0, 0},
    };
    for (const auto &c : cases) {
        FinishingInputs in;
        in.punchUnit = c.unit;
        in.pageSize = c.paper;
        in.portrait = c.portrait;
        in.layout = c.layout;
        EXPECT_EQ(PunchAvailability(in, c.bind), c.expected) << c.unit << " " << c.paper << " bind " << c.bind;
    }
}

TEST_F(JobOptionsPageTest, ConstraintsOnTheSlots)
{
    const struct {
        const char *name;
        FinishingInputs in;
        DWORD staple, punch, bind;       // before
        DWORD stapleAfter, punchAfter, bindAfter;
    } cases[] = {
        {"unknown paper clears staple and punch", {0, "Postcard", false, 9}, 1, 1, 1, 0, 0, 2},
        {"booklet signature binds at 4", {0, "Postcard", false, 9, true, 6}, 1, 1, 1, 0, 0, 4},
        {"A3 upright moves bind 3 to 0", {2, "A3", false, 9, true}, 1, 1, 3, 1, 1, 0},
        {"A3 turned leaves bind 3", {2, "A3", false, 9, false}, 1, 1, 3, 1, 1, 3},
        {"letter keeps everything", {2, "Letter", false, 9}, 1, 1, 1, 1, 1, 1},
        {"type 1 letter drops punch 3", {1, "Letter", false, 9, true}, 1, 3, 1, 1, 0, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Sel(slotStaple) = c.staple;
        Sel(slotPunch) = c.punch;
        Sel(slotBindPosition) = c.bind;
        // Nothing remembered differs: only the class rules act.
        OemDevmode dm = {};
        dm.dwLastPaperSize = c.in.paperSize;
        dm.bLastLayoutSignature = static_cast<BYTE>(c.in.layout + (c.in.punchUnit << 3));
        ApplyFinishingConstraints(ctx, dm, c.in);
        EXPECT_EQ(Sel(slotStaple), c.stapleAfter);
        EXPECT_EQ(Sel(slotPunch), c.punchAfter);
        EXPECT_EQ(Sel(slotBindPosition), c.bindAfter);
    }

    // A new layout signature resets all three before the rules run.
    Sel(slotStaple) = 1;
    Sel(slotPunch) = 1;
    Sel(slotBindPosition) = 1;
    OemDevmode dm = {};
    FinishingInputs in{2, "Letter", false, 0, true, 0, 1};
    ApplyFinishingConstraints(ctx, dm, in);
    EXPECT_EQ(dm.bLastLayoutSignature, 0x80 + (2 << 3));
    EXPECT_EQ(Sel(slotStaple), 0u);
    EXPECT_EQ(Sel(slotBindPosition), 2u);
}

} // namespace
} // namespace zeptest
