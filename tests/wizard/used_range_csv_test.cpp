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

} // namespace
} // namespace tavik
