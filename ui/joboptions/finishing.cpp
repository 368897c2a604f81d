// The finishing constraints: paper classes, punch availability and the bind position rules.
#include "ui/joboptions/finishing.h"

#include <cstring>

#include "common/keywords.h"
#include "ui/sheetdata.h"
#include "ui/slots.h"

namespace zep {
namespace {

constexpr DWORD kBookletBindPosition = 4;
constexpr BYTE kBookletLayout = 6;
constexpr size_t kLayoutOffset = 356; // the core's pages-per-sheet layout code, from the DEVMODE's start

struct PaperRow {
    const char *names[4];
    int booklet;    // class with the booklet layout
    int plain;      // class otherwise
    bool turns;     // landscape adds 1 to the plain class
};

const PaperRow kPaperClasses[] = {
    {{"Letter", "A4"}, 4, 5, false},
    {{"B5"}, 0, 1, false},
    {{"A3", "B4", "Tabloid"}, 4, 6, true},
    {{"FanFoldGermanLegal", "ZPLegal", "Legal", "Executive"}, 0, 2, true},
};

bool Named(const char *const (&names)[4], const char *name)
{
    for (const char *candidate : names)
        if (candidate && std::strcmp(candidate, name) == 0) return true;
    return false;
}

bool TurnsPage(BYTE layout) { return layout == 1 || layout == 3; }
bool Landscape(const FinishingInputs &in) { return !in.portrait != TurnsPage(in.layout); }

bool IsLegalClass(const char *name)
{
    return Named(kPaperClasses[3].names, name) && std::strcmp(name, "Executive") != 0;
}

// Bind position by paper class: from the positions in `from` (bit per position; all when 0x1F) to `to`.
struct BindRule {
    DWORD from;
    DWORD to;
};
constexpr DWORD kAnyBind = 0x1F;
constexpr DWORD kKeepBind = 0xFFFFFFFF;
const BindRule kBindRules[8] = {
    {kAnyBind, kKeepBind},             // 0: decided by the layout signature
    {1u << 4, 2},                      // 1
    {(1u << 4) | (1u << 3) | (1u << 2), 0}, // 2
    {(1u << 4) | (1u << 1) | (1u << 0), 2}, // 3
    {kAnyBind, 4},                     // 4
    {0, kKeepBind},                    // 5
    {(1u << 3) | (1u << 2), 0},        // 6
    {(1u << 1) | (1u << 0), 2},        // 7
};

} // namespace

int PaperClass(const FinishingInputs &in)
{
    const char *name = in.pageSize ? in.pageSize : "";
    int paperClass = 0;
    for (const PaperRow &row : kPaperClasses) {
        if (!Named(row.names, name)) continue;
        if (in.layout == kBookletLayout)
            paperClass = row.booklet;
        else
            paperClass = row.plain + (row.turns && Landscape(in) ? 1 : 0);
        break;
    }
    if (in.duplexNone && paperClass >= 4) paperClass -= 4;
    return paperClass;
}

int PunchAvailability(const FinishingInputs &in, DWORD bindPosition)
{
    if (in.layout == kBookletLayout) return 0;
    const char *name = in.pageSize ? in.pageSize : "";
    const DWORD upright = Landscape(in) ? 0 : 1;
    const int ruleA = upright != bindPosition ? 1 : 0;
    const int ruleB = upright == bindPosition ? 3 : 1;
    auto is = [name](const char *candidate) { return std::strcmp(name, candidate) == 0; };
    switch (in.punchUnit) {
    case 2:
    case 4:
        return is("A3") || is("A4") || is("B5") || is("B4") || is("Letter") || IsLegalClass(name) ||
                       is("Executive") || is("Tabloid")
                   ? 1
                   : 0;
    case 1:
        if (is("A3")) return 1;
        if (is("Tabloid")) return 2;
        if (IsLegalClass(name)) return 4;
        if (is("A4")) return ruleA;
        if (is("Letter")) return ruleB;
        return 0;
    case 3:
        if (is("A3")) return 1;
        if (is("A4")) return ruleA;
        return 0;
    default: return 0;
    }
}

void ApplyFinishingConstraints(OemUiContext &ctx, OemDevmode &dm, const FinishingInputs &in)
{
    const bool hasStaple = SlotPresent(ctx, slotStaple);
    const bool hasPunch = SlotPresent(ctx, slotPunch);
    const bool hasBind = SlotPresent(ctx, slotBindPosition);
    const int paperClass = PaperClass(in);
    const int punchable = PunchAvailability(in, hasBind ? SlotSel(ctx, slotBindPosition) : kDefaultBindPosition);

    auto resetFinishing = [&] {
        if (hasStaple) SlotSel(ctx, slotStaple) = 0;
        if (hasPunch) SlotSel(ctx, slotPunch) = 0;
        if (hasBind) SlotSel(ctx, slotBindPosition) = kDefaultBindPosition;
    };
    if (in.paperSize != dm.dwLastPaperSize) {
        dm.dwLastPaperSize = in.paperSize;
        resetFinishing();
    }
    BYTE signature = in.layout;
    if (in.orientationSel == 1)
        signature = static_cast<BYTE>(signature + 0x80);
    else if (in.orientationSel == 2)
        signature = static_cast<BYTE>(signature + 0x40);
    signature = static_cast<BYTE>(signature + (in.punchUnit << 3));
    if (signature != dm.bLastLayoutSignature) {
        dm.bLastLayoutSignature = signature;
        resetFinishing();
    }

    if (hasBind) {
        DWORD &bind = SlotSel(ctx, slotBindPosition);
        if (paperClass == 0) {
            bind = signature == kBookletLayout ? kBookletBindPosition : kDefaultBindPosition;
        } else {
            const BindRule &rule = kBindRules[paperClass];
            if (bind < 5 && (rule.from >> bind & 1) && rule.to != kKeepBind) bind = rule.to;
        }
    }
    if (hasStaple && paperClass == 0) SlotSel(ctx, slotStaple) = 0;
    if (hasPunch) {
        DWORD &punch = SlotSel(ctx, slotPunch);
        const bool booklet = hasBind && SlotSel(ctx, slotBindPosition) == kBookletBindPosition;
        if (paperClass == 0 || booklet || punchable == 0) punch = 0;
        if (in.punchUnit == 1 && punchable == 3 && punch == 3) punch = 0;
    }
}

FinishingInputs ReadFinishingInputs(const OemUiContext &ctx, char (&pageSize)[64])
{
    FinishingInputs in;
    CHAR value[64] = {};
    ReadCoreSetting(ctx, kw::kPunchUnit, value);
    static const char *const kUnits[] = {kw::kPunchType1, kw::kPunchType2, kw::kPunchType3, kw::kPunchType4};
    for (int i = 0; i < 4; ++i)
        if (std::strcmp(value, kUnits[i]) == 0) in.punchUnit = i + 1;
    pageSize[0] = 0;
    ReadCoreSetting(ctx, kw::kPageSize, pageSize);
    in.pageSize = pageSize;
    in.duplexNone = CoreSettingIs(ctx, kw::kDuplex, kw::kDuplexNone);
    if (const DEVMODEW *pub = SheetPublicDevmode(ctx)) {
        in.paperSize = static_cast<DWORD>(pub->dmPaperSize);
        in.portrait = pub->dmOrientation == DMORIENT_PORTRAIT;
        // The layout byte lies in the core's private part; a DEVMODE too short to hold it has none.
        if (static_cast<size_t>(pub->dmSize) + pub->dmDriverExtra > kLayoutOffset)
            in.layout = reinterpret_cast<const BYTE *>(pub)[kLayoutOffset];
    }
    if (const OPTITEM *orientation = SlotItem(ctx, slotOrientation))
        in.orientationSel = static_cast<DWORD>(orientation->Sel);
    return in;
}

} // namespace zep
