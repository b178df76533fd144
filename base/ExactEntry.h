// An entry below a folder opened as itself, never through a link: the
// guarantee every write of the store rests on.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "base/Handle.h"

namespace trelgate {

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The entry root + "\" + steps opened as itself, with the given access and
// sharing: refused (an invalid handle) when any step is a link or leads
// elsewhere: a junction or symbolic link (other reparse points, such as a
// cloud file's placeholder, are files like any other), or under Wine a Unix
// link, which carries no mark but opens its target. The names must be the
// entries' own, letter case included: a short name or another spelling of a
// case-sensitive folder is refused too. Root itself may be a link.
UniqueFile OpenExactly(const std::wstring& root, std::span<const std::wstring> steps, DWORD access, DWORD share);

// Whether two handles are the same file.
bool SameFile(HANDLE a, HANDLE b);

// Deletes the plain file root + "\" + steps, opened exactly; a read-only one is
// refused, as Windows does. True only when the file is gone: Wine reports a
// deletion in a folder it cannot write to as done and leaves the file.
bool DeleteExactly(const std::wstring& root, std::span<const std::wstring> steps);

// root + "\" + steps as one path.
std::wstring PathBelow(std::wstring root, std::span<const std::wstring> steps);

} // namespace trelgate
