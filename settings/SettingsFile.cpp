#include "settings/SettingsFile.h"

#include <windows.h>

#include <algorithm>

#include "app/AppError.h"
#include "app/Handle.h"

namespace trelgate {
namespace {

std::wstring Decode(std::string_view bytes, UINT codePage)
{
    if (bytes.empty())
        return {};
    const int n = ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(n, L'\0');
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), n);
    return text;
}

std::string Utf8(std::wstring_view text)
{
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string bytes(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

// The file's bytes, or nothing when it is there but cannot be read; a missing
// file is an empty one.
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
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr))
            return std::nullopt;
        if (read == 0)
            return bytes;
        bytes.append(buffer, read);
    }
}

bool WriteWholeFile(const std::wstring& name, std::string_view bytes)
{
    UniqueFile file(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    if (!file)
        return false;
    // In pieces: one call need not write everything it is given.
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 64 * 1024));
        DWORD written = 0;
        if (!::WriteFile(file.get(), bytes.data(), piece, &written, nullptr) || written == 0)
            return false;
        bytes.remove_prefix(written);
    }
    return ::FlushFileBuffers(file.get()) != FALSE;
}

} // namespace

std::wstring TSettingsFile::Contents::ReadString(std::string_view section, std::string_view key,
                                                 std::wstring_view fallback) const
{
    const auto value = document_.Get(section, key);
    if (!value)
        return std::wstring(fallback);
    // Each value as it was written: ours in UTF-8, an older launcher's in the
    // ANSI code page, which is almost never well-formed UTF-8. One file may
    // hold both, and other programs' bytes besides.
    std::wstring text = Decode(*value, IsValidUtf8(*value) ? CP_UTF8 : CP_ACP);
    if (text.size() > kMaxSettingLength)
        text.resize(kMaxSettingLength);
    return text;
}

bool TSettingsFile::Contents::ReadBool(std::string_view section, std::string_view key, bool fallback) const
{
    const auto value = document_.Get(section, key);
    const auto number = value ? ParseProfileInt(*value) : std::nullopt;
    return number ? *number != 0 : fallback;
}

void TSettingsFile::Contents::WriteString(std::string_view section, std::string_view key, std::wstring_view value)
{
    document_.Set(section, key, Utf8(value));
}

void TSettingsFile::Contents::WriteBool(std::string_view section, std::string_view key, bool value)
{
    document_.Set(section, key, value ? "1" : "0");
}

TSettingsFile::Contents TSettingsFile::Read() const
{
    const std::optional<std::string> read = ReadWholeFile(fileName_);
    const std::string bytes = read.value_or(std::string{});
    Contents contents;
    contents.unreadable_ = !read;
    contents.document_ = IniDocument(bytes);
    return contents;
}

void TSettingsFile::Write(const Contents& contents) const
{
    const DWORD attributes = ::GetFileAttributesW(fileName_.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    // Replacing by a move would pass a read-only file by; Windows refuses to
    // write one, and so does the launcher. Nor does it write over a file it
    // could not read: what it did not read would be lost.
    const bool refused = contents.unreadable_ ||
                         (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)));
    const std::wstring temporary = fileName_ + L".tmp";
    const bool written = !refused && WriteWholeFile(temporary, contents.document_.Bytes()) &&
                         ::MoveFileExW(temporary.c_str(), fileName_.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!written) {
        ::DeleteFileW(temporary.c_str());
        throw AppError(L"In " + fileName_ + L" kann nicht geschrieben werden");
    }
    if (exists && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        ::SetFileAttributesW(fileName_.c_str(), attributes);
}

} // namespace trelgate
