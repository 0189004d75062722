#include "FreexlSheet.h"

#include "FormulaCells.h"
#include "UsedRangeCsv.h"
#include "state/CropTable.h"
#include "state/Utf8.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <freexl.h>
#include <fstream>
#include <functional>
#include <iostream>
#include <sys/resource.h>
#include <variant>

namespace tavik {

namespace {

// The largest sheet an Excel 97-2003 workbook can hold; larger dimensions mean a damaged file.
constexpr unsigned kMaxSheetRows = 65536;
constexpr unsigned kMaxSheetColumns = 256;

std::string tooManyRows(std::uint64_t rows) {
    return "its first worksheet's used range has " + std::to_string(rows) +
           " rows, more than the " + std::to_string(kMaxUsedRangeRows) + " rows that can be read";
}

// The first bytes of a text, cut where a UTF-8 sequence begins.
std::string boundedText(const char* text) {
    if (text == nullptr) {
        return {};
    }
    std::string value(text, strnlen(text, kMaxCellTextBytes + 1));
    if (value.size() > kMaxCellTextBytes) {
        std::size_t cut = kMaxCellTextBytes;
        while (cut > 0 && isUtf8Continuation(static_cast<unsigned char>(value[cut]))) {
            --cut;
        }
        value.resize(cut);
    }
    return value;
}

std::string freexlProblem(int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return "the file does not exist or cannot be opened for reading";
    case FREEXL_INSUFFICIENT_MEMORY:
        return kTooLargeProblem;
    case FREEXL_INVALID_CFBF_HEADER:
        return "it is not an Excel 97-2003 workbook (.xls): its file header is not one";
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return "the file holds no workbook";
    case FREEXL_INVALID_CHARACTER:
    case FREEXL_UNSUPPORTED_CHARSET:
        return "its texts are in a character set that cannot be read";
    case FREEXL_CFBF_READ_ERROR:
    case FREEXL_CFBF_SEEK_ERROR:
        return "the file is damaged or incomplete";
    case FREEXL_CRAFTED_FILE:
        return "the file is severely damaged";
    default:
        return "the file is damaged (reader error " + std::to_string(code) + ")";
    }
}

// Closes the FreeXL handle on every way out.
class FreexlHandle {
public:
    FreexlHandle() = default;
    FreexlHandle(const FreexlHandle&) = delete;
    FreexlHandle& operator=(const FreexlHandle&) = delete;
    ~FreexlHandle() {
        if (handle_ != nullptr) {
            freexl_close(handle_);
        }
    }
    const void** out() { return &handle_; }
    const void* get() const { return handle_; }

private:
    const void* handle_ = nullptr;
};

// Tells, from the first bytes, what kind of file this is when it is no Excel 97-2003
// workbook; nothing when it carries the compound-file signature such workbooks have.
std::optional<std::string> notAWorkbook(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return "the file does not exist or cannot be opened for reading";
    }
    std::array<char, 8> head{};
    file.read(head.data(), head.size());
    constexpr std::array<unsigned char, 8> compoundFile{0xD0, 0xCF, 0x11, 0xE0,
                                                        0xA1, 0xB1, 0x1A, 0xE1};
    if (file.gcount() == 8 && std::memcmp(head.data(), compoundFile.data(), 8) == 0) {
        return std::nullopt;
    }
    if (file.gcount() >= 4 && std::memcmp(head.data(), "PK\x03\x04", 4) == 0) {
        return "it is a newer Excel workbook (.xlsx); save it in the Excel 97-2003 format (.xls)";
    }
    return "it is not an Excel 97-2003 workbook (.xls)";
}

// The whole file, at most kMaxWorkbookFileBytes of it; none when it cannot be read or is
// larger.
std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    const std::streamoff size = file ? static_cast<std::streamoff>(file.tellg()) : -1;
    if (size < 0 || static_cast<std::size_t>(size) > kMaxWorkbookFileBytes) {
        return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    file.seekg(0);
    file.read(bytes.data(), static_cast<std::streamsize>(size));
    if (file.gcount() != size) {
        return std::nullopt;
    }
    return bytes;
}

// The stored results of the formula cells in the part of the sheet that is read, by row:
// (column, value) pairs.
using FormulaResults = std::vector<std::vector<std::pair<unsigned, Cell>>>;

FormulaResults formulaResults(const FormulaScan& scan) {
    FormulaResults results;
    for (const FormulaCell& formula : scan.cells) {
        if (formula.row >= results.size()) {
            results.resize(formula.row + 1);
        }
        Cell value = UnreadableCell{formula.why};
        if (const auto* number = std::get_if<double>(&formula.value)) {
            value = *number;
        } else if (const auto* text = std::get_if<std::string>(&formula.value)) {
            value = boundedText(text->c_str());
        }
        results[formula.row].emplace_back(formula.column, std::move(value));
    }
    return results;
}

// What the cell reader would fail on, or allocate far too much for, said before it starts:
// a sheet claiming more rows or cells than can be read, texts longer than it can take.
std::optional<std::string> impossibleClaim(const FormulaScan& scan) {
    const std::uint64_t rows = scan.claimedRows.value_or(0);
    const std::uint64_t columns = scan.claimedColumns.value_or(0);
    if (rows > kMaxSheetRows || columns > kMaxSheetColumns) {
        return "the file is damaged: its first worksheet claims " + std::to_string(rows) +
               " rows and " + std::to_string(columns) + " columns";
    }
    if (rows > kMaxUsedRangeRows) {
        return tooManyRows(rows);
    }
    // The cell reader sets aside about 16 bytes for every cell the sheet claims.
    rlimit limit{};
    if (getrlimit(RLIMIT_DATA, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        rows * columns * 16 > limit.rlim_cur / 4 * 3) {
        return std::string(kTooLargeProblem) + " (it claims " + std::to_string(rows) + " rows of " +
               std::to_string(columns) + " columns)";
    }
    if (!scan.longTexts.empty()) {
        const LongText& text = scan.longTexts.front();
        return "the text in row " + std::to_string(text.row + 1) + ", column " +
               std::to_string(text.column + 1) + " is " + std::to_string(text.characters) +
               " characters long, longer than the workbook reader can take (a crop name may "
               "have at most " +
               std::to_string(kMaxCropNameLength) + " characters)";
    }
    if (scan.longSharedText) {
        return "it holds a text of " + std::to_string(*scan.longSharedText) +
               " characters, longer than the workbook reader can take (a crop name may have at "
               "most " +
               std::to_string(kMaxCropNameLength) + " characters)";
    }
    return std::nullopt;
}

// The results stored with the formula cells, which the cell reader cannot tell, read from the
// file itself; the error when the file is no workbook or claims what cannot be read.
std::variant<FormulaResults, std::string> readFormulaResults(const std::string& path) {
    if (auto problem = notAWorkbook(path)) {
        return std::move(*problem);
    }
    const auto bytes = readWholeFile(path);
    if (!bytes) {
        return "the file cannot be read in full, or it is larger than " +
               std::to_string(kMaxWorkbookFileBytes / (1024 * 1024)) + " MiB";
    }
    const FormulaScan scan = scanFormulaCells(*bytes, static_cast<unsigned>(kMaxUsedRangeRows),
                                              static_cast<unsigned>(kMaxUsedRangeColumns));
    if (!scan.problem.empty()) {
        return scan.problem;
    }
    if (auto problem = impossibleClaim(scan)) {
        return std::move(*problem);
    }
    return formulaResults(scan);
}

// The part of the first worksheet that is read.
struct SheetSize {
    unsigned int rows = 0;
    unsigned short columns = 0;
};

// Opens the workbook's first worksheet with the cell reader; the error when it cannot.
std::variant<SheetSize, std::string> openFirstSheet(FreexlHandle& handle, const std::string& path) {
    const int opened = freexl_open(path.c_str(), handle.out());
    if (opened != FREEXL_OK) {
        return freexlProblem(opened);
    }
    if (handle.get() == nullptr) {
        return "the file could not be opened as a workbook";
    }
    unsigned int info = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK) {
        return "the file is damaged: its workbook settings cannot be read";
    }
    if (info == FREEXL_BIFF_OBFUSCATED) {
        return "the workbook is protected by a password";
    }
    unsigned int sheets = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        return "the file is damaged: its sheets cannot be counted";
    }
    if (sheets == 0) {
        return "the workbook has no worksheet";
    }
    if (const int selected = freexl_select_active_worksheet(handle.get(), 0);
        selected != FREEXL_OK) {
        return "its first worksheet cannot be opened: " + freexlProblem(selected);
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (const int dims = freexl_worksheet_dimensions(handle.get(), &rows, &columns);
        dims != FREEXL_OK) {
        return "the size of its first worksheet cannot be read: " + freexlProblem(dims);
    }
    if (rows > kMaxSheetRows || columns > kMaxSheetColumns) {
        return "the file is damaged: its first worksheet claims " + std::to_string(rows) +
               " rows and " + std::to_string(columns) + " columns";
    }
    // The crop table counts its rows in 16 bits and reads 37 columns: nothing beyond is read.
    if (rows > kMaxUsedRangeRows) {
        return tooManyRows(rows);
    }
    return SheetSize{
        rows, static_cast<unsigned short>(std::min<std::size_t>(columns, kMaxUsedRangeColumns))};
}

// A cell as the cell reader gives it: numbers, texts (dates and times as their text), and
// empty for FREEXL_CELL_NULL and anything unknown.
Cell cellOf(const FreeXL_CellValue& value) {
    switch (value.type) {
    case FREEXL_CELL_INT:
        return static_cast<double>(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
        return value.value.double_value;
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
        return boundedText(value.value.text_value);
    default:
        return Cell{};
    }
}

// Reads one row of the sheet into `row`; the error when a cell cannot be read. A formula cell
// reads as empty; it holds the result the workbook stored with it, or is unreadable.
std::optional<std::string> readRow(const FreexlHandle& handle, unsigned int r,
                                   unsigned short columns, const FormulaResults& formulas,
                                   std::vector<Cell>& row) {
    row.assign(columns, Cell{});
    for (unsigned short c = 0; c < columns; ++c) {
        FreeXL_CellValue value{};
        if (const int read = freexl_get_cell_value(handle.get(), r, c, &value); read != FREEXL_OK) {
            return "the cell in row " + std::to_string(r + 1) + ", column " +
                   std::to_string(c + 1) + " cannot be read: " + freexlProblem(read);
        }
        row[c] = cellOf(value);
    }
    if (r < formulas.size()) {
        for (const auto& [column, value] : formulas[r]) {
            if (column < row.size() && isEmpty(row[column])) {
                row[column] = value;
            }
        }
    }
    return std::nullopt;
}

// Reads the used range row by row, handing each row on as it is read; the error, if any.
std::optional<std::string> readRows(const std::string& path,
                                    const std::function<void(std::vector<Cell>&&)>& takeRow) {
    auto scanned = readFormulaResults(path);
    if (auto* error = std::get_if<std::string>(&scanned)) {
        return std::move(*error);
    }
    const FormulaResults formulas = std::move(std::get<FormulaResults>(scanned));
    FreexlHandle handle;
    const auto opened = openFirstSheet(handle, path);
    if (const auto* error = std::get_if<std::string>(&opened)) {
        return *error;
    }
    const SheetSize size = std::get<SheetSize>(opened);
    std::vector<Cell> row(size.columns);
    for (unsigned int r = 0; r < size.rows; ++r) {
        if (auto error = readRow(handle, r, size.columns, formulas, row)) {
            return error;
        }
        takeRow(std::move(row));
    }
    return std::nullopt;
}

} // namespace

FreexlSheetResult readFirstSheetWithFreexl(const std::string& path) {
    FreexlSheetResult result;
    SheetCells sheet;
    if (auto error = readRows(
            path, [&sheet](std::vector<Cell>&& row) { sheet.rows.push_back(std::move(row)); })) {
        result.problem = std::move(*error);
        return result;
    }
    result.sheet = std::move(sheet);
    return result;
}

int runWorkbookCommand(const std::string& path) {
    try {
        // Rows go out as they are read: the reader holds no more than the parser's own cells.
        std::string csv;
        const auto error = readRows(path, [&csv](std::vector<Cell>&& row) {
            appendUsedRangeCsvRow(csv, row);
            if (csv.size() >= 1 << 16) {
                std::cout.write(csv.data(), static_cast<std::streamsize>(csv.size()));
                csv.clear();
            }
        });
        if (error) {
            std::cerr << "tavik workbook: \"" << path << "\": " << *error << '\n';
            return kExitWorkbookProblem;
        }
        std::cout.write(csv.data(), static_cast<std::streamsize>(csv.size()));
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "tavik workbook: the used range could not be written\n";
            return kExitWorkbookProblem;
        }
        return 0;
    } catch (const std::bad_alloc&) {
        // The reader runs with a memory limit: a sheet that needs more is too large to be a
        // crop table, whatever it claims.
        std::cerr << "tavik workbook: \"" << path << "\": " << kTooLargeProblem << '\n';
        return kExitWorkbookProblem;
    }
}

} // namespace tavik
