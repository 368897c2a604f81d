// Module resources: lookup by type, name and language, loading, string tables, and the layout of ZepPS's own
// resources (the PostScript templates and the job-name dialog).
#include "fixture_modules.h"
#include "win32_test.h"

#include <algorithm>
#include <cstddef>

#include "resfixture_ids.h"
#include "zepps_ids.h"

using namespace zep::test;

namespace {

HMODULE Fixture()
{
    static LoadedModule module(ZEP_RES_FIXTURE_PATH);
    return module.get();
}

HMODULE ZepPS()
{
    static LoadedModule module(ZEP_ZEPPS_PATH);
    return module.get();
}

// The bytes of a found resource, or "<none>" with the error in `error`.
std::string Bytes(HMODULE module, HRSRC found)
{
    if (!found) return "<none>";
    const void *data = LockResource(LoadResource(module, found));
    DWORD size = SizeofResource(module, found);
    return data ? std::string(static_cast<const char *>(data), size) : "<no data>";
}

LPCWSTR Id(WORD id) { return MAKEINTRESOURCEW(id); }

struct LookupCase {
    const char *name;
    LPCWSTR type;
    LPCWSTR resource;
    bool explicitLanguage;
    WORD language;
    const char *expected; // data, or null when the lookup fails
    DWORD error;          // the error of a failed lookup
};

} // namespace

TEST(Resources, FixtureAndZepPSLoad)
{
    ASSERT_NE(Fixture(), nullptr) << ZEP_RES_FIXTURE_PATH << " error " << GetLastError();
    ASSERT_NE(ZepPS(), nullptr) << ZEP_ZEPPS_PATH << " error " << GetLastError();
}

TEST(Resources, LookupByTypeNameAndLanguage)
{
    ASSERT_NE(Fixture(), nullptr);
    const WORD english = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    const WORD german = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
    const WORD french = MAKELANGID(LANG_FRENCH, SUBLANG_DEFAULT);
    const LookupCase cases[] = {
        {"numeric id, neutral only", RT_RCDATA, Id(IDR_NEUTRAL), false, 0, "neutral", 0},
        {"\"#200\" is id 200", RT_RCDATA, TEXT("#200"), false, 0, "neutral", 0},
        {"string name, any case", RT_RCDATA, TEXT("nAmEd"), false, 0, "by name", 0},
        {"string type", TEXT("zeptype"), Id(IDR_CUSTOM_TYPED), false, 0, "custom type", 0},
        {"only language is taken", RT_RCDATA, Id(IDR_JAPANESE_ONLY), false, 0, "japanese", 0},
        {"exact language", RT_RCDATA, Id(IDR_GERMAN_AND_NEUTRAL), true, german, "german", 0},
        {"other language falls back to neutral", RT_RCDATA, Id(IDR_GERMAN_AND_NEUTRAL), true, french, "neutral", 0},
        {"explicit English", RT_RCDATA, Id(IDR_ENGLISH_ONLY), true, english, "english", 0},
        {"explicit language without neutral", RT_RCDATA, Id(IDR_ENGLISH_ONLY), true, french, nullptr,
         ERROR_RESOURCE_LANG_NOT_FOUND},
        {"missing type", Id(0x4242), Id(IDR_NEUTRAL), false, 0, nullptr, ERROR_RESOURCE_TYPE_NOT_FOUND},
        {"missing numeric name", RT_RCDATA, Id(999), false, 0, nullptr, ERROR_RESOURCE_NAME_NOT_FOUND},
        {"missing string name", RT_RCDATA, TEXT("NOSUCH"), false, 0, nullptr, ERROR_RESOURCE_NAME_NOT_FOUND},
    };
    for (const LookupCase &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        HRSRC found = c.explicitLanguage ? FindResourceExW(Fixture(), c.type, c.resource, c.language)
                                         : FindResourceW(Fixture(), c.resource, c.type);
        if (c.expected) {
            EXPECT_EQ(Bytes(Fixture(), found), c.expected);
            EXPECT_EQ(GetLastError(), kErrorMarker) << "success leaves the last error alone";
        } else {
            EXPECT_EQ(found, nullptr);
            EXPECT_EQ(GetLastError(), c.error);
        }
    }
}

TEST(Resources, NeutralRequestFindsEveryLanguageVariant)
{
    ASSERT_NE(Fixture(), nullptr);
    // Whatever the user's language, a neutral request for a resource that exists finds some variant of it.
    HRSRC found = FindResourceExW(Fixture(), RT_RCDATA, Id(IDR_GERMAN_AND_NEUTRAL), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    std::string bytes = Bytes(Fixture(), found);
    EXPECT_TRUE(bytes == "neutral" || bytes == "german") << bytes;
    EXPECT_EQ(Bytes(Fixture(), FindResourceW(Fixture(), Id(IDR_ENGLISH_ONLY), RT_RCDATA)), "english");
}

TEST(Resources, LoadedDataIsStableAndFreeingDoesNothing)
{
    ASSERT_NE(Fixture(), nullptr);
    HRSRC found = FindResourceW(Fixture(), Id(IDB_FIXTURE_LOGO), RT_BITMAP);
    ASSERT_NE(found, nullptr);
    HGLOBAL data = LoadResource(Fixture(), found);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(LockResource(data), LockResource(LoadResource(Fixture(), found))) << "the same image bytes each time";
    // A bitmap resource is the .bmp file without its 14-byte file header: a BITMAPINFOHEADER comes first.
    DWORD headerSize = 0;
    std::memcpy(&headerSize, LockResource(data), sizeof headerSize);
    EXPECT_EQ(headerSize, 40u);
    EXPECT_EQ(SizeofResource(Fixture(), found), 40u + 80u * 24u * 3u);
    EXPECT_FALSE(FreeResource(data));
    EXPECT_NE(FindResourceW(Fixture(), Id(IDI_FIXTURE_WARNING), RT_GROUP_ICON), nullptr);
    EXPECT_NE(FindResourceW(Fixture(), Id(IDD_EVERY_CONTROL), RT_DIALOG), nullptr);
}

TEST(Resources, ModuleWithoutTheResourceType)
{
    ASSERT_NE(ZepPS(), nullptr);
    PresetLastError();
    EXPECT_EQ(FindResourceW(ZepPS(), Id(IDB_FIXTURE_LOGO), RT_BITMAP), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

struct StringCase {
    const char *name;
    UINT id;
    int size; // buffer size in characters (the buffer holds 64)
    int result;
    const char *text; // what the buffer holds afterwards
    unsigned differsOn = 0; // platforms whose text differs from Windows
};

TEST(Resources, LoadStringCopiesTruncatesAndTerminates)
{
    ASSERT_NE(Fixture(), nullptr);
    const StringCase cases[] = {
        {"last of block 1", IDS_FIRST_BLOCK_LAST, 64, 7, "fifteen"},
        {"first of block 2", IDS_SECOND_BLOCK_FIRST, 64, 7, "sixteen"},
        {"last of block 2", IDS_SECOND_BLOCK_LAST, 64, 10, "thirty-one"},
        {"exact fit", IDS_FIRST_BLOCK_LAST, 8, 7, "fifteen"},
        {"one short: truncated and terminated", IDS_FIRST_BLOCK_LAST, 7, 6, "fiftee"},
        // Wine leaves a one-character buffer untouched instead of terminating it.
        {"size 1 holds only the terminator", IDS_FIRST_BLOCK_LAST, 1, 0, "", kWine},
        {"long string truncated", IDS_LONG, 10, 9, "The quick"},
    };
    for (const StringCase &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR buffer[64];
        FillJunk(buffer);
        PresetLastError();
        EXPECT_EQ(LoadStringW(Fixture(), c.id, buffer, c.size), c.result);
        const bool terminated = std::find(buffer, buffer + 64, WCHAR(0)) != buffer + 64;
        EXPECT_AS_WINDOWS(c.differsOn, terminated && Narrow(buffer) == c.text);
        EXPECT_TRUE(IsJunk(buffer + c.result + 1, 64 - c.result - 1)) << "nothing written past the terminator";
        EXPECT_EQ(GetLastError(), kErrorMarker);
    }
}

TEST(Resources, LoadStringWithZeroSizeGivesAPointerToTheString)
{
    ASSERT_NE(Fixture(), nullptr);
    const WCHAR *text = nullptr;
    int length = LoadStringW(Fixture(), IDS_NON_ASCII, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_EQ(length, 7);
    ASSERT_NE(text, nullptr);
    const WCHAR expected[] = {'C', 'a', 'f', 0x00E9, ' ', 0x65E5, 0x672C};
    EXPECT_EQ(WString(text, static_cast<size_t>(length)), WString(expected, 7));
}

TEST(Resources, LoadStringOfMissingStrings)
{
    ASSERT_NE(Fixture(), nullptr);
    WCHAR buffer[16];
    // A block without that string: an empty result.
    FillJunk(buffer);
    EXPECT_EQ(LoadStringW(Fixture(), IDS_MISSING_IN_BLOCK, buffer, 16), 0);
    // No block at all: the lookup's error.
    FillJunk(buffer);
    PresetLastError();
    EXPECT_EQ(LoadStringW(Fixture(), IDS_IN_MISSING_BLOCK, buffer, 16), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST(Resources, LoadStringAConvertsToTheAnsiCodePage)
{
    ASSERT_NE(Fixture(), nullptr);
    char buffer[16];
    FillJunk(buffer);
    EXPECT_EQ(LoadStringA(Fixture(), IDS_SECOND_BLOCK_FIRST, buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "sixteen");
    FillJunk(buffer);
    EXPECT_EQ(LoadStringA(Fixture(), IDS_SECOND_BLOCK_FIRST, buffer, 4), 3);
    EXPECT_STREQ(buffer, "six");
}

// The watermark templates of ZepPS: 8-bit text with CR LF line ends, their sizes without the NUL that follows.
TEST(ZepPSResources, PostScriptTemplatesHaveTheirExactSizesAndAreFollowedByANul)
{
    ASSERT_NE(ZepPS(), nullptr);
    struct Template {
        WORD id;
        DWORD size;
        const char *procedure;
    } templates[] = {{IDR_PS_WATERMARK_INIT, 239, "/init_watermark"},
                     {IDR_PS_WATERMARK_DRAW, 143, "/draw_watermark"},
                     {IDR_PS_WATERMARK_MATRIX, 140, "/getwmmatrix"}};
    for (const Template &t : templates) {
        SCOPED_TRACE(t.id);
        HRSRC found = FindResourceW(ZepPS(), Id(t.id), Id(RT_ZEP_PSTEMPLATE));
        ASSERT_NE(found, nullptr) << GetLastError();
        DWORD size = SizeofResource(ZepPS(), found);
        EXPECT_EQ(size, t.size);
        const char *text = static_cast<const char *>(LockResource(LoadResource(ZepPS(), found)));
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text[size], '\0') << "the template is followed by a NUL";
        std::string body(text, size);
        EXPECT_EQ(body.substr(0, 2), "\r\n");
        EXPECT_EQ(body.substr(body.size() - 4), "\r\n\r\n");
        EXPECT_NE(body.find(t.procedure), std::string::npos);
        for (size_t i = 0; i < body.size(); ++i) {
            if (body[i] == '\n') {
                EXPECT_EQ(body[i - 1], '\r') << "bare LF at " << i;
            }
        }
    }
    HRSRC init = FindResourceW(ZepPS(), Id(IDR_PS_WATERMARK_INIT), Id(RT_ZEP_PSTEMPLATE));
    std::string line2 = Bytes(ZepPS(), init).substr(2, 80);
    EXPECT_EQ(line2, "(%1!S!) %2!d! /%2!S! %3 %4 %5!d! %6 %7 %8!d! %9!d! %9!d! %9!d! %9!d! %9!d! %9!d!");
}

namespace {

// The fixed head of an extended dialog template, as the dialog manager reads it.
#pragma pack(push, 1)
struct DialogTemplateExHead {
    WORD dlgVer;
    WORD signature;
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x, y, cx, cy;
};
#pragma pack(pop)
static_assert(sizeof(DialogTemplateExHead) == 26, "DLGTEMPLATEEX head");
static_assert(offsetof(DialogTemplateExHead, style) == 12, "DLGTEMPLATEEX style");
static_assert(offsetof(DialogTemplateExHead, cDlgItems) == 16, "DLGTEMPLATEEX item count");

// Reads a NUL-terminated UTF-16 string (or a 0xFFFF ordinal) at `p`, moving `p` past it.
WString ReadSz(const BYTE *&p)
{
    WString out;
    WORD c;
    std::memcpy(&c, p, 2);
    if (c == 0xFFFF) {
        p += 4;
        return TEXT("#ordinal");
    }
    for (;; p += 2) {
        std::memcpy(&c, p, 2);
        if (!c) break;
        out += static_cast<WCHAR>(c);
    }
    p += 2;
    return out;
}

} // namespace

TEST(ZepPSResources, JobNameDialogTemplateHeader)
{
    ASSERT_NE(ZepPS(), nullptr);
    HRSRC found = FindResourceW(ZepPS(), Id(IDD_JOBNAME), RT_DIALOG);
    ASSERT_NE(found, nullptr) << GetLastError();
    const BYTE *base = static_cast<const BYTE *>(LockResource(LoadResource(ZepPS(), found)));
    ASSERT_NE(base, nullptr);
    DialogTemplateExHead head;
    std::memcpy(&head, base, sizeof head);
    EXPECT_EQ(head.dlgVer, 1);
    EXPECT_EQ(head.signature, 0xFFFF);
    const DWORD frame = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
    EXPECT_EQ(head.style & frame, frame);
    EXPECT_EQ(head.exStyle & WS_EX_CONTEXTHELP, static_cast<DWORD>(WS_EX_CONTEXTHELP));
    EXPECT_EQ(head.cDlgItems, 4);
    EXPECT_EQ(head.cx, 163);
    EXPECT_EQ(head.cy, 99);
    const BYTE *p = base + sizeof head;
    EXPECT_EQ(ReadSz(p), WString()) << "no menu";
    EXPECT_EQ(ReadSz(p), WString()) << "the standard dialog class";
    EXPECT_EQ(Narrow(ReadSz(p)), "Job Name Setting");
    WORD pointSize;
    std::memcpy(&pointSize, p, 2);
    EXPECT_EQ(pointSize, 8);
    p += 6; // point size, weight, italic, character set
    EXPECT_EQ(Narrow(ReadSz(p)), "MS Sans Serif");

    WCHAR text[32];
    FillJunk(text);
    EXPECT_EQ(LoadStringW(ZepPS(), IDS_INPUT_JOB_NAME, text, 32), 14);
    EXPECT_EQ(Narrow(text), "Input Job Name");
}
