// The launcher's settings file. It holds only the file's name: every read
// takes the file as it is, and every write replaces it whole, so that an
// interrupted save leaves the old file or the new one, never half of one.
#pragma once

#include <string>
#include <string_view>

#include "settings/IniDocument.h"
#include "settings/TextEncoding.h"

namespace trelgate {

class TSettingsFile {
public:
    explicit TSettingsFile(std::wstring fileName) : fileName_(std::move(fileName)) {}
    const std::wstring& FileName() const { return fileName_; }

    // The file's contents as they are now; a missing or unreadable file reads
    // as an empty one, and an unreadable one is not written over.
    class Contents {
    public:
        std::wstring ReadString(std::string_view section, std::string_view key, std::wstring_view fallback) const;
        bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
        void WriteString(std::string_view section, std::string_view key, std::wstring_view value);
        void WriteBool(std::string_view section, std::string_view key, bool value);

    private:
        friend class TSettingsFile;
        IniDocument document_;
        TextEncoding encoding_ = TextEncoding::Bytes; // written back as it was read
        bool unreadable_ = false; // there, but not read: a save would lose it
    };

    Contents Read() const;
    // Replaces the file with these contents; raises AppError when it cannot.
    void Write(const Contents& contents) const;

private:
    std::wstring fileName_;
};

// The longest text value a read returns, as the old launcher's buffer held.
inline constexpr std::size_t kMaxSettingLength = 2047;

} // namespace trelgate
