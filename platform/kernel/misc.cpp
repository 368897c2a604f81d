// Sleeping and the clocks.
#include <sched.h>
#include <sys/time.h>
#include <time.h>

#include <cerrno>

#include "win32/kernel.h"

extern "C" {

// Sleep(0) gives up the rest of the time slice; INFINITE never returns.
void WINAPI Sleep(DWORD ms)
{
    if (ms == 0) {
        sched_yield();
        return;
    }
    if (ms == INFINITE) {
        for (;;) {
            timespec day{86400, 0};
            nanosleep(&day, nullptr);
        }
    }
    timespec left{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

// Milliseconds since an arbitrary start, wrapping to 0 after 49.7 days as a 32-bit count does.
DWORD WINAPI GetTickCount()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<DWORD>(static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

// Local wall-clock time with milliseconds; day of week 0 is Sunday.
void WINAPI GetLocalTime(SYSTEMTIME *st)
{
    if (!st) return;
    timeval now{};
    gettimeofday(&now, nullptr);
    time_t seconds = now.tv_sec;
    tm local{};
    localtime_r(&seconds, &local);
    st->wYear = static_cast<WORD>(local.tm_year + 1900);
    st->wMonth = static_cast<WORD>(local.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    st->wDay = static_cast<WORD>(local.tm_mday);
    st->wHour = static_cast<WORD>(local.tm_hour);
    st->wMinute = static_cast<WORD>(local.tm_min);
    st->wSecond = static_cast<WORD>(local.tm_sec);
    st->wMilliseconds = static_cast<WORD>(now.tv_usec / 1000);
}
}
