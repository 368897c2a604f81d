// Kernel objects behind HANDLEs: one table for files, find handles and any later kind (mutexes, mappings, pipes).
#pragma once
#include <memory>

#include "win32/kernel.h"

namespace zw {

// A kind of kernel object overrides the operations it supports; the others fail as Windows fails them on an
// object of the wrong kind. Each returns a Win32 error code, ERROR_SUCCESS on success.
class KernelObject {
public:
    virtual ~KernelObject() = default;
    virtual DWORD Read(void *buffer, DWORD size, DWORD *done)
    {
        *done = 0;
        return ERROR_INVALID_HANDLE;
    }
    virtual DWORD Write(const void *buffer, DWORD size, DWORD *done)
    {
        *done = 0;
        return ERROR_INVALID_HANDLE;
    }
    virtual DWORD Flush() { return ERROR_INVALID_HANDLE; }
};

// Adds an object and returns its new handle (never NULL or INVALID_HANDLE_VALUE, never reused).
HANDLE InsertObject(std::shared_ptr<KernelObject> object);
// The object a handle names, or null. The reference keeps it alive even if the handle is closed meanwhile.
std::shared_ptr<KernelObject> LookupObject(HANDLE handle);
template <typename T>
std::shared_ptr<T> LookupObjectAs(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(LookupObject(handle));
}
// Drops the handle; false when it names nothing.
bool RemoveObject(HANDLE handle);

// The Win32 error for an errno of a call on `hostPath` (ENOENT tells a missing file from a missing folder).
DWORD ErrorFromErrno(int err, const char *hostPath = nullptr);

} // namespace zw
