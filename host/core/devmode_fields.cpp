// The named-field table of OemDevmode and the value parsers behind SetOemDevmodeField.
#include "host/core/devmode_fields.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace zep::host {
namespace {

enum class Kind { U8, U16, U32, I16, I32, WideText, AnsiText, WordList, ByteList };

struct Field {
    const char *name;
    size_t offset;
    Kind kind;
    size_t count; // elements of a text or array field
};

#define ZEP_FIELD(member, kind, count) {#member, offsetof(OemDevmode, member), Kind::kind, count}
#define ZEP_MARK(member, kind, count) {#member, offsetof(OemDevmode, watermark.member), Kind::kind, count}

const Field kFields[] = {
    ZEP_FIELD(dwSize, U32, 1),
    ZEP_FIELD(dwSignature, U32, 1),
    ZEP_FIELD(dwVersion, U32, 1),
    ZEP_FIELD(dwOptItemValue, I32, 1),
    ZEP_FIELD(wszJobName, WideText, 17),
    ZEP_FIELD(wszJobPassword, WideText, 5),
    ZEP_FIELD(dwAskJobName, U32, 1),
    ZEP_FIELD(dwWatermarkIndex, U32, 1),
    ZEP_FIELD(wOverlayIndex, WordList, 4),
    ZEP_FIELD(bToneCount, U8, 1),
    ZEP_FIELD(bToneData, ByteList, 253),
    ZEP_FIELD(bValueCount, U8, 1),
    ZEP_FIELD(bValueData, ByteList, 255),
    ZEP_FIELD(dwColorCorrect, U32, 1),
    ZEP_MARK(lPointSize, I32, 1),
    ZEP_MARK(lFontNo, I32, 1),
    ZEP_MARK(sAngle, I16, 1),
    ZEP_MARK(lOffsetX, I32, 1),
    ZEP_MARK(lOffsetY, I32, 1),
    ZEP_MARK(crColor, U32, 1),
    ZEP_MARK(wszPsFontName, WideText, 33),
    ZEP_MARK(lWeight, I32, 1),
    ZEP_MARK(bItalic, U8, 1),
    ZEP_MARK(bCharSet, U8, 1),
    ZEP_MARK(wPosition, U16, 1),
    ZEP_MARK(wTrim, U16, 1),
    ZEP_MARK(wBackground, U16, 1),
    ZEP_MARK(bFirstPageOnly, U8, 1),
    ZEP_MARK(wFontStyle, U16, 1),
    ZEP_MARK(szPsColor, AnsiText, 16),
    ZEP_FIELD(wszDriverDirectory, WideText, 261),
    ZEP_FIELD(wszPluginIniFile, WideText, 261),
    ZEP_FIELD(wszCapabilityFile, WideText, 261),
    ZEP_FIELD(wCompressionLevel, U16, 1),
    ZEP_FIELD(bNupSel, U8, 1),
    ZEP_FIELD(dwLastPaperSize, U32, 1),
    ZEP_FIELD(bLastLayoutSignature, U8, 1),
    ZEP_FIELD(bOrientationSel, U8, 1),
    ZEP_FIELD(wszWatermarkText, WideText, 129),
    ZEP_FIELD(dwCryptoMode, U32, 1),
    ZEP_FIELD(dwCryptoLevel, U32, 1),
    ZEP_FIELD(bEncryptedPassword, ByteList, 256),
    ZEP_FIELD(dwEncryptedPasswordLen, U32, 1),
    ZEP_FIELD(dwCryptoTime, U32, 1),
    ZEP_FIELD(dwAskPassword, U32, 1),
    ZEP_FIELD(dwGammaSel, U32, 1),
};

#undef ZEP_FIELD
#undef ZEP_MARK

struct Range {
    int64_t min;
    int64_t max;
    size_t bytes;
};

Range RangeOf(Kind kind)
{
    switch (kind) {
    case Kind::U8:
    case Kind::ByteList: return {0, 0xFF, 1};
    case Kind::U16:
    case Kind::WordList: return {0, 0xFFFF, 2};
    case Kind::I16: return {INT16_MIN, INT16_MAX, 2};
    case Kind::I32: return {INT32_MIN, INT32_MAX, 4};
    default: return {0, 0xFFFFFFFFll, 4};
    }
}

bool Fail(std::string *error, std::string text)
{
    if (error) *error = std::move(text);
    return false;
}

// Decimal (optionally negative) or 0x hexadecimal, within [min, max].
bool ParseInteger(std::string_view text, const Range &range, int64_t *out)
{
    bool negative = false;
    if (!text.empty() && text[0] == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 16) return false;
    int64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        value = value * base + digit;
        if (value > 0xFFFFFFFFll + 1) return false;
    }
    if (negative) value = -value;
    if (value < range.min || value > range.max) return false;
    *out = value;
    return true;
}

// Strict UTF-8 to UTF-16; false for malformed input, overlong forms and surrogate code points.
bool Utf16FromUtf8(std::string_view in, std::vector<WCHAR> *out)
{
    for (size_t i = 0; i < in.size();) {
        const auto b0 = static_cast<unsigned char>(in[i]);
        uint32_t cp;
        size_t n;
        if (b0 < 0x80) cp = b0, n = 1;
        else if ((b0 & 0xE0) == 0xC0) cp = b0 & 0x1F, n = 2;
        else if ((b0 & 0xF0) == 0xE0) cp = b0 & 0x0F, n = 3;
        else if ((b0 & 0xF8) == 0xF0) cp = b0 & 0x07, n = 4;
        else return false;
        if (i + n > in.size()) return false;
        for (size_t k = 1; k < n; ++k) {
            const auto b = static_cast<unsigned char>(in[i + k]);
            if ((b & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (b & 0x3F);
        }
        static const uint32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out->push_back(static_cast<WCHAR>(0xD800 + (cp >> 10)));
            out->push_back(static_cast<WCHAR>(0xDC00 + (cp & 0x3FF)));
        } else {
            out->push_back(static_cast<WCHAR>(cp));
        }
        i += n;
    }
    return true;
}

void StoreInteger(BYTE *at, int64_t value, size_t bytes)
{
    // The record is little-endian on every build.
    const auto v = static_cast<uint64_t>(value);
    for (size_t i = 0; i < bytes; ++i) at[i] = static_cast<BYTE>(v >> (8 * i));
}

bool SetList(BYTE *at, const Field &f, std::string_view value, std::string *error)
{
    const Range range = RangeOf(f.kind);
    std::vector<int64_t> items;
    while (!value.empty()) {
        size_t comma = value.find(',');
        std::string_view item = value.substr(0, comma);
        while (!item.empty() && item.front() == ' ') item.remove_prefix(1);
        while (!item.empty() && item.back() == ' ') item.remove_suffix(1);
        int64_t v;
        if (!ParseInteger(item, range, &v))
            return Fail(error, std::string(f.name) + ": bad element '" + std::string(item) + "'");
        items.push_back(v);
        if (items.size() > f.count) return Fail(error, std::string(f.name) + ": more than " +
                                                           std::to_string(f.count) + " elements");
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
        if (value.empty()) return Fail(error, std::string(f.name) + ": empty element");
    }
    const int64_t fill = f.kind == Kind::WordList ? kOverlayUnused : 0;
    for (size_t i = 0; i < f.count; ++i)
        StoreInteger(at + i * range.bytes, i < items.size() ? items[i] : fill, range.bytes);
    return true;
}

} // namespace

bool SetOemDevmodeField(OemDevmode &dm, std::string_view name, std::string_view value, std::string *error)
{
    if (name.substr(0, 10) == "watermark.") name.remove_prefix(10);
    const Field *field = nullptr;
    for (const Field &f : kFields)
        if (name == f.name) field = &f;
    if (!field) return Fail(error, "unknown field '" + std::string(name) + "'");

    BYTE *at = reinterpret_cast<BYTE *>(&dm) + field->offset;
    const std::string fname(field->name);
    switch (field->kind) {
    case Kind::WideText: {
        std::vector<WCHAR> text;
        if (!Utf16FromUtf8(value, &text)) return Fail(error, fname + ": value is not valid UTF-8");
        if (text.size() >= field->count)
            return Fail(error, fname + ": at most " + std::to_string(field->count - 1) + " UTF-16 units");
        text.resize(field->count, 0);
        std::memcpy(at, text.data(), text.size() * sizeof(WCHAR));
        return true;
    }
    case Kind::AnsiText: {
        if (value.size() >= field->count)
            return Fail(error, fname + ": at most " + std::to_string(field->count - 1) + " characters");
        for (char c : value)
            if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
                return Fail(error, fname + ": ASCII text only");
        std::memset(at, 0, field->count);
        std::memcpy(at, value.data(), value.size());
        return true;
    }
    case Kind::WordList:
    case Kind::ByteList: return SetList(at, *field, value, error);
    default: {
        const Range range = RangeOf(field->kind);
        int64_t v;
        if (!ParseInteger(value, range, &v))
            return Fail(error, fname + ": '" + std::string(value) + "' is not a number that fits the field");
        StoreInteger(at, v, range.bytes);
        return true;
    }
    }
}

std::string OemDevmodeFieldNames()
{
    std::string names;
    for (const Field &f : kFields) {
        if (!names.empty()) names += ' ';
        names += f.name;
    }
    return names;
}

} // namespace zep::host
