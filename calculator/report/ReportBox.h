#pragma once

#include <array>
#include <string>

namespace tavikcalc {

// The report box's text as the writers build it: the first line replaces the text; every
// further line is appended after a CR LF, so the text ends without a line break.
class ReportBox {
public:
    explicit ReportBox(const char* firstLine);

    void append(const char* line);

    // A line formatted by the C library's printf. Its decimal point follows LC_NUMERIC, which
    // a program that takes the user's locale (a Qt application does) must set back to "C".
    [[gnu::format(printf, 2, 3)]] void appendf(const char* format, ...);

    // A table row: a format of literal text with one "%Nd" field for the day followed by
    // eight "%N.0lf" fields for the figures. The text is exactly what printf writes for the
    // same format and values; whole-number fields are written without the C library, which
    // is several times faster on the long tables of short cycles.
    void appendRow(const char* format, int day, const std::array<double, 8>& figures);

    const std::string& text() const { return text_; }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

} // namespace tavikcalc
