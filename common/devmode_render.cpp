// Defaults, conversion and merge of OemDevmode for the rendering plug-in.
#include "common/devmode_render.h"

namespace zep {
namespace {

void ClampRenderFields(OemDevmode *dm)
{
    if (dm->dwWatermarkIndex > 16) dm->dwWatermarkIndex = 0;
    const DWORD cc = dm->dwColorCorrect;
    if ((cc >> 16) > 1 || ((cc >> 8) & 0xFF) > 1 || (cc & 0xFF) > 59) dm->dwColorCorrect = 0;
    if (dm->bToneCountHigh != 0) dm->bToneCount = dm->bToneCountHigh = 0;
    if (dm->bValueCountHigh != 0) dm->bValueCount = dm->bValueCountHigh = 0;
    if ((dm->dwGammaSel >> 16) > 1) dm->dwGammaSel = 0;
    if (dm->bNupSel > 6) dm->bNupSel = 0;
    if (dm->bOrientationSel > 2) dm->bOrientationSel = 0;
    if (dm->dwCryptoMode > 2) dm->dwCryptoMode = 0;
    if (dm->dwCryptoLevel > 3) dm->dwCryptoLevel = 0;
    const DWORD t = dm->dwCryptoTime;
    if (t < 5 || (t >> 16) > 23 || (t & 0xFFFF) > 59) dm->dwCryptoTime = kDefaultCryptoTime;
    if (dm->dwEncryptedPasswordLen == 0 || dm->dwEncryptedPasswordLen > 255) {
        dm->dwEncryptedPasswordLen = 0;
        dm->bEncryptedPassword[0] = 0;
    }
    if (dm->wCompressionLevel > 3) dm->wCompressionLevel = 0;
    dm->dwSize = kOemDevmodeSize;
}

} // namespace

void RenderDevmodeDefault(OemDevmode *out)
{
    if (!out) return;
    WriteOemDevmodeHeader(out);
    out->dwOptItemValue = 0;
}

void RenderDevmodeConvert(const OemDevmode *in, OemDevmode *out)
{
    if (!in || !out) return;
    if (in->dwSignature == out->dwSignature) {
        out->dwOptItemValue = 0;
        CopyOwnOemDevmode(in, out);
        ClampRenderFields(out);
    } else {
        out->dwSize = kOemDevmodeSize;
        out->dwSignature = kOemSignature;
        out->dwOptItemValue = 0;
    }
    out->dwVersion = kOemVersion;
}

void RenderDevmodeMerge(const OemDevmode *in, OemDevmode *out)
{
    RenderDevmodeConvert(in, out);
    if (!out) return;
    WriteOemDevmodeHeader(out);
    out->dwOptItemValue = 0;
}

HRESULT RenderDevMode(DWORD mode, OEMDMPARAM *param)
{
    struct Ops {
        void Default(OemDevmode *out) { RenderDevmodeDefault(out); }
        void Convert(const OemDevmode *in, OemDevmode *out) { RenderDevmodeConvert(in, out); }
        void Merge(const OemDevmode *in, OemDevmode *out) { RenderDevmodeMerge(in, out); }
    };
    return DispatchOemDevMode(mode, param, Ops{});
}

} // namespace zep
