// The used range as `tavik workbook FILE` prints it.

#include "workbook/UsedRangeCsv.h"

#include <gtest/gtest.h>

namespace tavik {
namespace {

TEST(UsedRangeCsv, WritesNumbersBareAndTextsQuoted) {
    SheetCells sheet;
    sheet.rows = {{std::string("Wheat"), 0.261, Cell{}, 128.0},
                  {Cell{}, Cell{}},
                  {std::string("say \"6000\""), UnreadableCell{"its result is an error"}}};
    EXPECT_EQ(formatUsedRangeCsv(sheet), "\"Wheat\",0.261,,128\n,\n\"say \"\"6000\"\"\",?\"its "
                                         "result is an error\"\n");
    EXPECT_EQ(formatUsedRangeCsv(SheetCells{}), "");
}

} // namespace
} // namespace tavik
