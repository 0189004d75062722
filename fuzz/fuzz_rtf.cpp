// The RTF writer on any text, font and spans: the document stays 7-bit ASCII, one group with
// balanced braces, with one \par per line break of the text.
//
// Input: a byte with the number of spans (up to 4); per span its start and length (16-bit,
// little-endian, signed), a flags byte (bold, underline, a size of its own, an odd size) and
// a size byte; the font's size byte and name (a length byte, then the name); then the text.

#include "Checks.h"
#include "engine/RichText.h"

#include <limits>

namespace {

double pointsFrom(bool odd, std::uint8_t value) {
    if (!odd) {
        return value / 4.0;
    }
    constexpr double kOdd[] = {std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               -12.0,
                               0.0,
                               1e300,
                               std::numeric_limits<double>::denorm_min()};
    return kOdd[value % (sizeof kOdd / sizeof kOdd[0])];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavik::fuzz::Choices choices(data, size);
    tavik::RichText richText;
    const int spans = choices.byte() % 5;
    for (int i = 0; i < spans; ++i) {
        tavik::RichTextSpan span;
        span.start = choices.int16();
        span.length = choices.int16();
        const std::uint8_t flags = choices.byte();
        const std::uint8_t points = choices.byte();
        span.bold = (flags & 1U) != 0;
        span.underline = (flags & 2U) != 0;
        if ((flags & 4U) != 0) {
            span.points = pointsFrom((flags & 8U) != 0, points);
        }
        richText.spans.push_back(span);
    }
    const std::uint8_t fontPoints = choices.byte();
    richText.fontPoints = pointsFrom(fontPoints >= 0xF0, fontPoints);
    const std::size_t familyLength = choices.byte() % 24;
    for (std::size_t i = 0; i < familyLength; ++i) {
        richText.fontFamily += static_cast<char>(choices.byte());
    }
    richText.text = std::string(choices.rest());

    tavik::fuzz::requireSoundRtf(tavik::toRtf(richText), tavik::fuzz::lineBreaks(richText.text));
    return 0;
}
