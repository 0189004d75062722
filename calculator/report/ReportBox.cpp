#include "ReportBox.h"

#include <cassert>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace tavikcalc {

namespace {

void appendPadded(std::string& text, int width, const char* first, const char* last) {
    const auto length = static_cast<int>(last - first);
    if (length < width) {
        text.append(static_cast<std::size_t>(width - length), ' ');
    }
    text.append(first, last);
}

// printf's "%N.0lf": the exact binary value rounded to a whole number, halves to even (as
// std::nearbyint in the default rounding mode), right-aligned in N columns; "-0" for a
// negative value that rounds to zero.
void appendWhole(std::string& text, int width, double value) {
    if (!(std::fabs(value) < 1e15)) { // infinite, not a number, or beyond the fast path
        std::array<char, 400> digits{};
        const int length = std::snprintf(digits.data(), digits.size(), "%*.0f", width, value);
        text.append(digits.data(), static_cast<std::size_t>(length < 0 ? 0 : length));
        return;
    }
    const double whole = std::nearbyint(value);
    std::array<char, 24> digits{};
    char* last = digits.data();
    if (std::signbit(whole)) {
        *last++ = '-';
    }
    last =
        std::to_chars(last, digits.data() + digits.size(), static_cast<long long>(std::fabs(whole)))
            .ptr;
    appendPadded(text, width, digits.data(), last);
}

} // namespace

ReportBox::ReportBox(const char* firstLine) : text_(firstLine) {
    text_.reserve(4096);
}

void ReportBox::append(const char* line) {
    text_ += "\r\n";
    text_ += line;
}

void ReportBox::appendf(const char* format, ...) {
    text_ += "\r\n";
    std::array<char, 256> buffer{};
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer.data(), buffer.size(), format, arguments);
    va_end(arguments);
    if (length < 0) {
        return;
    }
    if (static_cast<std::size_t>(length) < buffer.size()) {
        text_.append(buffer.data(), static_cast<std::size_t>(length));
        return;
    }
    // Huge numbers in fixed notation: format again into room of the right size.
    const std::size_t start = text_.size();
    text_.resize(start + static_cast<std::size_t>(length) + 1);
    va_start(arguments, format);
    std::vsnprintf(text_.data() + start, static_cast<std::size_t>(length) + 1, format, arguments);
    va_end(arguments);
    text_.pop_back();
}

void ReportBox::appendRow(const char* format, int day, const std::array<double, 8>& figures) {
    text_ += "\r\n";
    std::size_t figure = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            text_ += *p;
            continue;
        }
        int width = 0;
        for (++p; *p >= '0' && *p <= '9'; ++p) {
            width = width * 10 + (*p - '0');
        }
        if (*p == 'd') {
            std::array<char, 16> digits{};
            const char* last = std::to_chars(digits.data(), digits.data() + digits.size(), day).ptr;
            appendPadded(text_, width, digits.data(), last);
        } else {
            // ".0lf": the only other field of a row.
            assert(p[0] == '.' && p[1] == '0' && p[2] == 'l' && p[3] == 'f' && figure < 8);
            p += 3;
            appendWhole(text_, width, figures[figure++]);
        }
    }
}

} // namespace tavikcalc
