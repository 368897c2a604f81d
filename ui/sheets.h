// CommonUIProp and the document and printer property sheets of the UI plug-in, as plain functions over the
// plug-in object's sheet members and the outside services they need.
#pragma once
#include "common/oemui.h"
#include "ui/context.h"

namespace zep {

inline constexpr WORD kStringGetInstallableOptions = 8040;
inline constexpr DWORD kInstallableOptionsHelp = 2210;
inline constexpr BYTE kInstallableOptionsItemId = 2;
inline constexpr WORD kJobOptionsTemplate = 113;
inline constexpr WORD kColourTemplate = 111;
inline constexpr WORD kSupportPageTemplate = 800;
inline constexpr WORD kSupportPageIcon = 1102;
inline constexpr DWORD kDeviceRecordFill = 0xFFFF;

// What the sheets ask of the spooler, the configuration files and the companion libraries.
class UiSheetServices {
public:
    // Finds the configuration files of the printer's driver; iniPath (MAX_PATH + 1 characters) is written only
    // when there is a plug-in INI file. False when there is neither that nor a capability file.
    virtual bool FindDriverFiles(HANDLE hPrinter, WCHAR *iniPath) = 0;
    // Full path of the help file named by the plug-in INI file ("" when none).
    virtual void HelpFilePath(LPCWSTR iniPath, WCHAR (&out)[MAX_PATH]) = 0;
    // The printer-data probe: writes "W_TEST"; true when the printer's data may be changed.
    virtual bool ProbePrinterData(HANDLE hPrinter) = 0;
    // An integer of the printer's model section (0 when absent).
    virtual int ModelInt(HANDLE hPrinter, LPCWSTR key) = 0;
    // GetNetextCapability of the network option library for the printer name; 0 when it is missing.
    virtual DWORD NetExtCapability(HANDLE hPrinter, LPCWSTR printerName) = 0;
    // Full path of the support resource library for the sheet's printer; false when the model section does
    // not name both "AskZepURL" and "AskZepRES".
    virtual bool SupportLibraryPath(const OEMUIPSPARAM &sheet, LPCWSTR pluginIni, WCHAR (&path)[MAX_PATH]) = 0;
    virtual HMODULE LoadSupportLibrary(LPCWSTR path) = 0;
    virtual HICON SupportIcon(HMODULE library) = 0;
    // A string of this module's table, into heap memory sized to the text (null when missing).
    virtual LPWSTR LoadModuleString(HANDLE heap, UINT id) = 0;

protected:
    ~UiSheetServices() = default;
};

UiSheetServices &SystemSheetServices();

// The plug-in object's members that the sheets read and write.
struct PluginSheetState {
    PVOID self = nullptr; // the plug-in object, handed to the core as pOEMUserData
    UiSheetServices *services = nullptr;
    DWORD standardUi = 0;
    HANDLE hOEMHeap = nullptr;
    OemUiContext *context = nullptr;
    OemDeviceRecord *device = nullptr;
    POEMCUIPPARAM docParam = nullptr;
    POEMCUIPPARAM prnParam = nullptr;
};

// The sheet state the core hands back through pOEMUserData; provided by the plug-in object.
PluginSheetState *SheetStateOf(PVOID userData);

HRESULT RunCommonUIProp(PluginSheetState &state, DWORD mode, POEMCUIPPARAM param);
HRESULT RunDocumentPropertySheets(PluginSheetState &state, PPROPSHEETUI_INFO info, LPARAM lParam);
HRESULT RunDevicePropertySheets(PluginSheetState &state, PPROPSHEETUI_INFO info, LPARAM lParam);

// OEMCUIPCallback of the document sheet.
LONG APIENTRY DocumentItemCallback(PCPSUICBPARAM cbParam, POEMCUIPPARAM cuiParam);

// Frees the object's last sheet records from the core's heap.
void ReleaseSheetRecords(PluginSheetState &state);

} // namespace zep
