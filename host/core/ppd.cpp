// A small reader of PPD files, following the PPD file format's line syntax.
#include "host/core/ppd.h"

#include "common/config.h"
#include "host/core/input.h"

#include <algorithm>

namespace zep::host {

namespace {

constexpr int kMaxIncludeDepth = 8;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Translation strings may carry bytes as <hex> runs.
std::string DecodeHex(std::string_view s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '<') {
            out += s[i];
            continue;
        }
        size_t close = s.find('>', i);
        if (close == std::string_view::npos) {
            out.append(s.substr(i));
            break;
        }
        int hi = -1;
        for (size_t j = i + 1; j < close; ++j) {
            int v = HexValue(s[j]);
            if (v < 0) continue;
            if (hi < 0) {
                hi = v;
            } else {
                out += static_cast<char>(hi * 16 + v);
                hi = -1;
            }
        }
        i = close;
    }
    return out;
}

std::string_view TrimRight(std::string_view s)
{
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r' || s.back() == '\n')) s.remove_suffix(1);
    return s;
}

std::string_view TrimLeft(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

// Offset just past the line end that follows pos (or the text's end).
size_t NextLine(std::string_view text, size_t pos)
{
    while (pos < text.size() && text[pos] != '\n' && text[pos] != '\r') ++pos;
    if (pos < text.size() && text[pos] == '\r') {
        ++pos;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    } else if (pos < text.size()) {
        ++pos;
    }
    return pos;
}

std::string StripStar(std::string_view s)
{
    if (!s.empty() && s.front() == '*') s.remove_prefix(1);
    return std::string(s);
}

bool IsOffChoice(std::string_view option) { return option == "None" || option == "False" || option == "Off"; }

} // namespace

const PpdOption *PpdFeature::Find(std::string_view name) const
{
    for (const PpdOption &o : options)
        if (o.name == name) return &o;
    return nullptr;
}

const PpdFeature *Ppd::Find(std::string_view keyword) const
{
    for (const PpdFeature &f : features)
        if (f.keyword == keyword) return &f;
    return nullptr;
}

std::string Ppd::Attribute(std::string_view keyword) const
{
    auto it = attributes_.find(keyword);
    return it == attributes_.end() ? std::string() : it->second;
}

bool Ppd::Load(const WString &path, std::string &error)
{
    std::string text;
    if (!ReadWholeFile(path, "the PPD", kMaxBytes, text, error)) return false;
    return Parse(text, DirectoryOf(path), error);
}

bool Ppd::Include(const std::string &name, const WString &baseDir, std::string &error, int depth)
{
    if (depth >= kMaxIncludeDepth) {
        error = "*Include nested too deeply";
        return false;
    }
    // Only a file beside the PPD: an include must not reach into the rest of the machine.
    WString file = Widen(name);
    if (name.find('\0') != std::string::npos || !IsPlainFileName(file.c_str())) {
        error = "*Include names \"" + name + "\", which is not a file name in the PPD's folder";
        return false;
    }
    std::string included;
    if (!ReadWholeFile(JoinPath(baseDir, file), "the included PPD", kMaxBytes, included, error)) return false;
    if (included.size() > kMaxBytes - bytesRead_) {
        error = "the PPD with its includes is larger than " + std::to_string(kMaxBytes) + " bytes";
        return false;
    }
    bytesRead_ += included.size();
    return ParseText(included, baseDir, error, depth + 1);
}

bool Ppd::Parse(std::string_view text, const WString &baseDir, std::string &error)
{
    features.clear();
    constraints.clear();
    bytesRead_ = text.size();
    attributes_.clear();
    defaults_.clear();
    customFeatures_.clear();
    if (!ParseText(text, baseDir, error, 0)) return false;
    Finish();
    return true;
}

bool Ppd::ParseText(std::string_view text, const WString &baseDir, std::string &error, int depth)
{
    constexpr size_t kNone = static_cast<size_t>(-1);
    size_t open = kNone;  // index of the feature between *OpenUI and *CloseUI
    std::string group;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t lineStart = pos;
        size_t lineEnd = lineStart;
        while (lineEnd < text.size() && text[lineEnd] != '\n' && text[lineEnd] != '\r') ++lineEnd;
        pos = NextLine(text, lineStart);
        std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        if (line.size() < 2 || line[0] != '*' || line[1] == '%') continue;

        size_t i = 1;
        while (i < line.size() && !IsBlank(line[i]) && line[i] != ':') ++i;
        std::string keyword(line.substr(1, i - 1));
        while (i < line.size() && IsBlank(line[i])) ++i;

        std::string option, translation;
        bool hasTranslation = false;
        if (i < line.size() && line[i] != ':') {
            size_t start = i;
            while (i < line.size() && line[i] != '/' && line[i] != ':') ++i;
            option = std::string(TrimRight(line.substr(start, i - start)));
            if (i < line.size() && line[i] == '/') {
                size_t t = ++i;
                while (i < line.size() && line[i] != ':') ++i;
                translation = DecodeHex(TrimRight(line.substr(t, i - t)));
                hasTranslation = true;
            }
        }
        if (i >= line.size() || line[i] != ':') continue;  // "*End" and other bare keywords
        ++i;

        // A quoted value may run over several lines; the line after it may be "*End".
        std::string value;
        std::string_view rest = TrimLeft(line.substr(i));
        if (!rest.empty() && rest.front() == '"') {
            size_t open_quote = lineStart + (rest.data() - line.data());
            size_t close = text.find('"', open_quote + 1);
            if (close == std::string_view::npos) {
                error = "unterminated quoted value of *" + keyword;
                return false;
            }
            value = std::string(text.substr(open_quote + 1, close - open_quote - 1));
            pos = NextLine(text, close);
        } else {
            value = std::string(TrimRight(rest));
        }

        if (keyword == "OpenUI" || keyword == "JCLOpenUI") {
            std::string name = StripStar(option);
            auto it = std::find_if(features.begin(), features.end(),
                                   [&](const PpdFeature &f) { return f.keyword == name; });
            if (it == features.end()) {
                features.push_back({});
                it = features.end() - 1;
                it->keyword = name;
            }
            it->text = hasTranslation ? translation : name;
            it->hasText = hasTranslation;
            it->ui = value;
            it->group = group;
            it->jcl = keyword == "JCLOpenUI";
            open = static_cast<size_t>(it - features.begin());
        } else if (keyword == "CloseUI" || keyword == "JCLCloseUI") {
            open = kNone;
        } else if (keyword == "OpenGroup") {
            group = value.substr(0, value.find('/'));
        } else if (keyword == "CloseGroup") {
            group.clear();
        } else if (keyword == "UIConstraints" || keyword == "NonUIConstraints") {
            // "*K1 [O1] *K2 [O2]"
            std::vector<std::string> tokens;
            std::string_view v = value;
            while (!(v = TrimLeft(v)).empty()) {
                size_t end = 0;
                while (end < v.size() && !IsBlank(v[end])) ++end;
                tokens.emplace_back(v.substr(0, end));
                v.remove_prefix(end);
            }
            PpdConstraint c;
            c.ui = keyword == "UIConstraints";
            size_t t = 0;
            auto take = [&](std::string &kw, std::string &opt) {
                if (t < tokens.size() && tokens[t].front() == '*') kw = StripStar(tokens[t++]);
                if (t < tokens.size() && tokens[t].front() != '*') opt = tokens[t++];
            };
            take(c.keyword1, c.option1);
            take(c.keyword2, c.option2);
            if (!c.keyword1.empty() && !c.keyword2.empty()) constraints.push_back(c);
        } else if (keyword == "Include") {
            if (!Include(value, baseDir, error, depth)) return false;
        } else if (keyword.rfind("Default", 0) == 0 && keyword.size() > 7 && option.empty()) {
            std::string name = keyword.substr(7);
            std::string choice = value.substr(0, value.find('/'));
            if (open != kNone && features[open].keyword == name) features[open].defaultOption = choice;
            else defaults_[name] = choice;
        } else if (keyword.rfind("Custom", 0) == 0 && keyword.size() > 6 && option == "True") {
            customFeatures_.push_back(keyword.substr(6));
        } else if (open != kNone && keyword == features[open].keyword && !option.empty()) {
            PpdOption o;
            o.name = option;
            o.text = hasTranslation ? translation : option;
            o.hasText = hasTranslation;
            o.code = value;
            features[open].options.push_back(std::move(o));
        } else if (option.empty()) {
            attributes_.emplace(keyword, value.substr(0, value.find('/')));
        }
    }
    return true;
}

void Ppd::Finish()
{
    for (auto &[name, choice] : defaults_)
        for (PpdFeature &f : features)
            if (f.keyword == name && f.defaultOption.empty()) f.defaultOption = choice;
    // A feature with a custom form also offers the option "Custom"; a custom page size is one for the
    // imageable-area feature too, which always follows the page size.
    auto addCustom = [this](const std::string &name) {
        for (PpdFeature &f : features)
            if (f.keyword == name && !f.Find("Custom")) f.options.push_back({"Custom", "Custom", false, {}});
    };
    for (const std::string &name : customFeatures_) {
        addCustom(name);
        if (name == "PageSize") addCustom("PageRegion");
    }
}

bool Ppd::Breaks(const PpdConstraint &c, const std::map<std::string, std::string> &selection) const
{
    auto matches = [&](const std::string &keyword, const std::string &option) {
        auto it = selection.find(keyword);
        const PpdFeature *f = it == selection.end() ? Find(keyword) : nullptr;
        const std::string chosen = it != selection.end() ? it->second : (f ? f->defaultOption : std::string());
        if (chosen.empty()) return false;
        return option.empty() ? !IsOffChoice(chosen) : chosen == option;
    };
    return matches(c.keyword1, c.option1) && matches(c.keyword2, c.option2);
}

const PpdConstraint *Ppd::FindConflict(const std::map<std::string, std::string> &selection) const
{
    for (const PpdConstraint &c : constraints)
        if (Breaks(c, selection)) return &c;
    return nullptr;
}

const PpdConstraint *Ppd::ResolveConflicts(std::map<std::string, std::string> &selection,
                                           const std::set<std::string> &explicitKeywords,
                                           std::vector<std::string> &changes) const
{
    // Each round changes one feature for good; a feature changed once is not changed again, so this ends. The
    // installable options describe the printer itself and are never changed to make a job fit.
    std::set<std::string> changed;
    auto fixed = [&](const std::string &keyword) {
        const PpdFeature *f = Find(keyword);
        return explicitKeywords.count(keyword) || changed.count(keyword) || (f && f->group == "InstallableOptions");
    };
    while (const PpdConstraint *c = FindConflict(selection)) {
        const bool fixed1 = fixed(c->keyword1);
        const bool fixed2 = fixed(c->keyword2);
        if (fixed1 && fixed2) return c;
        const std::string keyword = fixed2 ? c->keyword1 : c->keyword2;
        const PpdFeature *feature = Find(keyword);
        if (!feature) return c;
        const std::string was = selection.count(keyword) ? selection[keyword] : feature->defaultOption;
        std::vector<std::string> candidates{feature->defaultOption};
        for (const PpdOption &o : feature->options) candidates.push_back(o.name);
        bool fits = false;
        for (const std::string &candidate : candidates) {
            if (candidate.empty() || candidate == was) continue;
            selection[keyword] = candidate;
            fits = true;
            for (const PpdConstraint &other : constraints)
                if ((other.keyword1 == keyword || other.keyword2 == keyword) && Breaks(other, selection)) fits = false;
            if (fits) break;
        }
        if (!fits) {
            selection[keyword] = was;
            return c;
        }
        changed.insert(keyword);
        changes.push_back(keyword + "=" + selection[keyword] + " (was " + was + ")");
    }
    return nullptr;
}

} // namespace zep::host
