// Speed and memory of the output gate. Each pair runs on the same 64 KiB blocks in one run:
//   BM_SpoolerDirect / BM_GatePassThrough   a "Normal" job of 200 MB straight into a spooler job, and through the gate
//                                          (goal: the gate at 0.95 of the direct write or better)
//   BM_CipherAlone / BM_GateEncrypting     the sample library's UpdateEncryption on 200 MB, and the encrypting gate
//                                          with its end check and framing into a spooler that takes and forgets
//                                          (goal: 0.8 of the cipher's own speed or better)
//   BM_GateEncrypting1GB                   run alone (bench/gate_memory.sh): peak resident memory of a 1 GB job
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/library.h"
#include "companions/crypt/zepcrypt.h"
#include "render/gate.h"
#include "render/pdev.h"
#include "tests/common/test_support.h"
#include "tests/render/fake_core.h"

namespace {

constexpr size_t kBlock = 64 * 1024;
constexpr size_t kJobBytes = 200u * 1024 * 1024;
const std::string kHeader = "\x1b%-12345X@PJL JOB NAME=\"Bench\"\r\n@PJL ENTER LANGUAGE=POSTSCRIPT\n%!PS-Adobe-3.0\n";
const std::string kTrailer = "%%EOF\n\x1b%-12345X@PJL EOJ\r\n";

// A job's blocks: the header at the start of the first, the trailer at the end of the last, PostScript between.
std::vector<std::string> Blocks(size_t count)
{
    std::string body;
    while (body.size() < kBlock) body += "72 720 moveto (The quick brown fox) show 0 -14 rmoveto\n";
    body.resize(kBlock);
    std::vector<std::string> blocks(count, body);
    blocks.front().replace(0, kHeader.size(), kHeader);
    blocks.back().replace(kBlock - kTrailer.size(), kTrailer.size(), kTrailer);
    return blocks;
}

const std::vector<std::string> &JobBlocks()
{
    static const std::vector<std::string> blocks = Blocks(kJobBytes / kBlock);
    return blocks;
}

// A printer of the layer's spooler, its jobs going to a file that each run removes.
HANDLE BenchPrinter()
{
    static HANDLE printer = zeptest::InstallPrinter("Bench Printer", "Zep Bench Driver",
                                                    {{"zep.ini", zeptest::kPluginIniText},
                                                     {"zep.cap", zeptest::CapabilityText("Zep Bench Driver", "")}});
    return printer;
}

template <typename Write>
void PrintJob(benchmark::State &state, Write write)
{
    HANDLE printer = BenchPrinter();
    if (!printer) {
        state.SkipWithError("no printer");
        return;
    }
    std::u16string doc = u"bench", output = u"C:\\bench\\job.prn";
    JobBlocks(); // made before the clock runs
    for (auto _ : state) {
        DOC_INFO_1W di = {doc.data(), output.data(), nullptr};
        if (!StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&di))) {
            state.SkipWithError("the spooler refused the job");
            return;
        }
        for (const std::string &b : JobBlocks()) write(printer, const_cast<char *>(b.data()), static_cast<DWORD>(b.size()));
        EndDocPrinter(printer);
        DeleteFileW(output.c_str());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kJobBytes));
}

void BM_SpoolerDirect(benchmark::State &state)
{
    PrintJob(state, [](HANDLE printer, char *data, DWORD size) {
        DWORD written = 0;
        WritePrinter(printer, data, size, &written);
    });
}
BENCHMARK(BM_SpoolerDirect)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GatePassThrough(benchmark::State &state)
{
    zeptest::FakeDevice device;
    device.options = {{"ZPJob_Type", "Normal"}, {"ZPHDD", "True"}, {"ZPJobLimit", "False"}};
    zep::OemPdev pdev{};
    device.devobj.pdevOEM = &pdev;
    PrintJob(state, [&](HANDLE printer, char *data, DWORD size) {
        device.devobj.hPrinter = printer;
        DWORD written = 0;
        zep::GateWritePrinter(&device.devobj, data, size, &written);
    });
}
BENCHMARK(BM_GatePassThrough)->Unit(benchmark::kMillisecond)->Iterations(3);

std::u16string CryptPath()
{
    const std::string path = ZEP_ZEPCRYPT_PATH;
    return std::u16string(path.begin(), path.end());
}

// The encrypting gate's world: the sample library, a spooler that counts and forgets.
class CountingSource final : public zep::GateSource {
public:
    uint64_t spooled = 0;
    zep::OemDevmode dm = {};

    CountingSource()
    {
        dm.dwCryptoMode = 1;
        dm.dwAskPassword = 0;
        dm.dwEncryptedPasswordLen = 0;
    }
    zep::JobType EffectiveJobType() override { return zep::JobType::SecureChip; }
    bool CardDriverPresent() override { return true; }
    bool WriteSpooler(const void *, DWORD count, DWORD *written) override
    {
        spooled += count;
        *written = count;
        return true;
    }
    void CancelJob(DWORD) override {}
    bool LoadEncryption(zep::Library &module, zep::EncryptionEntries &entries) override
    {
        module.reset(LoadLibraryW(CryptPath().c_str()));
        entries = zep::ResolveEncryption(module.get());
        return static_cast<bool>(module);
    }
    // An IC card job: no password to decrypt or ask for.
    DWORD GetCardData(BYTE *key, DWORD *size) override
    {
        static const char kCard[] = "bench card data";
        std::memcpy(key, kCard, sizeof kCard - 1);
        *size = sizeof kCard - 1;
        return 1;
    }
    zep::OemDevmode *Devmode() override { return &dm; }
};

// A job of `blocks` blocks through the encrypting gate, taken from job: its first and last open and end it, the
// others go round between them. False when the job did not end cleanly.
bool EncryptJob(CountingSource &source, const std::vector<std::string> &job, size_t blocks)
{
    zep::GateState gate;
    zep::GateStartJob(gate);
    for (size_t i = 0; i < blocks; ++i) {
        const std::string &b = i == 0 ? job.front() : i + 1 == blocks ? job.back() : job[1 + i % (job.size() - 2)];
        DWORD written = 0;
        zep::RunGate(&gate, source, const_cast<char *>(b.data()), static_cast<DWORD>(b.size()), &written);
        if (gate.encryptedStreamFailed) return false;
    }
    return !gate.context && !gate.encryptedStreamFailed;
}

void BM_CipherAlone(benchmark::State &state)
{
    zep::Library module(LoadLibraryW(CryptPath().c_str()));
    const zep::EncryptionEntries fn = zep::ResolveEncryption(module.get());
    if (!fn.CreateEncryption) {
        state.SkipWithError("no encryption library");
        return;
    }
    JobBlocks();
    for (auto _ : state) {
        PVOID h = fn.CreateEncryption();
        zep::EncryptionInitRecord record = {1, 0, "bench card data"};
        BYTE *out = nullptr;
        DWORD size = 0;
        fn.InitEncryptionEx(h, &record, 15, &out, &size);
        for (const std::string &b : JobBlocks())
            fn.UpdateEncryption(h, reinterpret_cast<const BYTE *>(b.data()), static_cast<DWORD>(b.size()), &out, &size);
        fn.EndEncryption(h, &out, &size);
        fn.DeleteEncryption(h);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kJobBytes));
}
BENCHMARK(BM_CipherAlone)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GateEncrypting(benchmark::State &state)
{
    CountingSource source;
    JobBlocks();
    for (auto _ : state)
        if (!EncryptJob(source, JobBlocks(), JobBlocks().size())) state.SkipWithError("the job failed");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kJobBytes));
}
BENCHMARK(BM_GateEncrypting)->Unit(benchmark::kMillisecond)->Iterations(3);

long PeakResidentKiB()
{
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// 1 GB through the gate, from three blocks; the peak resident memory of the process, to be read when this runs
// alone.
void BM_GateEncrypting1GB(benchmark::State &state)
{
    CountingSource source;
    const std::vector<std::string> job = Blocks(3);
    const size_t blocks = (1024u * 1024 * 1024) / kBlock;
    const long before = PeakResidentKiB();
    for (auto _ : state)
        if (!EncryptJob(source, job, blocks)) state.SkipWithError("the job failed");
    state.counters["peak_rss_kib"] = static_cast<double>(PeakResidentKiB());
    state.counters["peak_rss_growth_kib"] = static_cast<double>(PeakResidentKiB() - before);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * blocks * kBlock));
}
BENCHMARK(BM_GateEncrypting1GB)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
