// The printer's document settings: the DEVMODE through the spooler and the feature selection in the core part.
#include "host/core/uistore.h"

#include "common/handle.h"

#include <algorithm>
#include <cstring>

namespace zep::host {

std::vector<BYTE> ReadPrinterDevmode(HANDLE printer)
{
    DWORD needed = 0;
    GetPrinterW(printer, 8, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<BYTE> data(needed);
    if (!GetPrinterW(printer, 8, data.data(), needed, &needed)) return {};
    const auto *info = reinterpret_cast<const PRINTER_INFO_8W *>(data.data());
    if (!info->pDevMode) return {};
    const BYTE *dm = reinterpret_cast<const BYTE *>(info->pDevMode);
    if (dm < data.data() || dm >= data.data() + data.size()) return {};
    size_t size = size_t(info->pDevMode->dmSize) + info->pDevMode->dmDriverExtra;
    size_t available = data.size() - size_t(dm - data.data());
    if (size > available) return {};
    return std::vector<BYTE>(dm, dm + size);
}

bool WritePrinterDevmode(const WString &printerName, const std::vector<BYTE> &devmode, std::string &error)
{
    // Changing a printer's settings needs administer access, as on Windows.
    WString name = printerName;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    Printer printer;
    if (!OpenPrinterW(name.data(), printer.put(), &access)) {
        error = "cannot open the printer \"" + Narrow(printerName) + "\" to change it (error " +
                std::to_string(GetLastError()) + ")";
        return false;
    }
    std::vector<BYTE> copy = devmode;
    PRINTER_INFO_8W info{reinterpret_cast<DEVMODEW *>(copy.data())};
    if (!SetPrinterW(printer.get(), 8, reinterpret_cast<LPBYTE>(&info), 0)) {
        error = "the spooler did not keep the settings (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    return true;
}

void StoreFeatureSelection(const Ppd &ppd, const std::map<std::string, std::string> &selection,
                           CorePrivateDevmode &core)
{
    std::memset(core.bFeatureSelection, 0, sizeof core.bFeatureSelection);
    size_t count = std::min(ppd.features.size(), kStoredFeatureCapacity);
    core.bFeatureSelection[0] = static_cast<BYTE>(count);
    for (size_t i = 0; i < count; ++i) {
        const PpdFeature &f = ppd.features[i];
        auto it = selection.find(f.keyword);
        if (it == selection.end()) continue;
        for (size_t k = 0; k < f.options.size() && k < 0xFF; ++k)
            if (f.options[k].name == it->second) core.bFeatureSelection[1 + i] = static_cast<BYTE>(k + 1);
    }
}

std::map<std::string, std::string> StoredFeatureSelection(const Ppd &ppd, const CorePrivateDevmode &core)
{
    std::map<std::string, std::string> out;
    size_t count = std::min(ppd.features.size(), kStoredFeatureCapacity);
    if (core.bFeatureSelection[0] != count) return out;
    for (size_t i = 0; i < count; ++i) {
        BYTE at = core.bFeatureSelection[1 + i];
        const PpdFeature &f = ppd.features[i];
        if (at != 0 && at <= f.options.size()) out[f.keyword] = f.options[at - 1].name;
    }
    return out;
}

} // namespace zep::host
