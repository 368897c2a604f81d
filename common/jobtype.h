// The job types: the options of "ZPJob_Type".
#pragma once
#include "common/win32.h"

namespace zep {

// In the order the model's PPD lists the options, so a value is also the selection of the core's job-type item
// that the Job Options page keeps in its slot.
enum class JobType : DWORD { Normal = 0, Spool = 1, Secure = 2, SecureChip = 3, Other = 4 };

// The job type named by an option of "ZPJob_Type"; Other for anything else, "" and null included.
JobType JobTypeFromOption(LPCSTR option);

// The slot selection of a job type.
constexpr DWORD JobTypeSel(JobType type) { return static_cast<DWORD>(type); }

} // namespace zep
