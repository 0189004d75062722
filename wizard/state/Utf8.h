#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// One character of a UTF-8 text: its code point and the bytes it takes.
struct Utf8Char {
    char32_t code = 0;
    std::size_t length = 0;
};

// The well-formed UTF-8 sequence at the start of a text; none when the text is empty or its
// first byte begins no well-formed sequence: a stray continuation byte, a lead byte that no
// sequence has (F8..FF), a sequence cut short, an overlong form, a surrogate (U+D800..DFFF)
// or a value beyond U+10FFFF.
std::optional<Utf8Char> decodeUtf8(std::string_view text);

// The bytes the first character of a non-empty text takes: the length of its well-formed
// sequence, or 1 for a byte that begins none (such a byte counts as a character of its own).
std::size_t characterLength(std::string_view text);

// Whether a byte continues a UTF-8 sequence (10xxxxxx) rather than beginning one.
constexpr bool isUtf8Continuation(unsigned char byte) {
    return (byte & 0xC0U) == 0x80U;
}

// Appends a code point (below U+110000, not a surrogate) in UTF-8.
void appendUtf8(std::string& out, char32_t code);

} // namespace tavik
