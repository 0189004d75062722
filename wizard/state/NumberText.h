#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The shortest decimal text that reads back to exactly the same double ("6000", "0.261",
// "2.7e-06").
std::string shortestText(double value);

// A text that is, apart from surrounding blanks, one number in the usual decimal or
// exponent notation ("  6000 ", "-1.5e3"). Anything else, including an empty text, gives
// no value. This is the rule by which a spreadsheet cell that holds a number stored as
// text still counts as that number.
std::optional<double> wholeTextNumber(std::string_view text);

// The number at the start of a text: blanks, tabs and line feeds are skipped, then an
// optional sign, digits with at most one decimal point and an optional exponent are read;
// reading stops at the first other character. No number gives 0 ("5%" is 5, "7.5 " is 7.5,
// "567mm" is 567, "abc" is 0).
double leadingNumber(std::string_view text);

// A number in the short form: its decimal text, preceded by one blank when it is not
// negative (" 600", "-5").
std::string shortForm(long long value);

// Plain text of a 32-bit value: the shortest decimal that reads back to it, without
// exponent; a whole number shows no decimals ("4500", "0.1").
std::string plainText(float value);

// The integer part (the largest integer not above the value) as plain text.
std::string wholePartText(double value);

// A number rounded to a whole number, halves away from zero, without leading zeros or
// grouping; a value that rounds to 0 gives the empty text (the "###" picture).
std::string hashPicture(double value);

// The integer part without leading zeros (nothing below 1), a decimal point, then at most
// two decimals without trailing zeros: 5.48, 109.5, "20.", ".5" (the "###.##" picture).
// The value is rounded to two decimals, halves away from zero, first.
std::string hashDotHashPicture(double value);

// A number with one decimal, rounded as printf's "%.1f" does ("19.0", "28.8").
std::string oneDecimalText(double value);

// A 32-bit value as the shortest decimal with at most 7 significant digits; where the
// shortest decimal needs more, the value rounded to 7 significant digits (ties to even, as
// "%.7g" does), trailing zeros dropped.
std::string sevenDigitText(float value);

// A text read from a file or a command line, made fit to show in a message or a terminal:
// control characters (C0, DEL and C1), the characters that reorder text (bidirectional
// overrides and isolates) and bytes that are not UTF-8 are written as escapes (\t, \n, \r,
// \xNN for bytes, \u{NNNN} for characters); everything else stays as it is.
std::string printableText(std::string_view text);

// printableText of at most the first maxCharacters characters, with "…" when cut short.
std::string printableText(std::string_view text, std::size_t maxCharacters);

// printableText of at most the last maxCharacters characters, with "…" before them when cut
// short: the end of a path names its file.
std::string printableTail(std::string_view text, std::size_t maxCharacters);

// Whether printableText would change the text.
bool needsEscapes(std::string_view text);

// The number of characters (UTF-8 code points) of a text; a byte that is not part of a
// UTF-8 sequence counts as one.
std::size_t characterCount(std::string_view text);

// The value rounded to the nearest integer, halves to even, as a 16-bit integer. Throws
// std::range_error when it does not fit (an overflow).
std::int16_t toInt16(double value);

} // namespace tavik
