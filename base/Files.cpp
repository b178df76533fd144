#include "base/Files.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <vector>

#include "base/ExactEntry.h"

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

} // namespace

void RemoveLeftTemporaries(const std::wstring& root, std::span<const std::wstring> steps, std::wstring_view stem)
{
    const std::wstring folder = PathBelow(root, steps);
    std::vector<std::wstring> entry(steps.begin(), steps.end());
    entry.emplace_back();
    const std::wstring pattern = std::wstring(stem) + L"*-*.tmp";
    ForEachEntry(PathBelow(folder, std::span(&pattern, 1)), EntryFilter::PlainFiles,
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
    // The folder with its separator: "C:" alone would be the drive's current folder.
    RemoveLeftTemporaries(common.substr(0, nameStart), {}, std::wstring_view(common).substr(nameStart));
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
    created_ = static_cast<bool>(file_);
}

TemporaryFile::~TemporaryFile()
{
    file_.reset();
    if (created_ && !committed_)
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
    // The target's creation time and attributes go to the new content. Moved,
    // not replaced: a replace is no single step (Wine's, killed part way,
    // leaves no target at all), and the move keeps the old file or the new one.
    WIN32_FILE_ATTRIBUTE_DATA old{};
    if (::GetFileAttributesExW(target_.c_str(), GetFileExInfoStandard, &old)) {
        FILE_BASIC_INFO basic{};
        basic.CreationTime.LowPart = old.ftCreationTime.dwLowDateTime;
        basic.CreationTime.HighPart = static_cast<LONG>(old.ftCreationTime.dwHighDateTime);
        basic.FileAttributes = old.dwFileAttributes & (FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
        if (!basic.FileAttributes)
            basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file_.get(), FileBasicInfo, &basic, sizeof basic);
    }
    file_.reset();
    committed_ = ::MoveFileExW(name_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    return committed_;
}

bool ReplaceFileContents(const std::wstring& target, std::string_view bytes)
{
    TemporaryFile temporary(target);
    return temporary && temporary.Write(bytes) && temporary.Flush() && temporary.Commit();
}

} // namespace trelgate
