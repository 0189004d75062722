// The readers of the crop workbook's formats (.xls, .xlsx, .ods), as tavik-workbook runs them:
// any bytes give a sheet or a reason, never both; a sheet stays within the crop table's limits,
// and its answer to the wizard reads back the same. The first byte picks the file's name
// (SampleData.xls, .xlsx, .ods, or no extension), the rest are the file.

#include "Checks.h"
#include "workbook/SheetAnswer.h"
#include "workbook/SheetRead.h"

#include <algorithm>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavik::fuzz::require;
    if (size == 0) {
        return 0;
    }
    static const std::string names[] = {"SampleData.xls", "SampleData.xlsx", "SampleData.ods",
                                        "SampleData"};
    const std::string& name = names[data[0] % 4];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const tavik::SheetRead read = tavik::readWorkbookBytes(bytes, name);
    require(read.sheet.has_value() != !read.problem.empty(), "a sheet or a reason, never both");
    if (!read.sheet) {
        return 0;
    }
    const auto& rows = read.sheet->rows;
    require(rows.size() <= tavik::kMaxSheetRows, "no more rows than a crop table has");
    std::size_t width = 0;
    for (const auto& row : rows) {
        width = std::max(width, row.size());
    }
    for (const auto& row : rows) {
        require(row.empty() || row.size() == width, "every row that holds a value as wide");
        require(row.size() <= tavik::kMaxSheetColumns, "no more columns than a crop table has");
        for (const auto& cell : row) {
            if (const auto* text = std::get_if<std::string>(&cell)) {
                require(text->size() <= tavik::kMaxCellTextBytes, "texts within their bound");
            }
        }
    }
    std::string error;
    const auto answered = tavik::parseSheetAnswer(tavik::formatSheetAnswer(*read.sheet), error);
    require(answered.has_value() && *answered == *read.sheet, "the answer reads back the same");
    return 0;
}
