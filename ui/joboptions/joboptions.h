// The Job Options page: its controls, what it asks of the world outside the sheet, and its steps as plain
// functions over OemUiContext.
#pragma once
#include <memory>

#include "common/crypto.h"
#include "common/devmode.h"
#include "ui/context.h"

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

// Job types, the "ZPJob_Type" selections the page offers.
enum JobType : DWORD { kJobNormal = 0, kJobStoreToHdd = 1, kJobSecure = 2 };

// Bit of the page parameter's flags: the user may not change the document's settings.
inline constexpr DWORD kNoPermissionFlag = 0x20;
// Sheet flags bit set when the page is initialised (bit 0 belongs to the page-switch step and the sheet callback).
inline constexpr DWORD kSheetFlagPageInitialised = 0x2;
// The page-switch step shows this sheet page and comes back.
inline constexpr int kPageSwitchIndex = 2;

// Page data the Job Options page keeps in OemUiContext and the watermark and overlay dialogs share.
inline DWORD &IcCardFlag(OemUiContext &ctx) { return ctx.dwPageData3[0]; }
inline DWORD &WatermarkTableLoaded(OemUiContext &ctx) { return ctx.dwPageData3[1]; }
inline DWORD &OverlayState(OemUiContext &ctx) { return ctx.dwPageData3[2]; }

// The encryption library loaded for one operation.
class PasswordCipher {
public:
    virtual ~PasswordCipher() = default;
    virtual BOOL DispCryptoUIEx(HWND owner, EncryptionSetting *setting, DWORD mode) = 0;
    virtual BOOL EncryptPassword(LPCSTR text, DWORD length, LPBYTE out, LPDWORD size) = 0;
    virtual BOOL DecryptPassword(const BYTE *data, DWORD length, LPSTR out, LPDWORD size) = 0;
};

// Everything the page reaches beyond the core driver: configuration, companion libraries, the spooler and the
// dialogs it opens. SystemJobOptionsServices() is the real one; tests answer from fields.
class JobOptionsServices {
public:
    // A key of the printer's model section ("" when absent).
    virtual void ModelString(HANDLE hPrinter, LPCWSTR key, WCHAR *out, DWORD cch) = 0;
    // QueryCardDriver of the library named by "CARD_DLL"; 0 when it or the export is missing.
    virtual DWORD QueryCardDriver(HANDLE hPrinter) = 0;
    // The library named by "CryptoDll", or null when it does not load.
    virtual std::unique_ptr<PasswordCipher> LoadCipher(HANDLE hPrinter) = 0;
    // PRINTER_INFO_2 attributes (0 when unknown).
    virtual DWORD PrinterAttributes(HANDLE hPrinter) = 0;
    // The modal dialogs: true when they end with OK.
    virtual bool JobPinDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual bool AdvancedDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual void AboutDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual bool WatermarkDialog(HWND owner, OemUiContext &ctx) = 0;
    virtual bool OverlayDialog(HWND owner, OemUiContext &ctx) = 0;
    // The watermark list and the overlay store at Apply and Reset.
    virtual void StoreWatermarks(OemUiContext &ctx) = 0;
    virtual void ReleaseWatermarks(OemUiContext &ctx) = 0;
    virtual void CommitOverlays(OemUiContext &ctx) = 0;

protected:
    ~JobOptionsServices() = default;
};

JobOptionsServices &SystemJobOptionsServices();
// Tests put their own services in place; null restores the system's.
void SetJobOptionsServices(JobOptionsServices *services);

// Process-wide state of the page (one copy per loaded plug-in).
struct JobOptionsPageState {
    bool jobDialogIdle = true;   // cleared while "Store to HDD" has the job name dialog up
    bool storeChoiceArmed = true; // cleared when that dialog was cancelled, set by "Normal"
    bool copyWarningArmed = true; // message 10054 shows once until "Normal" is chosen
    HFONT linkFont = nullptr;
};
extern JobOptionsPageState g_jobOptions;

// What the finishing constraints read from the core driver and the DEVMODE.
struct FinishingInputs {
    int punchUnit = 0;           // 1-4 for "Type1".."Type4", else 0
    const char *pageSize = "";   // "PageSize" option keyword
    bool duplexNone = false;     // "Duplex" is "None"
    DWORD paperSize = 0;         // public dmPaperSize
    bool portrait = true;        // public dmOrientation is portrait
    BYTE layout = 0;             // the core's pages-per-sheet layout code (1 and 3 turn the page, 6 booklet)
    DWORD orientationSel = 0;    // selection of the core's orientation item
};

// Paper class 0-7 and punch availability, as the constraints compute them.
int PaperClass(const FinishingInputs &in);
int PunchAvailability(const FinishingInputs &in, DWORD bindPosition);
// Keeps staple, punch and bind position consistent with paper, layout and punch unit; resets them when the
// paper size or the layout changed since the last initialisation (dm keeps what was seen).
void ApplyFinishingConstraints(OemUiContext &ctx, OemDevmode &dm, const FinishingInputs &in);
// The inputs read through the core driver and the sheet's DEVMODE.
FinishingInputs ReadFinishingInputs(const OemUiContext &ctx, char (&pageSize)[64]);

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
