// Files and folders through the Win32 calls: dispositions, access, positions, copies, moves and listings.
#include <set>

#include "win32_test.h"

using namespace zep::test;

namespace {

class Files : public TempFolderTest {
protected:
    HANDLE Open(const WString &path, DWORD access, DWORD disposition, DWORD share = 0)
    {
        return CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
};

std::set<WString> Listing(const WString &pattern)
{
    std::set<WString> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do names.insert(data.cFileName);
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

} // namespace

TEST_F(Files, DispositionsCreateOpenAndTruncateAsDocumented)
{
    enum Exists { kMissing, kPresent };
    struct Case {
        const char *name;
        Exists before;
        DWORD access;
        DWORD disposition;
        bool opens;
        DWORD error;       // last error after the call, success included
        const char *after; // file contents afterwards
    };
    const DWORD rw = GENERIC_READ | GENERIC_WRITE;
    const Case cases[] = {
        {"create new", kMissing, rw, CREATE_NEW, true, 0, ""},
        {"create new over a file", kPresent, rw, CREATE_NEW, false, ERROR_FILE_EXISTS, "old"},
        {"create always", kMissing, rw, CREATE_ALWAYS, true, 0, ""},
        {"create always over a file", kPresent, rw, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
        {"create always, read only", kPresent, GENERIC_READ, CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
        {"open existing, missing", kMissing, GENERIC_READ, OPEN_EXISTING, false, ERROR_FILE_NOT_FOUND, "<missing>"},
        {"open existing", kPresent, GENERIC_READ, OPEN_EXISTING, true, 0, "old"},
        {"open always, missing", kMissing, rw, OPEN_ALWAYS, true, 0, ""},
        {"open always over a file", kPresent, rw, OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "old"},
        {"truncate existing, missing", kMissing, rw, TRUNCATE_EXISTING, false, ERROR_FILE_NOT_FOUND, "<missing>"},
        {"truncate existing", kPresent, GENERIC_WRITE, TRUNCATE_EXISTING, true, 0, ""},
        {"truncate, read only", kPresent, GENERIC_READ, TRUNCATE_EXISTING, true, 0, ""},
        {"disposition 0", kPresent, rw, 0, false, ERROR_INVALID_PARAMETER, "old"},
        {"disposition 6", kPresent, rw, 6, false, ERROR_INVALID_PARAMETER, "old"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        WString path = Path(TEXT("d.txt"));
        DeleteFileW(path.c_str());
        if (c.before == kPresent) {
            ASSERT_TRUE(WriteWholeFile(path, "old"));
        }
        PresetLastError();
        HANDLE h = Open(path, c.access, c.disposition);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, c.opens);
        if (h != INVALID_HANDLE_VALUE) {
            EXPECT_TRUE(CloseHandle(h));
        }
        EXPECT_EQ(ReadWholeFile(path), c.after);
    }
}

TEST_F(Files, MissingFolderAndFolderNamesFailWithTheirOwnErrors)
{
    struct Case {
        const char *name;
        WString path;
        DWORD disposition;
        DWORD error;
    };
    ASSERT_TRUE(CreateDirectoryW(Path(TEXT("sub")).c_str(), nullptr));
    const Case cases[] = {
        {"open in a missing folder", Path(TEXT("nowhere\\f.txt")), OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"create in a missing folder", Path(TEXT("nowhere\\f.txt")), CREATE_NEW, ERROR_PATH_NOT_FOUND},
        {"open a folder", Path(TEXT("sub")), OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"empty name", WString(), OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        EXPECT_EQ(Open(c.path, GENERIC_READ, c.disposition), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST_F(Files, NamesMatchWithoutRegardToCase)
{
    ASSERT_TRUE(WriteWholeFile(Path(TEXT("MixedCase.Txt")), "x"));
    EXPECT_EQ(ReadWholeFile(Path(TEXT("mixedcase.TXT"))), "x");
    EXPECT_NE(GetFileAttributesW(Path(TEXT("MIXEDCASE.TXT")).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(Files, ReadWriteAndPositionsRoundTrip)
{
    HANDLE h = Open(Path(TEXT("rw.bin")), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    DWORD done = 0xFFFF;
    ASSERT_TRUE(WriteFile(h, "0123456789", 10, &done, nullptr));
    EXPECT_EQ(done, 10u);
    DWORD high = 0xFFFF;
    EXPECT_EQ(GetFileSize(h, &high), 10u);
    EXPECT_EQ(high, 0u);

    EXPECT_EQ(SetFilePointer(h, -4, nullptr, FILE_END), 6u);
    char buffer[16];
    FillJunk(buffer);
    ASSERT_TRUE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(done, 4u) << "a read stops at the end of the file";
    EXPECT_EQ(std::string(buffer, 4), "6789");
    EXPECT_TRUE(IsJunk(buffer + 4, sizeof buffer - 4)) << "nothing written past what was read";
    done = 0xFFFF;
    EXPECT_TRUE(ReadFile(h, buffer, sizeof buffer, &done, nullptr)) << "reading at the end succeeds";
    EXPECT_EQ(done, 0u);

    // Writing beyond the end leaves a zero-filled gap.
    EXPECT_EQ(SetFilePointer(h, 12, nullptr, FILE_BEGIN), 12u);
    ASSERT_TRUE(WriteFile(h, "Z", 1, &done, nullptr));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 13u);
    EXPECT_TRUE(FlushFileBuffers(h));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(ReadWholeFile(Path(TEXT("rw.bin"))), std::string("0123456789\0\0Z", 13));
}

TEST_F(Files, SetFilePointerRefusesNegativePositionsAndBadMethods)
{
    HANDLE h = Open(Path(TEXT("p.bin")), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SetFilePointer(h, 5, nullptr, FILE_BEGIN), 5u);
    PresetLastError();
    EXPECT_EQ(SetFilePointer(h, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 5u) << "a refused move leaves the position";
    PresetLastError();
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, 3), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // With a high part the distance is 64-bit.
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(h, 16, &high, FILE_BEGIN), 16u);
    EXPECT_EQ(high, 1);
    high = 0;
    EXPECT_EQ(SetFilePointer(h, 0, &high, FILE_CURRENT), 16u);
    EXPECT_EQ(high, 1) << "the position is 4 GiB + 16";
    CloseHandle(h);
}

TEST_F(Files, HandlesEnforceTheirAccess)
{
    ASSERT_TRUE(WriteWholeFile(Path(TEXT("a.txt")), "abc"));
    HANDLE reader = Open(Path(TEXT("a.txt")), GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
    HANDLE writer = Open(Path(TEXT("a.txt")), GENERIC_WRITE, OPEN_EXISTING, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    char buffer[4];
    DWORD done = 0xFFFF;
    PresetLastError();
    EXPECT_FALSE(WriteFile(reader, "x", 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(done, 0u);
    PresetLastError();
    EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    PresetLastError();
    EXPECT_FALSE(FlushFileBuffers(reader));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(reader);
    CloseHandle(writer);
    EXPECT_EQ(ReadWholeFile(Path(TEXT("a.txt"))), "abc");
}

TEST_F(Files, ClosedHandlesAreInvalidEverywhere)
{
    HANDLE h = Open(Path(TEXT("c.txt")), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(h));
    char buffer[4];
    DWORD done = 0xFFFF;
    PresetLastError();
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    PresetLastError();
    EXPECT_FALSE(ReadFile(h, buffer, sizeof buffer, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    PresetLastError();
    EXPECT_FALSE(WriteFile(h, "x", 1, &done, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    PresetLastError();
    EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    PresetLastError();
    EXPECT_FALSE(CloseHandle(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Files, FileTypeOfAFileAndOfABadHandle)
{
    HANDLE h = Open(Path(TEXT("t.txt")), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetFileType(h), static_cast<DWORD>(FILE_TYPE_DISK));
    ASSERT_TRUE(CloseHandle(h));
    PresetLastError();
    EXPECT_EQ(GetFileType(h), static_cast<DWORD>(FILE_TYPE_UNKNOWN));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(Files, SharingModesAreNotEnforcedHere)
{
    HANDLE first = Open(Path(TEXT("s.txt")), GENERIC_READ | GENERIC_WRITE, CREATE_NEW, 0);
    ASSERT_NE(first, INVALID_HANDLE_VALUE);
    PresetLastError();
    HANDLE second = Open(Path(TEXT("s.txt")), GENERIC_READ, OPEN_EXISTING, FILE_SHARE_READ);
    EXPECT_AS_WINDOWS(kLayer, second == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION);
    if (second != INVALID_HANDLE_VALUE) CloseHandle(second);
    CloseHandle(first);
}

TEST_F(Files, DeleteAndAttributesReportWhatIsMissing)
{
    ASSERT_TRUE(WriteWholeFile(Path(TEXT("f.txt")), "x"));
    ASSERT_TRUE(CreateDirectoryW(Path(TEXT("dir")).c_str(), nullptr));
    EXPECT_EQ(GetFileAttributesW(Path(TEXT("f.txt")).c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_TRUE(GetFileAttributesW(Path(TEXT("dir")).c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    struct Case {
        const char *name;
        const WCHAR *leaf;
        DWORD deleteError;    // 0: deletes
        DWORD attributeError; // 0: has attributes
    };
    const Case cases[] = {
        {"missing file", TEXT("none.txt"), ERROR_FILE_NOT_FOUND, ERROR_FILE_NOT_FOUND},
        {"file in a missing folder", TEXT("none\\f.txt"), ERROR_PATH_NOT_FOUND, ERROR_PATH_NOT_FOUND},
        {"a folder", TEXT("dir"), ERROR_ACCESS_DENIED, 0},
        {"a file", TEXT("f.txt"), 0, ERROR_FILE_NOT_FOUND}, // attributes are read after the delete
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        EXPECT_EQ(DeleteFileW(Path(c.leaf).c_str()) != FALSE, c.deleteError == 0);
        EXPECT_EQ(GetLastError(), c.deleteError ? c.deleteError : kErrorMarker);
        PresetLastError();
        DWORD attributes = GetFileAttributesW(Path(c.leaf).c_str());
        EXPECT_EQ(attributes == INVALID_FILE_ATTRIBUTES, c.attributeError != 0);
        EXPECT_EQ(GetLastError(), c.attributeError ? c.attributeError : kErrorMarker);
    }
}

TEST_F(Files, FoldersCreateOnceAndRemoveOnlyWhenEmpty)
{
    WString dir = Path(TEXT("one"));
    EXPECT_TRUE(CreateDirectoryW(dir.c_str(), nullptr));
    PresetLastError();
    EXPECT_FALSE(CreateDirectoryW(dir.c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    PresetLastError();
    EXPECT_FALSE(CreateDirectoryW(Path(TEXT("two\\three")).c_str(), nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    ASSERT_TRUE(WriteWholeFile(dir + TEXT("\\f"), "x"));
    PresetLastError();
    EXPECT_FALSE(RemoveDirectoryW(dir.c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(DeleteFileW((dir + TEXT("\\f")).c_str()));
    EXPECT_TRUE(RemoveDirectoryW(dir.c_str()));
}

TEST_F(Files, CopyHonoursFailIfExistsAndNeverEatsItsSource)
{
    WString src = Path(TEXT("src.txt")), dst = Path(TEXT("dst.txt"));
    ASSERT_TRUE(WriteWholeFile(src, "source"));
    ASSERT_TRUE(WriteWholeFile(dst, "target"));
    PresetLastError();
    EXPECT_FALSE(CopyFileW(src.c_str(), dst.c_str(), TRUE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(ReadWholeFile(dst), "target");
    EXPECT_TRUE(CopyFileW(src.c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(ReadWholeFile(dst), "source");

    PresetLastError();
    EXPECT_FALSE(CopyFileW(Path(TEXT("none.txt")).c_str(), dst.c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    PresetLastError();
    EXPECT_FALSE(CopyFileW(src.c_str(), Path(TEXT("none\\x.txt")).c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // A copy onto itself (here under another letter case) must fail without emptying the file.
    PresetLastError();
    EXPECT_FALSE(CopyFileW(src.c_str(), Path(TEXT("SRC.TXT")).c_str(), FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(ReadWholeFile(src), "source");
}

TEST_F(Files, MoveNeedsReplaceForAnExistingTarget)
{
    WString a = Path(TEXT("a.txt")), b = Path(TEXT("b.txt"));
    ASSERT_TRUE(WriteWholeFile(a, "A"));
    ASSERT_TRUE(WriteWholeFile(b, "B"));
    PresetLastError();
    EXPECT_FALSE(MoveFileExW(a.c_str(), b.c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(ReadWholeFile(b), "B");
    EXPECT_TRUE(MoveFileExW(a.c_str(), b.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadWholeFile(b), "A");
    EXPECT_EQ(GetFileAttributesW(a.c_str()), INVALID_FILE_ATTRIBUTES);
    PresetLastError();
    EXPECT_FALSE(MoveFileExW(a.c_str(), Path(TEXT("c.txt")).c_str(), 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A rename that only changes letter case keeps the file and takes the new spelling.
    EXPECT_TRUE(MoveFileExW(b.c_str(), Path(TEXT("B.TXT")).c_str(), 0));
    EXPECT_AS_WINDOWS(kWine, Listing(Path(TEXT("*"))) == (std::set<WString>{TEXT("."), TEXT(".."), TEXT("B.TXT")}));
    EXPECT_EQ(ReadWholeFile(b), "A");
}

TEST_F(Files, FindMatchesWildcardsWithoutRegardToCase)
{
    for (const WCHAR *name : {TEXT("one.txt"), TEXT("Two.TXT"), TEXT("three.ini")})
        ASSERT_TRUE(WriteWholeFile(Path(name), "x"));
    EXPECT_EQ(Listing(Path(TEXT("*.txt"))), (std::set<WString>{TEXT("one.txt"), TEXT("Two.TXT")}));
    EXPECT_EQ(Listing(Path(TEXT("t?o.*"))), (std::set<WString>{TEXT("Two.TXT")}));
    EXPECT_EQ(Listing(Path(TEXT("*.*"))).size(), 5u) << "three files with . and ..";

    WIN32_FIND_DATAW data;
    PresetLastError();
    EXPECT_EQ(FindFirstFileW(Path(TEXT("*.doc")).c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    PresetLastError();
    EXPECT_EQ(FindFirstFileW(Path(TEXT("none\\*")).c_str(), &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    HANDLE find = FindFirstFileW(Path(TEXT("three.ini")).c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 1u);
    PresetLastError();
    EXPECT_FALSE(FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(find));
}

TEST(TempPath, EndsWithABackslashAndReportsShortBuffers)
{
    WCHAR path[MAX_PATH + 1];
    FillJunk(path);
    DWORD length = GetTempPathW(MAX_PATH + 1, path);
    ASSERT_GT(length, 3u);
    ASSERT_LE(length, static_cast<DWORD>(MAX_PATH));
    EXPECT_EQ(path[length], 0) << "terminated right after the length";
    EXPECT_EQ(path[length - 1], '\\');
    EXPECT_TRUE(GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY) << "the folder exists";

    WCHAR other[MAX_PATH + 1];
    EXPECT_EQ(GetTempPathW(4, other), length + 1) << "the size needed, terminator included";
    EXPECT_EQ(GetTempPathW(length, other), length + 1) << "no room for the terminator";
}

// The system folder names follow the size-query contract: a short buffer is left alone and the size needed, with
// the terminator, comes back; the system folder lies inside the Windows folder.
TEST(SystemFolders, SizeQueryAndNesting)
{
    const struct {
        const char *name;
        UINT (WINAPI *get)(LPWSTR, UINT);
    } cases[] = {{"windows", GetWindowsDirectoryW}, {"system", GetSystemDirectoryW}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        UINT needed = c.get(nullptr, 0);
        ASSERT_GT(needed, 3u);
        WCHAR buffer[MAX_PATH];
        FillJunk(buffer);
        EXPECT_EQ(c.get(buffer, needed - 1), needed);
        EXPECT_TRUE(IsJunk(buffer, MAX_PATH)) << "a short buffer is left alone";
        EXPECT_EQ(c.get(buffer, needed), needed - 1);
        EXPECT_EQ(buffer[needed - 1], 0);
        EXPECT_TRUE(IsJunk(buffer + needed, MAX_PATH - needed));
        EXPECT_NE(buffer[needed - 2], '\\') << "no trailing backslash";
    }
    WCHAR windows[MAX_PATH], system[MAX_PATH];
    UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), length);
    system[length] = 0;
    EXPECT_EQ(lstrcmpiW(system, windows), 0) << Narrow(system);
}
