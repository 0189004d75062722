// The number and text conversions of the reports, tooltips and messages, and the UTF-8
// decoding beneath the text ones (checked against Qt's decoder, which we did not write).

#include "state/NumberText.h"
#include "state/Utf8.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace tavik {
namespace {

TEST(NumberText, ShortestAndWholeTextNumbers) {
    const std::pair<double, std::string> shortest[] = {
        {6000, "6000"}, {0.261, "0.261"}, {-2.5, "-2.5"}};
    for (const auto& [value, text] : shortest) {
        EXPECT_EQ(shortestText(value), text) << text;
    }
    const std::pair<std::string, std::optional<double>> whole[] = {
        {" 6000 ", 6000}, {"+1.5e3", 1500}, {"-0.25", -0.25}, {"", std::nullopt}, {"  ", {}},
        {"5%", {}},       {"7.5 kg", {}},   {"abc", {}},      {"inf", {}},        {"nan", {}},
        {"1e999", {}},    {"+-1", {}},      {"1,5", {}},
    };
    for (const auto& [text, value] : whole) {
        EXPECT_EQ(wholeTextNumber(text), value) << text;
    }
}

TEST(NumberText, WholeNumberPictureRoundsHalvesAwayFromZero) {
    const std::vector<std::pair<double, std::string>> cases{
        {0.5, "1"}, {2.5, "3"},    {-0.5, "-1"},         {-0.4, ""},
        {0, ""},    {99.6, "100"}, {1234567, "1234567"}, {0.49999999999999994, ""}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(hashPicture(value), text) << value;
    }
}

TEST(NumberText, TwoDecimalPictureKeepsThePoint) {
    const std::vector<std::pair<double, std::string>> cases{
        {5.48, "5.48"},   {109.5, "109.5"}, {20, "20."},     {0.5, ".5"},
        {0, "."},         {0.125, ".13"},   {2.675, "2.67"}, // 2.675 is stored just below
        {99.999, "100."}, {36.5, "36.5"},   {0.004, "."},    {1.005, "1."}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(hashDotHashPicture(value), text) << value;
    }
}

TEST(NumberText, ChartValuesUseAtMostSevenDigits) {
    const std::vector<std::pair<float, std::string>> cases{{0.0F, "0"},
                                                           {0.1F, "0.1"},
                                                           {25.0F, "25"},
                                                           {18.59375F, "18.59375"},
                                                           {332.65625F, "332.6562"},
                                                           {123456.789F, "123456.8"}};
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(sevenDigitText(value), text) << value;
    }
}

TEST(NumberText, PrintableTextEscapesWhatATerminalWouldObey) {
    const std::pair<std::string, std::string> cases[] = {
        {"Potatoes (summer) ünï ³", "Potatoes (summer) ünï ³"},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"\x1b[31mred\x7f", "\\x1B[31mred\\x7F"},
        {"\xc2\x9b"
         "1m",
         "\\u{009B}1m"}, // a C1 control
        {"\xe2\x80\xae"
         "evil",
         "\\u{202E}evil"},                  // a right-to-left override
        {"bad \xff\xc3", "bad \\xFF\\xC3"}, // not UTF-8, and a cut sequence
        {"\xc0\xaf", "\\xC0\\xAF"},         // an overlong form
        {std::string("nul\0", 4), "nul\\x00"},
    };
    for (const auto& [text, shown] : cases) {
        EXPECT_EQ(printableText(text), shown) << shown;
        EXPECT_EQ(needsEscapes(text), text != shown) << shown;
    }
    EXPECT_EQ(printableText("ünïcode", 3), "ünï…");
    EXPECT_EQ(printableText("abc", 3), "abc");
    EXPECT_EQ(characterCount("ünï\xff"), 4U);
}

// ---- UTF-8 ----------------------------------------------------------------------------

struct Utf8Case {
    const char* what;
    std::string bytes;
    std::optional<char32_t> code; // none: the first byte begins no well-formed sequence
    std::size_t length;
};

TEST(Utf8, DecodesWellFormedSequencesAndRefusesTheRest) {
    const Utf8Case cases[] = {
        {"ASCII", "A", U'A', 1},
        {"NUL", std::string(1, '\0'), U'\0', 1},
        {"two bytes", "\xC3\xA9", U'é', 2},
        {"three bytes", "\xE2\x82\xAC", U'€', 3},
        {"four bytes", "\xF0\x9F\x98\x80", U'\U0001F600', 4},
        {"largest", "\xF4\x8F\xBF\xBF", 0x10FFFF, 4},
        {"before the surrogates", "\xED\x9F\xBF", 0xD7FF, 3},
        {"after the surrogates", "\xEE\x80\x80", 0xE000, 3},
        {"only the first character", "\xC3\xA9\xC3\xA9", U'é', 2},
        {"stray continuation", "\x80", std::nullopt, 1},
        {"overlong two bytes", "\xC0\xAF", std::nullopt, 1},
        {"overlong two bytes (C1)", "\xC1\xBF", std::nullopt, 1},
        {"overlong three bytes", "\xE0\x9F\xBF", std::nullopt, 1},
        {"overlong four bytes", "\xF0\x8F\xBF\xBF", std::nullopt, 1},
        {"high surrogate", "\xED\xA0\x80", std::nullopt, 1},
        {"low surrogate", "\xED\xBF\xBF", std::nullopt, 1},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", std::nullopt, 1},
        {"lead F5", "\xF5\x80\x80\x80", std::nullopt, 1},
        {"lead F8", "\xF8\x88\x80\x80\x80", std::nullopt, 1},
        {"lead FF", "\xFF", std::nullopt, 1},
        {"truncated two", "\xC3", std::nullopt, 1},
        {"truncated three", "\xE2\x82", std::nullopt, 1},
        {"truncated four", "\xF0\x9F\x98", std::nullopt, 1},
        {"interrupted",
         "\xE2\x82"
         "A",
         std::nullopt, 1},
    };
    for (const Utf8Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto decoded = decodeUtf8(c.bytes);
        ASSERT_EQ(decoded.has_value(), c.code.has_value());
        if (decoded) {
            EXPECT_EQ(decoded->code, *c.code);
            EXPECT_EQ(decoded->length, c.length);
        }
        EXPECT_EQ(characterLength(c.bytes), c.length);
    }
    EXPECT_FALSE(decodeUtf8(""));
}

// Every code point written by appendUtf8 reads back whole, and is what Qt writes for it.
TEST(Utf8, EveryCodePointRoundTrips) {
    std::string bytes;
    for (char32_t code = 0; code <= 0x10FFFF; ++code) {
        if (code >= 0xD800 && code <= 0xDFFF) {
            continue;
        }
        bytes.clear();
        appendUtf8(bytes, code);
        const auto decoded = decodeUtf8(bytes);
        ASSERT_TRUE(decoded) << std::hex << static_cast<unsigned>(code);
        ASSERT_EQ(decoded->code, code);
        ASSERT_EQ(decoded->length, bytes.size());
        if (code % 97 == 0) {
            const QByteArray qt = QString::fromUcs4(&code, 1).toUtf8();
            ASSERT_EQ(std::string(qt.constData(), static_cast<std::size_t>(qt.size())), bytes);
        }
    }
}

// Over random byte strings: a text is well-formed where Qt says it is, every character then
// decodes to Qt's code point, and the text conversions count what the decoder counts.
TEST(Utf8, AgreesWithQtOverRandomTexts) {
    std::mt19937 random(19);
    const std::vector<std::string> pieces{"a",
                                          "\t",
                                          "é",
                                          "€",
                                          "😀",
                                          "\xFF",
                                          "\x80",
                                          "\xC3",
                                          "\xE2\x82",
                                          "\xED\xA0\x80",
                                          "\xF0\x9F",
                                          "\xC0\xAF",
                                          "\xF4\x90\x80\x80",
                                          "\xF8",
                                          "\xEF\xBF\xBF",
                                          "\xF4\x8F\xBF\xBF",
                                          "\xE0\x9F\xBF"};
    for (int i = 0; i < 5000; ++i) {
        std::string text;
        for (int n = static_cast<int>(random() % 8); n > 0; --n) {
            text += pieces[random() % pieces.size()];
        }
        SCOPED_TRACE(printableText(text));
        std::vector<char32_t> codes;
        bool wellFormed = true;
        std::size_t characters = 0;
        for (std::string_view rest = text; !rest.empty(); ++characters) {
            const auto decoded = decodeUtf8(rest);
            wellFormed = wellFormed && decoded.has_value();
            if (decoded) {
                codes.push_back(decoded->code);
            }
            rest.remove_prefix(characterLength(rest));
        }
        const QByteArrayView view(text.data(), static_cast<qsizetype>(text.size()));
        ASSERT_EQ(wellFormed, view.isValidUtf8());
        if (wellFormed) {
            const QList<uint> qt = QString::fromUtf8(view).toUcs4();
            ASSERT_EQ(std::vector<char32_t>(qt.begin(), qt.end()), codes);
        }
        EXPECT_EQ(characterCount(text), characters);
        EXPECT_EQ(needsEscapes(text), !wellFormed || text.find('\t') != std::string::npos);
    }
}

} // namespace
} // namespace tavik
