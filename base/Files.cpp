#include "base/Files.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "base/SystemDll.h"

namespace trelgate {
namespace {

bool Passes(DWORD attributes, EntryFilter filter)
{
    if (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))
        return false;
    return filter == EntryFilter::Folders || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file name holds at most 255 UTF-16 units on the file systems Windows writes to.
constexpr std::size_t kMaxNameLength = 255;
// The most that "<pid>-<counter>.tmp" adds after the stem's dot.
constexpr std::size_t kTemporaryRoom = 10 + 1 + 10 + 4;

// Whether name is stem + "<digits>-<digits>.tmp", a temporary file of ours;
// an empty stem stands for any name ending in a dot.
bool IsTemporaryOf(std::wstring_view name, std::wstring_view stem)
{
    if (!name.starts_with(stem) || !name.ends_with(L".tmp"))
        return false;
    name = name.substr(stem.size(), name.size() - stem.size() - 4);
    if (stem.empty()) {
        const auto dot = name.rfind(L'.');
        if (dot == std::wstring_view::npos || dot == 0)
            return false;
        name.remove_prefix(dot + 1);
    }
    const auto dash = name.find(L'-');
    const auto digits = [](std::wstring_view part) {
        return !part.empty() && part.find_first_not_of(L"0123456789") == std::wstring_view::npos;
    };
    return dash != std::wstring_view::npos && digits(name.substr(0, dash)) && digits(name.substr(dash + 1));
}

// The name of what a handle opened, as the system holds it: links resolved,
// whatever its length. GetFinalPathNameByHandleW would do, but Wine's stops
// at MAX_PATH units.
std::wstring OpenedName(HANDLE handle)
{
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

// A name as Wine reports it: it leaves out the dots and blanks that end a step.
std::wstring Comparable(std::wstring_view path)
{
    std::wstring comparable;
    for (std::size_t start = 0; start <= path.size();) {
        std::size_t end = std::min(path.find(L'\\', start), path.size());
        std::wstring_view step = path.substr(start, end - start);
        while (!step.empty() && (step.back() == L'.' || step.back() == L' '))
            step.remove_suffix(1);
        comparable.append(step).append(end < path.size() ? L"\\" : L"");
        start = end + 1;
    }
    return comparable;
}

// The same entry: equal without regard to case, as the file system compares names.
bool SamePath(std::wstring_view a, std::wstring_view b)
{
    const std::wstring x = Comparable(a), y = Comparable(b);
    return ::CompareStringOrdinal(x.data(), static_cast<int>(x.size()), y.data(), static_cast<int>(y.size()), TRUE) ==
           CSTR_EQUAL;
}

// Whether any step below root is marked as a link; under Wine only a link to a
// folder is, and only in its folder's listing, not on the opened handle.
bool AnyStepMarked(std::wstring path, std::span<const std::wstring> steps)
{
    for (const std::wstring& step : steps) {
        path += L"\\" + step;
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
    }
    return false;
}

std::wstring Below(std::wstring path, std::span<const std::wstring> steps)
{
    for (const std::wstring& step : steps)
        path += L"\\" + step;
    return path;
}

// Whether the file behind a handle is still there under its name: not when
// the name finds nothing, or another file (a case twin under Wine).
bool StillThere(const std::wstring& root, std::span<const std::wstring> steps, const BY_HANDLE_FILE_INFORMATION& was)
{
    const UniqueFile again = OpenExactly(root, steps, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    BY_HANDLE_FILE_INFORMATION now{};
    return again && ::GetFileInformationByHandle(again.get(), &now) &&
           now.dwVolumeSerialNumber == was.dwVolumeSerialNumber && now.nFileIndexHigh == was.nFileIndexHigh &&
           now.nFileIndexLow == was.nFileIndexLow;
}

} // namespace

UniqueFile OpenExactly(const std::wstring& root, std::span<const std::wstring> steps, DWORD access, DWORD share)
{
    constexpr DWORD kAsItself = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
    const UniqueFile folder(::CreateFileW(root.c_str(), FILE_READ_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring rootFinal = folder ? OpenedName(folder.get()) : std::wstring();
    if (rootFinal.empty() || AnyStepMarked(root, steps))
        return {};
    UniqueFile entry(::CreateFileW(Below(root, steps).c_str(), access, share, nullptr, OPEN_EXISTING, kAsItself, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!entry || !::GetFileInformationByHandle(entry.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !SamePath(OpenedName(entry.get()), Below(rootFinal, steps)))
        return {};
    return entry;
}

bool DeleteExactly(const std::wstring& root, std::span<const std::wstring> steps)
{
    BY_HANDLE_FILE_INFORMATION info{};
    {
        const UniqueFile file =
            OpenExactly(root, steps, DELETE | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        FILE_DISPOSITION_INFO dispose{TRUE};
        if (!file || !::GetFileInformationByHandle(file.get(), &info) ||
            (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ||
            !::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose))
            return false;
    }
    return !StillThere(root, steps, info);
}

void RemoveLeftTemporaries(const std::wstring& root, std::span<const std::wstring> steps, std::wstring_view stem)
{
    const std::wstring folder = Below(root, steps);
    std::vector<std::wstring> entry(steps.begin(), steps.end());
    entry.emplace_back();
    ForEachEntry(folder + L"\\" + std::wstring(stem) + L"*-*.tmp", EntryFilter::PlainFiles,
                 [&](const WIN32_FIND_DATAW& found) {
                     if (IsTemporaryOf(found.cFileName, stem)) {
                         entry.back() = found.cFileName;
                         DeleteExactly(root, entry);
                     }
                 });
}

std::wstring TemporaryStem(const std::wstring& target, std::size_t room)
{
    const std::size_t nameStart = target.find_last_of(L'\\') + 1;
    std::size_t keep = target.size() - nameStart;
    if (keep + 1 + room > kMaxNameLength) {
        keep = kMaxNameLength - 1 - room;
        // Never half a surrogate pair: the name would not be valid UTF-16.
        if (IS_HIGH_SURROGATE(target[nameStart + keep - 1]))
            --keep;
    }
    return target.substr(0, nameStart + keep) + L".";
}

bool DirectoryExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Asked of the attributes, not of a directory search, so that a wildcard in
// the path matches nothing and an odd time stamp hides no file.
bool FileExists(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ForEachEntry(const std::wstring& pattern, EntryFilter filter,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit)
{
    WIN32_FIND_DATAW entry;
    const UniqueFind find(::FindFirstFileW(pattern.c_str(), &entry));
    if (!find)
        return;
    do {
        if (Passes(entry.dwFileAttributes, filter))
            visit(entry);
    } while (::FindNextFileW(find.get(), &entry));
}

std::optional<std::string> ReadWholeFile(const std::wstring& name)
{
    UniqueFile file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return std::string{};
        return std::nullopt;
    }
    std::string bytes;
    std::string buffer(kFileChunk, '\0');
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer.data(), kFileChunk, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            return bytes;
        bytes.append(buffer.data(), read);
    }
}

TemporaryFile::TemporaryFile(const std::wstring& target) : target_(target)
{
    // A stale file of an earlier run, or anything else of the same name, only
    // moves this one on to the next name.
    static std::atomic<unsigned> counter{0};
    const std::wstring common = TemporaryStem(target, kTemporaryRoom);
    const std::size_t nameStart = common.find_last_of(L'\\') + 1;
    RemoveLeftTemporaries(common.substr(0, nameStart - 1), {}, std::wstring_view(common).substr(nameStart));
    const std::wstring stem = common + std::to_wstring(::GetCurrentProcessId()) + L"-";
    for (int attempt = 0; attempt < 100 && !file_; ++attempt) {
        name_ = stem + std::to_wstring(++counter) + L".tmp";
        file_.reset(::CreateFileW(name_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
        // Only a name that is taken moves on; a folder that takes no file stops.
        const DWORD error = ::GetLastError();
        const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                           (error == ERROR_ACCESS_DENIED && ::GetFileAttributesW(name_.c_str()) != INVALID_FILE_ATTRIBUTES);
        if (!file_ && !taken)
            break;
    }
}

TemporaryFile::~TemporaryFile()
{
    file_.reset();
    if (!committed_)
        ::DeleteFileW(name_.c_str());
}

bool TemporaryFile::Write(std::string_view bytes)
{
    // In pieces: one call need not write everything it is given.
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kFileChunk));
        DWORD written = 0;
        if (!::WriteFile(file_.get(), bytes.data(), piece, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool TemporaryFile::Flush() { return file_ && ::FlushFileBuffers(file_.get()); }

bool TemporaryFile::Commit()
{
    if (!file_)
        return false;
    // What Windows' replace keeps of the target, given to the new content
    // first, since Wine's keeps none of it.
    WIN32_FILE_ATTRIBUTE_DATA old{};
    const bool replacing = ::GetFileAttributesExW(target_.c_str(), GetFileExInfoStandard, &old);
    if (replacing) {
        FILE_BASIC_INFO basic{};
        basic.CreationTime.LowPart = old.ftCreationTime.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(old.ftCreationTime.dwHighDateTime);
        basic.FileAttributes = old.dwFileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (!basic.FileAttributes)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic);
    }
    file_.reset();
    const auto move = [this](DWORD flags = 0) {
        return ::MoveFileExW(name_.c_str(), target_.c_str(), flags | MOVEFILE_WRITE_THROUGH) != FALSE;
    };
    if (!replacing)
        return committed_ = move();
    // Wine's replace puts the target's folder and a temporary name of its own
    // into MAX_PATH characters and overruns them when they do not fit.
    if (target_.size() + 10 >= MAX_PATH)
        return committed_ = move(MOVEFILE_REPLACE_EXISTING);
    if (::ReplaceFileW(target_.c_str(), name_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
        return committed_ = true;
    if (::GetLastError() != ERROR_UNABLE_TO_MOVE_REPLACEMENT)
        return false;
    // The target is gone and the new content still under its temporary name:
    // moved into place, or else kept there, the only copy left.
    committed_ = true;
    return move();
}

bool ReplaceFileContents(const std::wstring& target, std::string_view bytes)
{
    TemporaryFile temporary(target);
    return temporary && temporary.Write(bytes) && temporary.Flush() && temporary.Commit();
}

} // namespace trelgate
