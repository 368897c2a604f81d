// The core's option items of the document sheet: built from the PPD's features and the core's own settings, and
// the rules by which a new selection of an item changes the document settings.
#pragma once
#include "common/oemui.h"
#include "host/core/devmode.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace zep::host {

// What one printing-preferences session edits: the PPD feature selection and the whole DEVMODE.
struct DocSettings {
    std::map<std::string, std::string> options;  // feature keyword -> option name
    JobDevmode devmode;
};

// The core's item ids (the second member of the per-item record) for its own items; PPD features take
// kFeatureItemBase plus their position in the PPD.
enum CoreItemId : ULONG_PTR {
    kItemOrientation = 1,
    kItemScale = 2,
    kItemCopies = 3,
    kItemPrintQuality = 5,
    kItemColour = 6,
    kItemDuplex = 7,
    kItemFormName = 9,
    kItemNup = 16,
    kItemPsOutput = 25,  // the PostScript output option; the UI plug-in knows it by this id
    kItemMirror = 30,
    kFeatureItemBase = 1000,
};
inline constexpr ULONG_PTR kMirrorNameId = 423;  // the mirror item's pName is this string id, not a text

class CoreItems {
public:
    CoreItems() = default;
    CoreItems(const CoreItems &) = delete;
    CoreItems &operator=(const CoreItems &) = delete;

    // The items for the PPD, their selections taken from the settings. Features of the installable-options group
    // belong to the printer sheet and are left out.
    void Build(const Ppd &ppd, const DocSettings &settings);

    POPTITEM Items() { return items_.data(); }
    DWORD Count() const { return static_cast<DWORD>(items_.size()); }
    // Position of an item of the array, or -1 for a pointer that is not one of them.
    int IndexOf(const void *item) const;
    ULONG_PTR ItemId(size_t index) const { return data_[index].itemId; }
    const char *Keyword(size_t index) const { return data_[index].keyword; }
    // The name a user sees (items named by a string id get the core's text).
    WString DisplayName(size_t index) const;
    // Number of choices of a list item; 0 for a number item (scale, copies).
    size_t ChoiceCount(size_t index) const;
    // Lowest and highest value of a number item.
    void Range(size_t index, LONG &low, LONG &high) const;

    // Takes `sel` as the item's new selection into the settings. False, with the settings unchanged, when the
    // value is out of range or the new feature option breaks one of the PPD's constraints that held before.
    bool Apply(size_t index, LONG sel, const Ppd &ppd, DocSettings &settings) const;

    // The public fields that follow the feature selection (paper, form name, duplex, resolution) and the feature
    // selection in the core part, as they stand in the settings.
    static void Sync(const Ppd &ppd, const WString &deviceName, DocSettings &settings);

private:
    enum class Kind { Feature, Orientation, Scale, Copies, PrintQuality, Colour, Nup, PsOutput, Mirror };
    struct Meta {
        Kind kind = Kind::Feature;
        const PpdFeature *feature = nullptr;
        LONG low = 0, high = 0;
        WString name;
    };
    size_t Add(Kind kind, ULONG_PTR id, BYTE dmPubId, const WString &name, const std::vector<WString> &choices,
               LONG sel, const PpdFeature *feature);

    std::vector<OPTITEM> items_;
    std::vector<CoreItemData> data_;
    std::vector<Meta> meta_;
    std::deque<OPTTYPE> types_;
    std::deque<std::vector<OPTPARAM>> params_;
    std::deque<WString> strings_;
    std::deque<std::string> keywords_;
};

} // namespace zep::host
