// The encodings a settings file may come in: bytes (UTF-8 or the ANSI code
// page, value by value), or UTF-16 as Notepad and the profile functions write
// it, known by its byte-order mark.
#pragma once

#include <string>
#include <string_view>

namespace trelgate {

enum class TextEncoding { Bytes, Utf16LE, Utf16BE };

// The encoding that a file's first bytes declare.
TextEncoding EncodingOf(std::string_view file);

// A UTF-16 file, byte-order mark included, as UTF-8 text without it. A lone
// surrogate keeps its value in the three-byte form, so that it comes back
// unchanged; a stray last byte reads as U+FFFD.
std::string Utf8FromUtf16File(std::string_view file, TextEncoding encoding);

// UTF-8 text, lone surrogates included, as a UTF-16 file with its mark.
std::string Utf16FileFromUtf8(std::string_view text, TextEncoding encoding);

} // namespace trelgate
