#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tavik {

struct ScheduleReport;

// A run of characters formatted apart from the rest of the text.
struct RichTextSpan {
    // Position and length in characters of the text (UTF-8 code points, so "é" counts one;
    // CR and LF count one each). Whatever lies outside the text is ignored.
    int start = 0;
    int length = 0;
    bool bold = false;
    bool underline = false;
    std::optional<double> points; // font size; none keeps the text's own size
};

// The content of a rich-text box: its text in one font, with spans formatted apart. Where
// spans overlap, the later one decides.
struct RichText {
    std::string text; // UTF-8; TAB, and CR LF between lines
    std::string fontFamily;
    double fontPoints = 10;
    std::vector<RichTextSpan> spans;
};

// The text as a Rich Text Format document (7-bit ASCII, CR LF line ends): a header with the
// font and colour tables, then the text with TAB as \tab, every line break (CR LF, or a lone
// CR or LF) as one \par, the characters \ { } escaped, characters beyond ASCII as \uN? (UTF-16
// code units, signed) and the spans switched on and off with \b, \ul and \fsN. Bytes that are
// not UTF-8 are written as U+FFFD.
std::string toRtf(const RichText& richText);

// A result box's text in Arial 10 with its title made bold, underlined and 12 points.
RichText titledRichText(std::string text, int titleStart, int titleLength);

// The schedule report as the result box shows it and its Save writes it.
RichText scheduleRichText(const ScheduleReport& report);

} // namespace tavik
