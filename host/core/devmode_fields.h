// Setting one OemDevmode field by its name, for zepdrv's "-s FIELD=VALUE" option.
#pragma once
#include <string>
#include <string_view>

#include "common/devmode.h"

namespace zep::host {

// name is a field name of the record ("wszJobName", "dwCryptoMode", "watermark.lPointSize" or just
// "lPointSize"). Values:
//   integers      decimal (a leading '-' for signed fields) or 0x hexadecimal; must fit the field;
//   wide strings  UTF-8, converted to UTF-16; must leave room for the terminating NUL;
//   szPsColor     ASCII, at most 15 characters;
//   arrays        (wOverlayIndex, bToneData, bValueData, bEncryptedPassword) a comma list of integers
//                 filling the array from its start; the rest of wOverlayIndex becomes 255 (not in use),
//                 the rest of a byte array 0; "" clears the array that way.
// Returns false with a message in *error (when given) and leaves the record unchanged on any fault.
bool SetOemDevmodeField(OemDevmode &dm, std::string_view name, std::string_view value, std::string *error);

// The names SetOemDevmodeField accepts, in record order, for help texts.
std::string OemDevmodeFieldNames();

} // namespace zep::host
