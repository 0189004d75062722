// The text form in which the workbook reader hands a used range to the wizard: every cell
// must come back with its kind and its exact value, and anything malformed is refused.

#include "state/NumberText.h"
#include "workbook/UsedRangeCsv.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace tavik {
namespace {

TEST(UsedRangeCsv, RoundTripKeepsKindsAndExactValues) {
    SheetCells sheet;
    sheet.rows = {
        {std::string("Crop"), std::string("Stage1EndFactor"), Cell{}},
        {std::string("Potatoes (summer)"), 0.1, 0.0000027, 1e308, -5e-324, 6000.0},
        {std::string("6000"), std::string("say \"hi\", then, go"), std::string("two\nlines"),
         std::string("ünïcode ³"), std::string(""), Cell{}},
        {Cell{}},
        {0.30000000000000004, -0.0, std::numeric_limits<double>::infinity()},
        {UnreadableCell{"its result was never calculated"}, std::string("?\"")},
    };
    std::string error;
    const auto back = parseUsedRangeCsv(formatUsedRangeCsv(sheet), error);
    ASSERT_TRUE(back) << error;
    EXPECT_EQ(*back, sheet);
    EXPECT_TRUE(std::signbit(std::get<double>(back->rows[4][1])));
    EXPECT_TRUE(isText(back->rows[2][0])) << "a quoted number stays a text";
    EXPECT_TRUE(isText(back->rows[2][4])) << "an empty text is not an empty cell";
}

TEST(UsedRangeCsv, WritesNumbersBareAndTextsQuoted) {
    SheetCells sheet;
    sheet.rows = {{std::string("Wheat"), 0.261, Cell{}, 128.0}, {Cell{}, Cell{}}};
    EXPECT_EQ(formatUsedRangeCsv(sheet), "\"Wheat\",0.261,,128\n,\n");
    EXPECT_EQ(formatUsedRangeCsv(SheetCells{}), "");
}

TEST(UsedRangeCsv, RefusesMalformedText) {
    for (const char* bad :
         {"\"open", "1,2", "1,", "abc\n", "1x,2\n", "\"a\"b\n", "\"a\"\"\n", "1 ,2\n", "0x10\n"}) {
        std::string error;
        EXPECT_FALSE(parseUsedRangeCsv(bad, error)) << bad;
        EXPECT_FALSE(error.empty()) << bad;
    }
    std::string error;
    const auto empty = parseUsedRangeCsv("", error);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->rows.empty());
    // No more than the crop table can hold: 37 columns, 32,767 rows.
    EXPECT_TRUE(parseUsedRangeCsv(std::string(36, ',') + "\n", error));
    EXPECT_FALSE(parseUsedRangeCsv(std::string(37, ',') + "\n", error));
    EXPECT_NE(error.find("more than 37 columns"), std::string::npos) << error;
    std::string rows(32767, '\n');
    EXPECT_TRUE(parseUsedRangeCsv(rows, error));
    EXPECT_FALSE(parseUsedRangeCsv(rows + "\n", error));
    EXPECT_NE(error.find("more than 32767 rows"), std::string::npos) << error;
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

TEST(NumberText, WholeTextNumbers) {
    EXPECT_EQ(wholeTextNumber(" 6000 "), 6000);
    EXPECT_EQ(wholeTextNumber("+1.5e3"), 1500);
    EXPECT_EQ(wholeTextNumber("-0.25"), -0.25);
    for (const char* no : {"", "  ", "5%", "7.5 kg", "abc", "inf", "nan", "1e999", "+-1", "1,5"}) {
        EXPECT_FALSE(wholeTextNumber(no)) << no;
    }
    EXPECT_EQ(shortestText(6000), "6000");
    EXPECT_EQ(shortestText(0.261), "0.261");
    EXPECT_EQ(shortestText(-2.5), "-2.5");
}

} // namespace
} // namespace tavik
