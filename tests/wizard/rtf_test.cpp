// The Rich Text Format writer: exact markup of small texts, and the schedule reports, the
// golden RTF files and random texts as an independent reader (unrtf) shows them.

#include "TestSupport.h"
#include "engine/RichText.h"
#include "plan/Plan.h"
#include "plan/PlanOutput.h"
#include "plan/Scenario.h"
#include "state/CropTable.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <random>
#include <string_view>

namespace tavik {
namespace {

// ---- Read by unrtf -----------------------------------------------------------------------

// A document as unrtf reads it: its HTML rendering decoded back to characters, each with the
// bold, underline and HTML font size it is shown in. unrtf collapses runs of blanks and sets
// tabs as blanks to the next stop, so only the visible characters are compared exactly;
// lines are compared with their blanks collapsed.
struct ShownCharacter {
    char32_t c = 0;
    bool bold = false;
    bool underline = false;
    int size = 0; // HTML font size: 2 for 10 points, 3 for 12
};

struct Shown {
    std::vector<ShownCharacter> characters; // '\n' for a line break
    std::string problem;
};

// unrtf's named entities, read from its own table of characters (code point, then the
// entity on the next line, indented).
const std::map<std::string, char32_t>& unrtfEntities() {
    static const std::map<std::string, char32_t> entities = [] {
        std::map<std::string, char32_t> map;
        QFile conf(QStringLiteral("/usr/share/unrtf/html.conf"));
        if (!conf.open(QIODevice::ReadOnly)) {
            return map;
        }
        std::optional<char32_t> code;
        for (const QByteArray& line : conf.readAll().split('\n')) {
            bool number = false;
            const uint value = line.trimmed().toUInt(&number);
            if (number && !line.startsWith('\t')) {
                code = static_cast<char32_t>(value);
            } else if (code && line.startsWith("\t&") && line.trimmed().endsWith(';')) {
                map.emplace(line.trimmed().toStdString(), *code);
                code.reset();
            } else {
                code.reset();
            }
        }
        return map;
    }();
    return entities;
}

void appendUtf8(std::string& out, char32_t c) {
    out += QString::fromUcs4(&c, 1).toStdString();
}

// Parses unrtf's HTML: <b>, <u> and <font> nest; <br> is a line break; a line end of the HTML
// and &nbsp; are blanks; entities name code points, surrogate pairs as two of them.
Shown readUnrtfHtml(const std::string& html) {
    Shown shown;
    const std::size_t bodyStart = html.find("<body>");
    const std::size_t bodyEnd = html.rfind("</body>");
    if (bodyStart == std::string::npos || bodyEnd == std::string::npos) {
        shown.problem = "no body in unrtf's output";
        return shown;
    }
    int bold = 0;
    int underline = 0;
    std::vector<int> sizes{0};
    char32_t highSurrogate = 0;
    const auto put = [&](char32_t c) {
        if (c >= 0xD800 && c <= 0xDBFF) {
            highSurrogate = c;
            return;
        }
        if (c >= 0xDC00 && c <= 0xDFFF && highSurrogate != 0) {
            c = 0x10000 + ((highSurrogate - 0xD800) << 10) + (c - 0xDC00);
        }
        highSurrogate = 0;
        shown.characters.push_back({c, bold > 0, underline > 0, sizes.back()});
    };
    const QString body =
        QString::fromStdString(html.substr(bodyStart + 6, bodyEnd - bodyStart - 6));
    for (qsizetype i = 0; i < body.size();) {
        if (body[i] == QLatin1Char('<')) {
            const qsizetype end = body.indexOf(QLatin1Char('>'), i);
            const QString tag = body.mid(i + 1, end - i - 1);
            i = end + 1;
            if (tag == QStringLiteral("br")) {
                put(U'\n');
            } else if (tag == QStringLiteral("b") || tag == QStringLiteral("/b")) {
                bold += tag.startsWith(QLatin1Char('/')) ? -1 : 1;
            } else if (tag == QStringLiteral("u") || tag == QStringLiteral("/u")) {
                underline += tag.startsWith(QLatin1Char('/')) ? -1 : 1;
            } else if (tag.startsWith(QStringLiteral("font"))) {
                const qsizetype size = tag.indexOf(QStringLiteral("size=\""));
                sizes.push_back(size < 0 ? sizes.back() : tag.mid(size + 6, 1).toInt());
            } else if (tag == QStringLiteral("/font") && sizes.size() > 1) {
                sizes.pop_back();
            }
        } else if (body[i] == QLatin1Char('&')) {
            const qsizetype end = body.indexOf(QLatin1Char(';'), i);
            const QString entity = body.mid(i, end - i + 1);
            i = end + 1;
            if (entity.startsWith(QStringLiteral("&#"))) {
                put(static_cast<char32_t>(entity.mid(2, entity.size() - 3).toUInt()));
            } else if (entity == QStringLiteral("&nbsp;")) {
                put(U' ');
            } else if (const auto known = unrtfEntities().find(entity.toStdString());
                       known != unrtfEntities().end()) {
                put(known->second);
            } else {
                shown.problem = "an entity unknown to unrtf's table: " + entity.toStdString();
                return shown;
            }
        } else {
            const char32_t c = body[i].isHighSurrogate() && i + 1 < body.size()
                                   ? QChar::surrogateToUcs4(body[i], body[i + 1])
                                   : body[i].unicode();
            i += c > 0xFFFF ? 2 : 1;
            put(c == U'\n' ? U' ' : c);
        }
    }
    return shown;
}

// unrtf's reading of an RTF document.
Shown readByUnrtf(const std::string& rtf) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("document.rtf")));
    if (!dir.isValid() || !file.open(QIODevice::WriteOnly) ||
        file.write(QByteArray::fromStdString(rtf)) != static_cast<qint64>(rtf.size())) {
        return {{}, "cannot write the document for unrtf"};
    }
    file.close();
    QProcess unrtf;
    unrtf.start(QStringLiteral("unrtf"), {QStringLiteral("--html"), file.fileName()});
    if (!unrtf.waitForFinished(30000) || unrtf.exitStatus() != QProcess::NormalExit ||
        unrtf.exitCode() != 0) {
        return {{}, "unrtf failed: " + unrtf.readAllStandardError().toStdString()};
    }
    return readUnrtfHtml(unrtf.readAllStandardOutput().toStdString());
}

// The lines of a text (CR LF or the reader's LF between them) with every run of blanks and
// tabs made one blank and none at either end.
std::vector<std::string> blankCollapsedLines(const std::u32string& text) {
    std::vector<std::string> lines(1);
    bool blank = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == U'\r' || c == U'\n') {
            if (c == U'\r' && i + 1 < text.size() && text[i + 1] == U'\n') {
                ++i;
            }
            lines.emplace_back();
            blank = false;
        } else if (c == U' ' || c == U'\t') {
            blank = !lines.back().empty();
        } else {
            if (blank) {
                lines.back() += ' ';
                blank = false;
            }
            appendUtf8(lines.back(), c);
        }
    }
    return lines;
}

std::u32string shownText(const Shown& shown) {
    std::u32string text;
    for (const ShownCharacter& c : shown.characters) {
        text += c.c;
    }
    return text;
}

std::u32string utf32(const std::string& utf8) {
    const QList<uint> ucs4 = QString::fromStdString(utf8).toUcs4();
    return {ucs4.begin(), ucs4.end()};
}

// The visible characters of a text in order, with their format as the spans set it.
struct Formatted {
    char32_t c;
    bool bold;
    bool underline;
    int size;
};

std::vector<Formatted> visible(const std::vector<Formatted>& all) {
    std::vector<Formatted> out;
    for (const Formatted& f : all) {
        if (f.c != U' ' && f.c != U'\t' && f.c != U'\r' && f.c != U'\n') {
            out.push_back(f);
        }
    }
    return out;
}

// Reads the document with unrtf and compares its lines and its visible characters' format
// with `expected` (one entry per code point of the text).
void expectUnrtfShows(const std::string& rtf, const std::string& text,
                      const std::vector<Formatted>& expected) {
    const Shown shown = readByUnrtf(rtf);
    ASSERT_EQ(shown.problem, "");
    EXPECT_EQ(blankCollapsedLines(shownText(shown)), blankCollapsedLines(utf32(text))) << rtf;
    std::vector<Formatted> read;
    for (const ShownCharacter& c : shown.characters) {
        read.push_back({c.c, c.bold, c.underline, c.size});
    }
    const auto got = visible(read);
    const auto want = visible(expected);
    ASSERT_EQ(got.size(), want.size()) << rtf;
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_EQ(got[i].c, want[i].c) << "visible character " << i << " of " << rtf;
        ASSERT_EQ(got[i].bold, want[i].bold) << "visible character " << i << " of " << rtf;
        ASSERT_EQ(got[i].underline, want[i].underline)
            << "visible character " << i << " of " << rtf;
        ASSERT_EQ(got[i].size, want[i].size) << "visible character " << i << " of " << rtf;
    }
}

// The HTML font size unrtf gives a size in points.
int htmlSize(double points) {
    return points <= 8 ? 1 : points <= 10 ? 2 : points <= 12 ? 3 : 4;
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

// ---- Read by unrtf ---------------------------------------------------------------------

const TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};

// The title "TAVIK+ Scheduling Result " and its line's end are bold, underlined and 12
// points; everything else is plain Arial 10.
std::vector<Formatted> reportFormat(const std::string& text, int titleStart, int titleLength) {
    std::vector<Formatted> format;
    const std::u32string characters = utf32(text);
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const bool title =
            static_cast<int>(i) >= titleStart && static_cast<int>(i) < titleStart + titleLength;
        format.push_back({characters[i], title, title, title ? 3 : 2});
    }
    return format;
}

TEST(RtfReadByUnrtf, GoldenReportsShowTheirTextAndTitle) {
    int read = 0;
    for (const test::GoldenCase& c : test::goldenCases()) {
        SCOPED_TRACE(c.expected.toStdString());
        const std::string text =
            test::readFile(c.expected + QStringLiteral("/expected.txt")).toStdString();
        const std::string rtf =
            test::readFile(c.expected + QStringLiteral("/expected.rtf")).toStdString();
        ASSERT_TRUE(text.starts_with("\tTAVIK+ Scheduling Result \r\n"));
        expectUnrtfShows(rtf, text, reportFormat(text, 1, 26));
        ++read;
    }
    EXPECT_GE(read, 7);
}

TEST(RtfReadByUnrtf, ScheduleReportsWithNamesBeyondAscii) {
    // The shipped crops, with maize renamed to show that names beyond ASCII survive (with a
    // blank after each such character: unrtf drops text that directly follows one).
    test::CsvRows rows = test::shippedCropCsv();
    rows[2][0] = "Maize – ë ³ 🌽";
    CropTable crops;
    crops.load(test::sheetFromCsv(rows));
    for (const std::string json : {R"({"crop": "Wheat"})",
                                   R"({"crop": 3, "targetYield": 12000, "cycle": 10,
                                       "sprinklerPackage": {}})"}) {
        SCOPED_TRACE(json);
        const ScenarioParse parse = parseScenario(json);
        ASSERT_TRUE(parse.scenario) << parse.problem;
        const PlanOutcome outcome = runPlan(crops, *parse.scenario, kStamp);
        ASSERT_TRUE(outcome.result) << outcome.problem;
        const ScheduleReport& report = outcome.result->schedule.report;
        const std::string rtf = planRtf(*outcome.result);
        EXPECT_EQ(rtf, toRtf(scheduleRichText(report)));
        expectUnrtfShows(rtf, report.text,
                         reportFormat(report.text, report.titleStart, report.titleLength));
    }
}

TEST(RtfReadByUnrtf, RandomTextsAndSpans) {
    // Pieces where an escape or a control word's delimiter can go wrong. unrtf drops the text
    // that directly follows a \uN escape (its fallback character and more), and reads no
    // control characters: so a blank follows every character beyond ASCII, and there are no
    // control characters (their exact markup is checked above).
    const std::vector<std::u32string> pieces{
        U"a",           U"Z",           U"0",       U"9",       U" ",       U"\t",
        U"\\",          U"{",           U"}",       U";",       U"?",       U"-",
        U"\r\n",        U"\u00e9 ",     U"\u00b3 ", U"\u00a6 ", U"\u20ac ", U"\ufffd ",
        U"\U0001F600 ", U"\U0010FFFF ", U"u",       U"par",     U"x y",     U"<b>&amp;"};
    std::mt19937 random(20260102);
    const auto below = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    for (int round = 0; round < 150; ++round) {
        std::u32string text;
        const std::size_t count = 1 + below(30);
        for (std::size_t k = 0; k < count; ++k) {
            text += pieces[below(pieces.size())];
        }
        RichText richText;
        richText.fontFamily = "Arial";
        richText.fontPoints = 10.0;
        std::vector<Formatted> expected;
        for (const char32_t c : text) {
            expected.push_back({c, false, false, 2});
        }
        for (std::size_t s = below(4); s > 0; --s) {
            RichTextSpan span;
            span.start = static_cast<int>(below(text.size() + 2)) - 1;
            span.length = static_cast<int>(below(text.size() + 2));
            span.bold = below(2) == 0;
            span.underline = below(2) == 0;
            const std::size_t size = below(3);
            span.points = size == 0 ? std::nullopt : std::optional<double>(size == 1 ? 12 : 8);
            for (int i = std::max(span.start, 0);
                 i < std::min<int>(span.start + span.length, static_cast<int>(text.size())); ++i) {
                expected[static_cast<std::size_t>(i)] = {text[static_cast<std::size_t>(i)],
                                                         span.bold, span.underline,
                                                         span.points ? htmlSize(*span.points) : 2};
            }
            richText.spans.push_back(span);
        }
        for (const char32_t c : text) {
            appendUtf8(richText.text, c);
        }
        SCOPED_TRACE(richText.text);
        expectUnrtfShows(toRtf(richText), richText.text, expected);
        if (HasFatalFailure()) {
            return;
        }
    }
}

} // namespace
} // namespace tavik
