// Spooler behaviour: driver installation, printers and their data, and jobs from StartDoc to delivery or cancel.
#include "win32_test.h"

#include <cstdio>
#include <memory>

#ifndef _WIN32
#include <filesystem>

#include "zep_platform.h"
#endif

namespace {

using namespace zep::test;

struct PrinterCloser {
    void operator()(void *h) const
    {
        if (h) ClosePrinter(h);
    }
};
using PrinterPtr = std::unique_ptr<void, PrinterCloser>;

const WCHAR kDriverName[] = TEXT("Zep Test PS Driver");

// A Windows path's last component.
WString FileName(const WString &path) { return path.substr(path.find_last_of(TEXT("\\/")) + 1); }

// The answer of a packed query (size query first), or an empty vector with the failing call's error.
template <typename Query>
std::vector<BYTE> Packed(Query query, DWORD *error = nullptr)
{
    DWORD needed = 0;
    query(nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + 16);
    FillJunk(buffer.data(), buffer.size());
    if (!query(buffer.data(), needed, &needed)) {
        if (error) *error = GetLastError();
        return {};
    }
    return buffer;
}

// A DEVMODE with private bytes after its public part.
std::vector<BYTE> MakeDevMode(SHORT paperSize, WORD extraBytes, BYTE pattern)
{
    std::vector<BYTE> dm(sizeof(DEVMODEW) + extraBytes, pattern);
    auto *d = reinterpret_cast<DEVMODEW *>(dm.data());
    std::memset(d, 0, sizeof(DEVMODEW));
    d->dmSpecVersion = DM_SPECVERSION;
    d->dmSize = sizeof(DEVMODEW);
    d->dmDriverExtra = extraBytes;
    d->dmFields = DM_PAPERSIZE;
    d->dmPaperSize = paperSize;
    return dm;
}

class SpoolerTest : public TempFolderTest {
protected:
    void SetUp() override
    {
#ifndef _WIN32
        // A fresh virtual drive may not hold the temporary folder yet; Windows always has one.
        WCHAR temp[MAX_PATH + 1];
        char host[4096];
        if (GetTempPathW(MAX_PATH + 1, temp) && ZepHostPathFromWindows(temp, host, sizeof host)) {
            std::error_code ec;
            std::filesystem::create_directories(host, ec);
        }
#endif
        TempFolderTest::SetUp();
        if (HasFatalFailure()) return;
        for (const WCHAR *name : {TEXT("zepdrv.dll"), TEXT("zep.ppd"), TEXT("zepui.dll"), TEXT("zep.hlp"),
                                  TEXT("ZEP.INI"), TEXT("zep.CAP")})
            ASSERT_TRUE(WriteWholeFile(Path(name), "content of " + Narrow(name)));
        ASSERT_TRUE(InstallDriver(TEXT("zep.ppd")));
        printerName_ = Wide(("Zep " + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()))
                                .c_str());
    }
    void TearDown() override
    {
        HANDLE h = nullptr;
        PRINTER_DEFAULTSW all{nullptr, nullptr, PRINTER_ALL_ACCESS};
        if (OpenPrinterW(printerName_.data(), &h, &all)) {
            DeletePrinter(h);
            ClosePrinter(h);
        }
        TempFolderTest::TearDown();
    }

    // As installers do, the files are copied into the printer-driver directory first: without
    // APD_COPY_FROM_DIRECTORY the spooler takes each file by name from there.
    BOOL InstallDriver(const WCHAR *dataFile, DWORD flags = APD_COPY_NEW_FILES)
    {
        WCHAR dir[MAX_PATH] = {};
        DWORD needed = 0;
        if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof dir, &needed))
            return FALSE;
        auto staged = [&](const WCHAR *name) {
            WString target = WString(dir) + TEXT("\\") + name;
            CopyFileW(Path(name).c_str(), target.c_str(), FALSE);
            return target;
        };
        WString driver = staged(TEXT("zepdrv.dll")), data = staged(dataFile), ui = staged(TEXT("zepui.dll")),
                help = staged(TEXT("zep.hlp"));
        WString deps = staged(TEXT("ZEP.INI")) + WString(1, 0) + staged(TEXT("zep.CAP")) + WString(1, 0);
        DRIVER_INFO_3W info{};
        info.cVersion = 3;
        info.pName = const_cast<LPWSTR>(kDriverName);
        info.pDriverPath = driver.data();
        info.pDataFile = data.data();
        info.pConfigFile = ui.data();
        info.pHelpFile = help.data();
        info.pDependentFiles = deps.data();
        return AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), flags);
    }

    // Adds the test's printer; `port` defaults to "FILE:".
    PrinterPtr AddTestPrinter(DWORD attributes = 0, const WString &port = TEXT("FILE:"), const BYTE *devmode = nullptr)
    {
        WString share = TEXT("zepshare");
        PRINTER_INFO_2W info{};
        info.pPrinterName = printerName_.data();
        info.pShareName = (attributes & PRINTER_ATTRIBUTE_SHARED) ? share.data() : nullptr;
        info.pPortName = const_cast<LPWSTR>(port.c_str());
        info.pDriverName = const_cast<LPWSTR>(kDriverName);
        info.pPrintProcessor = const_cast<LPWSTR>(TEXT("winprint"));
        info.pDatatype = const_cast<LPWSTR>(TEXT("RAW"));
        info.pDevMode = reinterpret_cast<LPDEVMODEW>(const_cast<BYTE *>(devmode));
        info.Attributes = attributes;
        HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
        EXPECT_NE(h, nullptr) << "AddPrinterW failed with " << GetLastError();
        return PrinterPtr(h);
    }

    PrinterPtr Open(DWORD access = 0)
    {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        HANDLE h = nullptr;
        EXPECT_TRUE(OpenPrinterW(printerName_.data(), &h, &defaults)) << GetLastError();
        return PrinterPtr(h);
    }

    static WString DriverDir()
    {
        WCHAR dir[MAX_PATH];
        DWORD needed = 0;
        EXPECT_TRUE(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(dir), sizeof dir, &needed));
        return dir;
    }

    WString printerName_;
};

// ---- driver directory ----

TEST_F(SpoolerTest, DriverDirectoryPerEnvironment)
{
    const struct {
        const char *name;
        const WCHAR *environment;
        const WCHAR *expected;
    } cases[] = {
        {"default", nullptr, TEXT("C:\\WINDOWS\\System32\\spool\\DRIVERS\\x64")},
        {"x64 by name", TEXT("Windows x64"), TEXT("C:\\WINDOWS\\System32\\spool\\DRIVERS\\x64")},
        {"x86", TEXT("Windows NT x86"), TEXT("C:\\WINDOWS\\System32\\spool\\DRIVERS\\W32X86")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        WCHAR out[MAX_PATH];
        FillJunk(out);
        DWORD needed = 0;
        DWORD bytes = static_cast<DWORD>((std::char_traits<WCHAR>::length(c.expected) + 1) * sizeof(WCHAR));
        ASSERT_TRUE(GetPrinterDriverDirectoryW(nullptr, const_cast<LPWSTR>(c.environment), 1,
                                               reinterpret_cast<LPBYTE>(out), sizeof out, &needed));
        EXPECT_TRUE(SameNameIgnoringCase(out, c.expected)) << Narrow(out);
        EXPECT_EQ(needed, bytes);
        EXPECT_TRUE(IsJunk(out + bytes / sizeof(WCHAR), 1)) << "wrote past the terminator";
        DWORD attributes = GetFileAttributesW(out);
        EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));

        // One byte short: nothing but the size.
        FillJunk(out);
        PresetLastError();
        EXPECT_FALSE(GetPrinterDriverDirectoryW(nullptr, const_cast<LPWSTR>(c.environment), 1,
                                                reinterpret_cast<LPBYTE>(out), bytes - 1, &needed));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(needed, bytes);
    }
}

TEST_F(SpoolerTest, DriverDirectoryErrors)
{
    const struct {
        const char *name;
        const WCHAR *environment;
        DWORD level;
        DWORD error;
    } cases[] = {
        {"unknown environment", TEXT("Windows 3.1 Banana"), 1, ERROR_INVALID_ENVIRONMENT},
        {"level 2", nullptr, 2, ERROR_INVALID_LEVEL},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        BYTE out[MAX_PATH * 2];
        DWORD needed = 0;
        PresetLastError();
        EXPECT_FALSE(
            GetPrinterDriverDirectoryW(nullptr, const_cast<LPWSTR>(c.environment), c.level, out, sizeof out, &needed));
        EXPECT_EQ(GetLastError(), c.error);
    }
}

// ---- drivers ----

TEST_F(SpoolerTest, InstalledDriverKeepsFullPathsInVersionFolder)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    WString version = DriverDir() + TEXT("\\3\\");

    std::vector<BYTE> info3 = Packed([&](LPBYTE out, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(printer.get(), nullptr, 3, out, size, needed);
    });
    ASSERT_FALSE(info3.empty());
    const auto *d = reinterpret_cast<const DRIVER_INFO_3W *>(info3.data());
    EXPECT_EQ(WString(d->pName), kDriverName);
    EXPECT_EQ(WString(d->pEnvironment), TEXT("Windows x64"));
    EXPECT_EQ(d->cVersion, 3u);
    const struct {
        const char *field;
        const WCHAR *value;
        const WCHAR *name;
    } files[] = {
        {"pDriverPath", d->pDriverPath, TEXT("zepdrv.dll")},
        {"pDataFile", d->pDataFile, TEXT("zep.ppd")},
        {"pConfigFile", d->pConfigFile, TEXT("zepui.dll")},
        {"pHelpFile", d->pHelpFile, TEXT("zep.hlp")},
    };
    for (const auto &f : files) {
        SCOPED_TRACE(f.field);
        ASSERT_NE(f.value, nullptr);
        EXPECT_TRUE(SameNameIgnoringCase(f.value, version + f.name)) << Narrow(f.value);
        EXPECT_EQ(ReadWholeFile(f.value), "content of " + Narrow(f.name));
    }
    // A double-NUL list of full paths, in the order given.
    std::vector<WString> deps;
    for (const WCHAR *p = d->pDependentFiles; p && *p; p += std::char_traits<WCHAR>::length(p) + 1) deps.push_back(p);
    ASSERT_EQ(deps.size(), 2u);
    EXPECT_TRUE(SameNameIgnoringCase(deps[0], version + TEXT("ZEP.INI")));
    EXPECT_TRUE(SameNameIgnoringCase(deps[1], version + TEXT("zep.CAP")));
    EXPECT_EQ(ReadWholeFile(deps[1]), "content of zep.CAP");

    // Levels 1 and 2 answer the same driver.
    std::vector<BYTE> info1 = Packed([&](LPBYTE out, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(printer.get(), nullptr, 1, out, size, needed);
    });
    ASSERT_FALSE(info1.empty());
    EXPECT_EQ(WString(reinterpret_cast<const DRIVER_INFO_1W *>(info1.data())->pName), kDriverName);
    std::vector<BYTE> info2 = Packed([&](LPBYTE out, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(printer.get(), nullptr, 2, out, size, needed);
    });
    ASSERT_FALSE(info2.empty());
    EXPECT_TRUE(SameNameIgnoringCase(reinterpret_cast<const DRIVER_INFO_2W *>(info2.data())->pConfigFile,
                                     version + TEXT("zepui.dll")));
}

TEST_F(SpoolerTest, ReaddingDriverReplacesIt)
{
    ASSERT_TRUE(WriteWholeFile(Path(TEXT("other.ppd")), "second ppd"));
    ASSERT_TRUE(InstallDriver(TEXT("other.ppd"), APD_COPY_ALL_FILES));
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    std::vector<BYTE> info = Packed([&](LPBYTE out, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(printer.get(), nullptr, 2, out, size, needed);
    });
    ASSERT_FALSE(info.empty());
    const auto *d = reinterpret_cast<const DRIVER_INFO_2W *>(info.data());
    EXPECT_EQ(FileName(d->pDataFile), TEXT("other.ppd"));
    EXPECT_EQ(ReadWholeFile(d->pDataFile), "second ppd");
}

TEST_F(SpoolerTest, DriverQueriesAndInstallErrors)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    BYTE out[4096];
    DWORD needed = 0;

    // A size query answers the size and nothing else.
    PresetLastError();
    EXPECT_FALSE(GetPrinterDriverW(printer.get(), nullptr, 3, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_GT(needed, sizeof(DRIVER_INFO_3W));
    DWORD full = needed;
    FillJunk(out);
    PresetLastError();
    EXPECT_FALSE(GetPrinterDriverW(printer.get(), nullptr, 3, out, full - 1, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, full);

    PresetLastError();
    EXPECT_FALSE(GetPrinterDriverW(printer.get(), const_cast<LPWSTR>(TEXT("Windows NT x86")), 3, out, sizeof out,
                                   &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_UNKNOWN_PRINTER_DRIVER)) << "not installed for x86";

    WString missing = Path(TEXT("missing.dll")), data = Path(TEXT("zep.ppd"));
    DRIVER_INFO_3W good{};
    good.cVersion = 3;
    good.pName = const_cast<LPWSTR>(kDriverName);
    good.pDriverPath = good.pDataFile = good.pConfigFile = data.data();
    DRIVER_INFO_3W noFile = good;
    noFile.pDriverPath = missing.data();
    DRIVER_INFO_3W badEnv = good;
    badEnv.pEnvironment = const_cast<LPWSTR>(TEXT("Windows 3.1 Banana"));
    DRIVER_INFO_3W noName = good;
    noName.pName = nullptr;
    const struct {
        const char *name;
        DWORD level;
        DRIVER_INFO_3W *info;
        DWORD error;
        unsigned differsOn = 0;  // platforms known to differ from Windows on this row
    } cases[] = {
        {"level 1", 1, &good, ERROR_INVALID_LEVEL},
        {"no info", 3, nullptr, ERROR_INVALID_PARAMETER},
        {"no name", 3, &noName, ERROR_INVALID_PARAMETER, kWine},  // Wine installs it
        {"unknown environment", 3, &badEnv, ERROR_INVALID_ENVIRONMENT},
        {"missing driver file", 3, &noFile, ERROR_FILE_NOT_FOUND, kWine},  // Wine does not look
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        BOOL added = AddPrinterDriverExW(nullptr, c.level, reinterpret_cast<LPBYTE>(c.info), APD_COPY_NEW_FILES);
        if (c.differsOn & CurrentPlatform()) {
            EXPECT_AS_WINDOWS(c.differsOn, !added);
            continue;
        }
        EXPECT_FALSE(added);
        EXPECT_EQ(GetLastError(), c.error);
    }
}

// ---- printers ----

TEST_F(SpoolerTest, PrinterErrors)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    WString unknownDriver = TEXT("No Such Driver");
    PRINTER_INFO_2W duplicate{};
    duplicate.pPrinterName = printerName_.data();
    duplicate.pPortName = const_cast<LPWSTR>(TEXT("FILE:"));
    duplicate.pDriverName = const_cast<LPWSTR>(kDriverName);
    duplicate.pPrintProcessor = const_cast<LPWSTR>(TEXT("winprint"));
    PRINTER_INFO_2W noDriver = duplicate;
    WString otherName = printerName_ + TEXT(" 2");
    noDriver.pPrinterName = otherName.data();
    noDriver.pDriverName = unknownDriver.data();
    const struct {
        const char *name;
        DWORD level;
        PRINTER_INFO_2W *info;
        DWORD error;
        unsigned differsOn = 0;  // platforms known to differ from Windows on this row
    } adds[] = {
        {"driver not installed", 2, &noDriver, ERROR_UNKNOWN_PRINTER_DRIVER},
        {"name taken", 2, &duplicate, ERROR_PRINTER_ALREADY_EXISTS, kWine},  // Wine opens the existing one
        {"level 1", 1, &duplicate, ERROR_INVALID_LEVEL},
    };
    for (const auto &c : adds) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        HANDLE h = AddPrinterW(nullptr, c.level, reinterpret_cast<LPBYTE>(c.info));
        if (h) ClosePrinter(h);
        if (c.differsOn & CurrentPlatform()) {
            EXPECT_AS_WINDOWS(c.differsOn, h == nullptr);
            continue;
        }
        EXPECT_EQ(h, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }

    HANDLE h = reinterpret_cast<HANDLE>(1);
    PresetLastError();
    EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(TEXT("Zep No Such Printer")), &h, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

    // Names compare without regard to letter case.
    WString upper = printerName_;
    for (auto &c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<WCHAR>(c - 32);
    ASSERT_TRUE(OpenPrinterW(upper.data(), &h, nullptr));
    ClosePrinter(h);
}

TEST_F(SpoolerTest, PrinterInfoIsPackedWithDevModeAndAttributes)
{
    std::vector<BYTE> dm = MakeDevMode(9, 24, 0x5A);
    PrinterPtr printer = AddTestPrinter(PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK, TEXT("FILE:"), dm.data());
    ASSERT_TRUE(printer);

    DWORD needed = 0;
    PresetLastError();
    EXPECT_FALSE(GetPrinterW(printer.get(), 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<BYTE> buffer(needed + 64);
    FillJunk(buffer.data(), buffer.size());
    DWORD full = needed;
    PresetLastError();
    EXPECT_FALSE(GetPrinterW(printer.get(), 2, buffer.data(), full - 1, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, full);
    ASSERT_TRUE(GetPrinterW(printer.get(), 2, buffer.data(), full, &needed));
    EXPECT_TRUE(IsJunk(buffer.data() + full, 64)) << "wrote past the size it reported";

    const auto *info = reinterpret_cast<const PRINTER_INFO_2W *>(buffer.data());
    auto inside = [&](const void *p) { return p >= buffer.data() && p < buffer.data() + full; };
    EXPECT_EQ(WString(info->pPrinterName), printerName_);
    EXPECT_TRUE(inside(info->pPrinterName));
    EXPECT_EQ(WString(info->pDriverName), kDriverName);
    EXPECT_EQ(WString(info->pPortName), TEXT("FILE:"));
    EXPECT_EQ(WString(info->pShareName), TEXT("zepshare"));
    EXPECT_EQ(info->Attributes & (PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK),
              static_cast<DWORD>(PRINTER_ATTRIBUTE_SHARED | PRINTER_ATTRIBUTE_NETWORK));
    ASSERT_NE(info->pDevMode, nullptr);
    EXPECT_TRUE(inside(info->pDevMode));
    EXPECT_EQ(info->pDevMode->dmPaperSize, 9);
    ASSERT_EQ(info->pDevMode->dmDriverExtra, 24);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const BYTE *>(info->pDevMode) + sizeof(DEVMODEW), dm.data() + sizeof(DEVMODEW), 24), 0);

    std::vector<BYTE> one = Packed([&](LPBYTE out, DWORD size, LPDWORD n) { return GetPrinterW(printer.get(), 1, out, size, n); });
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(WString(reinterpret_cast<const PRINTER_INFO_1W *>(one.data())->pName), printerName_);

    PresetLastError();
    EXPECT_FALSE(GetPrinterW(printer.get(), 77, buffer.data(), full, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
}

TEST_F(SpoolerTest, SetPrinterStoresDefaultsAndNeedsAdministerAccess)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);

    // Level 8: the default DEVMODE with its private bytes.
    std::vector<BYTE> dm = MakeDevMode(11, 40, 0xA7);
    PRINTER_INFO_8W info8{reinterpret_cast<LPDEVMODEW>(dm.data())};
    ASSERT_TRUE(SetPrinterW(printer.get(), 8, reinterpret_cast<LPBYTE>(&info8), 0)) << GetLastError();
    std::vector<BYTE> got8 = Packed([&](LPBYTE out, DWORD size, LPDWORD n) { return GetPrinterW(printer.get(), 8, out, size, n); });
    ASSERT_FALSE(got8.empty());
    const DEVMODEW *stored = reinterpret_cast<const PRINTER_INFO_8W *>(got8.data())->pDevMode;
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->dmPaperSize, 11);
    ASSERT_EQ(stored->dmDriverExtra, 40);
    EXPECT_EQ(std::memcmp(reinterpret_cast<const BYTE *>(stored) + sizeof(DEVMODEW), dm.data() + sizeof(DEVMODEW), 40), 0);

    // Level 2: read, change the attributes and share name, write back.
    std::vector<BYTE> got2 = Packed([&](LPBYTE out, DWORD size, LPDWORD n) { return GetPrinterW(printer.get(), 2, out, size, n); });
    ASSERT_FALSE(got2.empty());
    auto *info2 = reinterpret_cast<PRINTER_INFO_2W *>(got2.data());
    WString share = TEXT("zepnewshare");
    info2->pShareName = share.data();
    info2->Attributes |= PRINTER_ATTRIBUTE_SHARED;
    ASSERT_TRUE(SetPrinterW(printer.get(), 2, got2.data(), 0)) << GetLastError();
    got2 = Packed([&](LPBYTE out, DWORD size, LPDWORD n) { return GetPrinterW(printer.get(), 2, out, size, n); });
    ASSERT_FALSE(got2.empty());
    info2 = reinterpret_cast<PRINTER_INFO_2W *>(got2.data());
    EXPECT_EQ(WString(info2->pShareName), share);
    EXPECT_TRUE(info2->Attributes & PRINTER_ATTRIBUTE_SHARED);
    ASSERT_NE(info2->pDevMode, nullptr);
    EXPECT_EQ(info2->pDevMode->dmPaperSize, 11) << "level 2 and level 8 share the default DEVMODE";

    // A handle opened for use only may not change the printer.
    PrinterPtr user = Open(PRINTER_ACCESS_USE);
    ASSERT_TRUE(user);
    // Wine does not check the handle's access.
    PresetLastError();
    EXPECT_AS_WINDOWS(kWine, !SetPrinterW(user.get(), 8, reinterpret_cast<LPBYTE>(&info8), 0) &&
                                 GetLastError() == static_cast<DWORD>(ERROR_ACCESS_DENIED));
    DWORD value = 1;
    EXPECT_AS_WINDOWS(kWine, SetPrinterDataW(user.get(), const_cast<LPWSTR>(TEXT("OEMUI_VALUE")), REG_DWORD,
                                             reinterpret_cast<LPBYTE>(&value),
                                             sizeof value) == static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(SpoolerTest, EnumPrintersListsTheLocalPrinter)
{
    PrinterPtr printer = AddTestPrinter(PRINTER_ATTRIBUTE_SHARED);
    ASSERT_TRUE(printer);
    for (DWORD level : {1u, 2u}) {
        SCOPED_TRACE(level);
        DWORD needed = 0, returned = 77;
        PresetLastError();
        EXPECT_FALSE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, level, nullptr, 0, &needed, &returned));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(returned, 0u);
        std::vector<BYTE> buffer(needed);
        ASSERT_TRUE(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, level, buffer.data(), needed, &needed, &returned));
        bool found = false;
        for (DWORD i = 0; i < returned; ++i) {
            if (level == 1) {
                found |= printerName_ == reinterpret_cast<const PRINTER_INFO_1W *>(buffer.data())[i].pName;
            } else {
                const auto &p = reinterpret_cast<const PRINTER_INFO_2W *>(buffer.data())[i];
                if (printerName_ == p.pPrinterName) {
                    found = true;
                    EXPECT_TRUE(p.Attributes & PRINTER_ATTRIBUTE_SHARED);
                }
            }
        }
        EXPECT_TRUE(found);
    }
    // A source with nothing in it answers an empty list, not a size to ask again with.
    DWORD needed = 77, returned = 77;
    PresetLastError();
    EXPECT_TRUE(EnumPrintersW(PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &returned));
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);
}

TEST_F(SpoolerTest, PrinterDataRoundTripsTypedValues)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    const WCHAR text[] = TEXT("some text");
    const DWORD number = 0x12345678;
    const BYTE binary[] = {'Z', 'P', 0, 'x', 0x0A, 0, 0};
    const WCHAR multi[] = TEXT("a\0bc\0");
    const struct {
        const char *name;
        const WCHAR *valueName;
        DWORD type;
        const void *data;
        DWORD size;
    } cases[] = {
        {"REG_SZ", TEXT("SPLUserModePrinterDriver"), REG_SZ, text, sizeof text},
        {"REG_DWORD", TEXT("FeatureKeywordSize"), REG_DWORD, &number, sizeof number},
        {"REG_BINARY with NULs and line feeds", TEXT("FeatureKeyword"), REG_BINARY, binary, sizeof binary},
        {"REG_MULTI_SZ", TEXT("Multi"), REG_MULTI_SZ, multi, sizeof multi},
        {"empty REG_SZ", TEXT("Empty"), REG_SZ, TEXT(""), sizeof(WCHAR)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LPWSTR name = const_cast<LPWSTR>(c.valueName);
        ASSERT_EQ(SetPrinterDataW(printer.get(), name, c.type, static_cast<LPBYTE>(const_cast<void *>(c.data)), c.size),
                  static_cast<DWORD>(ERROR_SUCCESS));
        BYTE out[64];
        FillJunk(out);
        DWORD type = 0, needed = 0;
        ASSERT_EQ(GetPrinterDataW(printer.get(), name, &type, out, sizeof out, &needed), static_cast<DWORD>(ERROR_SUCCESS));
        EXPECT_EQ(type, c.type);
        ASSERT_EQ(needed, c.size);
        EXPECT_EQ(std::memcmp(out, c.data, c.size), 0);
        EXPECT_TRUE(IsJunk(out + c.size, 1));

        // Short: the size (and type) only.
        if (c.size > 1) {
            FillJunk(out);
            needed = 0;
            EXPECT_EQ(GetPrinterDataW(printer.get(), name, &type, out, c.size - 1, &needed),
                      static_cast<DWORD>(ERROR_MORE_DATA));
            EXPECT_EQ(needed, c.size);
        }
    }
    // A second handle (another open) sees the value; names ignore letter case.
    PrinterPtr again = Open();
    DWORD got = 0, type = 0, needed = 0;
    EXPECT_EQ(GetPrinterDataW(again.get(), const_cast<LPWSTR>(TEXT("featurekeywordsize")), &type,
                              reinterpret_cast<LPBYTE>(&got), sizeof got, &needed),
              static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(got, number);

    EXPECT_EQ(GetPrinterDataW(printer.get(), const_cast<LPWSTR>(TEXT("NoSuchValue")), &type,
                              reinterpret_cast<LPBYTE>(&got), sizeof got, &needed),
              static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

// ---- jobs ----

struct JobView {
    DWORD status = 0, size = 0, pages = 0;
    WString document, printer, driver;
    bool hasDevMode = false;
};

bool ReadJob(HANDLE printer, DWORD id, JobView &view, DWORD *error = nullptr)
{
    std::vector<BYTE> buffer = Packed(
        [&](LPBYTE out, DWORD size, LPDWORD needed) { return GetJobW(printer, id, 2, out, size, needed); }, error);
    if (buffer.empty()) return false;
    const auto *job = reinterpret_cast<const JOB_INFO_2W *>(buffer.data());
    view.status = job->Status;
    view.size = job->Size;
    view.pages = job->TotalPages;
    view.document = job->pDocument ? job->pDocument : TEXT("");
    view.printer = job->pPrinterName ? job->pPrinterName : TEXT("");
    view.driver = job->pDriverName ? job->pDriverName : TEXT("");
    view.hasDevMode = job->pDevMode != nullptr;
    return true;
}

DWORD StartDoc(HANDLE printer, const WCHAR *document, const WString &output)
{
    DOC_INFO_1W doc{const_cast<LPWSTR>(document), output.empty() ? nullptr : const_cast<LPWSTR>(output.c_str()),
                    const_cast<LPWSTR>(TEXT("RAW"))};
    return StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
}

bool Write(HANDLE printer, const std::string &bytes)
{
    DWORD written = 0;
    return WritePrinter(printer, const_cast<char *>(bytes.data()), static_cast<DWORD>(bytes.size()), &written) &&
           written == bytes.size();
}

TEST_F(SpoolerTest, JobIsSpooledAndDeliveredToOutputFile)
{
    std::vector<BYTE> dm = MakeDevMode(9, 8, 0x11);
    PrinterPtr printer = AddTestPrinter(0, TEXT("FILE:"), dm.data());
    ASSERT_TRUE(printer);
    WString output = Path(TEXT("job.prn"));
    DWORD id = StartDoc(printer.get(), TEXT("Report.txt"), output);
    ASSERT_NE(id, 0u) << GetLastError();

    ASSERT_TRUE(StartPagePrinter(printer.get()));
    ASSERT_TRUE(Write(printer.get(), "%!PS page 1\n"));
    ASSERT_TRUE(EndPagePrinter(printer.get()));
    ASSERT_TRUE(StartPagePrinter(printer.get()));
    ASSERT_TRUE(Write(printer.get(), std::string("bin\0ary\n", 8)));
    ASSERT_TRUE(EndPagePrinter(printer.get()));

    // Another handle to the printer sees the job while it spools.
    PrinterPtr other = Open();
    JobView job;
    ASSERT_TRUE(ReadJob(other.get(), id, job));
    EXPECT_EQ(job.document, TEXT("Report.txt"));
    EXPECT_EQ(job.printer, printerName_);
    // Wine's job record carries the names it was given and no driver, counts, status or DEVMODE.
    EXPECT_AS_WINDOWS(kWine, job.driver == kDriverName);
    EXPECT_AS_WINDOWS(kWine, job.pages == 2u);
    EXPECT_AS_WINDOWS(kWine, job.size == 20u);
    EXPECT_AS_WINDOWS(kWine, job.status & JOB_STATUS_SPOOLING);
    EXPECT_FALSE(job.status & JOB_STATUS_DELETING);
    EXPECT_AS_WINDOWS(kWine, job.hasDevMode);
    EXPECT_EQ(ReadWholeFile(output), "<missing>") << "nothing is delivered before EndDocPrinter";

    std::vector<BYTE> one = Packed([&](LPBYTE out, DWORD size, LPDWORD n) { return GetJobW(other.get(), id, 1, out, size, n); });
    ASSERT_FALSE(one.empty());
    EXPECT_EQ(reinterpret_cast<const JOB_INFO_1W *>(one.data())->JobId, id);
    const WCHAR *datatype = reinterpret_cast<const JOB_INFO_1W *>(one.data())->pDatatype;
    EXPECT_AS_WINDOWS(kWine, datatype && WString(datatype) == TEXT("RAW"));

    ASSERT_TRUE(EndDocPrinter(printer.get())) << GetLastError();
    EXPECT_EQ(ReadWholeFile(output), std::string("%!PS page 1\nbin\0ary\n", 20));
    if (CurrentPlatform() == kLayer) {
        // Windows removes a printed job when the port monitor is done with it, a moment later.
        DWORD error = 0;
        EXPECT_FALSE(ReadJob(other.get(), id, job, &error)) << "a printed job leaves the queue";
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
}

TEST_F(SpoolerTest, SpoolFileLivesInThePrintersFolder)
{
    if (CurrentPlatform() != kLayer) GTEST_SKIP() << "where the spool file lives is the layer's own contract";
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    DWORD id = StartDoc(printer.get(), TEXT("doc"), Path(TEXT("out.prn")));
    ASSERT_NE(id, 0u);
    char name[64];
    std::snprintf(name, sizeof name, "C:\\WINDOWS\\System32\\spool\\PRINTERS\\%05u.SPL", static_cast<unsigned>(id));
    WString spool = Wide(name);
    ASSERT_TRUE(Write(printer.get(), "abc"));
    EXPECT_NE(GetFileAttributesW(spool.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(EndDocPrinter(printer.get()));
    EXPECT_EQ(GetFileAttributesW(spool.c_str()), INVALID_FILE_ATTRIBUTES) << "removed once delivered";
}

TEST_F(SpoolerTest, CallsOutsideADocument)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    DWORD written = 77;
    char data[] = "x";
    const struct {
        const char *name;
        BOOL (*call)(HANDLE, char *, DWORD *);
        unsigned differsOn = 0;  // platforms known to differ from Windows on this row
    } cases[] = {
        {"WritePrinter", [](HANDLE h, char *d, DWORD *w) { return WritePrinter(h, d, 1, w); }},
        // Wine lets these pass outside a document.
        {"StartPagePrinter", [](HANDLE h, char *, DWORD *) { return StartPagePrinter(h); }, kWine},
        {"EndPagePrinter", [](HANDLE h, char *, DWORD *) { return EndPagePrinter(h); }, kWine},
        {"EndDocPrinter", [](HANDLE h, char *, DWORD *) { return EndDocPrinter(h); }},
        {"AbortPrinter", [](HANDLE h, char *, DWORD *) { return AbortPrinter(h); }, kWine},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        PresetLastError();
        BOOL ok = c.call(printer.get(), data, &written);
        if (c.differsOn & CurrentPlatform()) {
            EXPECT_AS_WINDOWS(c.differsOn, !ok);
            continue;
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SPL_NO_STARTDOC));
    }
    // Wine fails an unknown job id without saying why.
    BYTE out[512];
    DWORD needed = 0;
    PresetLastError();
    EXPECT_FALSE(GetJobW(printer.get(), 99999, 2, out, sizeof out, &needed));
    EXPECT_AS_WINDOWS(kWine, GetLastError() == static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    PresetLastError();
    EXPECT_FALSE(SetJobW(printer.get(), 99999, 0, nullptr, JOB_CONTROL_CANCEL));
    EXPECT_AS_WINDOWS(kWine, GetLastError() == static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(SpoolerTest, CancelledJobDeliversNothing)
{
    const struct {
        const char *name;
        DWORD command; // 0: AbortPrinter
    } cases[] = {
        {"SetJobW JOB_CONTROL_CANCEL", JOB_CONTROL_CANCEL},
        {"SetJobW JOB_CONTROL_DELETE", JOB_CONTROL_DELETE},
        {"AbortPrinter", 0},
    };
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    PrinterPtr other = Open();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        // An earlier file at the output path stays as it was.
        WString output = Path(TEXT("cancelled.prn"));
        ASSERT_TRUE(WriteWholeFile(output, "previous"));
        DWORD id = StartDoc(printer.get(), TEXT("doc"), output);
        ASSERT_NE(id, 0u);
        ASSERT_TRUE(Write(printer.get(), "first block"));
        if (c.command) {
            ASSERT_TRUE(SetJobW(other.get(), id, 0, nullptr, c.command)) << GetLastError();
            // Wine takes the command but goes on spooling and delivers the job.
            JobView job;
            ASSERT_TRUE(ReadJob(other.get(), id, job));
            EXPECT_AS_WINDOWS(kWine, job.status & JOB_STATUS_DELETING);
            DWORD written = 77;
            PresetLastError();
            BOOL wrote = WritePrinter(printer.get(), const_cast<char *>("more"), 4, &written);
            EXPECT_AS_WINDOWS(kWine, !wrote && GetLastError() == static_cast<DWORD>(ERROR_PRINT_CANCELLED) &&
                                         written == 0u);
            EndDocPrinter(printer.get());
            EXPECT_AS_WINDOWS(kWine, ReadWholeFile(output) == "previous");
        } else {
            ASSERT_TRUE(AbortPrinter(printer.get()));
            EXPECT_EQ(ReadWholeFile(output), "previous");
        }
        JobView gone;
        if (CurrentPlatform() == kLayer) {
            EXPECT_FALSE(ReadJob(other.get(), id, gone)) << "the job left the queue";
        }
        // The handle is ready for the next document.
        DWORD next = StartDoc(printer.get(), TEXT("next"), Path(TEXT("next.prn")));
        // Wine's handle takes no further document after AbortPrinter.
        EXPECT_AS_WINDOWS(c.command ? 0u : unsigned(kWine), next != 0u);
        if (next == 0) continue;
        ASSERT_TRUE(Write(printer.get(), "ok"));
        ASSERT_TRUE(EndDocPrinter(printer.get()));
        EXPECT_EQ(ReadWholeFile(Path(TEXT("next.prn"))), "ok");
    }
}

TEST_F(SpoolerTest, ClosingWithOpenDocumentEndsTheJob)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    WString output = Path(TEXT("closed.prn"));
    ASSERT_NE(StartDoc(printer.get(), TEXT("doc"), output), 0u);
    ASSERT_TRUE(Write(printer.get(), "data"));
    printer.reset();
    EXPECT_EQ(ReadWholeFile(output), "data");
}

TEST_F(SpoolerTest, PortThatNamesAFileReceivesTheJob)
{
    if (CurrentPlatform() != kLayer) GTEST_SKIP() << "file-path ports are a feature of the Linux layer";
    WString port = Path(TEXT("port.prn"));
    PrinterPtr printer = AddTestPrinter(0, port);
    ASSERT_TRUE(printer);
    ASSERT_NE(StartDoc(printer.get(), TEXT("doc"), WString()), 0u);
    ASSERT_TRUE(Write(printer.get(), "to the port"));
    ASSERT_TRUE(EndDocPrinter(printer.get()));
    EXPECT_EQ(ReadWholeFile(port), "to the port");
}

TEST_F(SpoolerTest, JobWithoutDestinationStaysQueued)
{
    if (CurrentPlatform() != kLayer) GTEST_SKIP() << "Windows would send the job to the FILE: port";
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    DWORD id = StartDoc(printer.get(), TEXT("kept"), WString());
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(Write(printer.get(), "12345"));
    ASSERT_TRUE(EndDocPrinter(printer.get()));
    JobView job;
    ASSERT_TRUE(ReadJob(printer.get(), id, job));
    EXPECT_FALSE(job.status & JOB_STATUS_SPOOLING);
    EXPECT_EQ(job.size, 5u);
    ASSERT_TRUE(SetJobW(printer.get(), id, 0, nullptr, JOB_CONTROL_DELETE));
    EXPECT_FALSE(ReadJob(printer.get(), id, job));
}

TEST_F(SpoolerTest, FailedDeliveryKeepsTheJobWithAnError)
{
    if (CurrentPlatform() != kLayer) GTEST_SKIP() << "Windows delivers after EndDocPrinter has returned";
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    WString output = Path(TEXT("no such folder\\out.prn"));
    DWORD id = StartDoc(printer.get(), TEXT("doc"), output);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(Write(printer.get(), "data"));
    PresetLastError();
    EXPECT_FALSE(EndDocPrinter(printer.get()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(ReadWholeFile(output), "<missing>");
    JobView job;
    ASSERT_TRUE(ReadJob(printer.get(), id, job));
    EXPECT_TRUE(job.status & JOB_STATUS_ERROR);
    EXPECT_EQ(job.size, 4u);
    EXPECT_TRUE(SetJobW(printer.get(), id, 0, nullptr, JOB_CONTROL_DELETE));
}

// ---- a second process ----

#ifdef ZEP_SPOOLER_PROBE
std::string RunProbe(const WString &printer, DWORD id, const char *action, int *status)
{
#ifdef _WIN32
    // The probe is built beside the test program; cmd.exe drops the outer quotes of a quoted command line.
    std::string root = "-";
    WCHAR self[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
    WString dir(self, n);
    std::string probe = Narrow(dir.substr(0, dir.find_last_of(TEXT("\\/")) + 1)) + "spooler_probe.exe";
    const char *outerQuote = "\"";
#define popen _popen
#define pclose _pclose
#else
    std::string root = ZepGetRoot();
    std::string probe = ZEP_SPOOLER_PROBE;
    const char *outerQuote = "";
#endif
    std::string command = std::string(outerQuote) + "\"" + probe + "\" \"" + root + "\" \"" + Narrow(printer) + "\" " +
                          std::to_string(id) + " " + action + outerQuote;
    std::string out;
    FILE *pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char chunk[256];
    while (size_t n = fread(chunk, 1, sizeof chunk, pipe)) out.append(chunk, n);
    *status = pclose(pipe);
    return out;
}

TEST_F(SpoolerTest, AnotherProcessSeesAndCancelsTheJob)
{
    PrinterPtr printer = AddTestPrinter();
    ASSERT_TRUE(printer);
    WString output = Path(TEXT("other-process.prn"));
    DWORD id = StartDoc(printer.get(), TEXT("Shared Doc"), output);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(StartPagePrinter(printer.get()));
    ASSERT_TRUE(Write(printer.get(), "0123456"));

    // Wine keeps each process's jobs to itself: the probe sees no job and cancels nothing.
    int status = -1;
    std::string seen = RunProbe(printerName_, id, "get", &status);
    EXPECT_AS_WINDOWS(kWine, status == 0 && seen.find("id=" + std::to_string(id) + "\n") != std::string::npos &&
                                 seen.find("document=Shared Doc\n") != std::string::npos &&
                                 seen.find("printer=" + Narrow(printerName_) + "\n") != std::string::npos &&
                                 seen.find("size=7\n") != std::string::npos &&
                                 seen.find("pages=1\n") != std::string::npos);

    seen = RunProbe(printerName_, id, "cancel", &status);
    DWORD written = 0;
    PresetLastError();
    BOOL wrote = WritePrinter(printer.get(), const_cast<char *>("x"), 1, &written);
    EXPECT_AS_WINDOWS(kWine, status == 0 && !wrote && GetLastError() == static_cast<DWORD>(ERROR_PRINT_CANCELLED));
    EndDocPrinter(printer.get());
    EXPECT_AS_WINDOWS(kWine, ReadWholeFile(output) == "<missing>");
}
#endif

} // namespace
