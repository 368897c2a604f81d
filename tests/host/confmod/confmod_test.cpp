// The stand-in configuration module answers the spooler's DocumentProperties requests without a sheet.
#include "host/confmod/confmod.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using zep::confmod::DocumentDefaults;
using zep::confmod::DocumentPropertyHeader;

constexpr BYTE kJunk = 0xCC;

WCHAR kPrinter[] = {'Z', 'e', 'p', ' ', 'D', 'e', 'm', 'o', 0};

DocumentPropertyHeader Header(DWORD mode, DEVMODEW *out, DWORD outSize, DEVMODEW *in = nullptr)
{
    DocumentPropertyHeader h{};
    h.cbSize = sizeof h;
    h.pszPrinterName = kPrinter;
    h.pdmIn = in;
    h.pdmOut = out;
    h.cbOut = outSize;
    h.fMode = mode;
    return h;
}

// AddPrinter first asks for the size (fMode 0), then for the defaults into a buffer of that size.
TEST(ConfigModule, SizeQueryThenDefaultsWithoutPrivatePart)
{
    DocumentPropertyHeader query = Header(0, nullptr, 0);
    LONG size = DocumentDefaults(&query);
    ASSERT_EQ(size, LONG(sizeof(DEVMODEW)));
    EXPECT_EQ(query.cbOut, DWORD(size));

    DEVMODEW dm;
    std::memset(&dm, kJunk, sizeof dm);
    DocumentPropertyHeader fill = Header(zep::confmod::kModeOutBuffer, &dm, sizeof dm);
    ASSERT_EQ(DocumentDefaults(&fill), 1);
    EXPECT_EQ(dm.dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(dm.dmDriverExtra, 0);
    EXPECT_EQ(dm.dmFields, 0u);
    EXPECT_EQ(std::memcmp(dm.dmDeviceName, kPrinter, sizeof kPrinter), 0);
    EXPECT_EQ(dm.dmDeviceName[31], 0);
}

// The caller's public settings pass through; a private part it claims is dropped, and the name stays the printer's.
TEST(ConfigModule, InputPublicFieldsKeptPrivatePartDropped)
{
    DEVMODEW in{};
    in.dmSize = sizeof in;
    in.dmDriverExtra = 300;
    in.dmFields = 0x1;
    in.dmOrientation = 2;
    in.dmDeviceName[0] = 'X';
    DEVMODEW out;
    std::memset(&out, kJunk, sizeof out);
    DocumentPropertyHeader h =
        Header(zep::confmod::kModeOutBuffer | zep::confmod::kModeInBuffer, &out, sizeof out, &in);
    ASSERT_EQ(DocumentDefaults(&h), 1);
    EXPECT_EQ(out.dmOrientation, 2);
    EXPECT_EQ(out.dmFields, 0x1u);
    EXPECT_EQ(out.dmDriverExtra, 0);
    EXPECT_EQ(out.dmDeviceName[0], 'Z');
}

TEST(ConfigModule, BadRequestsFailWithTheirErrorAndWriteNothing)
{
    struct Case {
        const char *name;
        DWORD mode;
        DWORD outSize;
        WORD cbSize;
        DWORD error;
    };
    const Case cases[] = {
        {"short output buffer", zep::confmod::kModeOutBuffer, sizeof(DEVMODEW) - 1, sizeof(DocumentPropertyHeader),
         ERROR_INSUFFICIENT_BUFFER},
        {"prompt asks for pages", zep::confmod::kModeOutBuffer | zep::confmod::kModeInPrompt, sizeof(DEVMODEW),
         sizeof(DocumentPropertyHeader), ERROR_NOT_SUPPORTED},
        {"header too small", zep::confmod::kModeOutBuffer, sizeof(DEVMODEW), 4, ERROR_INVALID_PARAMETER},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        DEVMODEW out;
        std::memset(&out, kJunk, sizeof out);
        DocumentPropertyHeader h = Header(c.mode, &out, c.outSize);
        h.cbSize = c.cbSize;
        SetLastError(0xdeadbeef);
        EXPECT_EQ(DocumentDefaults(&h), -1);
        EXPECT_EQ(GetLastError(), c.error);
        const BYTE *b = reinterpret_cast<const BYTE *>(&out);
        EXPECT_TRUE(b[0] == kJunk && b[sizeof out - 1] == kJunk);
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(DocumentDefaults(nullptr), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(ConfigModule, DeviceCapabilitiesAnswerTheDevmodeFactsOnly)
{
    EXPECT_EQ(zep::confmod::DeviceCapability(8), sizeof(DEVMODEW));  // DC_SIZE
    EXPECT_EQ(zep::confmod::DeviceCapability(9), 0u);                // DC_EXTRA
    EXPECT_EQ(zep::confmod::DeviceCapability(2), zep::confmod::kCapabilityUnsupported);  // DC_PAPERS
}

} // namespace
