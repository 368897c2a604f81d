// The plug-ins' private DEVMODE section (OemDevmode) and what both sides' DevMode method share; each side's own
// operations are in devmode_ui.h and devmode_render.h.
#pragma once
#include "common/win32.h"
#include "common/oemintf.h"

#include <cstddef>

namespace zep {

inline constexpr DWORD kOemDevmodeSize = 3884;
inline constexpr DWORD kOemSignature = 0x32303030; // the bytes "0002"
inline constexpr DWORD kOemVersion = 1;
inline constexpr WORD kOverlayUnused = 255;
inline constexpr DWORD kDefaultCryptoTime = 0x20000; // 2:00

// One little-endian layout for the 32-bit UI module and the 64-bit rendering module: fixed-width fields
// only, packed, and every offset pinned below.
#pragma pack(push, 1)

// The selected watermark's definition as the job carries it.
struct OemWatermarkBlock {
    LONG lPointSize;
    LONG lFontNo;
    SHORT sAngle;
    WORD wReserved1;
    LONG lOffsetX;
    LONG lOffsetY;
    DWORD crColor;
    BYTE bReserved2[262];
    WCHAR wszPsFontName[33];
    LONG lWeight;
    BYTE bItalic;
    BYTE bCharSet;
    WORD wPosition;
    WORD wTrim;
    WORD wBackground;
    BYTE bFirstPageOnly;
    BYTE bReserved3;
    WORD wFontStyle;
    CHAR szPsColor[16];
};

struct OemDevmode {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
    LONG dwOptItemValue;
    WCHAR wszJobName[17];
    WCHAR wszJobPassword[5];
    DWORD dwAskJobName;
    DWORD dwReserved64;
    DWORD dwWatermarkIndex;
    WORD wOverlayIndex[4];
    WORD wReserved80;
    WORD wReserved82;
    DWORD dwReserved84;
    BYTE bToneCount;
    BYTE bToneCountHigh;
    BYTE bToneData[253];
    BYTE bValueCount;
    BYTE bValueCountHigh;
    BYTE bValueData[255];
    DWORD dwColorCorrect;
    DWORD dwReserved604;
    OemWatermarkBlock watermark;
    WCHAR wszDriverDirectory[261];
    WCHAR wszPluginIniFile[261];
    WCHAR wszCapabilityFile[261];
    WORD wCompressionLevel;
    BYTE bNupSel;
    BYTE bReserved2561[3];
    DWORD dwLastPaperSize;
    BYTE bLastLayoutSignature;
    BYTE bOrientationSel;
    WCHAR wszWatermarkText[129];
    BYTE bReserved2828[768];
    DWORD dwCryptoMode;
    DWORD dwCryptoLevel;
    BYTE bEncryptedPassword[256];
    DWORD dwEncryptedPasswordLen;
    DWORD dwCryptoTime;
    DWORD dwAskPassword;
    DWORD dwReserved3872;
    DWORD dwReserved3876;
    DWORD dwGammaSel;
};

#pragma pack(pop)

static_assert(sizeof(OemWatermarkBlock) == 384);
static_assert(sizeof(OemDevmode) == kOemDevmodeSize);
static_assert(offsetof(OemDevmode, dwSize) == 0 && offsetof(OemDevmode, dwSignature) == 4);
static_assert(offsetof(OemDevmode, dwVersion) == 8 && offsetof(OemDevmode, dwOptItemValue) == 12);
static_assert(offsetof(OemDevmode, wszJobName) == 16 && offsetof(OemDevmode, wszJobPassword) == 50);
static_assert(offsetof(OemDevmode, dwAskJobName) == 60 && offsetof(OemDevmode, dwReserved64) == 64);
static_assert(offsetof(OemDevmode, dwWatermarkIndex) == 68 && offsetof(OemDevmode, wOverlayIndex) == 72);
static_assert(offsetof(OemDevmode, wReserved80) == 80 && offsetof(OemDevmode, wReserved82) == 82);
static_assert(offsetof(OemDevmode, dwReserved84) == 84 && offsetof(OemDevmode, bToneCount) == 88);
static_assert(offsetof(OemDevmode, bToneCountHigh) == 89 && offsetof(OemDevmode, bToneData) == 90);
static_assert(offsetof(OemDevmode, bValueCount) == 343 && offsetof(OemDevmode, bValueCountHigh) == 344);
static_assert(offsetof(OemDevmode, bValueData) == 345 && offsetof(OemDevmode, dwColorCorrect) == 600);
static_assert(offsetof(OemDevmode, dwReserved604) == 604 && offsetof(OemDevmode, watermark) == 608);
static_assert(offsetof(OemDevmode, watermark.lPointSize) == 608 && offsetof(OemDevmode, watermark.lFontNo) == 612);
static_assert(offsetof(OemDevmode, watermark.sAngle) == 616 && offsetof(OemDevmode, watermark.wReserved1) == 618);
static_assert(offsetof(OemDevmode, watermark.lOffsetX) == 620 && offsetof(OemDevmode, watermark.lOffsetY) == 624);
static_assert(offsetof(OemDevmode, watermark.crColor) == 628 && offsetof(OemDevmode, watermark.bReserved2) == 632);
static_assert(offsetof(OemDevmode, watermark.wszPsFontName) == 894);
static_assert(offsetof(OemDevmode, watermark.lWeight) == 960 && offsetof(OemDevmode, watermark.bItalic) == 964);
static_assert(offsetof(OemDevmode, watermark.bCharSet) == 965 && offsetof(OemDevmode, watermark.wPosition) == 966);
static_assert(offsetof(OemDevmode, watermark.wTrim) == 968 && offsetof(OemDevmode, watermark.wBackground) == 970);
static_assert(offsetof(OemDevmode, watermark.bFirstPageOnly) == 972);
static_assert(offsetof(OemDevmode, watermark.wFontStyle) == 974 && offsetof(OemDevmode, watermark.szPsColor) == 976);
static_assert(offsetof(OemDevmode, wszDriverDirectory) == 992 && offsetof(OemDevmode, wszPluginIniFile) == 1514);
static_assert(offsetof(OemDevmode, wszCapabilityFile) == 2036 && offsetof(OemDevmode, wCompressionLevel) == 2558);
static_assert(offsetof(OemDevmode, bNupSel) == 2560 && offsetof(OemDevmode, bReserved2561) == 2561);
static_assert(offsetof(OemDevmode, dwLastPaperSize) == 2564 && offsetof(OemDevmode, bLastLayoutSignature) == 2568);
static_assert(offsetof(OemDevmode, bOrientationSel) == 2569 && offsetof(OemDevmode, wszWatermarkText) == 2570);
static_assert(offsetof(OemDevmode, bReserved2828) == 2828 && offsetof(OemDevmode, dwCryptoMode) == 3596);
static_assert(offsetof(OemDevmode, dwCryptoLevel) == 3600 && offsetof(OemDevmode, bEncryptedPassword) == 3604);
static_assert(offsetof(OemDevmode, dwEncryptedPasswordLen) == 3860 && offsetof(OemDevmode, dwCryptoTime) == 3864);
static_assert(offsetof(OemDevmode, dwAskPassword) == 3868 && offsetof(OemDevmode, dwReserved3872) == 3872);
static_assert(offsetof(OemDevmode, dwReserved3876) == 3876 && offsetof(OemDevmode, dwGammaSel) == 3880);

// Size, signature and version of this build's record.
inline void WriteOemDevmodeHeader(OemDevmode *dm)
{
    dm->dwSize = kOemDevmodeSize;
    dm->dwSignature = kOemSignature;
    dm->dwVersion = kOemVersion;
}

// Takes over an own input record: its declared size, never more than the output declares and never more than
// the record is, since the sizes come from DEVMODEs stored and sent between machines. in may be out.
void CopyOwnOemDevmode(const OemDevmode *in, OemDevmode *out);

// The DevMode method of either side: checks the mode and the parameter, answers OEMDM_SIZE, and hands
// DEFAULT, CONVERT and MERGE to ops.
template <typename Ops>
HRESULT DispatchOemDevMode(DWORD mode, OEMDMPARAM *param, Ops ops)
{
    if (!param || mode < OEMDM_SIZE || mode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    auto in = static_cast<const OemDevmode *>(param->pOEMDMIn);
    auto out = static_cast<OemDevmode *>(param->pOEMDMOut);
    switch (mode) {
    case OEMDM_SIZE: param->cbBufSize = kOemDevmodeSize; break;
    case OEMDM_DEFAULT: ops.Default(out); break;
    case OEMDM_CONVERT: ops.Convert(in, out); break;
    case OEMDM_MERGE: ops.Merge(in, out); break;
    }
    return S_OK;
}

} // namespace zep
