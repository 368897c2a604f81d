// The printer's document settings as the stand-in core keeps them: the whole DEVMODE through the spooler
// (printer info level 8), with the PPD feature selection and the UI-only choices inside the core's private part.
#pragma once
#include "host/core/devmode.h"

#include <map>
#include <string>
#include <vector>

namespace zep::host {

// Where the core part keeps settings. bFeatureSelection: its first byte the number of features it covers, then
// one byte per PPD feature in file order, the option's position plus one (0: the PPD's default). bUiSelection:
// what only the UI shows.
inline constexpr size_t kStoredFeatureCapacity = sizeof(CorePrivateDevmode::bFeatureSelection) - 1;
inline constexpr size_t kCoreOrientationSel = 0;  // 0 portrait, 1 landscape, 2 rotated landscape
inline constexpr size_t kCoreMirrorSel = 1;       // 1: mirrored output
inline constexpr size_t kCoreNupSel = 2;          // position in the pages-per-sheet list
static_assert(sizeof(CorePrivateDevmode::bUiSelection) > kCoreNupSel);

// The stored DEVMODE of the printer (empty when there is none or it cannot be read).
std::vector<BYTE> ReadPrinterDevmode(HANDLE printer);
// Keeps the DEVMODE as the printer's document settings; false with a message when the spooler refuses.
bool WritePrinterDevmode(const WString &printerName, const std::vector<BYTE> &devmode, std::string &error);

// The feature selection into and out of the core part. Reading skips a record made for a PPD with another number
// of features, and every position that names no option of its feature.
void StoreFeatureSelection(const Ppd &ppd, const std::map<std::string, std::string> &selection,
                           CorePrivateDevmode &core);
std::map<std::string, std::string> StoredFeatureSelection(const Ppd &ppd, const CorePrivateDevmode &core);

// The pages-per-sheet choices: count and the layout code at offset 356, by list position.
struct NupChoice {
    const WCHAR *text;
    DWORD count;
    BYTE layout;
};
inline constexpr NupChoice kNupChoices[] = {
    {TEXT("1"), 1, 0}, {TEXT("2"), 2, 1},  {TEXT("4"), 4, 2},          {TEXT("6"), 6, 3},
    {TEXT("9"), 9, 4}, {TEXT("16"), 16, 5}, {TEXT("Booklet"), 2, 6},
};

} // namespace zep::host
