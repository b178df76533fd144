#include "settings/TextEncoding.h"

#include <cstdint>

namespace trelgate {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUnit(std::string& out, char16_t unit, bool bigEndian)
{
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The code point that starts at text[i], and its length; an ill-formed
// sequence is one byte of U+FFFD.
std::pair<char32_t, std::size_t> NextCodePoint(std::string_view text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 1)
        return {lead, 1};
    if (length == 0 || i + length > text.size())
        return {kReplacement, 1};
    char32_t c = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return {kReplacement, 1};
        c = c << 6 | (byte(i + k) & 0x3F);
    }
    return {c <= 0x10FFFF ? c : kReplacement, length};
}

} // namespace

TextEncoding EncodingOf(std::string_view file)
{
    if (file.starts_with("\xFF\xFE"))
        return TextEncoding::Utf16LE;
    if (file.starts_with("\xFE\xFF"))
        return TextEncoding::Utf16BE;
    return TextEncoding::Bytes;
}

std::string Utf8FromUtf16File(std::string_view file, TextEncoding encoding)
{
    const bool bigEndian = encoding == TextEncoding::Utf16BE;
    file.remove_prefix(2);
    const auto unitAt = [&](std::size_t i) -> char32_t {
        const auto first = static_cast<unsigned char>(file[i]), second = static_cast<unsigned char>(file[i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string text;
    text.reserve(file.size());
    std::size_t i = 0;
    for (; i + 1 < file.size(); i += 2) {
        const char32_t unit = unitAt(i);
        if (IsHighSurrogate(unit) && i + 3 < file.size() && IsLowSurrogate(unitAt(i + 2))) {
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00));
            i += 2;
        } else {
            AppendUtf8(text, unit);
        }
    }
    if (i < file.size())
        AppendUtf8(text, kReplacement);
    return text;
}

std::string Utf16FileFromUtf8(std::string_view text, TextEncoding encoding)
{
    const bool bigEndian = encoding == TextEncoding::Utf16BE;
    std::string file;
    file.reserve(2 + 2 * text.size());
    AppendUnit(file, 0xFEFF, bigEndian);
    for (std::size_t i = 0; i < text.size();) {
        const auto [c, length] = NextCodePoint(text, i);
        i += length;
        if (c >= 0x10000) {
            AppendUnit(file, static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)), bigEndian);
            AppendUnit(file, static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)), bigEndian);
        } else {
            AppendUnit(file, static_cast<char16_t>(c), bigEndian);
        }
    }
    return file;
}

} // namespace trelgate
