#pragma once

#include <QString>
#include <optional>

namespace tavikcalc {

// How the dialogs read their number fields.
//
// textAsNumber and textAsInteger take the number at the start of the text, as the C library's
// atof and atoi do: white space skipped, an optional sign, decimal digits (for a number, with
// one decimal point and an optional exponent); reading stops at the first other character and
// gives 0 when there is no number. Only decimal text counts ("inf", "nan" and hexadecimal
// numbers read as 0). A number too large for a double reads as an infinity, an integer
// beyond the 32-bit range as the nearest end of it.
double textAsNumber(const QString& text);
int textAsInteger(const QString& text);

// The validating reads of a field when a dialog closes with OK: the whole text must be the
// number, with white space around it allowed; none when it is not.
std::optional<unsigned> readUnsigned(const QString& text); // digits, 32-bit
std::optional<int> readInteger(const QString& text);       // optional sign and digits, 32-bit

// printf formatting with the C library (LC_NUMERIC "C"), as the report writers format.
[[gnu::format(printf, 1, 2)]] QString cFormat(const char* format, ...);

} // namespace tavikcalc
