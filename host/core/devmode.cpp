// The job's DEVMODE: public defaults from the PPD and the stored printer defaults.
#include "host/core/devmode.h"

#include <algorithm>
#include <cstring>

namespace zep::host {

namespace {

struct PaperEntry {
    const char *option;
    SHORT paper;
};
// PPD PageSize options and the DEVMODE paper sizes they stand for.
constexpr PaperEntry kPapers[] = {
    {"Letter", 1}, {"Tabloid", 3}, {"Legal", 5},  {"Statement", 6}, {"Executive", 7}, {"A3", 8},
    {"A4", 9},     {"A5", 11},     {"B4", 12},    {"B5", 13},       {"Env10", 20},     {"EnvDL", 27},
    {"EnvC5", 28}, {"EnvMonarch", 37},
};

struct DuplexEntry {
    const char *option;
    SHORT duplex;
};
constexpr DuplexEntry kDuplex[] = {
    {"None", DMDUP_SIMPLEX}, {"DuplexNoTumble", DMDUP_VERTICAL}, {"DuplexTumble", DMDUP_HORIZONTAL}};

constexpr SHORT kBinFormSource = 15;  // "automatically select" by form

std::string Selected(const Ppd &ppd, const std::map<std::string, std::string> &selection, const char *keyword)
{
    auto it = selection.find(keyword);
    if (it != selection.end()) return it->second;
    const PpdFeature *f = ppd.Find(keyword);
    return f ? f->defaultOption : std::string();
}

void CopyName(WCHAR *dst, size_t capacity, const WString &src)
{
    size_t n = std::min(src.size(), capacity - 1);
    std::memcpy(dst, src.data(), n * sizeof(WCHAR));
    dst[n] = 0;
}

// The decimal number at the front of `text`, taken off it: 0 when there is none or it is larger than a SHORT holds.
int TakeDpi(std::string_view &text)
{
    int value = 0;
    bool fits = true;
    size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (fits) value = value * 10 + (text[i] - '0');
        if (value > 0x7FFF) fits = false;
    }
    text.remove_prefix(i);
    return fits ? value : 0;
}

} // namespace

void JobDevmode::Allocate(DWORD oemSize) { bytes_.assign(kCoreDevmodeSize + oemSize, 0); }

void FillPublicDefaults(DEVMODEW &dm, const Ppd &ppd, const std::map<std::string, std::string> &selection,
                        const WString &deviceName)
{
    CopyName(dm.dmDeviceName, CCHDEVICENAME, deviceName);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = 0x0100;
    dm.dmSize = sizeof(DEVMODEW);
    dm.dmFields = DM_ORIENTATION | DM_SCALE | DM_COPIES | DM_DEFAULTSOURCE | DM_COLOR | DM_COLLATE;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmScale = 100;
    dm.dmCopies = 1;
    dm.dmDefaultSource = kBinFormSource;
    dm.dmCollate = DMCOLLATE_FALSE;
    dm.dmColor = ppd.Attribute("ColorDevice") == "True" ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;

    std::string paper = Selected(ppd, selection, "PageSize");
    for (const PaperEntry &p : kPapers)
        if (paper == p.option) {
            dm.dmPaperSize = p.paper;
            dm.dmFields |= DM_PAPERSIZE;
        }
    if (const PpdFeature *f = ppd.Find("PageSize"))
        if (const PpdOption *o = f->Find(paper)) {
            CopyName(dm.dmFormName, CCHFORMNAME, Widen(o->text));
            dm.dmFields |= DM_FORMNAME;
        }

    std::string duplex = Selected(ppd, selection, "Duplex");
    for (const DuplexEntry &d : kDuplex)
        if (duplex == d.option) {
            dm.dmDuplex = d.duplex;
            dm.dmFields |= DM_DUPLEX;
        }

    // "600dpi" or "600x600dpi"; a number that does not fit the DEVMODE's SHORT fields leaves the resolution unset.
    std::string resolution = Selected(ppd, selection, "Resolution");
    if (resolution.empty()) resolution = ppd.Attribute("DefaultResolution");
    std::string_view rest = resolution;
    int x = TakeDpi(rest), y = x;
    if (!rest.empty() && rest.front() == 'x') {
        rest.remove_prefix(1);
        y = TakeDpi(rest);
    }
    if (x > 0 && y > 0) {
        dm.dmPrintQuality = static_cast<SHORT>(x);
        dm.dmYResolution = static_cast<SHORT>(y);
        dm.dmFields |= DM_PRINTQUALITY | DM_YRESOLUTION;
    }
}

bool SplitStoredDevmode(const BYTE *dm, size_t size, StoredDevmode &out)
{
    if (!dm || size < kCoreDevmodeSize) return false;
    DEVMODEW pub;
    std::memcpy(&pub, dm, sizeof pub);
    if (pub.dmSize != sizeof(DEVMODEW) || pub.dmDriverExtra < sizeof(CorePrivateDevmode)) return false;
    if (size < size_t(pub.dmSize) + pub.dmDriverExtra) return false;
    CorePrivateDevmode core;
    std::memcpy(&core, dm + sizeof(DEVMODEW), sizeof core);
    if (core.dwSignature != kCoreDevmodeSignature || core.dwPrivateSize != sizeof(CorePrivateDevmode)) return false;
    out.publicPart = pub;
    out.corePart = core;
    size_t oem = pub.dmDriverExtra - sizeof(CorePrivateDevmode);
    out.oemPart.assign(dm + kCoreDevmodeSize, dm + kCoreDevmodeSize + oem);
    return true;
}

} // namespace zep::host
