// A stand-in for the core driver's UI side: option items from a small table, OEMUIPROCS that record every
// DrvUpdateUISetting and can refuse one, a plug-in heap, and sheet services answered from fields.
#pragma once
#include <memory>
#include <stdexcept>
#include <set>
#include <string>
#include <vector>

#include "common/oemui.h"
#include "ui/sheets.h"

namespace zeptest {

// One core item: its keyword ("" for none), DMPubID, selection, the core's item id and a string-id name.
struct ItemSpec {
    std::string keyword;
    BYTE dmPubId = 0;
    LONG sel = 0;
    ULONG_PTR itemId = 0;
    ULONG_PTR nameId = 0;
};

struct UpdateCall {
    std::string keyword; // "" for items without one
    DWORD index;
    LONG sel;
    DWORD previous;
    DWORD mode;
    bool hiddenDuringCall;
};

class FakeCore {
public:
    OEMUIOBJ ui = {sizeof(OEMUIOBJ), &procs}; // first member: the callbacks find the fake through it
    OEMUIPROCS procs = {nullptr, &FakeCore::Update};
    HANDLE heap = HeapCreate(0, 0, 0);
    std::vector<OPTITEM> items;
    std::vector<CoreItemData> data;
    std::vector<std::string> keywords;
    std::vector<UpdateCall> calls;
    std::set<std::string> refused; // keywords whose change the core refuses
    OPTITEM added[1] = {};
    OEMCUIPPARAM param = {};
    BYTE oemDm[4096] = {};

    explicit FakeCore(const std::vector<ItemSpec> &specs)
    {
        items.resize(specs.size());
        data.resize(specs.size());
        keywords.reserve(specs.size());
        for (size_t i = 0; i < specs.size(); ++i) {
            keywords.push_back(specs[i].keyword);
            data[i].itemId = specs[i].itemId;
            data[i].keyword = specs[i].keyword.empty() ? nullptr : keywords.back().c_str();
            OPTITEM &item = items[i];
            item.cbSize = sizeof(OPTITEM);
            item.DMPubID = specs[i].dmPubId;
            item.Sel = specs[i].sel;
            item.UserData = reinterpret_cast<ULONG_PTR>(&data[i]);
            item.pName = reinterpret_cast<LPWSTR>(specs[i].nameId);
        }
        param.cbSize = sizeof(param);
        param.poemuiobj = &ui;
        param.hOEMHeap = heap;
        param.pOEMDM = oemDm;
        param.pDrvOptItems = items.data();
        param.cDrvOptItems = static_cast<DWORD>(items.size());
    }
    ~FakeCore() { HeapDestroy(heap); }
    FakeCore(const FakeCore &) = delete;
    FakeCore &operator=(const FakeCore &) = delete;

    OPTITEM &Item(const std::string &keyword)
    {
        for (size_t i = 0; i < keywords.size(); ++i)
            if (keywords[i] == keyword) return items[i];
        throw std::runtime_error("no item " + keyword);
    }
    DWORD IndexOf(const std::string &keyword) const
    {
        for (size_t i = 0; i < keywords.size(); ++i)
            if (keywords[i] == keyword) return static_cast<DWORD>(i);
        return zep::kSlotAbsent;
    }
    std::vector<std::string> CalledKeywords() const
    {
        std::vector<std::string> out;
        for (const UpdateCall &c : calls) out.push_back(c.keyword);
        return out;
    }

private:
    static BOOL APIENTRY Update(PVOID obj, PVOID optItem, DWORD previous, DWORD mode)
    {
        auto self = reinterpret_cast<FakeCore *>(obj);
        auto item = static_cast<OPTITEM *>(optItem);
        const DWORD index = static_cast<DWORD>(item - self->items.data());
        const std::string &keyword = self->keywords.at(index);
        self->calls.push_back({keyword, index, item->Sel, previous, mode, (item->Flags & OPTIF_HIDE) != 0});
        if (self->refused.count(keyword)) {
            item->Sel = static_cast<LONG>(previous);
            return FALSE;
        }
        return TRUE;
    }
};

// Sheet services answered from fields.
class FakeServices final : public zep::UiSheetServices {
public:
    bool driverFiles = true;
    bool printerDataWritable = true;
    int compression = 0;
    DWORD netExt = 1;
    bool supportNamed = false;
    HMODULE supportLibrary = nullptr;
    int probes = 0;

    bool FindDriverFiles(HANDLE, WCHAR *iniPath) override
    {
        if (driverFiles) lstrcpyW(iniPath, TEXT("C:\\drv\\3\\zep.ini"));
        return driverFiles;
    }
    void HelpFilePath(LPCWSTR, WCHAR (&out)[MAX_PATH]) override { lstrcpyW(out, TEXT("C:\\drv\\3\\zep.hlp")); }
    bool ProbePrinterData(HANDLE) override
    {
        ++probes;
        return printerDataWritable;
    }
    int ModelInt(HANDLE, LPCWSTR) override { return compression; }
    DWORD NetExtCapability(HANDLE, LPCWSTR) override { return netExt; }
    bool SupportLibraryPath(const OEMUIPSPARAM &, LPCWSTR, WCHAR (&path)[MAX_PATH]) override
    {
        lstrcpyW(path, TEXT("C:\\drv\\3\\support.dll"));
        return supportNamed;
    }
    HMODULE LoadSupportLibrary(LPCWSTR) override { return supportLibrary; }
    HICON SupportIcon(HMODULE) override { return nullptr; }
    LPWSTR LoadModuleString(HANDLE heap, UINT) override
    {
        auto text = static_cast<LPWSTR>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 64));
        lstrcpyW(text, TEXT("&Get"));
        return text;
    }
};

} // namespace zeptest
