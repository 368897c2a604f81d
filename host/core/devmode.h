// The job's DEVMODE as the stand-in core driver lays it out: public part, core private part, plug-in section.
#pragma once
#include "host/core/ppd.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace zep::host {

// The core's private part, right behind the 220-byte public DEVMODEW. Three bytes have a meaning the plug-ins
// rely on, counted from the DEVMODE's start: 224 (install mark), 344 (PostScript output option), 356 (layout).
#pragma pack(push, 4)
struct CorePrivateDevmode {
    DWORD dwSignature;       // 220: kCoreDevmodeSignature
    BYTE bInstallMark;       // 224: 0x2E once the printer's defaults were set at installation
    BYTE bReserved0[3];
    DWORD dwPrivateSize;     // 228: sizeof(CorePrivateDevmode)
    DWORD dwOemSize;         // 232: size of the plug-in section that follows
    DWORD dwNupCount;        // 236: pages per sheet
    BYTE bFeatureSelection[104]; // 240: the kept PPD feature selection (count, then option position + 1 each)
    BYTE bPsOutputOption;    // 344: 0 speed, 1 portability, 2 Encapsulated PostScript, 3 archive
    BYTE bUiSelection[11];       // 345: selections only the UI shows (orientation, mirror, pages per sheet)
    BYTE bNupLayout;         // 356: pages-per-sheet layout code (1 and 3 turn the page, 6 is booklet)
    BYTE bReserved3[63];
};
#pragma pack(pop)
static_assert(sizeof(DEVMODEW) == 220);
static_assert(sizeof(CorePrivateDevmode) == 200);
static_assert(220 + offsetof(CorePrivateDevmode, bInstallMark) == 224);
static_assert(220 + offsetof(CorePrivateDevmode, bPsOutputOption) == 344);
static_assert(220 + offsetof(CorePrivateDevmode, bNupLayout) == 356);

inline constexpr DWORD kCoreDevmodeSignature = 0x43504558;  // the bytes "XEPC"
inline constexpr DWORD kPsOutputEps = 2;
inline constexpr DWORD kCoreDevmodeSize = sizeof(DEVMODEW) + sizeof(CorePrivateDevmode);

// One whole DEVMODE: public fields, core private part, plug-in section (of the plug-in's reported size).
class JobDevmode {
public:
    void Allocate(DWORD oemSize);
    DEVMODEW *Public() { return reinterpret_cast<DEVMODEW *>(bytes_.data()); }
    CorePrivateDevmode *Core() { return reinterpret_cast<CorePrivateDevmode *>(bytes_.data() + sizeof(DEVMODEW)); }
    BYTE *Oem() { return bytes_.data() + kCoreDevmodeSize; }
    DWORD OemSize() const { return static_cast<DWORD>(bytes_.size()) - kCoreDevmodeSize; }
    BYTE *Bytes() { return bytes_.data(); }
    DWORD Size() const { return static_cast<DWORD>(bytes_.size()); }

private:
    std::vector<BYTE> bytes_;  // DWORD-aligned by vector's allocator; every part starts on a multiple of 4
};

// Public fields from the selected PPD options: paper (and form name), orientation, colour, duplex, resolution.
void FillPublicDefaults(DEVMODEW &dm, const Ppd &ppd, const std::map<std::string, std::string> &selection,
                        const WString &deviceName);

// The parts of a stored DEVMODE (GetPrinterW level 8) that this core wrote: false when it is not one.
struct StoredDevmode {
    DEVMODEW publicPart{};
    CorePrivateDevmode corePart{};
    std::vector<BYTE> oemPart;
};
bool SplitStoredDevmode(const BYTE *dm, size_t size, StoredDevmode &out);

} // namespace zep::host
