// The answer in which tavik-workbook hands the sheet to the wizard: any sheet reads back as it
// was written, and anything else is refused with the line.

#include "workbook/SheetAnswer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tavik {
namespace {

// Sheets of random shapes and cells: numbers at the edges of the double range, texts with
// every byte (newlines, spaces, digits) and unreadable cells.
TEST(SheetAnswer, EverySheetReadsBackAsItWasWritten) {
    std::mt19937 random(22);
    const double numbers[] = {
        0.0, -0.0, 6000, 0.261, -1e-300, 4.9e-324, std::numeric_limits<double>::max(), 1.0 / 3};
    for (int trial = 0; trial < 300; ++trial) {
        SheetCells sheet;
        const std::size_t columns = random() % (kMaxAnswerColumns + 1);
        sheet.rows.assign(random() % 20, std::vector<Cell>(columns));
        for (auto& row : sheet.rows) {
            for (auto& cell : row) {
                std::string text(random() % 12 == 0 ? kMaxCellTextBytes : random() % 9, '\0');
                for (char& c : text) {
                    c = static_cast<char>(random() % 4 == 0 ? '\n' : random());
                }
                switch (random() % 4) {
                case 0:
                    cell = numbers[random() % std::size(numbers)];
                    break;
                case 1:
                    cell = text;
                    break;
                case 2:
                    cell = UnreadableCell{text};
                    break;
                default:
                    break;
                }
            }
        }
        std::string error;
        const auto back = parseSheetAnswer(formatSheetAnswer(sheet), error);
        ASSERT_TRUE(back) << error;
        // A row without a value comes back empty.
        for (auto& row : sheet.rows) {
            if (std::all_of(row.begin(), row.end(), isEmpty)) {
                row.clear();
            }
        }
        EXPECT_EQ(*back, sheet) << trial;
    }
}

TEST(SheetAnswer, AnythingElseIsRefusedWithItsLine) {
    const std::string head = "tavik-sheet 1\n2 3\n";
    const struct {
        std::string answer;
        const char* error;
    } cases[] = {
        {"", "line 1: it does not begin"},
        {"tavik-sheet 2\n0 0\nend\n", "line 1: it does not begin"},
        {"tavik-sheet 1\n32768 3\nend\n", "line 2: the size of the used range"},
        {"tavik-sheet 1\n2 38\nend\n", "line 2: the size of the used range"},
        {"tavik-sheet 1\n02 3\nend\n", "line 2: the size of the used range"},
        {head + "n 1 1 5\n", "line 3: the answer ends before \"end\""},
        {head + "n 1 1 5\nend", "line 3: the answer ends before \"end\""},
        {head + "n 3 1 5\nend\n", "line 3: a cell lies outside the used range"},
        {head + "n 1 4 5\nend\n", "line 3: a cell lies outside the used range"},
        {head + "n 0 1 5\nend\n", "line 3: a cell lies outside the used range"},
        {head + "n 1 2 5\nn 1 2 6\nend\n", "line 4: a cell is out of order or given twice"},
        {head + "n 2 1 5\nn 1 3 6\nend\n", "line 4: a cell is out of order or given twice"},
        {head + "n 1 1 five\nend\n", "line 3: a number cannot be read"},
        {head + "n 1 1 inf\nend\n", "line 3: a number cannot be read"},
        {head + "n 1 1 \nend\n", "line 3: a number cannot be read"},
        {head + "t 1 1 5\nabc\nend\n", "line 3: a text is longer than"},
        {head + "t 1 1 4097\n" + std::string(4097, 'x') + "\nend\n",
         "line 3: a text is longer than"},
        {head + "t 1 1 3\nabcd\nend\n", "line 3: a text is longer than"},
        {head + "x 1 1 3\nend\n", "line 3: an entry of an unknown kind"},
        {head + "n 1 1\nend\n", "line 3: an entry is not"},
        {head + "nn 1 1 5\nend\n", "line 3: an entry is not"},
        {head + "end\nn 1 1 5\n", "line 3: something follows \"end\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer.substr(0, 60));
        std::string error;
        EXPECT_FALSE(parseSheetAnswer(c.answer, error));
        EXPECT_EQ(error.rfind(c.error, 0), 0U) << error;
    }
    std::string error;
    const auto fine = parseSheetAnswer(head + "t 2 3 0\n\nu 2 3 0\n\nend\n", error);
    EXPECT_FALSE(fine) << "the same cell twice";
}

} // namespace
} // namespace tavik
