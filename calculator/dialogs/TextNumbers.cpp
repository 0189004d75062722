#include "TextNumbers.h"

#include <QByteArray>
#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <limits>
#include <string>

namespace tavikcalc {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Cursor {
    const char* p;
    const char* end;
    bool atEnd() const { return p == end; }
    void skipSpace() {
        while (p != end && isSpace(*p)) {
            ++p;
        }
    }
    // Reads a sign if there is one; true for a minus.
    bool sign(bool allowMinus = true) {
        if (p != end && (*p == '+' || (allowMinus && *p == '-'))) {
            return *p++ == '-';
        }
        return false;
    }
    int digits() {
        int count = 0;
        for (; p != end && isDigit(*p); ++p) {
            ++count;
        }
        return count;
    }
};

// The value of the decimal digits that follow, or limit + 1 when it is larger; reads them
// all.
long long saturatedDigits(Cursor& in, long long limit) {
    long long value = 0;
    for (; !in.atEnd() && isDigit(*in.p); ++in.p) {
        value = value * 10 + (*in.p - '0');
        if (value > limit) {
            value = limit + 1;
        }
    }
    return value;
}

} // namespace

double textAsNumber(const QString& text) {
    const QByteArray bytes = text.toLatin1(); // what is not Latin-1 ends a number anyway
    Cursor in{bytes.constData(), bytes.constData() + bytes.size()};
    in.skipSpace();
    const bool negative = in.sign();
    const char* first = in.p;

    // The mantissa, and where its first significant digit stands: positive for a digit
    // before the point (1 = units), negative or zero after it.
    int magnitude = 0;
    bool significant = false;
    int digits = 0;
    for (; !in.atEnd() && isDigit(*in.p); ++in.p, ++digits) {
        significant = significant || *in.p != '0';
        magnitude += significant ? 1 : 0;
    }
    if (!in.atEnd() && *in.p == '.') {
        ++in.p;
        for (; !in.atEnd() && isDigit(*in.p); ++in.p, ++digits) {
            if (!significant) {
                --magnitude;
                significant = *in.p != '0';
            }
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    // An exponent counts only with at least one digit.
    long long exponent = 0;
    if (!in.atEnd() && (*in.p == 'e' || *in.p == 'E')) {
        Cursor e{in.p + 1, in.end};
        const bool negativeExponent = e.sign();
        if (!e.atEnd() && isDigit(*e.p)) {
            exponent = saturatedDigits(e, 100000);
            exponent = negativeExponent ? -exponent : exponent;
            in.p = e.p;
        }
    }

    double value = 0.0;
    const auto [end, error] = std::from_chars(first, in.p, value);
    if (error == std::errc::result_out_of_range) {
        // Beyond the doubles: an overflow for a large number, an underflow for a tiny one.
        value = magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{} || end != in.p) {
        value = 0.0;
    }
    return negative ? -value : value;
}

int textAsInteger(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    Cursor in{bytes.constData(), bytes.constData() + bytes.size()};
    in.skipSpace();
    const bool negative = in.sign();
    // Past INT_MAX the value stops at INT_MAX + 1, which is INT_MIN once negated.
    const long long value = saturatedDigits(in, INT_MAX);
    if (negative) {
        return static_cast<int>(-value);
    }
    return static_cast<int>(std::min<long long>(value, INT_MAX));
}

std::optional<unsigned> readUnsigned(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    Cursor in{bytes.constData(), bytes.constData() + bytes.size()};
    in.skipSpace();
    in.sign(false);
    const char* first = in.p;
    const long long value = saturatedDigits(in, UINT_MAX);
    if (in.p == first || value > UINT_MAX) {
        return std::nullopt;
    }
    in.skipSpace();
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return static_cast<unsigned>(value);
}

std::optional<int> readInteger(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    Cursor in{bytes.constData(), bytes.constData() + bytes.size()};
    in.skipSpace();
    const bool negative = in.sign();
    const char* first = in.p;
    const long long limit = negative ? static_cast<long long>(INT_MAX) + 1 : INT_MAX;
    const long long value = saturatedDigits(in, limit);
    if (in.p == first || value > limit) {
        return std::nullopt;
    }
    in.skipSpace();
    if (!in.atEnd()) {
        return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

QString cFormat(const char* format, ...) {
    char buffer[128];
    va_list arguments;
    va_start(arguments, format);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    if (length < 0) {
        return {};
    }
    if (static_cast<std::size_t>(length) < sizeof buffer) {
        return QString::fromUtf8(buffer, length);
    }
    // Huge numbers in fixed notation: format again into room of the right size.
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    va_start(arguments, format);
    std::vsnprintf(text.data(), text.size(), format, arguments);
    va_end(arguments);
    text.pop_back();
    return QString::fromStdString(text);
}

} // namespace tavikcalc
