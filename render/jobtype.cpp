// Reading feature options, the effective job type and the pages-per-sheet count.
#include "render/jobtype.h"

#include <cstring>

#include "common/companions.h"
#include "common/config.h"
#include "common/handle.h"
#include "common/keywords.h"

namespace zep {
namespace {

bool ReadSetting(const RenderCall &rc, LPCSTR feature, void *out)
{
    if (!rc.devobj || !rc.devobj->pDrvProcs || !rc.devobj->pDrvProcs->DrvGetDriverSetting) return false;
    DWORD needed = 0, options = 0;
    return rc.devobj->pDrvProcs->DrvGetDriverSetting(rc.devobj, feature, out, kOptionBytes, &needed, &options) != 0;
}

} // namespace

void GetFeatureOption(const RenderCall &rc, LPCSTR keyword, CHAR *out)
{
    // Start empty so that a failed read matches no option; the extra byte keeps the text terminated.
    std::memset(out, 0, kOptionBytes + 1);
    if (!ReadSetting(rc, keyword, out)) std::memset(out, 0, kOptionBytes + 1);
    out[kOptionBytes] = 0;
}

bool FeatureIs(const RenderCall &rc, LPCSTR keyword, LPCSTR name)
{
    CHAR option[kOptionBytes + 1];
    GetFeatureOption(rc, keyword, option);
    return std::strcmp(option, name) == 0;
}

bool IsEpsOutput(const RenderCall &rc)
{
    BYTE value[kOptionBytes] = {};
    if (!ReadSetting(rc, reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(OEMGDS_PS_OUTPUT_OPTION)), value))
        return false;
    DWORD option;
    std::memcpy(&option, value, sizeof(option));
    return option == PS_OUTPUT_EPS;
}

JobType EffectiveJobType(const RenderCall &rc)
{
    CHAR option[kOptionBytes + 1];
    GetFeatureOption(rc, kw::kJobType, option);
    JobTypeInputs in = {};
    in.selected = JobTypeFromOption(option);
    in.jobLimit = FeatureIs(rc, kw::kJobLimit, kw::kTrue);
    in.hardDisk = FeatureIs(rc, kw::kHdd, kw::kTrue);
    HANDLE hPrinter = rc.devobj ? rc.devobj->hPrinter : nullptr;
    if (in.jobLimit && in.hardDisk) {
        WCHAR crypto[kCompanionNameChars];
        GetModelString(hPrinter, TEXT("CryptoDll"), crypto, kCompanionNameChars);
        in.cryptoConfigured = crypto[0] != 0;
    }
    return DecideJobType(in, [&] { return QueryCardDriver(hPrinter) != 0; });
}

int NupCount(BYTE nupSel)
{
    static const int kPages[7] = {1, 2, 4, 6, 9, 16, 2};
    return nupSel < 7 ? kPages[nupSel] : 1;
}

} // namespace zep
