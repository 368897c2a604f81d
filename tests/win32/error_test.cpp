// The thread's last error and the interlocked operations.
#include <atomic>
#include <thread>

#include "win32_test.h"

using namespace zep::test;

TEST(LastError, BelongsToTheThreadThatSetIt)
{
    // The threads hand over through atomics alone: starting or joining a thread may itself set the last error.
    std::atomic<int> step{0};
    DWORD seenByOther = kErrorMarker;
    std::thread other([&] {
        SetLastError(ERROR_FILE_NOT_FOUND);
        step = 1;
        while (step != 2) {
        }
        seenByOther = GetLastError();
    });
    SetLastError(kErrorMarker);
    while (step != 1) {
    }
    DWORD seenHere = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
    step = 2;
    other.join();
    EXPECT_EQ(seenHere, kErrorMarker) << "another thread's SetLastError leaked into this one";
    EXPECT_EQ(seenByOther, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "this thread's SetLastError leaked into the other";
}

TEST(Interlocked, ReturnValuesFollowEachOperation)
{
    LONG volatile value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchange(&value, 9), 5) << "Exchange returns the old value";
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 7), 9) << "no swap when the comparand differs";
    EXPECT_EQ(value, 9);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 9), 9);
    EXPECT_EQ(value, 1);
    value = 0x7fffffff;
    EXPECT_EQ(InterlockedIncrement(&value), static_cast<LONG>(0x80000000)) << "wraps like a 32-bit count";
}

TEST(Interlocked, CountsFromManyThreadsAddUp)
{
    LONG volatile count = 0;
    std::thread threads[4];
    for (auto &t : threads)
        t = std::thread([&] {
            for (int i = 0; i < 20000; ++i) {
                InterlockedIncrement(&count);
                InterlockedIncrement(&count);
                InterlockedDecrement(&count);
            }
        });
    for (auto &t : threads) t.join();
    EXPECT_EQ(count, 4 * 20000);
}

TEST(Clock, TickCountAdvancesAcrossASleep)
{
    DWORD start = GetTickCount();
    Sleep(30);
    DWORD elapsed = GetTickCount() - start; // unsigned difference survives the 49.7-day wrap
    // The tick advances in steps of up to 16 ms, so a 30 ms sleep may read as 14 and some.
    EXPECT_GE(elapsed, 14u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(Clock, LocalTimeFieldsAreInRange)
{
    SYSTEMTIME st;
    FillJunk(&st, sizeof st);
    GetLocalTime(&st);
    EXPECT_GE(st.wYear, 2020);
    EXPECT_TRUE(st.wMonth >= 1 && st.wMonth <= 12);
    EXPECT_TRUE(st.wDay >= 1 && st.wDay <= 31);
    EXPECT_LE(st.wDayOfWeek, 6);
    EXPECT_LE(st.wHour, 23);
    EXPECT_LE(st.wMinute, 59);
    EXPECT_LE(st.wSecond, 59);
    EXPECT_LE(st.wMilliseconds, 999);
}
