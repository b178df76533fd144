#include "settings/IniDocument.h"

#include <limits>

namespace trelgate {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line)
{
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// A "key=value" line's key, or nothing for a line without "=" or a comment.
std::optional<std::string_view> KeyName(std::string_view line)
{
    const auto equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = Trim(line.substr(0, equals));
    if (key.empty() || key.front() == ';')
        return std::nullopt;
    return key;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

IniDocument::IniDocument(std::string_view bytes)
{
    if (bytes.starts_with(kUtf8Bom)) {
        bom_ = kUtf8Bom;
        bytes.remove_prefix(kUtf8Bom.size());
    }
    while (!bytes.empty()) {
        const auto newline = bytes.find('\n');
        std::string_view text = bytes.substr(0, newline);
        std::string_view end;
        if (newline != std::string_view::npos) {
            const bool crlf = !text.empty() && text.back() == '\r';
            if (crlf)
                text.remove_suffix(1);
            end = crlf ? "\r\n" : "\n";
        }
        lines_.push_back({std::string(text), end});
        bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
    }
}

std::optional<IniDocument::Found> IniDocument::Find(std::string_view section, std::string_view key) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const auto name = SectionName(lines_[i].text);
        if (!name || !SameName(*name, section))
            continue;
        Found found{i, i, std::nullopt};
        for (std::size_t j = i + 1; j < lines_.size() && !SectionName(lines_[j].text); ++j) {
            const auto k = KeyName(lines_[j].text);
            if (!k)
                continue;
            found.lastKeyLine = j;
            if (SameName(*k, key)) {
                found.keyLine = j;
                break;
            }
        }
        return found;
    }
    return std::nullopt;
}

std::optional<std::string> IniDocument::Get(std::string_view section, std::string_view key) const
{
    const auto found = Find(section, key);
    if (!found || !found->keyLine)
        return std::nullopt;
    const std::string& line = lines_[*found->keyLine].text;
    std::string_view value = Trim(std::string_view(line).substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value)
{
    const auto found = Find(section, key);
    if (found && found->keyLine) {
        std::string& line = lines_[*found->keyLine].text;
        line.replace(line.find('=') + 1, std::string::npos, value);
        return;
    }
    std::string entry(key);
    entry.append("=").append(value);
    if (found) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(found->lastKeyLine) + 1, {entry, "\r\n"});
        if (lines_[found->lastKeyLine].end.empty()) // the key before was the file's unterminated last line
            lines_[found->lastKeyLine].end = "\r\n";
        return;
    }
    if (!lines_.empty() && lines_.back().end.empty())
        lines_.back().end = "\r\n";
    std::string header("[");
    header.append(section).append("]");
    lines_.push_back({std::move(header), "\r\n"});
    lines_.push_back({entry, "\r\n"});
}

std::string IniDocument::Bytes() const
{
    std::string bytes = bom_;
    for (const Line& line : lines_) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

std::optional<std::int32_t> ParseProfileInt(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;

    std::size_t prefix = 0;
    if (text.front() == '$' || text.front() == 'x')
        prefix = 1;
    else if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        prefix = 2;
    if (prefix) {
        text.remove_prefix(prefix);
        if (text.empty())
            return std::nullopt;
        std::uint32_t value = 0;
        for (char c : text) {
            const int digit = HexDigit(c);
            if (digit < 0 || value > 0x0FFFFFFFu)
                return std::nullopt;
            value = value << 4 | static_cast<std::uint32_t>(digit);
        }
        return static_cast<std::int32_t>(value); // all 32 bits, as the old launcher read them
    }

    const bool negative = text.front() == '-';
    if (text.front() == '-' || text.front() == '+')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length;
        std::uint32_t code;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, code = lead & 0x07u;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3Fu);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
            return false;
        i += length;
    }
    return true;
}

} // namespace trelgate
