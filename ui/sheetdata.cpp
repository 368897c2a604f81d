// Reading the sheet's records and the core's current settings.
#include "ui/sheetdata.h"

#include <cstring>

#include "common/keywords.h"
#include "ui/slots.h"

namespace zep {

OemDevmode *SheetDevmode(const OemUiContext &ctx)
{
    if (ctx.pSheetParam && ctx.pSheetParam->pOEMDM) return static_cast<OemDevmode *>(ctx.pSheetParam->pOEMDM);
    if (ctx.pCuiParam && ctx.pCuiParam->pOEMDM) return static_cast<OemDevmode *>(ctx.pCuiParam->pOEMDM);
    return nullptr;
}

PDEVMODEW SheetPublicDevmode(const OemUiContext &ctx)
{
    if (ctx.pSheetParam && ctx.pSheetParam->pPublicDM) return ctx.pSheetParam->pPublicDM;
    return ctx.pCuiParam ? ctx.pCuiParam->pPublicDM : nullptr;
}

HANDLE SheetPrinter(const OemUiContext &ctx)
{
    if (ctx.pSheetParam && ctx.pSheetParam->hPrinter) return ctx.pSheetParam->hPrinter;
    return ctx.pCuiParam ? ctx.pCuiParam->hPrinter : nullptr;
}

DWORD SheetFlags(const OemUiContext &ctx)
{
    if (ctx.pSheetParam) return ctx.pSheetParam->dwFlags;
    return ctx.pCuiParam ? ctx.pCuiParam->dwFlags : 0;
}

bool StandardUi(const OemUiContext &ctx) { return ctx.dwSlotSel[slotStandardUi] != 0; }

bool ReadCoreSetting(const OemUiContext &ctx, LPCSTR feature, CHAR (&out)[64])
{
    out[0] = 0;
    POEMUIOBJ ui = ctx.pCuiParam ? ctx.pCuiParam->poemuiobj : nullptr;
    if (!ui && ctx.pSheetParam) ui = ctx.pSheetParam->poemuiobj;
    if (!ui || !ui->pOemUIProcs || !ui->pOemUIProcs->DrvGetDriverSetting) return false;
    DWORD needed = 0, options = 0;
    if (!ui->pOemUIProcs->DrvGetDriverSetting(ui, feature, out, sizeof out, &needed, &options)) {
        out[0] = 0;
        return false;
    }
    out[sizeof out - 1] = 0; // a keyword that fills the buffer has no room for its terminator
    return true;
}

bool CoreSettingIs(const OemUiContext &ctx, LPCSTR feature, LPCSTR option)
{
    CHAR value[64] = {};
    ReadCoreSetting(ctx, feature, value);
    return std::strcmp(value, option) == 0;
}

bool HardDiskAvailable(const OemUiContext &ctx)
{
    CHAR answer[64];
    ReadCoreSetting(ctx, kw::kHdd, answer);
    if (std::strcmp(answer, kw::kTrue) == 0) return true;
    if (std::strcmp(answer, kw::kFalse) == 0) return false;
    return SlotPresent(ctx, slotHDDSpool);
}

} // namespace zep
