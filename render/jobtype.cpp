// Reading feature options, the IC card check, the effective job type and the pages-per-sheet count.
#include "render/jobtype.h"

#include <cstring>

#include "common/config.h"
#include "common/handle.h"
#include "common/keywords.h"

namespace zep {
namespace {

typedef BOOL(WINAPI *PFN_QueryCardDriver)(LPCSTR driverName, LPCSTR capabilityFile);

bool ReadSetting(const RenderCall &rc, LPCSTR feature, void *out)
{
    if (!rc.devobj || !rc.devobj->pDrvProcs || !rc.devobj->pDrvProcs->DrvGetDriverSetting) return false;
    DWORD needed = 0, options = 0;
    return rc.devobj->pDrvProcs->DrvGetDriverSetting(rc.devobj, feature, out, kOptionBytes, &needed, &options) != 0;
}

struct JobTypeName {
    const char *name;
    JobType type;
};
const JobTypeName kJobTypes[] = {
    {kw::kJobNormal, JobType::Normal},
    {kw::kJobSecure, JobType::Secure},
    {kw::kJobSpool, JobType::Spool},
    {kw::kJobSecureChip, JobType::SecureChip},
};

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

bool IsCardDriverPresent(HANDLE hPrinter)
{
    WCHAR driver[MAX_PATH];
    if (!GetDriverName(hPrinter, driver, MAX_PATH)) return false;
    CHAR driverA[220] = {};
    CHAR capA[260] = {};
    WideCharToMultiByte(CP_ACP, 0, driver, -1, driverA, sizeof(driverA) - 1, nullptr, nullptr);
    WideCharToMultiByte(CP_ACP, 0, CapabilityFilePath(), -1, capA, sizeof(capA) - 1, nullptr, nullptr);

    WCHAR name[kCompanionNameChars];
    ReadModelString(CapabilityFilePath(), driver, TEXT("CARD_DLL"), name, kCompanionNameChars);
    if (!name[0]) return false;
    WCHAR path[MAX_PATH];
    if (!DriverFilePath(path, name)) return false;
    Library library(LoadLibraryW(path));
    if (!library) return false;
    auto query = reinterpret_cast<PFN_QueryCardDriver>(
        reinterpret_cast<void *>(GetProcAddress(library.get(), "QueryCardDriver")));
    return query && query(driverA, capA) != 0;
}

JobType JobTypeFromOption(LPCSTR option)
{
    for (const JobTypeName &t : kJobTypes)
        if (option && std::strcmp(option, t.name) == 0) return t.type;
    return JobType::Other;
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
    return DecideJobType(in, [&] { return IsCardDriverPresent(hPrinter); });
}

int NupCount(BYTE nupSel)
{
    static const int kPages[7] = {1, 2, 4, 6, 9, 16, 2};
    return nupSel < 7 ? kPages[nupSel] : 1;
}

} // namespace zep
