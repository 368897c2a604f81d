// `zepdrv prefs`: printing preferences opened headless and acted on as a user would, one action at a time.
#pragma once
#include "host/core/text.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zep::host {

struct PrefsRequest {
    WString printer;
    std::vector<std::pair<std::string, std::string>> options;  // PPD keyword, option: over what the printer keeps
    // "page NAME", "click ID", "type ID TEXT", "select ID POSITION", "answer BUTTON", "dump", "apply", "cancel"
    std::vector<std::string> actions;
    std::string snapshotDir;  // "": no pictures
};

// Runs the actions in order on the topmost window (the sheet's current page, or a dialog the code opened) and
// writes what `dump` shows to `out`. Without `apply` nothing is kept. False with a one-line message when an
// action cannot be done; the sheet is then cancelled and nothing is kept.
bool RunPrefs(const PrefsRequest &request, std::FILE *out, std::string &error);

} // namespace zep::host
