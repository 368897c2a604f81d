// Shared helpers of the Win32-behaviour tests, which build against our layer and against the real SDK.
#pragma once
#include "common/win32.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

namespace zep::test {

using WString = std::basic_string<WCHAR>;

// Where a test runs: the divergence marks name the platforms that knowingly differ from Windows.
enum Platform : unsigned { kWindows = 1, kWine = 2, kLayer = 4 };

inline Platform CurrentPlatform()
{
#ifdef _WIN32
    // Wine's ntdll exports its version; Windows' does not.
    static const Platform detected = [] {
        HMODULE ntdll = GetModuleHandleW(TEXT("ntdll.dll"));
        return ntdll && GetProcAddress(ntdll, "wine_get_version") ? kWine : kWindows;
    }();
    return detected;
#else
    return kLayer;
#endif
}

inline const char *PlatformName(Platform p)
{
    return p == kWindows ? "Windows" : p == kWine ? "Wine" : "the Linux layer";
}

// Checks `matchesWindows` everywhere except on the platforms in `differsOn`, where it must still be false: a
// difference that went away fails, so the mark gets removed.
inline void ExpectAsWindows(unsigned differsOn, bool matchesWindows, const char *what, const char *file, int line)
{
    Platform here = CurrentPlatform();
    if (differsOn & here) {
        if (matchesWindows)
            ADD_FAILURE_AT(file, line) << "marked as differing from Windows on " << PlatformName(here)
                                       << " but now behaves as Windows: remove the mark (" << what << ")";
    } else if (!matchesWindows) {
        ADD_FAILURE_AT(file, line) << "differs from Windows: " << what;
    }
}
#define EXPECT_AS_WINDOWS(differsOn, condition) \
    ::zep::test::ExpectAsWindows((differsOn), static_cast<bool>(condition), #condition, __FILE__, __LINE__)

// The last-error marker: preset it before a call, then see whether the call set an error or left it alone.
constexpr DWORD kErrorMarker = 0xdeadbeef;
inline void PresetLastError() { SetLastError(kErrorMarker); }

// Junk that a correct call overwrites or leaves alone, never produces: catches missing terminators and
// truncation off by one.
constexpr BYTE kJunkByte = 0xCC;
constexpr WCHAR kJunkChar = static_cast<WCHAR>(0xCCCC);
inline void FillJunk(void *p, size_t bytes) { std::memset(p, kJunkByte, bytes); }
template <typename T, size_t N>
void FillJunk(T (&buffer)[N])
{
    FillJunk(buffer, sizeof buffer);
}
// True when `count` elements from `p` still hold junk.
template <typename T>
bool IsJunk(const T *p, size_t count)
{
    const BYTE *b = reinterpret_cast<const BYTE *>(p);
    for (size_t i = 0; i < count * sizeof(T); ++i)
        if (b[i] != kJunkByte) return false;
    return true;
}

// UTF-16 from ASCII (test names and build paths), and ASCII from UTF-16 for messages (others become '?').
inline WString Wide(const char *ascii)
{
    WString out;
    for (; ascii && *ascii; ++ascii) out += static_cast<WCHAR>(static_cast<unsigned char>(*ascii));
    return out;
}
inline std::string Narrow(const WCHAR *s)
{
    std::string out;
    for (; s && *s; ++s) out += *s < 0x80 ? static_cast<char>(*s) : '?';
    return out;
}
inline std::string Narrow(const WString &s) { return Narrow(s.c_str()); }

// A module loaded for the owner's lifetime.
class LoadedModule {
public:
    explicit LoadedModule(const char *path) : module_(LoadLibraryW(Wide(path).c_str())) {}
    ~LoadedModule()
    {
        if (module_) FreeLibrary(module_);
    }
    LoadedModule(const LoadedModule &) = delete;
    LoadedModule &operator=(const LoadedModule &) = delete;
    HMODULE get() const { return module_; }

private:
    HMODULE module_;
};

// Case-insensitive comparison of ASCII letters, as Windows compares file names.
inline bool SameNameIgnoringCase(const WString &a, const WString &b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        WCHAR x = a[i] >= 'a' && a[i] <= 'z' ? a[i] - 32 : a[i];
        WCHAR y = b[i] >= 'a' && b[i] <= 'z' ? b[i] - 32 : b[i];
        if (x != y) return false;
    }
    return true;
}

// Whole-file helpers through the Win32 file calls.
inline bool WriteWholeFile(const WString &path, const std::string &bytes)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}
// The file's bytes, or "<missing>" when it cannot be opened.
inline std::string ReadWholeFile(const WString &path)
{
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    std::string out;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(h, chunk, sizeof chunk, &got, nullptr) && got) out.append(chunk, got);
    CloseHandle(h);
    return out;
}

// Removes a folder and everything in it.
inline void RemoveTree(const WString &folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + TEXT("\\*")).c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            WString name = data.cFileName;
            if (name == TEXT(".") || name == TEXT("..")) continue;
            WString path = folder + TEXT("\\") + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileW(path.c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

// A fresh, empty folder under GetTempPathW for each test, removed afterwards.
class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WCHAR temp[MAX_PATH + 1];
        DWORD n = GetTempPathW(MAX_PATH + 1, temp);
        ASSERT_TRUE(n > 0 && n <= MAX_PATH) << "GetTempPathW failed";
        const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string stem = std::string("zep-") + info->test_suite_name() + "-" + info->name();
        for (char &c : stem)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-') c = '_';
        for (unsigned attempt = 0; attempt < 1000; ++attempt) {
            const std::string leaf = stem + "-" + std::to_string(attempt);
            WString candidate(temp);
            candidate.append(Wide(leaf.c_str()));
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                folder_ = candidate;
                return;
            }
            ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "cannot create " << Narrow(candidate);
        }
        FAIL() << "no free temporary folder name";
    }
    void TearDown() override
    {
        if (!folder_.empty()) RemoveTree(folder_);
    }

    // The test's folder, without a trailing backslash.
    const WString &Folder() const { return folder_; }
    // A path inside the test's folder.
    WString Path(const WCHAR *name) const { return folder_ + TEXT("\\") + name; }

private:
    WString folder_;
};

// An extended dialog template (DLGTEMPLATEEX, MS Shell Dlg 8) built in memory, control by control.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, const char *caption, short cx, short cy)
    {
        Word(1), Word(0xFFFF), Dword(0), Dword(0), Dword(style | DS_SETFONT);
        countAt_ = bytes_.size();
        Word(0), Word(0), Word(0), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Word(0), Word(0), Str(caption);
        Word(8), Word(400), bytes_.push_back(0), bytes_.push_back(1), Str("MS Shell Dlg");
    }
    // A control of a predefined class (0x80 button, 0x81 edit, ...) or of a named one.
    DialogTemplate &Control(DWORD style, short x, short y, short cx, short cy, DWORD id, WORD atom, const char *text)
    {
        Begin(style, x, y, cx, cy, id);
        Word(0xFFFF), Word(atom);
        return End(text);
    }
    DialogTemplate &Control(DWORD style, short x, short y, short cx, short cy, DWORD id, const char *className,
                            const char *text)
    {
        Begin(style, x, y, cx, cy, id);
        Str(className);
        return End(text);
    }
    const std::vector<BYTE> &Bytes() const { return bytes_; }
    LPCDLGTEMPLATE Get() const { return reinterpret_cast<LPCDLGTEMPLATE>(bytes_.data()); }

private:
    void Word(WORD w) { bytes_.push_back(static_cast<BYTE>(w)), bytes_.push_back(static_cast<BYTE>(w >> 8)); }
    void Dword(DWORD v) { Word(static_cast<WORD>(v)), Word(static_cast<WORD>(v >> 16)); }
    void Str(const char *s)
    {
        for (; *s; ++s) Word(static_cast<WORD>(*s));
        Word(0);
    }
    void Begin(DWORD style, short x, short y, short cx, short cy, DWORD id)
    {
        ++bytes_[countAt_];
        while (bytes_.size() % 4) bytes_.push_back(0);
        Dword(0), Dword(0), Dword(WS_CHILD | WS_VISIBLE | style);
        Word(static_cast<WORD>(x)), Word(static_cast<WORD>(y)), Word(static_cast<WORD>(cx)), Word(static_cast<WORD>(cy));
        Dword(id);
    }
    DialogTemplate &End(const char *text)
    {
        Str(text);
        Word(0);
        return *this;
    }

    std::vector<BYTE> bytes_;
    size_t countAt_ = 0;
};

} // namespace zep::test
