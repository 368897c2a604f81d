// The core's option items of the document sheet and how their selections change the document settings.
#include "host/core/uiitems.h"

#include "host/core/uistore.h"

#include <cstring>

namespace zep::host {

namespace {

constexpr BYTE kDmPubDefSource = DMPUB_DEFSOURCE;
constexpr BYTE kDmPubOutputBin = DMPUB_OUTPUTBIN;

const WCHAR *const kOrientations[] = {TEXT("Portrait"), TEXT("Landscape"), TEXT("Rotated Landscape")};
const WCHAR *const kColours[] = {TEXT("Monochrome"), TEXT("Color")};
const WCHAR *const kPsOutputs[] = {TEXT("Optimize for Speed"), TEXT("Optimize for Portability"),
                                   TEXT("Encapsulated PostScript (EPS)"), TEXT("Archive Format")};
// The mirror item's first choice is mirroring on, as the UI plug-in's check box reads it.
const WCHAR *const kMirror[] = {TEXT("On"), TEXT("Off")};

// Features that are items with a standard id; the page region follows the page size and is not shown.
struct StandardFeature {
    const char *keyword;
    BYTE dmPubId;
    ULONG_PTR itemId;
};
constexpr StandardFeature kStandardFeatures[] = {
    {"PageSize", DMPUB_FORMNAME, kItemFormName},
    {"Duplex", DMPUB_DUPLEX, kItemDuplex},
    {"Resolution", DMPUB_PRINTQUALITY, kItemPrintQuality},
    {"InputSlot", kDmPubDefSource, 0},
    {"OutputBin", kDmPubOutputBin, 0},
};
constexpr const char *kSkippedFeatures[] = {"PageRegion"};
constexpr const char *kInstallableGroup = "InstallableOptions";

std::vector<WString> Texts(const WCHAR *const *list, size_t count) { return std::vector<WString>(list, list + count); }

template <size_t N>
std::vector<WString> Texts(const WCHAR *const (&list)[N])
{
    return Texts(list, N);
}

std::string Current(const DocSettings &settings, const PpdFeature &f)
{
    auto it = settings.options.find(f.keyword);
    return it != settings.options.end() ? it->second : f.defaultOption;
}

LONG OptionIndex(const PpdFeature &f, const std::string &option)
{
    for (size_t k = 0; k < f.options.size(); ++k)
        if (f.options[k].name == option) return static_cast<LONG>(k);
    return 0;
}

// The core part of a settings' DEVMODE, when the DEVMODE has one.
CorePrivateDevmode *CoreOf(DocSettings &settings)
{
    return settings.devmode.Size() >= kCoreDevmodeSize ? settings.devmode.Core() : nullptr;
}
const CorePrivateDevmode *CoreOf(const DocSettings &settings)
{
    return CoreOf(const_cast<DocSettings &>(settings));
}

} // namespace

size_t CoreItems::Add(Kind kind, ULONG_PTR id, BYTE dmPubId, const WString &name, const std::vector<WString> &choices,
                      LONG sel, const PpdFeature *feature)
{
    OPTITEM item{};
    item.cbSize = sizeof(OPTITEM);
    item.Level = 1;
    item.DMPubID = dmPubId;
    item.Sel = sel;
    if (kind == Kind::Mirror) {
        item.pName = reinterpret_cast<LPWSTR>(kMirrorNameId);
    } else {
        strings_.push_back(name);
        item.pName = strings_.back().data();
    }

    std::vector<OPTPARAM> params;
    OPTTYPE type{};
    type.cbSize = sizeof(OPTTYPE);
    if (choices.empty()) {
        // A number: the unit text, then the range (second parameter: IconID low, lParam high).
        type.Type = TVOT_UDARROW;
        params.resize(2);
        for (OPTPARAM &p : params) p.cbSize = sizeof(OPTPARAM);
        strings_.push_back(kind == Kind::Scale ? TEXT("%") : TEXT("copies"));
        params[0].pData = strings_.back().data();
    } else {
        type.Type = kind == Kind::Mirror ? TVOT_2STATES : TVOT_LISTBOX;
        for (const WString &text : choices) {
            OPTPARAM p{};
            p.cbSize = sizeof(OPTPARAM);
            strings_.push_back(text);
            p.pData = strings_.back().data();
            params.push_back(p);
        }
    }
    params_.push_back(std::move(params));
    type.Count = static_cast<WORD>(params_.back().size());
    type.pOptParam = params_.back().data();
    types_.push_back(type);
    item.pOptType = &types_.back();

    CoreItemData data{};
    data.itemId = id;
    if (feature) {
        keywords_.push_back(feature->keyword);
        data.keyword = keywords_.back().c_str();
    }
    items_.push_back(item);
    data_.push_back(data);
    Meta meta;
    meta.kind = kind;
    meta.feature = feature;
    meta.name = name;
    meta_.push_back(meta);
    return items_.size() - 1;
}

void CoreItems::Build(const Ppd &ppd, const DocSettings &settings)
{
    items_.clear();
    data_.clear();
    meta_.clear();
    types_.clear();
    params_.clear();
    strings_.clear();
    keywords_.clear();
    // The records point at each other; the arrays must not move once the items point into them.
    items_.reserve(ppd.features.size() + 10);
    data_.reserve(ppd.features.size() + 10);

    const DEVMODEW *pub = const_cast<DocSettings &>(settings).devmode.Public();
    const CorePrivateDevmode *core = CoreOf(settings);
    auto coreByte = [&](size_t at) -> LONG { return core ? core->bUiSelection[at] : 0; };

    Add(Kind::Orientation, kItemOrientation, DMPUB_ORIENTATION, TEXT("Orientation"), Texts(kOrientations),
        pub->dmOrientation == DMORIENT_LANDSCAPE ? (coreByte(kCoreOrientationSel) == 2 ? 2 : 1) : 0, nullptr);
    size_t scale = Add(Kind::Scale, kItemScale, DMPUB_SCALE, TEXT("Scaling"), {}, pub->dmScale ? pub->dmScale : 100,
                       nullptr);
    meta_[scale].low = 25, meta_[scale].high = 400;
    size_t copies = Add(Kind::Copies, kItemCopies, DMPUB_COPIES_COLLATE, TEXT("Copy Count"), {},
                        pub->dmCopies ? pub->dmCopies : 1, nullptr);
    meta_[copies].low = 1, meta_[copies].high = 999;
    for (size_t m : {scale, copies}) {
        params_[m][1].IconID = static_cast<ULONG_PTR>(meta_[m].low);
        params_[m][1].lParam = meta_[m].high;
    }
    if (!ppd.Find("Resolution")) {
        // Without a resolution feature the quality is the PPD's one resolution.
        std::string dpi = ppd.Attribute("DefaultResolution");
        Add(Kind::PrintQuality, kItemPrintQuality, DMPUB_PRINTQUALITY, TEXT("Print Quality"),
            {Widen(dpi.empty() ? std::string("600dpi") : dpi)}, 0, nullptr);
    }
    if (ppd.Attribute("ColorDevice") == "True")
        Add(Kind::Colour, kItemColour, DMPUB_COLOR, TEXT("Color"), Texts(kColours),
            pub->dmColor == DMCOLOR_COLOR ? 1 : 0, nullptr);
    std::vector<WString> nup;
    for (const NupChoice &c : kNupChoices) nup.emplace_back(c.text);
    LONG nupSel = coreByte(kCoreNupSel);
    Add(Kind::Nup, kItemNup, DMPUB_NUP, TEXT("Pages per Sheet"), nup,
        nupSel < static_cast<LONG>(std::size(kNupChoices)) ? nupSel : 0, nullptr);
    Add(Kind::PsOutput, kItemPsOutput, DMPUB_NONE, TEXT("PostScript Output Option"), Texts(kPsOutputs),
        core && core->bPsOutputOption < std::size(kPsOutputs) ? core->bPsOutputOption : 0, nullptr);
    Add(Kind::Mirror, kItemMirror, DMPUB_NONE, TEXT("Mirrored Output"), Texts(kMirror), coreByte(kCoreMirrorSel) ? 0 : 1,
        nullptr);

    for (size_t i = 0; i < ppd.features.size(); ++i) {
        const PpdFeature &f = ppd.features[i];
        if (f.group == kInstallableGroup || f.options.empty()) continue;
        bool skipped = false;
        for (const char *k : kSkippedFeatures) skipped = skipped || f.keyword == k;
        if (skipped) continue;
        BYTE dmPubId = DMPUB_NONE;
        ULONG_PTR id = kFeatureItemBase + i;
        for (const StandardFeature &s : kStandardFeatures)
            if (f.keyword == s.keyword) {
                dmPubId = s.dmPubId;
                if (s.itemId) id = s.itemId;
            }
        std::vector<WString> choices;
        for (const PpdOption &o : f.options) choices.push_back(Widen(o.text));
        Add(Kind::Feature, id, dmPubId, Widen(f.text), choices, OptionIndex(f, Current(settings, f)), &f);
    }
    for (size_t i = 0; i < items_.size(); ++i) items_[i].UserData = reinterpret_cast<ULONG_PTR>(&data_[i]);
}

int CoreItems::IndexOf(const void *item) const
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (&items_[i] == item) return static_cast<int>(i);
    return -1;
}

WString CoreItems::DisplayName(size_t index) const { return meta_[index].name; }

size_t CoreItems::ChoiceCount(size_t index) const
{
    const OPTTYPE *t = items_[index].pOptType;
    return t && t->Type != TVOT_UDARROW ? t->Count : 0;
}

void CoreItems::Range(size_t index, LONG &low, LONG &high) const
{
    low = meta_[index].low;
    high = meta_[index].high;
}

bool CoreItems::Apply(size_t index, LONG sel, const Ppd &ppd, DocSettings &settings) const
{
    if (index >= items_.size()) return false;
    const Meta &m = meta_[index];
    size_t choices = ChoiceCount(index);
    if (choices ? (sel < 0 || static_cast<size_t>(sel) >= choices) : (sel < m.low || sel > m.high)) return false;
    // Hidden options cannot be chosen.
    if (choices && (items_[index].pOptType->pOptParam[sel].Flags & OPTPF_HIDE)) return false;

    DEVMODEW *pub = settings.devmode.Public();
    CorePrivateDevmode *core = CoreOf(settings);
    switch (m.kind) {
    case Kind::Feature: {
        std::map<std::string, std::string> after = settings.options;
        after[m.feature->keyword] = m.feature->options[static_cast<size_t>(sel)].name;
        // A change may not bring in a conflict; one that was there before is not this change's doing.
        if (ppd.FindConflict(after) && !ppd.FindConflict(settings.options)) return false;
        settings.options = std::move(after);
        return true;
    }
    case Kind::Orientation:
        pub->dmOrientation = sel == 0 ? DMORIENT_PORTRAIT : DMORIENT_LANDSCAPE;
        pub->dmFields |= DM_ORIENTATION;
        if (core) core->bUiSelection[kCoreOrientationSel] = static_cast<BYTE>(sel);
        return true;
    case Kind::Scale:
        pub->dmScale = static_cast<SHORT>(sel);
        pub->dmFields |= DM_SCALE;
        return true;
    case Kind::Copies:
        pub->dmCopies = static_cast<SHORT>(sel);
        pub->dmFields |= DM_COPIES;
        return true;
    case Kind::PrintQuality: return true;
    case Kind::Colour:
        pub->dmColor = sel ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
        pub->dmFields |= DM_COLOR;
        return true;
    case Kind::Nup:
        if (!core) return false;
        core->bUiSelection[kCoreNupSel] = static_cast<BYTE>(sel);
        core->dwNupCount = kNupChoices[sel].count;
        core->bNupLayout = kNupChoices[sel].layout;
        return true;
    case Kind::PsOutput:
        if (!core) return false;
        core->bPsOutputOption = static_cast<BYTE>(sel);
        return true;
    case Kind::Mirror:
        if (!core) return false;
        core->bUiSelection[kCoreMirrorSel] = sel == 0 ? 1 : 0;
        return true;
    }
    return false;
}

void CoreItems::Sync(const Ppd &ppd, const WString &deviceName, DocSettings &settings)
{
    DEVMODEW fromPpd{};
    FillPublicDefaults(fromPpd, ppd, settings.options, deviceName);
    DEVMODEW *pub = settings.devmode.Public();
    std::memcpy(pub->dmFormName, fromPpd.dmFormName, sizeof pub->dmFormName);
    pub->dmPaperSize = fromPpd.dmPaperSize;
    pub->dmDuplex = fromPpd.dmDuplex;
    pub->dmPrintQuality = fromPpd.dmPrintQuality;
    pub->dmYResolution = fromPpd.dmYResolution;
    pub->dmFields |= fromPpd.dmFields & (DM_FORMNAME | DM_PAPERSIZE | DM_DUPLEX | DM_PRINTQUALITY | DM_YRESOLUTION);
    if (CorePrivateDevmode *core = CoreOf(settings)) StoreFeatureSelection(ppd, settings.options, *core);
}

} // namespace zep::host
