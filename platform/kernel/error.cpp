// The thread's last error and the interlocked operations.

#include "win32/kernel.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

extern "C" {

// Each thread has its own last error, 0 until something sets it.
DWORD WINAPI GetLastError() { return t_lastError; }

// Sets the calling thread's last error only.
void WINAPI SetLastError(DWORD code) { t_lastError = code; }

// Full-barrier atomic increment; returns the new value.
LONG WINAPI InterlockedIncrement(LONG volatile *p) { return __atomic_add_fetch(p, 1, __ATOMIC_SEQ_CST); }

// Full-barrier atomic decrement; returns the new value.
LONG WINAPI InterlockedDecrement(LONG volatile *p) { return __atomic_sub_fetch(p, 1, __ATOMIC_SEQ_CST); }

// Stores `value`; returns the value it replaced.
LONG WINAPI InterlockedExchange(LONG volatile *p, LONG value) { return __atomic_exchange_n(p, value, __ATOMIC_SEQ_CST); }

// Stores `exchange` only when the target equals `comparand`; returns the target's value before the call.
LONG WINAPI InterlockedCompareExchange(LONG volatile *p, LONG exchange, LONG comparand)
{
    LONG expected = comparand;
    __atomic_compare_exchange_n(p, &expected, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    return expected;
}
}
