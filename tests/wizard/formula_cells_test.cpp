// Reading the stored results of formula cells, the size the first sheet claims and the texts too
// long for the cell reader: workbooks written by xlwt (which stores no results) and by LibreOffice
// Calc, workbooks assembled here record by record, and damaged files. The verdicts on long texts
// are those the cell reader gave on the same workbooks.

#include "workbook/FormulaCells.h"

#include <bit>
#include <cstdint>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <random>
#include <sstream>

namespace tavik {
namespace {

using Value = std::variant<std::monostate, double, std::string>;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;

std::string le(std::uint64_t value, std::size_t bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}
std::string record(std::uint16_t type, const std::string& data) {
    return le(type, 2) + le(data.size(), 2) + data;
}
std::string bof(std::uint16_t version, std::uint16_t kind) {
    return record(0x0809, le(version, 2) + le(kind, 2) + std::string(12, '\0'));
}
const std::string kEof = record(0x000A, "");
std::string formula(unsigned row, unsigned column, const std::string& result) {
    return record(0x0006, le(row, 2) + le(column, 2) + le(15, 2) + result + std::string(8, '\0'));
}
std::string number(double value) {
    return le(std::bit_cast<std::uint64_t>(value), 8);
}
// A result that is no number: FF FF in its top bytes, its kind in the first.
std::string nonNumber(char kind, char value = 0) {
    return std::string{kind, 0, value, 0, 0, 0, '\xFF', '\xFF'};
}
std::string text8(const std::string& latin1) {
    return record(0x0207, le(latin1.size(), 2) + '\0' + latin1);
}
std::string dimensions(std::uint32_t rows, unsigned columns) {
    return record(0x0200, le(0, 4) + le(rows, 4) + le(0, 2) + le(columns, 2) + le(0, 2));
}
// The shared-text table: `unique` texts whose bytes begin in `data` and go on in `pieces`.
std::string sharedTexts(std::uint32_t unique, const std::string& data,
                        const std::vector<std::string>& pieces = {}) {
    std::string out = record(0x00FC, le(unique, 4) + le(unique, 4) + data);
    for (const std::string& piece : pieces) {
        out += record(0x003C, piece);
    }
    return out;
}
// A shared text of 8-bit characters, all in one piece.
std::string shared8(const std::string& latin1) {
    return le(latin1.size(), 2) + '\0' + latin1;
}
std::string labelSst(unsigned row, unsigned column, std::uint32_t index) {
    return record(0x00FD, le(row, 2) + le(column, 2) + le(15, 2) + le(index, 4));
}

// A workbook stream: globals naming one sheet, that sheet, then `after` (where a second sheet
// would be).
std::string workbook(const std::string& sheet, std::uint16_t version = 0x0600,
                     const std::string& globals = "", const std::string& after = "") {
    std::string head = bof(version, 5) + globals;
    const std::size_t sheetAt = head.size() + 13 + kEof.size();
    head += record(0x0085, le(sheetAt, 4) + std::string("\0\0\1\0S", 5)) + kEof;
    return head + bof(version, 0x10) + sheet + kEof + after;
}

std::string directoryEntry(const std::string& name, char type, std::uint32_t start,
                           std::size_t size) {
    std::string entry;
    for (const char c : name) {
        entry += le(static_cast<unsigned char>(c), 2);
    }
    entry.resize(64, '\0');
    entry += le(2 * (name.size() + 1), 2) + type + '\1' + le(0xFFFFFFFF, 8) +
             le(type == 5 ? 1 : 0xFFFFFFFF, 4);
    entry.resize(116, '\0');
    return entry + le(start, 4) + le(size, 8);
}

// A compound file holding one stream, in sectors of 512 bytes (shift 9) or 4096 (shift 12).
// Sector 0 is the FAT, 1 the directory; a stream under 4096 bytes lies in the mini stream (its
// mini FAT in sector 2, the mini stream from sector 3), a larger one from sector 2 on.
std::string compoundFile(const std::string& stream, const std::string& name = "Workbook",
                         unsigned shift = 9) {
    const std::size_t size = std::size_t{1} << shift;
    const auto pad = [](std::string s, std::size_t unit, char fill) {
        s.resize((s.size() + unit - 1) / unit * unit, fill);
        return s;
    };
    const bool mini = stream.size() < 4096;
    const std::string content = pad(stream, mini ? 64 : size, '\0');
    // With 512-byte sectors only the low 32 bits of a size count; writers may leave junk above.
    const std::uint64_t junk = shift == 9 ? 0xDEAD00000000 : 0;
    std::string body =
        pad(directoryEntry("Root Entry", 5, mini ? 3 : kEnd, (mini ? content.size() : 0) | junk) +
                directoryEntry(name, 2, mini ? 0 : 2, stream.size() | junk),
            size, '\0');
    std::vector<std::uint32_t> fat(size / 4, 0xFFFFFFFF);
    fat[0] = 0xFFFFFFFD;
    fat[1] = kEnd;
    const auto chain = [&](const std::string& piece) {
        const std::size_t first = 1 + body.size() / size;
        const std::size_t count = pad(piece, size, '\0').size() / size;
        for (std::size_t i = 0; i < count; ++i) {
            fat[first + i] = i + 1 < count ? static_cast<std::uint32_t>(first + i + 1) : kEnd;
        }
        body += pad(piece, size, '\0');
    };
    if (mini) {
        std::string miniFat;
        for (std::size_t i = 0, n = content.size() / 64; i < n; ++i) {
            miniFat += le(i + 1 < n ? i + 1 : kEnd, 4);
        }
        chain(pad(miniFat, size, '\xFF'));
    }
    chain(content);
    std::string file = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(16, '\0') +
                       le(0x3E, 2) + le(shift == 9 ? 3 : 4, 2) + le(0xFFFE, 2) + le(shift, 2) +
                       le(6, 2) + std::string(10, '\0') + le(1, 4) + le(1, 4) + le(0, 4) +
                       le(4096, 4) + le(mini ? 2 : kEnd, 4) + le(mini ? 1 : 0, 4) + le(kEnd, 4) +
                       le(0, 4) + le(0, 4);
    file.resize(512, '\xFF');
    file.resize(size, '\0');
    for (const std::uint32_t entry : fat) {
        file += le(entry, 4);
    }
    return file + body;
}

std::string patched(std::string bytes, std::size_t at, std::uint32_t value) {
    return bytes.replace(at, 4, le(value, 4));
}

std::string fileBytes(const std::string& relative) {
    std::ifstream file(std::string(TAVIK_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

constexpr unsigned kRows = 10;
constexpr unsigned kColumns = 38;
const std::string kNever = "its result was never calculated";

// `why` is a piece of the expected reason, empty when the value is readable.
struct Expected {
    unsigned row;
    unsigned column;
    Value value;
    std::string why = {};
};

void expectCells(const FormulaScan& scan, const std::vector<Expected>& expected) {
    ASSERT_EQ(scan.problem, "");
    ASSERT_EQ(scan.cells.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const FormulaCell& cell = scan.cells[i];
        EXPECT_EQ(cell.row, expected[i].row) << i;
        EXPECT_EQ(cell.column, expected[i].column) << i;
        EXPECT_EQ(cell.value, expected[i].value) << i;
        if (expected[i].why.empty()) {
            EXPECT_EQ(cell.why, "") << i;
        } else {
            EXPECT_NE(cell.why.find(expected[i].why), std::string::npos) << i << ": " << cell.why;
        }
    }
}

TEST(FormulaCells, ReadsTheResultsTheWorkbookStored) {
    const std::string chart = bof(0x0600, 0x20) + formula(5, 5, number(9)) + kEof;
    const struct {
        const char* name;
        std::string sheet;
        std::vector<Expected> expected;
        std::uint16_t version = 0x0600;
        std::string streamName = "Workbook";
    } cases[] = {
        {"numbers",
         formula(1, 2, number(8000)) + formula(2, 3, number(-0.25)),
         {{1, 2, 8000.0}, {2, 3, -0.25}}},
        {"texts of 8-bit, 16-bit and continued characters",
         formula(1, 2, nonNumber(0)) + text8("ma\xEFs") + formula(2, 2, nonNumber(0)) +
             record(0x0207, le(3, 2) + std::string("\x01\xA9\x03\x3D\xD8\x00\xDE", 7)) +
             formula(3, 2, nonNumber(0)) + record(0x0207, le(4, 2) + '\0' + "ab") +
             record(0x003C, std::string("\x01\xA9\x03", 3)) +
             record(0x003C, std::string("\0c", 2)) + formula(4, 2, nonNumber(0)) +
             record(0x0207, le(2, 2) + '\x08' + le(1, 2) + "ok" + le(0, 4)),
         {{1, 2, "ma\xC3\xAFs"},
          {2, 2, "\xCE\xA9\xF0\x9F\x98\x80"},
          {3, 2, std::string("ab\xCE\xA9") + "c"},
          {4, 2, "ok"}}},
        {"a text after the records of a shared formula",
         formula(1, 2, nonNumber(0)) + record(0x04BC, "shared") + text8("Wheat"),
         {{1, 2, "Wheat"}}},
        {"results that cannot be read",
         formula(1, 0, nonNumber(1, 1)) + formula(1, 1, nonNumber(2, 7)) +
             formula(1, 2, nonNumber(3)) +
             formula(1, 3, number(std::numeric_limits<double>::infinity())) +
             formula(1, 4, nonNumber(9)),
         {{1, 0, {}, "truth value"},
          {1, 1, {}, "an error"},
          {1, 2, {}, kNever},
          {1, 3, {}, "not a finite number"},
          {1, 4, {}, "unknown kind"}}},
        {"a missing and a damaged text",
         formula(1, 2, nonNumber(0)) + formula(2, 2, number(1)) + formula(3, 2, nonNumber(0)) +
             record(0x0207, le(5, 2) + '\0' + "ab"),
         {{1, 2, {}, "text result is missing"}, {2, 2, 1.0}, {3, 2, {}, "damaged"}}},
        {"only the first sheet's cells within the limits",
         formula(2, 2, number(3)) + formula(1, 40, nonNumber(0)) + text8("skipped") +
             formula(10, 0, number(4)) + chart + formula(9, 37, nonNumber(0)) + text8("last"),
         {{2, 2, 3.0}, {9, 37, "last"}}},
        {"an Excel 5 workbook",
         formula(1, 2, nonNumber(0)) + record(0x0207, le(5, 2) + "Maize") +
             formula(2, 2, nonNumber(0)) + record(0x0207, le(4, 2) + "ma\xEFs"),
         {{1, 2, "Maize"}, {2, 2, {}, "character set"}},
         0x0500,
         "BOOK"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string after = bof(c.version, 0x10) + formula(1, 1, number(5)) + kEof;
        const std::string small = workbook(c.sheet, c.version, "", after);
        // Padding records make the stream too large for the mini stream.
        const std::string large =
            workbook(record(0x0099, std::string(5000, 'x')) + c.sheet, c.version, "", after);
        for (const unsigned shift : {9U, 12U}) {
            expectCells(scanFormulaCells(compoundFile(small, c.streamName, shift), kRows, kColumns),
                        c.expected);
            expectCells(scanFormulaCells(compoundFile(large, c.streamName, shift), kRows, kColumns),
                        c.expected);
        }
    }
}

TEST(FormulaCells, RefusesFilesWhoseStructureCannotBeFollowed) {
    const std::string sheet = formula(1, 2, number(1));
    const std::string big = compoundFile(workbook(record(0x0099, std::string(5000, 'x')) + sheet));
    const std::string small = compoundFile(workbook(sheet));
    const std::size_t streamEntry = 1024 + 128;
    const struct {
        const char* name;
        std::string bytes;
        const char* error;
    } cases[] = {
        {"an empty file", "", "not an Excel 97-2003 workbook"},
        {"encrypted", compoundFile(workbook(sheet, 0x0600, record(0x002F, "key"))), "password"},
        {"no sheet", compoundFile(bof(0x0600, 5) + kEof), "no worksheet"},
        {"no workbook stream", compoundFile(workbook(sheet), "Data"), "cannot be found"},
        {"a record past the end", compoundFile(workbook(le(6, 2) + le(200, 2) + "x")), "records"},
        {"a short sheet size", compoundFile(workbook(record(0x0200, le(0, 8)))), "records"},
        {"a sheet past the end",
         compoundFile(bof(0x0600, 5) + record(0x0085, le(100000, 4) + "\0\0") + kEof),
         "first worksheet"},
        {"no sheet at the sheet's offset",
         compoundFile(bof(0x0600, 5) + record(0x0085, le(4, 4) + "\0\0") + kEof),
         "first worksheet"},
        {"a bad sector size", patched(big, 0x1C, 0x000AFFFE), "file header"},
        {"more FAT sectors than sectors", patched(big, 0x2C, 0x7FFFFFFF), "sector chains"},
        {"a FAT cycle", patched(big, 512 + 4 * 3, 2), "sector chains"},
        {"a looping directory", patched(big, 512 + 4, 1), "sector chains"},
        {"a sector past the end", patched(big, streamEntry + 116, 5000), "sector chains"},
        {"a stream longer than its chain",
         patched(big, streamEntry + 120, static_cast<std::uint32_t>(big.size() - 600)),
         "sector chains"},
        {"a mini FAT cycle", patched(small, 1536, 0), "sector chains"},
        {"a mini stream past the end", patched(small, 1024 + 120, 100000), "sector chains"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FormulaScan scan = scanFormulaCells(c.bytes, kRows, kColumns);
        EXPECT_NE(scan.problem.find(c.error), std::string::npos) << scan.problem;
        EXPECT_TRUE(scan.cells.empty());
    }
}

TEST(FormulaCells, ReadsTheSizeTheFirstSheetClaims) {
    // The shipped sample, its claim patched: the cell reader counts from row and column 0,
    // whatever first row and column the record names.
    std::string sample = fileBytes("wizard/resources/SampleData.xls");
    const std::size_t claim = sample.find(std::string("\x00\x02\x0E\x00", 4));
    ASSERT_NE(claim, std::string::npos);
    sample.replace(claim + 4, 12, le(3, 4) + le(5000, 4) + le(2, 2) + le(300, 2));
    const std::string chart = bof(0x0600, 0x20) + dimensions(900, 90) + kEof;
    const std::string otherSheet = bof(0x0600, 0x10) + dimensions(800, 80) + kEof;
    const struct {
        const char* name;
        std::string bytes;
        std::optional<std::uint32_t> rows;
        std::optional<std::uint32_t> columns;
    } cases[] = {
        {"a patched sample", sample, 5000, 300},
        {"the largest of two claims, not a chart's or the next sheet's",
         compoundFile(
             workbook(dimensions(7, 2) + chart + dimensions(6, 40), 0x0600, "", otherSheet)),
         7, 40},
        {"an Excel 5 workbook",
         compoundFile(
             workbook(record(0x0200, le(1, 2) + le(4, 2) + le(0, 2) + le(3, 2) + le(0, 2)), 0x0500),
             "Book"),
         4, 3},
        {"no claim", compoundFile(workbook(formula(1, 2, number(1)))), std::nullopt, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const FormulaScan scan = scanFormulaCells(c.bytes, kRows, kColumns);
        ASSERT_EQ(scan.problem, "");
        EXPECT_EQ(scan.claimedRows, c.rows);
        EXPECT_EQ(scan.claimedColumns, c.columns);
    }
}

void expectLongTexts(const FormulaScan& scan, const std::vector<LongText>& expected,
                     std::optional<unsigned> longShared) {
    ASSERT_EQ(scan.problem, "");
    EXPECT_EQ(scan.longSharedText, longShared);
    ASSERT_EQ(scan.longTexts.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(scan.longTexts[i].row, expected[i].row) << i;
        EXPECT_EQ(scan.longTexts[i].column, expected[i].column) << i;
        EXPECT_EQ(scan.longTexts[i].characters, expected[i].characters) << i;
    }
}

// Four texts laid over seven pieces: "abΩΩ" (8-bit, then 16-bit in the next piece, its run and
// phonetic data there too), "xyz" (its phonetic data running into the third piece), then two too
// long, each over three pieces: 300 letters, and as the last text 30 letters (8-bit, 16-bit and
// 8-bit again).
const std::string kMixedTexts =
    sharedTexts(4, le(4, 2) + '\x0C' + le(1, 2) + le(3, 4) + "ab",
                {std::string("\x01\xA9\x03\xA9\x03", 5) + le(0, 4) + "PHO" + le(3, 2) + '\x04' +
                     le(6, 4) + "xyz" + "ph",
                 "onet" + le(300, 2) + '\0' + std::string(100, 'a'), '\0' + std::string(150, 'b'),
                 '\0' + std::string(50, 'c') + le(30, 2) + '\0' + std::string(10, 'd'),
                 '\x01' + std::string(20, 'e'), '\0' + std::string(10, 'f')});

TEST(FormulaCells, FindsTextsTooLongForTheCellReader) {
    const std::string twoCells = labelSst(1, 0, 0) + labelSst(2, 0, 1);
    const struct {
        const char* name;
        std::string globals;
        std::string sheet;
        std::vector<LongText> expected;
        std::optional<unsigned> longShared;
    } cases[] = {
        {"a text over three pieces among texts crossing into the next one",
         kMixedTexts,
         labelSst(1, 0, 0) + labelSst(2, 0, 1) + labelSst(3, 0, 2) + labelSst(4, 0, 3) +
             labelSst(5, 40, 2),
         {{3, 0, 300}, {4, 0, 30}},
         300},
        {"a run reaching the third piece, before another text",
         sharedTexts(2, le(6, 2) + '\x08' + le(1, 2) + "hel",
                     {std::string("\0lo!\0\0", 6), std::string(2, '\0') + shared8("after")}),
         twoCells,
         {{1, 0, 6}},
         6},
        {"a run reaching the third piece, as the last text",
         sharedTexts(1, le(6, 2) + '\x08' + le(1, 2) + "hel",
                     {std::string("\0lo!\0\0", 6), std::string(2, '\0')}),
         labelSst(1, 0, 0),
         {},
         std::nullopt},
        {"a header cut by the end of a piece",
         sharedTexts(2, shared8("one") + le(5, 2), {std::string("\0hello", 6)}),
         twoCells,
         {{2, 0, 5}},
         5},
        {"phonetic data filling the next piece, of a text no cell shows",
         sharedTexts(2, le(5, 2) + '\x04' + le(12, 4) + "hello" + "12345",
                     {"1234567", shared8("next")}),
         labelSst(2, 0, 1),
         {},
         5},
        {"texts of cells' own running past their records (8-bit, 16-bit), and one that fits",
         "",
         record(0x0204, le(1, 2) + le(0, 2) + le(15, 2) + le(10, 2) + '\0' + "abcde") +
             record(0x003C, std::string("\0fghij", 6)) +
             record(0x0204, le(2, 2) + le(0, 2) + le(15, 2) + le(3, 2) + '\x01' + "xyzw") +
             record(0x0204, le(3, 2) + le(0, 2) + le(15, 2) + le(2, 2) + '\x01' + "xyzw"),
         {{1, 0, 10}, {2, 0, 3}},
         std::nullopt},
        {"a table claiming four billion texts",
         sharedTexts(0xFFFFFFFF, shared8("one")),
         labelSst(1, 0, 0),
         {},
         std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectLongTexts(
            scanFormulaCells(compoundFile(workbook(c.sheet, 0x0600, c.globals)), kRows, kColumns),
            c.expected, c.longShared);
    }
}

TEST(FormulaCells, ReadsRealWorkbooks) {
    std::string longText;
    for (int i = 0; i < 3000; ++i) {
        longText += "\xCE\xA9x";
    }
    std::vector<Expected> xlwt;
    for (const unsigned row : {1U, 2U, 3U, 4U, 5U, 7U, 8U}) {
        xlwt.push_back({row, 2, {}, kNever});
    }
    // The size is the one the cell reader gives; so is the verdict on the long names.
    const struct {
        const char* file;
        std::vector<Expected> expected;
        std::uint32_t rows = 12;
        std::uint32_t columns = 37;
        std::vector<LongText> longTexts = {};
    } cases[] = {
        {"wizard/resources/SampleData.xls", {}},
        {"tests/wizard/data/formulas-xlwt.xls", xlwt, 9, 41},
        {"tests/wizard/data/formulas-calc.xls",
         {{1, 2, 8000.0},
          {2, 2, "wheat"},
          {3, 2, {}, "truth value"},
          {4, 2, {}, "an error"},
          {5, 2, longText},
          {7, 2, {}, kNever},
          {8, 2, "MA\xC3\x8FS"}},
         9,
         41},
        {"tests/wizard/data/long-name-15965.xls", {}},
        {"tests/wizard/data/long-name-15966.xls", {}, 12, 37, {{1, 0, 15966}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string bytes = fileBytes(c.file);
        ASSERT_FALSE(bytes.empty());
        const FormulaScan scan = scanFormulaCells(bytes, 32768, kColumns);
        expectCells(scan, c.expected);
        EXPECT_EQ(scan.claimedRows, c.rows);
        EXPECT_EQ(scan.claimedColumns, c.columns);
        expectLongTexts(scan, c.longTexts,
                        c.longTexts.empty() ? std::nullopt
                                            : std::optional<unsigned>(c.longTexts[0].characters));
    }
}

TEST(FormulaCells, DamagedCopiesNeverBreakTheReader) {
    const std::string continued =
        workbook(formula(1, 2, nonNumber(0)) + record(0x0207, le(4, 2) + '\0' + "ab") +
                 record(0x003C, std::string("\x01\xA9\x03\xA9\x03", 5)));
    const std::string originals[] = {
        fileBytes("tests/wizard/data/formulas-xlwt.xls"),
        fileBytes("tests/wizard/data/formulas-calc.xls"),
        compoundFile(continued),
        compoundFile(continued, "Workbook", 12),
        fileBytes("tests/wizard/data/long-name-15966.xls"),
        compoundFile(
            workbook(dimensions(6, 2) + labelSst(1, 0, 0) + labelSst(2, 0, 1) + labelSst(3, 0, 2) +
                         labelSst(4, 0, 3) +
                         record(0x0204, le(5, 2) + le(0, 2) + le(15, 2) + le(4, 2) + '\0' + "ab"),
                     0x0600, kMixedTexts)),
    };
    const auto check = [](const std::string& bytes) {
        const FormulaScan scan = scanFormulaCells(bytes, kRows, kColumns);
        EXPECT_TRUE(scan.problem.empty() || (scan.cells.empty() && scan.longTexts.empty() &&
                                             !scan.claimedRows && !scan.longSharedText));
        for (const FormulaCell& cell : scan.cells) {
            EXPECT_TRUE(cell.row < kRows && cell.column < kColumns);
            EXPECT_NE(std::holds_alternative<std::monostate>(cell.value), cell.why.empty());
        }
        for (const LongText& text : scan.longTexts) {
            EXPECT_TRUE(text.row < kRows && text.column < kColumns);
        }
    };
    std::mt19937 random(20240611);
    for (const std::string& original : originals) {
        for (std::size_t length = 0; length < original.size(); length += 89) {
            check(original.substr(0, length));
        }
        for (int copy = 0; copy < 300; ++copy) {
            std::string bytes = original;
            // Most flips land in the header, FAT and directory, where one byte derails most.
            const std::size_t region =
                copy % 2 == 0 ? std::min<std::size_t>(2048, bytes.size()) : bytes.size();
            for (int flips = 1 + copy % 4; flips > 0; --flips) {
                bytes[random() % region] = static_cast<char>(random());
            }
            check(bytes);
        }
    }
}

} // namespace
} // namespace tavik
