// Resolving a library's exports by name with their real signatures.
#pragma once
#include <type_traits>

#include "common/win32.h"

namespace zep {

// GetProcAddress gives a generic entry point; the export's real signature is restored through void *. Null for a
// null module or a missing export.
template <typename Fn>
Fn GetExport(HMODULE module, LPCSTR name)
{
    static_assert(std::is_pointer_v<Fn> && std::is_function_v<std::remove_pointer_t<Fn>>);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void *>(GetProcAddress(module, name))) : nullptr;
}

} // namespace zep
