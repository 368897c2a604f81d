// A small reader of PPD files: features, options, defaults, constraints, translations and includes.
#pragma once
#include "host/core/text.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zep::host {

struct PpdOption {
    std::string name;
    std::string text;  // translation string, or the name when the PPD gives none
    bool hasText = false;
    std::string code;  // invocation value, quotes removed
};

struct PpdFeature {
    std::string keyword;  // without the leading '*'
    std::string text;
    bool hasText = false;
    std::string ui;       // "PickOne", "PickMany" or "Boolean"
    std::string group;    // keyword of the enclosing *OpenGroup, "" outside any
    bool jcl = false;     // opened with *JCLOpenUI
    std::string defaultOption;
    std::vector<PpdOption> options;

    const PpdOption *Find(std::string_view name) const;
};

// One *UIConstraints or *NonUIConstraints entry; an empty option means "any option but None, False or Off".
struct PpdConstraint {
    std::string keyword1, option1, keyword2, option2;
    bool ui = true;
};

class Ppd {
public:
    // Reads the file and every *Include it names. An include is a plain file name in the PPD's folder, and the PPD
    // with its includes holds at most kMaxBytes.
    bool Load(const WString &path, std::string &error);
    static constexpr uint64_t kMaxBytes = 16u << 20;
    // Parses PPD text; baseDir resolves *Include.
    bool Parse(std::string_view text, const WString &baseDir, std::string &error);

    const PpdFeature *Find(std::string_view keyword) const;
    // The first value of a main keyword that has no option part ("ModelName", "ColorDevice", ...); "" when absent.
    std::string Attribute(std::string_view keyword) const;

    // The first constraint that the selection (keyword -> option, missing keywords take their defaults) breaks.
    const PpdConstraint *FindConflict(const std::map<std::string, std::string> &selection) const;
    // Resolves the selection's conflicts as a print system does: the user's explicit choices win, and a conflicting
    // option the user did not give changes to the first choice of its feature (its default first, then the PPD's
    // order) that breaks none of its constraints (an installable option is never changed: it describes the
    // printer); each change is added to `changes` as "KEYWORD=NEW (was OLD)".
    // Null when everything fits; otherwise the constraint left broken (two explicit choices, or nothing fits).
    const PpdConstraint *ResolveConflicts(std::map<std::string, std::string> &selection,
                                          const std::set<std::string> &explicitKeywords,
                                          std::vector<std::string> &changes) const;

    std::vector<PpdFeature> features;
    std::vector<PpdConstraint> constraints;

private:
    bool Breaks(const PpdConstraint &c, const std::map<std::string, std::string> &selection) const;
    bool ParseText(std::string_view text, const WString &baseDir, std::string &error, int depth);
    bool Include(const std::string &name, const WString &baseDir, std::string &error, int depth);
    void Finish();

    std::map<std::string, std::string, std::less<>> attributes_;
    std::map<std::string, std::string> defaults_;  // *DefaultX seen outside or before X's OpenUI
    std::vector<std::string> customFeatures_;
    uint64_t bytesRead_ = 0;  // of the PPD and its includes so far
};

} // namespace zep::host
