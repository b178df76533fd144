#include "settings/SettingsFile.h"

#include <windows.h>

#include "base/AppError.h"
#include "base/Files.h"
#include "base/Text.h"
#include "settings/TextEncoding.h"

namespace trelgate {

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
    document_.Set(section, key, Utf8FromWide(value));
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
    contents.encoding_ = EncodingOf(bytes);
    contents.document_ =
        IniDocument(contents.encoding_ == TextEncoding::Bytes ? bytes : Utf8FromUtf16File(bytes, contents.encoding_));
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
    if (refused)
        throw AppError(L"In " + fileName_ + L" kann nicht geschrieben werden");
    const std::string text = contents.document_.Bytes();
    if (!ReplaceFileContents(fileName_, contents.encoding_ == TextEncoding::Bytes
                                            ? text
                                            : Utf16FileFromUtf8(text, contents.encoding_)))
        throw AppError(L"In " + fileName_ + L" kann nicht geschrieben werden");
    if (exists && (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
        ::SetFileAttributesW(fileName_.c_str(), attributes);
}

} // namespace trelgate
