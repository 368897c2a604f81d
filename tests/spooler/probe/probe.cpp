// A second process for the spooler tests: reads (GetJobW level 2) or cancels (SetJobW) a job and prints what it saw.
// Usage: spooler_probe <root or -> <printer> <job id> get|cancel
#include "common/win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
#include "zep_platform.h"
#endif

namespace {

std::string Narrow(const WCHAR *s)
{
    std::string out;
    for (; s && *s; ++s) out += *s < 0x80 ? static_cast<char>(*s) : '?';
    return out;
}

std::vector<WCHAR> WideArg(const char *s)
{
    std::vector<WCHAR> out;
    for (; *s; ++s) out.push_back(static_cast<WCHAR>(static_cast<unsigned char>(*s)));
    out.push_back(0);
    return out;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: spooler_probe <root> <printer> <job id> get|cancel\n");
        return 2;
    }
#ifndef _WIN32
    if (std::string(argv[1]) != "-") ZepSetRoot(argv[1]);
#endif
    std::vector<WCHAR> name = WideArg(argv[2]);
    DWORD jobId = static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10));
    std::string action = argv[4];
    HANDLE printer = nullptr;
    if (!OpenPrinterW(name.data(), &printer, nullptr)) {
        std::printf("error=%lu\n", static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    int result = 0;
    if (action == "cancel") {
        if (!SetJobW(printer, jobId, 0, nullptr, JOB_CONTROL_CANCEL)) {
            std::printf("error=%lu\n", static_cast<unsigned long>(GetLastError()));
            result = 1;
        }
    } else {
        DWORD needed = 0;
        GetJobW(printer, jobId, 2, nullptr, 0, &needed);
        std::vector<BYTE> buffer(needed ? needed : 1);
        if (!GetJobW(printer, jobId, 2, buffer.data(), needed, &needed)) {
            std::printf("error=%lu\n", static_cast<unsigned long>(GetLastError()));
            result = 1;
        } else {
            const auto *job = reinterpret_cast<const JOB_INFO_2W *>(buffer.data());
            std::printf("id=%lu\nprinter=%s\ndocument=%s\ndriver=%s\nstatus=%lu\nsize=%lu\npages=%lu\n",
                        static_cast<unsigned long>(job->JobId), Narrow(job->pPrinterName).c_str(),
                        Narrow(job->pDocument).c_str(), Narrow(job->pDriverName).c_str(),
                        static_cast<unsigned long>(job->Status), static_cast<unsigned long>(job->Size),
                        static_cast<unsigned long>(job->TotalPages));
        }
    }
    ClosePrinter(printer);
    return result;
}
