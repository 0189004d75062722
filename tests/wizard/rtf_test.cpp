// The Rich Text Format writer: exact markup of small texts, and round trips of the schedule
// report and of random texts through a reader written here from the format's rules.

#include "TestSupport.h"
#include "engine/RichText.h"
#include "plan/Plan.h"
#include "plan/PlanOutput.h"
#include "plan/Scenario.h"
#include "state/CropTable.h"

#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string_view>

namespace tavik {
namespace {

// ---- A small RTF reader ------------------------------------------------------------------

struct ReadCharacter {
    char32_t c = 0;
    bool bold = false;
    bool underline = false;
    long halfPoints = 0;
};

struct ReadBack {
    std::vector<ReadCharacter> characters;
    std::vector<std::string> unknownWords; // control words this reader does not know
    std::string problem;                   // malformed markup

    std::string text() const {
        std::string utf8;
        for (const ReadCharacter& r : characters) {
            const auto c = static_cast<std::uint32_t>(r.c);
            if (c < 0x80) {
                utf8 += static_cast<char>(c);
            } else if (c < 0x800) {
                utf8 += static_cast<char>(0xC0 | (c >> 6));
                utf8 += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                utf8 += static_cast<char>(0xE0 | (c >> 12));
                utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                utf8 += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                utf8 += static_cast<char>(0xF0 | (c >> 18));
                utf8 += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                utf8 += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                utf8 += static_cast<char>(0x80 | (c & 0x3F));
            }
        }
        return utf8;
    }
};

// Reads the body text of a document with its bold, underline and size, as a word processor
// would: groups save and restore the character format; the font and colour tables and \*
// destinations are skipped; \par reads as CR LF; \uN is followed by \ucN fallback characters
// that are dropped; a control word ends at a space (consumed) or any other non-alphanumeric
// character (not consumed); CR and LF in the markup mean nothing.
ReadBack readRtf(std::string_view rtf) {
    struct State {
        bool bold = false;
        bool underline = false;
        long halfPoints = 24; // 12 points unless the document says otherwise
        long fallback = 1;
        bool skip = false;
    };
    ReadBack out;
    State state;
    std::vector<State> groups;
    bool ended = false;
    long toSkip = 0;
    std::uint32_t highSurrogate = 0; // 0: none pending
    const auto put = [&](char32_t c) {
        if (state.skip) {
            return;
        }
        if (toSkip > 0) {
            --toSkip;
            return;
        }
        out.characters.push_back({c, state.bold, state.underline, state.halfPoints});
    };
    const auto unit = [&](std::uint32_t u) {
        if (u >= 0xD800 && u <= 0xDBFF) {
            highSurrogate = u;
        } else if (u >= 0xDC00 && u <= 0xDFFF && highSurrogate != 0) {
            put(static_cast<char32_t>(0x10000 + ((highSurrogate - 0xD800) << 10) + (u - 0xDC00)));
            highSurrogate = 0;
        } else {
            put(static_cast<char32_t>(u));
        }
    };
    const auto isLetter = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    };
    const auto isDigit = [](char c) {
        return c >= '0' && c <= '9';
    };

    std::size_t i = 0;
    if (!rtf.starts_with("{\\rtf1")) {
        out.problem = "no {\\rtf1 at the start";
        return out;
    }
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            out.problem = "a byte beyond 7-bit ASCII at " + std::to_string(i);
            return out;
        }
        if (ended) {
            if (c != '\r' && c != '\n') {
                out.problem = "text after the closing brace";
                return out;
            }
            ++i;
            continue;
        }
        if (c == '{') {
            groups.push_back(state);
            ++i;
            const std::string_view rest = rtf.substr(i);
            if (rest.starts_with("\\*") || rest.starts_with("\\fonttbl") ||
                rest.starts_with("\\colortbl")) {
                state.skip = true;
            }
            continue;
        }
        if (c == '}') {
            if (groups.empty()) {
                out.problem = "unbalanced }";
                return out;
            }
            state = groups.back();
            groups.pop_back();
            ended = groups.empty();
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            put(static_cast<char32_t>(c));
            ++i;
            continue;
        }
        ++i;
        if (i >= rtf.size()) {
            out.problem = "a backslash at the end";
            return out;
        }
        const char n = rtf[i];
        if (n == '\\' || n == '{' || n == '}') {
            put(static_cast<char32_t>(n));
            ++i;
            continue;
        }
        if (n == '\'') {
            if (i + 2 >= rtf.size()) {
                out.problem = "a cut \\' escape";
                return out;
            }
            const long byte = std::stol(std::string(rtf.substr(i + 1, 2)), nullptr, 16);
            if (byte >= 0x80) {
                out.problem = "a code page byte beyond ASCII";
                return out;
            }
            put(static_cast<char32_t>(byte));
            i += 3;
            continue;
        }
        if (!isLetter(n)) {
            out.problem = std::string("an unknown control symbol \\") + n;
            return out;
        }
        const std::size_t wordStart = i;
        while (i < rtf.size() && isLetter(rtf[i])) {
            ++i;
        }
        const std::string word(rtf.substr(wordStart, i - wordStart));
        std::optional<long> parameter;
        const std::size_t numberStart = i;
        if (i < rtf.size() && rtf[i] == '-') {
            ++i;
        }
        while (i < rtf.size() && isDigit(rtf[i])) {
            ++i;
        }
        if (i > numberStart) {
            parameter = std::stol(std::string(rtf.substr(numberStart, i - numberStart)));
        }
        if (i < rtf.size() && rtf[i] == ' ') {
            ++i;
        }
        if (word == "par") {
            put(U'\r');
            put(U'\n');
        } else if (word == "tab") {
            put(U'\t');
        } else if (word == "u" && parameter) {
            unit(static_cast<std::uint32_t>(*parameter < 0 ? *parameter + 0x10000 : *parameter));
            if (!state.skip) {
                toSkip = state.fallback;
            }
        } else if (word == "uc" && parameter) {
            state.fallback = *parameter;
        } else if (word == "b") {
            state.bold = parameter.value_or(1) != 0;
        } else if (word == "ul") {
            state.underline = parameter.value_or(1) != 0;
        } else if (word == "ulnone") {
            state.underline = false;
        } else if (word == "fs" && parameter) {
            state.halfPoints = *parameter;
        } else if (!state.skip && word != "rtf" && word != "ansi" && word != "ansicpg" &&
                   word != "deff" && word != "viewkind" && word != "pard" && word != "cf" &&
                   word != "f" && word != "fonttbl" && word != "colortbl") {
            out.unknownWords.push_back(word);
        }
    }
    if (!ended) {
        out.problem = "no closing brace";
    }
    return out;
}

// ---- Exact markup ------------------------------------------------------------------------

constexpr std::string_view kHeader =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue0;}\r\n"
    "\\viewkind4\\uc1\\pard\\cf1\\f0\\fs20";

RichText arial10(std::string text, std::vector<RichTextSpan> spans = {}) {
    return RichText{std::move(text), "Arial", 10, std::move(spans)};
}

// The markup between the header of an Arial 10 document and its closing brace.
std::string body(const RichText& richText) {
    const std::string rtf = toRtf(richText);
    EXPECT_TRUE(rtf.starts_with(kHeader)) << rtf;
    EXPECT_TRUE(rtf.ends_with("}\r\n")) << rtf;
    if (!rtf.starts_with(kHeader) || !rtf.ends_with("}\r\n")) {
        return {};
    }
    return rtf.substr(kHeader.size(), rtf.size() - kHeader.size() - 3);
}

TEST(Rtf, WritesTheDocumentWithItsTitleRunAndEscapes) {
    // A bold, underlined 12-point title through the end of its line (its CR included, as a
    // rich-text box's title selection does), then plain text.
    const RichText richText =
        arial10("\tHead {1}\\ \r\n\r\n³¦é\t1 😀 9\r\nlast", {{1, 11, true, true, 12.0}});
    EXPECT_EQ(toRtf(richText), std::string(kHeader) +
                                   "\\tab\\b\\ul\\fs24 Head \\{1\\}\\\\ \\par\r\n"
                                   "\\b0\\ulnone\\fs20\\par\r\n"
                                   "\\u179?\\u166?\\u233?\\tab 1 \\u-10179?\\u-8704? 9\\par\r\n"
                                   "last}\r\n");
}

TEST(Rtf, WritesEveryCharacterAsSevenBitMarkup) {
    // The header ends with a control word: text that follows it starts after a blank.
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", ""},
        {"a\rb\nc\n\rd\r\n", " a\\par\r\nb\\par\r\nc\\par\r\n\\par\r\nd\\par\r\n"},
        {"\t\t19", "\\tab\\tab 19"}, // a digit right after \tab would read as its parameter
        {"\t ", "\\tab  "},
        {"x;?", " x;?"},
        {"€\xEF\xBF\xBF", "\\u8364?\\u-1?"},               // signed 16-bit code units
        {"\xF4\x8F\xBF\xBF", "\\u-9217?\\u-8193?"},        // U+10FFFF as a surrogate pair
        {std::string("\x01\x7F", 2), "\\'01\\'7f"},        // other control characters
        {"\xFF", "\\u-3?"},                                // not UTF-8: U+FFFD
        {"a\xC3", " a\\u-3?"},                             // cut sequence
        {"\xC0\xAF", "\\u-3?\\u-3?"},                      // overlong
        {"\xED\xA0\x80", "\\u-3?\\u-3?\\u-3?"},            // encoded surrogate
        {"\xF4\x90\x80\x80", "\\u-3?\\u-3?\\u-3?\\u-3?"}}; // beyond U+10FFFF
    for (const auto& [text, markup] : cases) {
        EXPECT_EQ(body(arial10(text)), markup) << text;
    }
}

TEST(Rtf, SpansCountCharactersAndLaterSpansDecide) {
    // Positions count code points: "é" and "€" are one character each.
    EXPECT_EQ(body(arial10("é€xy", {{2, 1, true, false, std::nullopt}})),
              "\\u233?\\u8364?\\b x\\b0 y");
    // Overlaps: the later span decides, for bold as for size.
    EXPECT_EQ(body(arial10("abcd", {{0, 3, true, false, 12.0}, {1, 1, false, true, std::nullopt}})),
              "\\b\\fs24 a\\b0\\ul\\fs20 b\\b\\ulnone\\fs24 c\\b0\\fs20 d");
    // Spans reaching outside the text are cut at its ends; empty and negative ones do nothing.
    EXPECT_EQ(body(arial10("ab", {{-2, 3, true, false, std::nullopt},
                                  {1, 100, false, true, std::nullopt},
                                  {0, 0, false, true, 20.0},
                                  {1, -1, false, true, 20.0}})),
              "\\b a\\b0\\ul b");
    // Sizes in half points.
    RichText nine = arial10("ab", {{1, 1, false, false, 10.5}});
    nine.fontPoints = 9;
    const std::string rtf = toRtf(nine);
    EXPECT_NE(rtf.find("\\f0\\fs18 a\\fs21 b}"), std::string::npos) << rtf;
}

TEST(Rtf, FontTableNamesTheFamilyAndItsClass) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"Arial", "{\\f0\\fswiss\\fcharset0 Arial;}"},
        {"MS Sans Serif", "{\\f0\\fswiss\\fcharset0 MS Sans Serif;}"},
        {"times new roman", "{\\f0\\froman\\fcharset0 times new roman;}"},
        {"Courier New", "{\\f0\\fmodern\\fcharset0 Courier New;}"},
        {"Odd;Font{1}", "{\\f0\\fnil\\fcharset0 Odd\\'3bFont\\{1\\};}"},
    };
    for (const auto& [family, entry] : cases) {
        const std::string rtf = toRtf(RichText{"x", family, 10, {}});
        EXPECT_NE(rtf.find("{\\fonttbl" + entry + "}"), std::string::npos) << rtf;
    }
}

// ---- Round trips -------------------------------------------------------------------------

void expectReadsBack(const RichText& richText, const std::vector<ReadCharacter>& expected) {
    const std::string rtf = toRtf(richText);
    const ReadBack read = readRtf(rtf);
    ASSERT_EQ(read.problem, "") << rtf;
    EXPECT_EQ(read.unknownWords, std::vector<std::string>{});
    EXPECT_EQ(read.text(), richText.text) << rtf;
    ASSERT_EQ(read.characters.size(), expected.size()) << rtf;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        // The LF of a CR LF pair shares the CR's line break and so its format.
        if (i > 0 && expected[i].c == U'\n' && expected[i - 1].c == U'\r') {
            continue;
        }
        const ReadCharacter& r = read.characters[i];
        EXPECT_EQ(r.bold, expected[i].bold) << "character " << i << " of " << rtf;
        EXPECT_EQ(r.underline, expected[i].underline) << "character " << i << " of " << rtf;
        EXPECT_EQ(r.halfPoints, expected[i].halfPoints) << "character " << i << " of " << rtf;
    }
}

const TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};

TEST(RtfRoundTrip, ScheduleReportsReadBackWithTheirTitle) {
    // The shipped crops, with maize renamed to show that names beyond ASCII survive.
    test::CsvRows rows = test::shippedCropCsv();
    rows[2][0] = "Maïs – été 🌽";
    CropTable crops;
    crops.load(test::sheetFromCsv(rows));

    const std::vector<std::string> scenarios{
        R"({"crop": "Wheat"})",
        R"({"crop": 3, "targetYield": 12000, "cycle": 10, "sprinklerPackage": {}})",
        test::readFile(test::sourcePath(QStringLiteral("tests/wizard/golden/beyond-capacity/"
                                                       "scenario.json")))
            .toStdString(),
    };
    for (const std::string& json : scenarios) {
        SCOPED_TRACE(json);
        const ScenarioParse parse = parseScenario(json);
        ASSERT_TRUE(parse.scenario) << parse.problem;
        const PlanOutcome outcome = runPlan(crops, *parse.scenario, kStamp);
        ASSERT_TRUE(outcome.result) << outcome.problem;
        const ScheduleReport& report = outcome.result->schedule.report;
        const std::string rtf = planRtf(*outcome.result);
        EXPECT_EQ(rtf, toRtf(scheduleRichText(report)));

        const ReadBack read = readRtf(rtf);
        ASSERT_EQ(read.problem, "");
        EXPECT_EQ(read.unknownWords, std::vector<std::string>{});
        EXPECT_EQ(read.text(), report.text);
        // The title "TAVIK+ Scheduling Result " and its line's end are bold, underlined and
        // 12 points; everything else is plain Arial 10.
        ASSERT_EQ(report.titleStart, 1);
        ASSERT_EQ(report.titleLength, 26);
        for (std::size_t i = 0; i < read.characters.size(); ++i) {
            const ReadCharacter& r = read.characters[i];
            const bool title = i >= 1 && i <= 27; // through the CR LF of the title's line
            ASSERT_EQ(r.bold, title) << "character " << i;
            ASSERT_EQ(r.underline, title) << "character " << i;
            ASSERT_EQ(r.halfPoints, title ? 24 : 20) << "character " << i;
        }
        EXPECT_NE(rtf.find("\\tab\\b\\ul\\fs24 TAVIK+ Scheduling Result \\par\r\n"
                           "\\b0\\ulnone\\fs20\\par\r\n"
                           "Type of crop: "),
                  std::string::npos)
            << rtf;
    }
}

TEST(RtfRoundTrip, RandomTextsAndSpansReadBack) {
    // Pieces where an escape or a control word's delimiter can go wrong.
    const std::vector<std::u32string> pieces{
        U"a",          U"Z",          U"0",      U"9",      U" ",      U"\t",
        U"\\",         U"{",          U"}",      U";",      U"?",      U"-",
        U"\r\n",       U"\u00e9",     U"\u00b3", U"\u00a6", U"\u20ac", U"\ufffd",
        U"\U0001F600", U"\U0010FFFF", U"\u0001", U"u",      U"par"};
    std::mt19937 random(20260102);
    const auto below = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int round = 0; round < 300; ++round) {
        std::u32string text;
        const std::size_t count = below(30);
        for (std::size_t k = 0; k < count; ++k) {
            text += pieces[below(pieces.size())];
        }
        RichText richText;
        richText.fontFamily = "Arial";
        richText.fontPoints = below(2) == 0 ? 10.0 : 9.0;
        const long plain = richText.fontPoints == 10.0 ? 20 : 18;
        std::vector<ReadCharacter> expected;
        for (const char32_t c : text) {
            expected.push_back({c, false, false, plain});
        }
        const std::size_t spans = below(4);
        for (std::size_t s = 0; s < spans; ++s) {
            RichTextSpan span;
            span.start = static_cast<int>(below(text.size() + 2)) - 1;
            span.length = static_cast<int>(below(text.size() + 2));
            span.bold = below(2) == 0;
            span.underline = below(2) == 0;
            const std::size_t size = below(3);
            span.points = size == 0 ? std::nullopt : std::optional<double>(size == 1 ? 12 : 8);
            for (int i = std::max(span.start, 0);
                 i < std::min<int>(span.start + span.length, static_cast<int>(text.size())); ++i) {
                expected[static_cast<std::size_t>(i)] = {
                    text[static_cast<std::size_t>(i)], span.bold, span.underline,
                    span.points ? static_cast<long>(*span.points * 2) : plain};
            }
            richText.spans.push_back(span);
        }
        ReadBack utf8;
        for (const char32_t c : text) {
            utf8.characters.push_back({c});
        }
        richText.text = utf8.text();
        SCOPED_TRACE(richText.text);
        expectReadsBack(richText, expected);
        if (HasFatalFailure()) {
            return;
        }
    }
}

} // namespace
} // namespace tavik
