// A function of a system DLL that the launcher does not import: taken from
// the system folder only, so that no copy planted beside the launcher runs,
// and loaded on first use, which keeps it out of the start. The DLL stays for
// the process's life.
#pragma once

#include <windows.h>

namespace trelgate {

// Null when the DLL or the function is not there.
template <class Function>
Function SystemFunction(const wchar_t* dll, const char* name)
{
    HMODULE module = ::LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name))) : nullptr;
}

} // namespace trelgate
