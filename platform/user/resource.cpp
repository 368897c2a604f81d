// Module resources on Linux: a module carries its compiled resource file (the .res windres makes) in an ELF note,
// which this loader finds through the module's program headers and reads as the Windows loader reads a PE
// resource section.
#include <link.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "win32/kernel.h"
#include "win32/resource.h"

namespace {

// The note cmake/ZepResources.cmake writes: owner "Zep", type "RES " and the .res bytes as its description.
// The note sits in a loaded segment, so the data stays mapped as long as the module, as in a PE image.
constexpr char kNoteOwner[] = "Zep";
constexpr uint32_t kNoteType = 0x20534552;

// One resource header of a .res file: sizes, then type and name (0xFFFF + id, or a UTF-16 string), aligned
// to 4 bytes, then the fixed tail; the data follows the header and is padded to 4 bytes.
constexpr size_t kMinHeaderSize = 32;
constexpr size_t kHeaderTailSize = 16; // DataVersion, MemoryFlags, LanguageId, Version, Characteristics
constexpr size_t kTailLanguageOffset = 6;

struct ResKey {
    bool numeric = false;
    WORD id = 0;
    std::u16string name;
};

struct Entry {
    ResKey type;
    ResKey name;
    WORD language;
    const BYTE *data;
    DWORD size;
};

struct Directory {
    std::vector<Entry> entries;
};

WORD ReadWord(const BYTE *p)
{
    WORD v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

DWORD ReadDword(const BYTE *p)
{
    DWORD v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

char16_t Upper(char16_t c) { return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c; }

// Resource names and types compare without regard to letter case, as the loader upper-cases a name it is given.
bool SameKey(const ResKey &a, const ResKey &b)
{
    if (a.numeric != b.numeric) return false;
    if (a.numeric) return a.id == b.id;
    if (a.name.size() != b.name.size()) return false;
    for (size_t i = 0; i < a.name.size(); ++i)
        if (Upper(a.name[i]) != Upper(b.name[i])) return false;
    return true;
}

// A type or name field of a .res header at `p`, not past `end`; returns the byte after it, or null.
const BYTE *ReadResKey(const BYTE *p, const BYTE *end, ResKey &key)
{
    if (end - p < 2) return nullptr;
    if (ReadWord(p) == 0xFFFF) {
        if (end - p < 4) return nullptr;
        key.numeric = true;
        key.id = ReadWord(p + 2);
        return p + 4;
    }
    key.numeric = false;
    for (; end - p >= 2; p += 2) {
        WORD c = ReadWord(p);
        if (c == 0) return p + 2;
        key.name.push_back(static_cast<char16_t>(c));
    }
    return nullptr;
}

// Indexes the resources of one .res image; a damaged header ends the index there.
Directory *ParseRes(const BYTE *res, size_t size)
{
    auto *dir = new Directory;
    size_t offset = 0;
    while (size - offset >= 8) {
        const BYTE *header = res + offset;
        DWORD dataSize = ReadDword(header);
        DWORD headerSize = ReadDword(header + 4);
        if (headerSize < kMinHeaderSize || headerSize > size - offset || dataSize > size - offset - headerSize) break;
        const BYTE *headerEnd = header + headerSize;
        Entry entry{};
        const BYTE *p = ReadResKey(header + 8, headerEnd, entry.type);
        if (p) p = ReadResKey(p, headerEnd, entry.name);
        if (!p) break;
        p = header + ((p - header + 3) & ~size_t{3});
        if (headerEnd - p < static_cast<ptrdiff_t>(kHeaderTailSize)) break;
        entry.language = ReadWord(p + kTailLanguageOffset);
        entry.data = headerEnd;
        entry.size = dataSize;
        // The leading empty header (type 0, name 0) only marks the file as 32-bit.
        if (!(entry.type.numeric && entry.type.id == 0)) dir->entries.push_back(std::move(entry));
        offset = (offset + headerSize + dataSize + 3) & ~size_t{3};
    }
    return dir;
}

struct NoteSearch {
    const void *base;
    bool moduleFound = false;
    const BYTE *desc = nullptr;
    size_t size = 0;
};

size_t AlignUp(size_t v, size_t a) { return (v + a - 1) & ~(a - 1); }

void FindNoteInSegment(const BYTE *p, size_t length, size_t align, NoteSearch &search)
{
    size_t offset = 0;
    while (length - offset >= 12) {
        uint32_t nameSize = ReadDword(p + offset);
        uint32_t descSize = ReadDword(p + offset + 4);
        uint32_t type = ReadDword(p + offset + 8);
        size_t nameAt = offset + 12;
        size_t descAt = nameAt + AlignUp(nameSize, align);
        if (descAt > length || descSize > length - descAt) return;
        if (type == kNoteType && nameSize == sizeof kNoteOwner &&
            std::memcmp(p + nameAt, kNoteOwner, sizeof kNoteOwner) == 0) {
            search.desc = p + descAt;
            search.size = descSize;
            return;
        }
        offset = descAt + AlignUp(descSize, align);
    }
}

int VisitObject(dl_phdr_info *info, size_t, void *data)
{
    auto &search = *static_cast<NoteSearch *>(data);
    // The module's HMODULE is where its first loaded segment is mapped.
    uintptr_t lowest = UINTPTR_MAX;
    for (int i = 0; i < info->dlpi_phnum; ++i)
        if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_vaddr < lowest)
            lowest = info->dlpi_phdr[i].p_vaddr;
    if (lowest == UINTPTR_MAX) return 0;
    uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    uintptr_t base = info->dlpi_addr + (lowest & ~(page - 1));
    if (base != reinterpret_cast<uintptr_t>(search.base)) return 0;
    search.moduleFound = true;
    for (int i = 0; i < info->dlpi_phnum && !search.desc; ++i) {
        const ElfW(Phdr) &ph = info->dlpi_phdr[i];
        if (ph.p_type != PT_NOTE) continue;
        size_t align = ph.p_align == 8 ? 8 : 4;
        FindNoteInSegment(reinterpret_cast<const BYTE *>(info->dlpi_addr + ph.p_vaddr), ph.p_memsz, align, search);
    }
    return 1;
}

std::mutex g_lock;

// Indexes are kept for the life of the process: an HRSRC points into one, as it points into the image on
// Windows. A module seen again at the same place with the same note reuses its index.
std::map<std::tuple<const void *, const BYTE *, size_t>, Directory *> &Directories()
{
    static auto *directories = new std::map<std::tuple<const void *, const BYTE *, size_t>, Directory *>;
    return *directories;
}

// The resource index of a module (NULL = the main program); null with the last error set when there is none.
const Directory *DirectoryOf(HMODULE module)
{
    NoteSearch search;
    search.base = module ? static_cast<const void *>(module) : static_cast<const void *>(GetModuleHandleW(nullptr));
    dl_iterate_phdr(VisitObject, &search);
    if (!search.moduleFound) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    if (!search.desc) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(g_lock);
    Directory *&dir = Directories()[{search.base, search.desc, search.size}];
    if (!dir) dir = ParseRes(search.desc, search.size);
    return dir;
}

// A name or type argument: a 16-bit id, "#<decimal>" for an id, or a string. False for a "#" form that is not
// a number.
bool KeyFromArgument(LPCWSTR arg, ResKey &key)
{
    if (IS_INTRESOURCE(arg)) {
        key.numeric = true;
        key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(arg));
        return true;
    }
    if (arg[0] == '#') {
        DWORD value = 0;
        const WCHAR *p = arg + 1;
        if (!*p) return false;
        for (; *p; ++p) {
            if (*p < '0' || *p > '9') return false;
            value = value * 10 + static_cast<DWORD>(*p - '0');
            if (value > 0xFFFF) return false;
        }
        key.numeric = true;
        key.id = static_cast<WORD>(value);
        return true;
    }
    key.numeric = false;
    key.name = arg;
    return true;
}

// The languages tried, in order, for a request in `language`. An explicit language falls back to its primary
// language alone and then to the neutral language; a neutral request is answered in the thread's language,
// the neutral language, the user's and the system's languages, English, and finally any language at all.
std::vector<WORD> LanguageOrder(WORD language, bool &anyLanguage)
{
    std::vector<WORD> order;
    auto add = [&order](WORD l) {
        for (WORD known : order)
            if (known == l) return;
        order.push_back(l);
    };
    anyLanguage = PRIMARYLANGID(language) == LANG_NEUTRAL;
    if (!anyLanguage) {
        add(language);
        add(MAKELANGID(PRIMARYLANGID(language), SUBLANG_NEUTRAL));
        add(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
        return order;
    }
    WORD first = SUBLANGID(language) == SUBLANG_SYS_DEFAULT ? GetSystemDefaultLangID()
                 : SUBLANGID(language) == SUBLANG_DEFAULT   ? GetUserDefaultLangID()
                                                            : static_cast<WORD>(GetThreadLocale() & 0xFFFF);
    add(first);
    add(MAKELANGID(PRIMARYLANGID(first), SUBLANG_NEUTRAL));
    add(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    for (WORD l : {GetUserDefaultLangID(), GetSystemDefaultLangID()}) {
        add(l);
        add(MAKELANGID(PRIMARYLANGID(l), SUBLANG_NEUTRAL));
    }
    add(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    add(MAKELANGID(LANG_ENGLISH, SUBLANG_NEUTRAL));
    return order;
}

const Entry *Find(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language)
{
    const Directory *dir = DirectoryOf(module);
    if (!dir) return nullptr;
    ResKey typeKey, nameKey;
    if (!type || !KeyFromArgument(type, typeKey)) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    if (!name || !KeyFromArgument(name, nameKey)) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    std::vector<const Entry *> named;
    bool typeSeen = false;
    for (const Entry &e : dir->entries) {
        if (!SameKey(e.type, typeKey)) continue;
        typeSeen = true;
        if (SameKey(e.name, nameKey)) named.push_back(&e);
    }
    if (!typeSeen) {
        SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
        return nullptr;
    }
    if (named.empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    bool anyLanguage = false;
    for (WORD l : LanguageOrder(language, anyLanguage))
        for (const Entry *e : named)
            if (e->language == l) return e;
    if (anyLanguage) {
        // The image's directory is sorted by language id, so "the first" is the lowest.
        const Entry *lowest = named.front();
        for (const Entry *e : named)
            if (e->language < lowest->language) lowest = e;
        return lowest;
    }
    SetLastError(ERROR_RESOURCE_LANG_NOT_FOUND);
    return nullptr;
}

} // namespace

extern "C" {

// Finds a resource by type, name and language: a missing resource section gives ERROR_RESOURCE_DATA_NOT_FOUND,
// then ERROR_RESOURCE_TYPE_NOT_FOUND, ERROR_RESOURCE_NAME_NOT_FOUND or ERROR_RESOURCE_LANG_NOT_FOUND for the
// first level that has no match; "#123" names id 123; string names match without regard to case.
HRSRC WINAPI FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language)
{
    return reinterpret_cast<HRSRC>(const_cast<Entry *>(Find(module, type, name, language)));
}

// As FindResourceExW in the neutral language (note the argument order: name before type).
HRSRC WINAPI FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type)
{
    return FindResourceExW(module, type, name, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
}

// The data of a found resource, read-only inside the module's image; nothing is allocated, so nothing is freed.
HGLOBAL WINAPI LoadResource(HMODULE module, HRSRC resource)
{
    if (!resource) return nullptr;
    return const_cast<BYTE *>(reinterpret_cast<const Entry *>(resource)->data);
}

// The size in bytes of a found resource, without the padding that follows it; 0 for no resource.
DWORD WINAPI SizeofResource(HMODULE module, HRSRC resource)
{
    if (!resource) return 0;
    return reinterpret_cast<const Entry *>(resource)->size;
}

// A loaded resource is its own address: locking returns the handle unchanged.
LPVOID WINAPI LockResource(HGLOBAL data) { return data; }

// Resources need no freeing since 32-bit Windows; the call does nothing and returns FALSE.
BOOL WINAPI FreeResource(HGLOBAL) { return FALSE; }

// A string of block id/16 + 1, entry id%16, of the string tables (counted UTF-16, no terminator). With `size` 0,
// `buffer` receives a read-only pointer to the string and its length is returned. Otherwise up to size - 1
// characters are copied and terminated, and the count copied is returned; an empty string gives 0 and an empty
// buffer. A missing block returns 0 with the FindResource error and leaves the buffer alone.
int WINAPI LoadStringW(HINSTANCE module, UINT id, LPWSTR buffer, int size)
{
    if (!buffer || size < 0) return 0;
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    if (!found) return 0;
    auto *p = static_cast<const BYTE *>(LockResource(LoadResource(module, found)));
    DWORD remaining = SizeofResource(module, found);
    WORD length = 0;
    for (UINT i = 0; i <= (id & 15); ++i) {
        if (remaining < 2) {
            length = 0;
            break;
        }
        length = ReadWord(p);
        p += 2;
        remaining -= 2;
        if (length * 2u > remaining) length = static_cast<WORD>(remaining / 2);
        if (i < (id & 15)) {
            p += length * 2u;
            remaining -= length * 2u;
        }
    }
    if (size == 0) {
        auto *text = reinterpret_cast<const WCHAR *>(p);
        std::memcpy(buffer, &text, sizeof text);
        return length;
    }
    int copy = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, p, static_cast<size_t>(copy) * sizeof(WCHAR));
    buffer[copy] = 0;
    return copy;
}

// The ANSI form converts the string to the system code page; the count is in bytes. A zero size returns 0.
int WINAPI LoadStringA(HINSTANCE module, UINT id, LPSTR buffer, int size)
{
    if (!buffer || size <= 0) return 0;
    const WCHAR *text = nullptr;
    int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0) {
        buffer[0] = 0;
        return 0;
    }
    int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, bytes.data(), needed, nullptr, nullptr);
    int copy = needed < size - 1 ? needed : size - 1;
    // Never end on the first half of a double-byte character.
    int safe = 0;
    while (safe < copy) {
        int step = IsDBCSLeadByte(static_cast<BYTE>(bytes[static_cast<size_t>(safe)])) ? 2 : 1;
        if (safe + step > copy) break;
        safe += step;
    }
    std::memcpy(buffer, bytes.data(), static_cast<size_t>(safe));
    buffer[safe] = 0;
    return safe;
}
}
