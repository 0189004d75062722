#include "NumberText.h"

#include "Utf8.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>

namespace tavik {

std::string shortestText(double value) {
    std::array<char, 32> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    if (ec != std::errc{}) {
        return {};
    }
    return std::string(buffer.data(), end);
}

std::optional<double> wholeTextNumber(std::string_view text) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

double leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) {
        ++i;
    }
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        number += text[i++];
    }
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            number += c;
        } else if (c == '.' && !point) {
            point = true;
            number += c;
        } else {
            break;
        }
    }
    if (!digits) {
        return 0.0;
    }
    // An exponent counts only when digits follow it ("1e3", "2.5E-2"; "5e" is 5).
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponent += text[j++];
        }
        const std::size_t firstDigit = j;
        while (j < text.size() && text[j] >= '0' && text[j] <= '9') {
            exponent += text[j++];
        }
        if (j > firstDigit) {
            number += exponent;
        }
    }
    if (number.front() == '+') {
        number.erase(0, 1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double reads as 0; too large as an infinity of its sign.
        const bool tiny = number.find("e-") != std::string::npos;
        const double huge = std::numeric_limits<double>::infinity();
        return tiny ? 0.0 : (number.front() == '-' ? -huge : huge);
    }
    return ec == std::errc{} ? value : 0.0;
}

std::string shortForm(long long value) {
    return (value >= 0 ? " " : "") + std::to_string(value);
}

std::string plainText(float value) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::fixed);
    if (ec != std::errc{}) {
        return shortestText(static_cast<double>(value));
    }
    return std::string(buffer.data(), end);
}

namespace {

// A whole-numbered double as decimal digits.
std::string integerText(double whole) {
    if (std::fabs(whole) < 1e18) {
        return std::to_string(static_cast<long long>(whole));
    }
    std::array<char, 400> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%.0f", whole);
    return buffer.data();
}

// Control characters and the characters that reorder text.
bool mustEscape(char32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || (code >= 0x202A && code <= 0x202E) ||
           (code >= 0x2066 && code <= 0x2069);
}

} // namespace

std::string wholePartText(double value) {
    return integerText(std::floor(value));
}

std::string hashPicture(double value) {
    const double rounded = std::round(value); // halves away from zero
    if (rounded == 0.0 || std::isnan(rounded)) {
        return {};
    }
    return integerText(rounded);
}

std::string oneDecimalText(double value) {
    std::array<char, 48> text{};
    std::snprintf(text.data(), text.size(), "%.1f", value);
    return text.data();
}

std::string hashDotHashPicture(double value) {
    // Two decimals, halves away from zero, on the exact binary value.
    std::array<char, 400> exact{};
    std::snprintf(exact.data(), exact.size(), "%.40f", std::fabs(value));
    std::string digits = exact.data();
    const std::size_t pointAt = digits.find('.');
    std::string whole = digits.substr(0, pointAt);
    std::string decimals = digits.substr(pointAt + 1, 2);
    const bool roundUp = digits[pointAt + 3] >= '5';
    if (roundUp) {
        // Add one hundredth to whole.decimals, carrying through the digits.
        std::string all = whole + decimals;
        int i = static_cast<int>(all.size()) - 1;
        while (i >= 0 && all[static_cast<std::size_t>(i)] == '9') {
            all[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i < 0) {
            all.insert(all.begin(), '1');
        } else {
            ++all[static_cast<std::size_t>(i)];
        }
        whole = all.substr(0, all.size() - 2);
        decimals = all.substr(all.size() - 2);
    }
    while (!decimals.empty() && decimals.back() == '0') {
        decimals.pop_back();
    }
    while (!whole.empty() && whole.front() == '0') {
        whole.erase(0, 1);
    }
    const bool negative = value < 0 && !(whole.empty() && decimals.empty());
    return (negative ? "-" : "") + whole + "." + decimals;
}

std::string sevenDigitText(float value) {
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    std::string shortest(buffer.data(), ec == std::errc{} ? end : buffer.data());
    int significant = 0;
    bool leading = true;
    for (char c : shortest) {
        if (c == 'e' || c == 'E') {
            break;
        }
        if (c >= '0' && c <= '9') {
            if (c != '0') {
                leading = false;
            }
            if (!leading) {
                ++significant;
            }
        }
    }
    if (!shortest.empty() && significant <= 7 && shortest.find('e') == std::string::npos) {
        return shortest;
    }
    std::snprintf(buffer.data(), buffer.size(), "%.7g", static_cast<double>(value));
    return buffer.data();
}

std::int16_t toInt16(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        throw std::range_error("overflow: " + shortestText(value) +
                               " does not fit a 16-bit integer");
    }
    return static_cast<std::int16_t>(rounded);
}

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::array<char, 16> escape{};
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        if (!decoded) {
            std::snprintf(escape.data(), escape.size(), "\\x%02X",
                          static_cast<unsigned>(static_cast<unsigned char>(text.front())));
            out += escape.data();
            text.remove_prefix(1);
            continue;
        }
        const char32_t code = decoded->code;
        if (code == '\t') {
            out += "\\t";
        } else if (code == '\n') {
            out += "\\n";
        } else if (code == '\r') {
            out += "\\r";
        } else if (mustEscape(code)) {
            std::snprintf(escape.data(), escape.size(), code < 0x80 ? "\\x%02X" : "\\u{%04X}",
                          static_cast<unsigned>(code));
            out += escape.data();
        } else {
            out.append(text.substr(0, decoded->length));
        }
        text.remove_prefix(decoded->length);
    }
    return out;
}

std::string printableText(std::string_view text, std::size_t maxCharacters) {
    std::size_t bytes = 0;
    for (std::size_t count = 0; count < maxCharacters && bytes < text.size(); ++count) {
        bytes += characterLength(text.substr(bytes));
    }
    return printableText(text.substr(0, bytes)) + (bytes < text.size() ? "…" : "");
}

std::string printableTail(std::string_view text, std::size_t maxCharacters) {
    const std::size_t characters = characterCount(text);
    if (characters <= maxCharacters) {
        return printableText(text);
    }
    for (std::size_t skip = characters - maxCharacters; skip > 0; --skip) {
        text.remove_prefix(characterLength(text));
    }
    return "…" + printableText(text);
}

bool needsEscapes(std::string_view text) {
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        if (!decoded || mustEscape(decoded->code)) {
            return true;
        }
        text.remove_prefix(decoded->length);
    }
    return false;
}

std::size_t characterCount(std::string_view text) {
    std::size_t count = 0;
    while (!text.empty()) {
        text.remove_prefix(characterLength(text));
        ++count;
    }
    return count;
}

} // namespace tavik
