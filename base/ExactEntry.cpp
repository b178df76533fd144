#include "base/ExactEntry.h"

#include <memory>
#include <optional>
#include <vector>

#include "base/SystemDll.h"

namespace trelgate {
namespace {

// The name of what a handle opened, links resolved, each step spelled as on
// disk (long names, letter case), whatever its length. Wine's
// GetFinalPathNameByHandleW stops at MAX_PATH units; there the name the
// object holds is spelled so already, and in the same form.
std::wstring OpenedName(HANDLE handle)
{
    constexpr DWORD kForm = FILE_NAME_NORMALIZED | VOLUME_NAME_NT;
    if (const DWORD room = ::GetFinalPathNameByHandleW(handle, nullptr, 0, kForm); room != 0) {
        std::wstring name(room, L'\0');
        const DWORD length = ::GetFinalPathNameByHandleW(handle, name.data(), room, kForm);
        if (length != 0 && length < room) {
            name.resize(length);
            return name;
        }
    }
    struct Name {
        USHORT length, maximumLength;
        PWSTR buffer;
    };
    constexpr int kObjectNameInformation = 1;
    using Query = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    static const auto query = SystemFunction<Query>(L"ntdll.dll", "NtQueryObject");
    constexpr ULONG kRoom = sizeof(Name) + 0x10000;
    const std::unique_ptr<std::byte[]> buffer(new std::byte[kRoom]());
    const auto* name = reinterpret_cast<const Name*>(buffer.get());
    if (!query || query(handle, kObjectNameInformation, buffer.get(), kRoom, nullptr) != 0 || !name->buffer)
        return {};
    return std::wstring(name->buffer, name->length / sizeof(wchar_t));
}

std::wstring_view WithoutTrailingDots(std::wstring_view name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' '))
        name.remove_suffix(1);
    return name;
}

// A name as Wine reports it, which leaves out the dots and blanks that end a step.
std::wstring Comparable(std::wstring_view path)
{
    std::wstring comparable;
    for (std::size_t start = 0; start <= path.size();) {
        const std::size_t end = std::min(path.find(L'\\', start), path.size());
        comparable.append(WithoutTrailingDots(path.substr(start, end - start)));
        if (end < path.size())
            comparable += L'\\';
        start = end + 1;
    }
    return comparable;
}

// A junction or a symbolic link, as a folder's listing marks it; Wine marks a
// link to a folder so, with no tag.
bool IsLink(const WIN32_FIND_DATAW& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (entry.dwReserved0 == 0 || IsReparseTagNameSurrogate(entry.dwReserved0));
}

// The entry's own name as its folder lists it (the long name for a short one),
// or nothing when it is not there or is a link.
std::optional<std::wstring> OwnName(const std::wstring& path)
{
    WIN32_FIND_DATAW entry;
    const UniqueFind find(::FindFirstFileW(path.c_str(), &entry));
    if (!find || IsLink(entry))
        return std::nullopt;
    return std::wstring(entry.cFileName);
}

UniqueFile OpenAsItself(const std::wstring& path, DWORD access, DWORD share)
{
    return UniqueFile(::CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Under Wine a name that ends in dots or blanks is reported without them, as
// the entry beside it without them would be: a Unix link from one to the other
// is told apart only by being that other file.
bool IsTheEntryWithoutTrailingDots(const std::wstring& folder, std::wstring_view name, HANDLE opened)
{
    const std::wstring bare(WithoutTrailingDots(name));
    if (bare.empty())
        return false;
    const UniqueFile other = OpenAsItself(PathBelow(folder, std::span(&bare, 1)), FILE_READ_ATTRIBUTES, kShareAll);
    return other && SameFile(other.get(), opened);
}

// Whether an open handle is the file that the information was read from.
bool IsFile(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& file)
{
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileInformationByHandle(handle, &info) && info.dwVolumeSerialNumber == file.dwVolumeSerialNumber &&
           info.nFileIndexHigh == file.nFileIndexHigh && info.nFileIndexLow == file.nFileIndexLow;
}

} // namespace

std::wstring PathBelow(std::wstring root, std::span<const std::wstring> steps)
{
    for (const std::wstring& step : steps) {
        if (!root.ends_with(L'\\'))
            root += L'\\';
        root += step;
    }
    return root;
}

bool SameFile(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION x{};
    return ::GetFileInformationByHandle(a, &x) && IsFile(b, x);
}

UniqueFile OpenExactly(const std::wstring& root, std::span<const std::wstring> steps, DWORD access, DWORD share)
{
    const UniqueFile folder(::CreateFileW(root.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    std::wstring expected = folder ? OpenedName(folder.get()) : std::wstring();
    if (expected.empty() || steps.empty())
        return {};
    // What the handle must turn out to have opened: the root's own name and
    // each step's own name, as their folders list them.
    std::wstring path = root;
    for (const std::wstring& step : steps) {
        path = PathBelow(path, std::span(&step, 1));
        const std::optional<std::wstring> own = OwnName(path);
        if (!own)
            return {};
        expected = PathBelow(expected, std::span(&*own, 1));
    }
    UniqueFile entry = OpenAsItself(path, access, share);
    BY_HANDLE_FILE_INFORMATION info{};
    if (!entry || !::GetFileInformationByHandle(entry.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || Comparable(OpenedName(entry.get())) != Comparable(expected))
        return {};
    // A step ending in dots may be a Unix link to the same name without them.
    std::wstring parent = root;
    for (const std::wstring& step : steps) {
        const std::wstring stepPath = PathBelow(parent, std::span(&step, 1));
        if (WithoutTrailingDots(step).size() != step.size()) {
            const UniqueFile stepHandle = OpenAsItself(stepPath, FILE_READ_ATTRIBUTES, kShareAll);
            if (!stepHandle || IsTheEntryWithoutTrailingDots(parent, step, stepHandle.get()))
                return {};
        }
        parent = stepPath;
    }
    return entry;
}

bool DeleteExactly(const std::wstring& root, std::span<const std::wstring> steps)
{
    BY_HANDLE_FILE_INFORMATION info{};
    {
        const UniqueFile file = OpenExactly(root, steps, DELETE | FILE_READ_ATTRIBUTES, kShareAll);
        FILE_DISPOSITION_INFO dispose{TRUE};
        if (!file || !::GetFileInformationByHandle(file.get(), &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ||
            !::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose))
            return false;
    }
    // Gone when its name finds nothing, or another file (a case twin under Wine).
    const UniqueFile again = OpenExactly(root, steps, FILE_READ_ATTRIBUTES, kShareAll);
    return !(again && IsFile(again.get(), info));
}

} // namespace trelgate
