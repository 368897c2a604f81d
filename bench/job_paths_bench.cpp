// Speed of what the plug-ins do for every job: INI lookups in the driver's configuration files and the
// record operations on the job settings.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "common/devmode_render.h"
#include "common/win32.h"
#include "zep_platform.h"

namespace {

// A capability-file-sized INI: one model section among many, keys looked up by name.
const WCHAR kIni[] = u"C:\\bench\\caps.ini";

void WriteIni(int sections, int keys)
{
    for (int s = 0; s < sections; ++s) {
        std::u16string section = u"Model" + std::u16string(1, u'A' + s % 26) + std::u16string(1, u'a' + s / 26);
        for (int k = 0; k < keys; ++k) {
            std::u16string key = u"Key" + std::u16string(1, u'A' + k % 26) + std::u16string(1, u'a' + k / 26);
            WritePrivateProfileStringW(section.c_str(), key.c_str(), u"value", kIni);
        }
    }
}

void BM_ProfileLookup(benchmark::State &state)
{
    WriteIni(static_cast<int>(state.range(0)), 20);
    WCHAR out[128];
    for (auto _ : state) {
        DWORD n = GetPrivateProfileStringW(u"ModelZa", u"KeyTa", u"", out, 128, kIni);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_ProfileLookup)->Arg(4)->Arg(64);

void BM_RenderDevmodeMerge(benchmark::State &state)
{
    zep::OemDevmode in{}, out{};
    zep::RenderDevmodeDefault(&in);
    for (auto _ : state) {
        zep::RenderDevmodeDefault(&out);
        zep::RenderDevmodeMerge(&in, &out);
        benchmark::DoNotOptimize(out.dwSize);
    }
}
BENCHMARK(BM_RenderDevmodeMerge);

} // namespace

int main(int argc, char **argv)
{
    std::filesystem::path root = std::filesystem::temp_directory_path() / "zep-bench-root";
    std::filesystem::create_directories(root / "c" / "bench");
    ZepSetRoot(root.string().c_str());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(root);
    return 0;
}
