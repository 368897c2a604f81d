// The WritePrinter gate: blocks reach the spooler unchanged.
#include <gtest/gtest.h>

#include "fake_core.h"
#include "render/gate.h"
#include "tests/common/test_support.h"

using namespace zep;
using zeptest::WString;

namespace {

TEST(Gate, NullDeviceIsIgnored)
{
    DWORD written = 5;
    EXPECT_EQ(GateWritePrinter(nullptr, nullptr, 10, &written), S_OK);
    EXPECT_EQ(written, 5u);
}

TEST(Gate, BlocksPassToTheSpoolerUnchanged)
{
    HANDLE printer = zeptest::InstallPrinter("Gate Printer", "Zep Gate Driver", {{"zep.ini", zeptest::kPluginIniText}});
    ASSERT_NE(printer, nullptr) << GetLastError();
    zeptest::FakeDevice device;
    device.devobj.hPrinter = printer;
    device.options = {{"ZPJob_Type", "Secure_Chip"}, {"ZPHDD", "True"}};

    // Outside a job the spooler refuses, and so does the gate.
    DWORD written = 99;
    char block[] = "\x1b%-12345X@PJL JOB\r\n";
    EXPECT_EQ(GateWritePrinter(&device.devobj, block, sizeof(block) - 1, &written), E_FAIL);

    WString doc = TEXT("gate");
    DOC_INFO_1W di = {doc.data(), nullptr, nullptr};
    DWORD job = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&di));
    ASSERT_NE(job, 0u);
    EXPECT_EQ(GateWritePrinter(&device.devobj, block, sizeof(block) - 1, &written), S_OK);
    EXPECT_EQ(written, sizeof(block) - 1);
    EXPECT_EQ(GateWritePrinter(&device.devobj, block, 3, nullptr), S_OK);
    EndDocPrinter(printer);
    ClosePrinter(printer);
}

} // namespace
