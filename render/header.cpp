// The PJL job header: its items in stream order, each tried even after an earlier one failed.
#include "render/header.h"

#include <cstring>
#include <iterator>
#include <vector>

#include "common/companions.h"
#include "common/config.h"
#include "common/handle.h"
#include "common/keywords.h"
#include "common/printer.h"
#include "render/inject_points.h"
#include "render/jobname_dialog.h"
#include "render/state.h"

namespace zep {
namespace {

bool IsControl(BYTE b) { return b < 0x20 || b == 0x7F; }

// What the items share while one header is written.
struct HeaderJob {
    const RenderCall &rc;
    JobHeaderSource &source;
    LPCSTR documentName;
    JobType type;
};

bool Emit(const HeaderJob &job, const std::string &text)
{
    return EmitBytes(job.rc, text.data(), static_cast<DWORD>(text.size()));
}

bool SpoolMode(const HeaderJob &job)
{
    if (job.type != JobType::Normal || !FeatureIs(job.rc, kw::kHddSpool, kw::kTrue)) return true;
    return EmitText(job.rc, "@PJL ZEPSPOOL MODE=ALL\r\n");
}

bool SecurePrint(const HeaderJob &job)
{
    return WriteSecurePrintLines(job.rc, job.type, job.source, job.documentName);
}

bool CardComments(const HeaderJob &job)
{
    if (job.type != JobType::SecureChip || !job.source.CardDriverPresent()) return true;
    WCHAR driver[MAX_PATH] = {};
    job.source.DriverName(driver, MAX_PATH);
    WCHAR version[kDriverVerChars + 1] = {};
    job.source.DriverVersionValue(version, kDriverVerChars + 1);
    return Emit(job, "@PJL COMMENT Device Name :" + DeviceNameText(driver) + "\r\n" +
                         "@PJL COMMENT Version     :" + DriverVersionText(version) + "\r\n");
}

// The job-information library's lines never fail the header.
bool JobInformation(const HeaderJob &job)
{
    EmitJobInformation(job.rc);
    return true;
}

struct OptionLine {
    const char *option;
    const char *line;
};
const OptionLine kDrumCleaning[] = {
    {kw::kOff, "@PJL SET ZEPDRUMCLEANINGMODE = OFF\r\n"},
    {kw::kOn, "@PJL SET ZEPDRUMCLEANINGMODE = ON\r\n"},
};

bool DrumCleaning(const HeaderJob &job)
{
    CHAR option[kOptionBytes + 1];
    GetFeatureOption(job.rc, kw::kDrumClean, option);
    for (const OptionLine &row : kDrumCleaning)
        if (std::strcmp(option, row.option) == 0) return EmitText(job.rc, row.line);
    return true;
}

bool ColourAppearance(const HeaderJob &job) { return EmitColourAppearance(job.rc); }

// Flate levels by compression code; code 0 (and anything a crafted record holds beyond 3) writes nothing.
const char *const kCompressionLines[] = {
    nullptr,
    "@PJL COMMENT COMPRESSION:FLATE LEVEL:1\r\n",
    "@PJL COMMENT COMPRESSION:FLATE LEVEL:6\r\n",
    "@PJL COMMENT COMPRESSION:FLATE LEVEL:9\r\n",
};

bool Compression(const HeaderJob &job)
{
    auto dm = job.rc.devobj ? static_cast<const OemDevmode *>(job.rc.devobj->pOEMDM) : nullptr;
    if (!dm || dm->wCompressionLevel >= std::size(kCompressionLines)) return true;
    const char *line = kCompressionLines[dm->wCompressionLevel];
    return !line || EmitText(job.rc, line);
}

bool EnterPostScript(const HeaderJob &job) { return EmitText(job.rc, kEnterPostScript); }

// The items after the universal exit language and the job type, in stream order.
bool (*const kHeaderItems[])(const HeaderJob &) = {
    SpoolMode, SecurePrint, CardComments, JobInformation, DrumCleaning, ColourAppearance, Compression,
    EnterPostScript,
};

// The header's questions answered through the device object's printer handle and the driver's files.
class SpoolerHeaderSource final : public JobHeaderSource {
public:
    explicit SpoolerHeaderSource(const RenderCall &rc)
        : rc_(rc), printer_(rc.devobj ? rc.devobj->hPrinter : nullptr)
    {
    }

    JobType EffectiveJobType() override { return zep::EffectiveJobType(rc_); }
    bool CardDriverPresent() override { return QueryCardDriver(printer_) != 0; }
    void DriverName(WCHAR *out, DWORD cch) override { GetDriverName(printer_, out, cch); }

    void DriverVersionValue(WCHAR *out, DWORD cch) override
    {
        out[0] = 0;
        WCHAR path[MAX_PATH + 1];
        if (!FindVersionFile(printer_, path)) return;
        GetPrivateProfileStringW(TEXT("Version"), TEXT("DriverVer"), TEXT(""), out, cch, path);
    }

    bool PrinterAttributes(DWORD *attributes) override { return GetPrinterAttributes(printer_, attributes); }

    void AskJobName(OemDevmode *dm) override { ShowJobNameDialog(g_render.module, dm); }

private:
    const RenderCall &rc_;
    HANDLE printer_;
};

} // namespace

std::string DriverVersionText(LPCWSTR value)
{
    std::string text;
    if (!value) return text;
    size_t comma = 0;
    while (comma < 32 && value[comma] && value[comma] != ',') ++comma;
    if (comma == 32 || value[comma] != ',') return text;
    for (LPCWSTR p = value + comma + 1; *p && *p != '"' && text.size() < kVersionTextBytes; ++p) {
        const auto b = static_cast<BYTE>(*p & 0xFF);
        if (IsControl(b)) break;
        text += static_cast<char>(b);
    }
    return text;
}

std::string DeviceNameText(LPCWSTR driverName)
{
    if (!driverName || !driverName[0]) return {};
    int bytes = WideCharToMultiByte(CP_ACP, 0, driverName, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::vector<CHAR> ansi(static_cast<size_t>(bytes), 0);
    WideCharToMultiByte(CP_ACP, 0, driverName, -1, ansi.data(), bytes, nullptr, nullptr);
    // Cut on a character boundary, so no lead byte is left without its trail byte.
    size_t end = 0;
    while (end < ansi.size() && ansi[end]) {
        const auto b = static_cast<BYTE>(ansi[end]);
        size_t step = IsDBCSLeadByte(b) && end + 1 < ansi.size() && ansi[end + 1] ? 2 : 1;
        if (IsControl(b) || end + step > kDeviceNameBytes) break;
        end += step;
    }
    return std::string(ansi.data(), end);
}

bool WriteJobHeader(const RenderCall &rc, JobHeaderSource &source, LPCSTR documentName)
{
    bool ok = EmitText(rc, kUniversalExit);
    const HeaderJob job{rc, source, documentName, source.EffectiveJobType()};
    for (auto item : kHeaderItems) ok = item(job) && ok;
    return ok;
}

bool WriteJobHeader(const RenderCall &rc)
{
    SpoolerHeaderSource source(rc);
    return WriteJobHeader(rc, source, g_render.job.szDocumentName);
}

} // namespace zep
