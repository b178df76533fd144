// The file work every part shares: existence tests, filtered listings, whole
// reads, and writing a file so that it is replaced whole or not at all.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/Handle.h"

namespace trelgate {

// The piece in which files are read and written: large enough to keep the
// calls few, small enough that memory use does not grow with the file.
inline constexpr DWORD kFileChunk = 1 << 20;

bool DirectoryExists(const std::wstring& path);
bool FileExists(const std::wstring& path); // a file, not a folder

enum class EntryFilter {
    PlainFiles, // neither folders nor hidden nor system entries
    Folders,    // folders and plain files, no hidden or system entries; the caller keeps the folders
};

// Calls visit for each entry matching pattern that passes filter, "." and ".."
// included; the listing is closed before it returns. Nothing matching, or a
// folder that is missing or unreadable, calls nothing.
void ForEachEntry(const std::wstring& pattern, EntryFilter filter,
                  const std::function<void(const WIN32_FIND_DATAW&)>& visit);

// Removes what writes killed part way left in the folder root + "\" + steps:
// the temporary files ("<stem><digits>-<digits>.tmp") of the targets whose
// names start with stem, or of any target when stem is empty. One still being
// written is open without delete sharing and stays.
void RemoveLeftTemporaries(const std::wstring& root, std::span<const std::wstring> steps, std::wstring_view stem = {});

// The file's bytes, or nothing when it is there but cannot be read; a missing
// file reads as an empty one.
std::optional<std::string> ReadWholeFile(const std::wstring& name);

// The start, up to and with a dot, of a temporary name beside target that
// leaves room more units for its end: the target's own name, cut short where
// the whole would exceed a file name's length limit.
std::wstring TemporaryStem(const std::wstring& target, std::size_t room);

// A new file beside a target, under a name that no other file has and that
// ends in ".tmp", so that no listing of the launcher shows it. What is written
// into it replaces the target only on Commit; otherwise it is removed. The
// temporary files that earlier writes of the same target left are removed first.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::wstring& target);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    explicit operator bool() const { return static_cast<bool>(file_); }
    HANDLE get() const { return file_.get(); }
    const std::wstring& Name() const { return name_; }

    // Writes all of bytes at the current position.
    bool Write(std::string_view bytes);
    // Puts what was written on the disk.
    bool Flush();
    // Puts the flushed content in the target's place in one step; the new file
    // takes a target's creation time and attributes.
    bool Commit();

private:
    std::wstring target_, name_;
    UniqueFile file_;
    bool created_ = false, committed_ = false;
};

// Replaces the file at target with bytes, whole or not at all.
bool ReplaceFileContents(const std::wstring& target, std::string_view bytes);

} // namespace trelgate
