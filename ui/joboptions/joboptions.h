// The Job Options page: its controls, its state and its steps as plain functions over OemUiContext and the
// page's services.
#pragma once
#include "common/devmode.h"
#include "common/handle.h"
#include "ui/context.h"
#include "ui/joboptions/services.h"

namespace zep {

// Controls of template 113 (the link, logo and "&Default" ids are shared: zepui_ids.h).
enum JobOptionsControl : int {
    kIdQualityGroup = 1500,
    kIdQualityPicture = 1501,
    kIdNormalJob = 1508,
    kIdStoreToHdd = 1509,
    kIdPassword = 1512,
    kIdCopiesLabel = 1513,
    kIdCopiesEdit = 1514,
    kIdCopiesSpin = 1515,
    kIdCollate = 1518,
    kIdFinisherGroup = 1525,
    kIdOutputBinLabel = 1526,
    kIdOutputBin = 1527,
    kIdScaleLabel = 1531,
    kIdScaleEdit = 1532,
    kIdScaleSpin = 1533,
    kIdScaleRange = 1534,
    kIdWatermarkButton = 1535,
    kIdOverlayButton = 1536,
    kIdAdvancedButton = 1537,
    kIdPhotoQuality = 1545,
    kIdNormalQuality = 1547,
    kIdImageSmoothing = 1558,
    kIdAboutButton = 1559,
    kIdMirror = 1801,
    kIdMirrorIcon = 1803,
};

// Bit of the page parameter's flags: the user may not change the document's settings.
inline constexpr DWORD kNoPermissionFlag = 0x20;
// The page-switch step shows this sheet page and comes back.
inline constexpr int kPageSwitchIndex = 2;

// Page data the Job Options page keeps in OemUiContext and the watermark and overlay dialogs share.
inline DWORD &IcCardFlag(OemUiContext &ctx) { return ctx.dwPageData3[0]; }
inline DWORD &WatermarkTableLoaded(OemUiContext &ctx) { return ctx.dwPageData3[1]; }
inline DWORD &OverlayState(OemUiContext &ctx) { return ctx.dwPageData3[2]; }

// Process-wide state of the page (one copy per loaded plug-in).
struct JobOptionsPageState {
    bool jobDialogIdle = true;   // cleared while "Store to HDD" has the job name dialog up
    bool storeChoiceArmed = true; // cleared when that dialog was cancelled, set by "Normal"
    bool copyWarningArmed = true; // message 10054 shows once until "Normal" is chosen
    GdiObject linkFont; // the link label's underlined font while the page is up
};
extern JobOptionsPageState g_jobOptions;

// Encrypted secure print is offered: "ZPJobLimit" "True", a hard disk, an encryption library named and the
// core asked about its standard UI.
bool EncryptedPrintAvailable(const OemUiContext &ctx, JobOptionsServices &services);

// The page's steps on its window.
void InitJobOptionsPage(HWND page, OemUiContext &ctx, JobOptionsServices &services);
void RefreshJobOptionsPage(HWND page, OemUiContext &ctx, JobOptionsServices &services);
// A command; false when the sheet is not to hear of a change.
bool JobOptionsCommand(HWND page, OemUiContext &ctx, JobOptionsServices &services, int id, int code);
// PSN_KILLACTIVE: true when the page may be left (the settings are then written back to the core).
bool LeaveJobOptionsPage(HWND page, OemUiContext &ctx, JobOptionsServices &services);
// The encrypted password flow of "Passwo&rd..." with job type 2; true when the settings changed.
bool EditEncryptedPassword(HWND page, OemUiContext &ctx, JobOptionsServices &services);
// "&Default": the page's defaults.
void ResetJobOptionsDefaults(OemUiContext &ctx);

} // namespace zep
