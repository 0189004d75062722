#include "FreexlSheet.h"

#include "UsedRangeCsv.h"

#include <array>
#include <cstring>
#include <freexl.h>
#include <fstream>
#include <iostream>

namespace tavik {

namespace {

// The largest sheet an Excel 97-2003 workbook can hold; larger dimensions mean a damaged file.
constexpr unsigned kMaxSheetRows = 65536;
constexpr unsigned kMaxSheetColumns = 256;

std::string freexlProblem(int code) {
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return "the file does not exist or cannot be opened for reading";
    case FREEXL_INSUFFICIENT_MEMORY:
        return "there is not enough memory to read it";
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

} // namespace

FreexlSheetResult readFirstSheetWithFreexl(const std::string& path) {
    FreexlSheetResult result;
    if (auto problem = notAWorkbook(path)) {
        result.error = std::move(*problem);
        return result;
    }
    FreexlHandle handle;
    const int opened = freexl_open(path.c_str(), handle.out());
    if (opened != FREEXL_OK) {
        result.error = freexlProblem(opened);
        return result;
    }
    if (handle.get() == nullptr) {
        result.error = "the file could not be opened as a workbook";
        return result;
    }
    unsigned int info = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_PASSWORD, &info) != FREEXL_OK) {
        result.error = "the file is damaged: its workbook settings cannot be read";
        return result;
    }
    if (info == FREEXL_BIFF_OBFUSCATED) {
        result.error = "the workbook is protected by a password";
        return result;
    }
    unsigned int sheets = 0;
    if (freexl_get_info(handle.get(), FREEXL_BIFF_SHEET_COUNT, &sheets) != FREEXL_OK) {
        result.error = "the file is damaged: its sheets cannot be counted";
        return result;
    }
    if (sheets == 0) {
        result.error = "the workbook has no worksheet";
        return result;
    }
    if (const int selected = freexl_select_active_worksheet(handle.get(), 0);
        selected != FREEXL_OK) {
        result.error = "its first worksheet cannot be opened: " + freexlProblem(selected);
        return result;
    }
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (const int dims = freexl_worksheet_dimensions(handle.get(), &rows, &columns);
        dims != FREEXL_OK) {
        result.error = "the size of its first worksheet cannot be read: " + freexlProblem(dims);
        return result;
    }
    if (rows > kMaxSheetRows || columns > kMaxSheetColumns) {
        result.error = "the file is damaged: its first worksheet claims " + std::to_string(rows) +
                       " rows and " + std::to_string(columns) + " columns";
        return result;
    }

    SheetCells sheet;
    sheet.rows.assign(rows, std::vector<Cell>(columns));
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value{};
            if (const int read = freexl_get_cell_value(handle.get(), r, c, &value);
                read != FREEXL_OK) {
                result.error = "the cell in row " + std::to_string(r + 1) + ", column " +
                               std::to_string(c + 1) + " cannot be read: " + freexlProblem(read);
                return result;
            }
            Cell& cell = sheet.rows[r][c];
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell = static_cast<double>(value.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                cell = value.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                cell = std::string(value.value.text_value != nullptr ? value.value.text_value : "");
                break;
            default:
                break; // FREEXL_CELL_NULL and anything unknown: an empty cell
            }
        }
    }
    result.sheet = std::move(sheet);
    return result;
}

int runWorkbookCommand(const std::string& path) {
    const FreexlSheetResult read = readFirstSheetWithFreexl(path);
    if (!read.sheet) {
        std::cerr << "tavik workbook: \"" << path << "\": " << read.error << '\n';
        return 3;
    }
    const std::string csv = formatUsedRangeCsv(*read.sheet);
    std::cout.write(csv.data(), static_cast<std::streamsize>(csv.size()));
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tavik workbook: the used range could not be written\n";
        return 3;
    }
    return 0;
}

} // namespace tavik
