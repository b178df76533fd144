// An INI file held as its own bytes, line by line, so that whatever the
// launcher does not write stays exactly as it was. Section and key names are
// ASCII and match without regard to case; values are bytes in the file's
// encoding, which the caller converts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelgate {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

class IniDocument {
public:
    IniDocument() = default;
    explicit IniDocument(std::string_view bytes);

    // The value of the first such key in the first such section, without the
    // blanks around it and one pair of enclosing quotes, as profile readers do.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // Replaces the value of that key, or adds the key at the end of its
    // section, or adds the section at the end of the file.
    void Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Bytes() const;

private:
    struct Line {
        std::string text; // without its line break
        std::string_view end; // "\r\n", "\n" or "" for a last line without one
    };
    struct Found {
        std::size_t sectionLine; // the section's header
        std::size_t lastKeyLine; // where a new key goes after
        std::optional<std::size_t> keyLine;
    };
    std::optional<Found> Find(std::string_view section, std::string_view key) const;

    std::string bom_; // a UTF-8 byte-order mark before the first line, kept
    std::vector<Line> lines_;
};

// A boolean as profile files hold it: an integer after optional blanks,
// decimal with an optional sign, or hexadecimal after "$", "x", "0x" or "0X".
// Nothing else is an integer.
std::optional<std::int32_t> ParseProfileInt(std::string_view text);

// Whether the bytes are well-formed UTF-8 (plain ASCII is).
bool IsValidUtf8(std::string_view bytes);

} // namespace trelgate
