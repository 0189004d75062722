#include "RichText.h"

#include "Schedule.h"
#include "state/Utf8.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace tavik {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code points of a UTF-8 text; every byte that does not belong to a well-formed
// sequence (stray continuation bytes, overlong forms, surrogates, values beyond U+10FFFF)
// stands for one U+FFFD.
std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> points;
    points.reserve(text.size());
    while (!text.empty()) {
        const auto decoded = decodeUtf8(text);
        points.push_back(decoded ? decoded->code : kReplacement);
        text.remove_prefix(decoded ? decoded->length : 1);
    }
    return points;
}

// Font sizes are written in half points.
long halfPoints(double points) {
    if (!std::isfinite(points)) {
        return 24;
    }
    return std::lround(std::clamp(points, 0.5, 1638.0) * 2.0);
}

// The family class a reader falls back on when it lacks the font.
std::string_view familyClass(std::string_view family) {
    const auto is = [family](std::string_view name) {
        return std::equal(
            family.begin(), family.end(), name.begin(), name.end(), [](char a, char b) {
                const auto lower = [](char c) {
                    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
                };
                return lower(a) == lower(b);
            });
    };
    for (const std::string_view swiss :
         {"Arial", "Helvetica", "MS Sans Serif", "Liberation Sans", "Tahoma", "Verdana"}) {
        if (is(swiss)) {
            return "fswiss";
        }
    }
    for (const std::string_view roman : {"Times New Roman", "Times", "Liberation Serif"}) {
        if (is(roman)) {
            return "froman";
        }
    }
    for (const std::string_view modern : {"Courier New", "Courier", "Liberation Mono"}) {
        if (is(modern)) {
            return "fmodern";
        }
    }
    return "fnil";
}

struct Format {
    bool bold = false;
    bool underline = false;
    long halfPoints = 0;
    bool operator==(const Format&) const = default;
};

// Writes RTF tokens, putting the space that ends a control word only where text follows it.
class RtfWriter {
public:
    void raw(std::string_view text) {
        out_ += text;
        delimit_ = false;
    }
    void word(std::string_view name) {
        out_ += '\\';
        out_ += name;
        delimit_ = true;
    }
    void word(std::string_view name, long parameter) {
        word(name);
        out_ += std::to_string(parameter);
    }
    void lineBreak() {
        word("par");
        raw("\r\n");
    }

    // One character of text (not a line break).
    void character(char32_t c) {
        if (c == U'\t') {
            word("tab");
        } else if (c == U'\\' || c == U'{' || c == U'}') {
            raw("\\");
            out_ += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            // Other control characters as code page bytes.
            hexByte(c);
        } else if (c < 0x80) {
            if (delimit_) {
                out_ += ' ';
            }
            out_ += static_cast<char>(c);
            delimit_ = false;
        } else if (c <= 0xFFFF) {
            unit(c);
        } else {
            const std::uint32_t offset = static_cast<std::uint32_t>(c) - 0x10000U;
            unit(0xD800U + (offset >> 10U));
            unit(0xDC00U + (offset & 0x3FFU));
        }
    }

    // \'hh: the character of code page 1252 with that number (below 0x80 as in ASCII).
    void hexByte(char32_t c) {
        constexpr std::array<char, 16> kHex{'0', '1', '2', '3', '4', '5', '6', '7',
                                            '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
        raw("\\'");
        out_ += kHex[(c >> 4U) & 0xFU];
        out_ += kHex[c & 0xFU];
    }

    void switchTo(const Format& to) {
        if (to.bold != format_.bold) {
            word(to.bold ? "b" : "b0");
        }
        if (to.underline != format_.underline) {
            word(to.underline ? "ul" : "ulnone");
        }
        if (to.halfPoints != format_.halfPoints) {
            word("fs", to.halfPoints);
        }
        format_ = to;
    }
    void setFormat(const Format& format) { format_ = format; }

    std::string take() { return std::move(out_); }

private:
    // A UTF-16 code unit as \uN with N signed 16-bit, and '?' for readers without Unicode
    // (\uc1 says one character follows).
    void unit(std::uint32_t codeUnit) {
        const long n = codeUnit >= 0x8000U ? static_cast<long>(codeUnit) - 0x10000L
                                           : static_cast<long>(codeUnit);
        word("u", n);
        raw("?");
    }

    std::string out_;
    bool delimit_ = false;
    Format format_;
};

} // namespace

std::string toRtf(const RichText& richText) {
    const std::vector<char32_t> text = codePoints(richText.text);
    const Format plain{false, false, halfPoints(richText.fontPoints)};

    // The format of every character; later spans override earlier ones.
    std::vector<Format> formats(text.size(), plain);
    const auto size = static_cast<long long>(text.size());
    for (const RichTextSpan& span : richText.spans) {
        const long long first = std::clamp<long long>(span.start, 0, size);
        const long long last =
            std::clamp<long long>(static_cast<long long>(span.start) + span.length, first, size);
        const Format format{span.bold, span.underline,
                            span.points ? halfPoints(*span.points) : plain.halfPoints};
        std::fill(formats.begin() + first, formats.begin() + last, format);
    }

    RtfWriter rtf;
    rtf.raw("{");
    rtf.word("rtf1");
    rtf.word("ansi");
    rtf.word("ansicpg1252");
    rtf.word("deff0");
    rtf.raw("{");
    rtf.word("fonttbl");
    rtf.raw("{");
    rtf.word("f0");
    rtf.word(familyClass(richText.fontFamily));
    rtf.word("fcharset0");
    for (const char32_t c : codePoints(richText.fontFamily)) {
        if (c == U';') {
            rtf.hexByte(c); // a plain ';' would end the name
        } else {
            rtf.character(c);
        }
    }
    rtf.raw(";}}\r\n{");
    rtf.word("colortbl");
    rtf.raw(" ;");
    rtf.word("red0");
    rtf.word("green0");
    rtf.word("blue0");
    rtf.raw(";}\r\n");
    rtf.word("viewkind4");
    rtf.word("uc1");
    rtf.word("pard");
    rtf.word("cf1");
    rtf.word("f0");
    rtf.word("fs", plain.halfPoints);
    rtf.setFormat(plain);

    for (std::size_t i = 0; i < text.size(); ++i) {
        rtf.switchTo(formats[i]);
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            // CR LF is one line break, carried by the CR's format.
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
                ++i;
            }
            rtf.lineBreak();
        } else {
            rtf.character(c);
        }
    }
    rtf.raw("}\r\n");
    return rtf.take();
}

RichText titledRichText(std::string text, int titleStart, int titleLength) {
    RichText richText;
    richText.text = std::move(text);
    richText.fontFamily = "Arial";
    richText.fontPoints = 10;
    richText.spans.push_back({titleStart, titleLength, true, true, 12.0});
    return richText;
}

RichText scheduleRichText(const ScheduleReport& report) {
    return titledRichText(report.text, report.titleStart, report.titleLength);
}

} // namespace tavik
