// The reader of Excel 97-2003 workbooks: the cells of the first sheet, the stored results of
// formula cells, the size the sheet claims and shared texts laid over several pieces, in
// workbooks written by xlwt (which stores no formula results) and by LibreOffice Calc,
// workbooks assembled here record by record, and damaged files.

#include "workbook/SheetRead.h"

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

const std::string kNever = "its result was never calculated";

// `why` is a piece of the expected reason, empty when the value is readable.
struct Expected {
    unsigned row;
    unsigned column;
    Value value;
    std::string why = {};
};

// The sheet holds the expected cells (0-based) and nothing else.
void expectCells(const SheetRead& read, const std::vector<Expected>& expected) {
    ASSERT_EQ(read.problem, "");
    ASSERT_TRUE(read.sheet);
    std::size_t found = 0;
    for (std::size_t r = 0; r < read.sheet->rows.size(); ++r) {
        for (std::size_t c = 0; c < read.sheet->rows[r].size(); ++c) {
            found += isEmpty(read.sheet->rows[r][c]) ? 0 : 1;
        }
    }
    EXPECT_EQ(found, expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& rows = read.sheet->rows;
        ASSERT_LT(expected[i].row, rows.size()) << i;
        ASSERT_LT(expected[i].column, rows[expected[i].row].size()) << i;
        const Cell& cell = rows[expected[i].row][expected[i].column];
        if (expected[i].why.empty()) {
            const Cell wanted =
                std::visit([](const auto& v) { return Cell{v}; }, expected[i].value);
            EXPECT_EQ(cell, wanted) << i;
        } else {
            const auto* unreadable = std::get_if<UnreadableCell>(&cell);
            ASSERT_NE(unreadable, nullptr) << i;
            EXPECT_NE(unreadable->why.find(expected[i].why), std::string::npos)
                << i << ": " << unreadable->why;
        }
    }
}

// The used range's width: that of its rows that hold a value (the others are empty).
std::size_t widthOf(const SheetCells& sheet) {
    std::size_t width = 0;
    for (const auto& row : sheet.rows) {
        width = std::max(width, row.size());
    }
    return width;
}

TEST(XlsSheet, ReadsTheResultsTheWorkbookStored) {
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
        {"only the first sheet's cells within its 37 columns",
         formula(2, 2, number(3)) + formula(1, 40, nonNumber(0)) + text8("skipped") + chart +
             formula(9, 36, nonNumber(0)) + text8("last"),
         {{2, 2, 3.0}, {9, 36, "last"}}},
        {"an Excel 5 workbook",
         formula(1, 2, nonNumber(0)) + record(0x0207, le(5, 2) + "Maize") +
             formula(2, 2, nonNumber(0)) + record(0x0207, le(4, 2) + "ma\xEFs"),
         {{1, 2, "Maize"}, {2, 2, "ma\xC3\xAFs"}},
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
            expectCells(readXlsSheet(compoundFile(small, c.streamName, shift)), c.expected);
            expectCells(readXlsSheet(compoundFile(large, c.streamName, shift)), c.expected);
        }
    }
}

TEST(XlsSheet, RefusesFilesWhoseStructureCannotBeFollowed) {
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
        {"a text cell whose shared text is missing",
         compoundFile(workbook(labelSst(3, 4, 2), 0x0600, sharedTexts(1, shared8("one")))),
         "the text of the cell in row 4, column 5 is missing"},
        {"a number that is not finite",
         compoundFile(
             workbook(record(0x0203, le(1, 2) + le(0, 2) + le(15, 2) +
                                         number(std::numeric_limits<double>::quiet_NaN())))),
         "the number in row 2, column 1 is not a finite number"},
        {"an RK value that is not finite",
         compoundFile(
             workbook(record(0x027E, le(1, 2) + le(0, 2) + le(15, 2) + le(0x7FF00000, 4)))),
         "the number in row 2, column 1 is not a finite number"},
        {"a MULRK value that is not finite",
         compoundFile(workbook(record(0x00BD, le(1, 2) + le(0, 2) + le(15, 2) + le(8, 4) +
                                                  le(15, 2) + le(0xFFF80000, 4) + le(1, 2)))),
         "the number in row 2, column 2 is not a finite number"},
        {"an Excel 5 text in a code page other than Western European",
         compoundFile(
             workbook(record(0x0204, le(1, 2) + le(0, 2) + le(15, 2) + le(4, 2) + "ma\xEFs"),
                      0x0500, record(0x0042, le(1251, 2))),
             "Book"),
         "the text in row 2, column 1 is in a character set that cannot be read"},
        {"a text running past its record",
         compoundFile(
             workbook(record(0x0204, le(1, 2) + le(0, 2) + le(15, 2) + le(10, 2) + '\0' + "abc"))),
         "the text in row 2, column 1 runs past its record"},
        {"a claim beyond the largest sheet", compoundFile(workbook(dimensions(70000, 3))),
         "claims 70000 rows and 3 columns"},
        {"a claim beyond the rows of a crop table", compoundFile(workbook(dimensions(40000, 3))),
         "40000 rows, more than the 32767 rows that can be read"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SheetRead read = readXlsSheet(c.bytes);
        EXPECT_NE(read.problem.find(c.error), std::string::npos) << read.problem;
        EXPECT_FALSE(read.sheet);
    }
}

TEST(XlsSheet, TheUsedRangeIsTheSizeTheFirstSheetClaims) {
    // The shipped sample, its claim patched: rows and columns count from 0, whatever first row
    // and column the record names; no more than 37 columns are read. (The width is that of the
    // rows holding a value; a row without one is empty.)
    std::string sample = fileBytes("wizard/resources/SampleData.xls");
    const std::size_t claim = sample.find(std::string("\x00\x02\x0E\x00", 4));
    ASSERT_NE(claim, std::string::npos);
    sample.replace(claim + 4, 12, le(3, 4) + le(5000, 4) + le(2, 2) + le(200, 2));
    const std::string chart = bof(0x0600, 0x20) + dimensions(900, 90) + kEof;
    const std::string otherSheet = bof(0x0600, 0x10) + dimensions(800, 80) + kEof;
    const struct {
        const char* name;
        std::string bytes;
        std::size_t rows;
        std::size_t columns;
    } cases[] = {
        {"a patched sample", sample, 5000, 37},
        {"the largest of two claims, not a chart's or the next sheet's",
         compoundFile(
             workbook(dimensions(7, 2) + chart + dimensions(6, 30) + formula(0, 0, number(1)),
                      0x0600, "", otherSheet)),
         7, 30},
        {"an Excel 5 workbook",
         compoundFile(
             workbook(record(0x0200, le(1, 2) + le(4, 2) + le(0, 2) + le(3, 2) + le(0, 2)) +
                          formula(0, 0, number(1)),
                      0x0500),
             "Book"),
         4, 3},
        {"no claim: the cells' extent", compoundFile(workbook(formula(1, 2, number(1)))), 2, 3},
        {"cells beyond the claim are not read",
         compoundFile(
             workbook(dimensions(2, 2) + formula(0, 0, number(1)) + formula(5, 5, number(1)))),
         2, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SheetRead read = readXlsSheet(c.bytes);
        ASSERT_EQ(read.problem, "");
        EXPECT_EQ(read.sheet->rows.size(), c.rows);
        EXPECT_EQ(widthOf(*read.sheet), c.columns);
    }
}

// Four texts laid over seven pieces: "abΩΩ" (8-bit, then 16-bit in the next piece, its run and
// phonetic data there too), "xyz" (its phonetic data running into the third piece), then two
// over three pieces each: 300 letters, and as the last text 30 characters (8-bit, 16-bit and
// 8-bit again).
const std::string kMixedTexts =
    sharedTexts(4, le(4, 2) + '\x0C' + le(1, 2) + le(3, 4) + "ab",
                {std::string("\x01\xA9\x03\xA9\x03", 5) + le(0, 4) + "PHO" + le(3, 2) + '\x04' +
                     le(6, 4) + "xyz" + "ph",
                 "onet" + le(300, 2) + '\0' + std::string(100, 'a'), '\0' + std::string(150, 'b'),
                 '\0' + std::string(50, 'c') + le(30, 2) + '\0' + std::string(10, 'd'),
                 '\x01' + std::string(20, 'e'), '\0' + std::string(10, 'f')});

TEST(XlsSheet, ReadsTextsWhereverTheirPiecesLie) {
    std::string utf16e;
    for (int i = 0; i < 10; ++i) {
        utf16e += "\xE6\x95\xA5"; // U+6565, two bytes 'e' read as one 16-bit character
    }
    const struct {
        const char* name;
        std::string globals;
        std::string sheet;
        std::vector<Expected> expected;
    } cases[] = {
        {"texts crossing pieces",
         kMixedTexts,
         labelSst(1, 0, 0) + labelSst(2, 0, 1) + labelSst(3, 0, 2) + labelSst(4, 0, 3) +
             labelSst(5, 40, 2),
         {{1, 0, "ab\xCE\xA9\xCE\xA9"},
          {2, 0, "xyz"},
          {3, 0, std::string(100, 'a') + std::string(150, 'b') + std::string(50, 'c')},
          {4, 0, std::string(10, 'd') + utf16e + std::string(10, 'f')}}},
        {"a header cut by the end of a piece",
         sharedTexts(2, shared8("one") + le(5, 2), {std::string("\0hello", 6)}),
         labelSst(1, 0, 0) + labelSst(2, 0, 1),
         {{1, 0, "one"}, {2, 0, "hello"}}},
        {"a run reaching the third piece, before another text",
         sharedTexts(2, le(6, 2) + '\x08' + le(1, 2) + "hel",
                     {std::string("\0lo!\0\0", 6), std::string(2, '\0') + shared8("after")}),
         labelSst(1, 0, 0) + labelSst(2, 0, 1),
         {{1, 0, "hello!"}, {2, 0, "after"}}},
        {"cells' own texts, one continued, 8-bit and 16-bit, and numbers of every kind",
         "",
         record(0x0204, le(1, 2) + le(0, 2) + le(15, 2) + le(10, 2) + '\0' + "abcde") +
             record(0x003C, std::string("\0fghij", 6)) +
             record(0x0204, le(2, 2) + le(0, 2) + le(15, 2) + le(2, 2) + '\x01' + "xyzw") +
             record(0x0203, le(3, 2) + le(1, 2) + le(15, 2) + number(-2.5)) +
             record(0x027E, le(3, 2) + le(2, 2) + le(15, 2) + le((1234U << 2) | 3U, 4)) +
             record(0x00BD, le(4, 2) + le(3, 2) + le(15, 2) +
                                le(std::bit_cast<std::uint64_t>(6000.0) >> 32, 4) + le(15, 2) +
                                le((std::uint32_t(-7) << 2) | 2U, 4) + le(4, 2)),
         {{1, 0, "abcdefghij"},
          {2, 0, "\xE7\xA5\xB8\xE7\x9D\xBA"},
          {3, 1, -2.5},
          {3, 2, 12.34},
          {4, 3, 6000.0},
          {4, 4, -7.0}}},
        {"a table claiming four billion texts",
         sharedTexts(0xFFFFFFFF, shared8("one")),
         labelSst(1, 0, 0),
         {{1, 0, "one"}}},
        {"a text longer than a cell passes on, cut where a character begins",
         sharedTexts(
             1, le(3000, 2) + '\x01' +
                    [] {
                        std::string units;
                        for (int i = 0; i < 3000; ++i) {
                            units += "\xA9\x03";
                        }
                        return units;
                    }()),
         labelSst(1, 0, 0),
         {{1, 0,
           [] {
               std::string omegas;
               for (int i = 0; i < 2048; ++i) {
                   omegas += "\xCE\xA9";
               }
               return omegas;
           }()}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        expectCells(readXlsSheet(compoundFile(workbook(c.sheet, 0x0600, c.globals))), c.expected);
    }
}

// The formula cells of real workbooks, each among other cells; and the used range's size.
TEST(XlsSheet, ReadsRealWorkbooks) {
    std::string longText;
    for (int i = 0; i < 3000; ++i) {
        longText += "\xCE\xA9x";
    }
    longText.resize(4095); // 1,365 pairs of 3 bytes: the cut at 4,096 bytes falls within an "Ω"
    std::vector<Expected> xlwt;
    for (const unsigned row : {1U, 2U, 3U, 4U, 5U, 7U, 8U}) {
        xlwt.push_back({row, 2, {}, kNever});
    }
    const struct {
        const char* file;
        std::vector<Expected> formulas;
        std::size_t rows = 12;
        std::size_t columns = 37;
    } cases[] = {
        {"tests/wizard/data/formulas-xlwt.xls", xlwt, 9, 37},
        {"tests/wizard/data/formulas-calc.xls",
         {{1, 2, 8000.0},
          {2, 2, "wheat"},
          {3, 2, {}, "truth value"},
          {4, 2, {}, "an error"},
          {5, 2, longText},
          {7, 2, {}, kNever},
          {8, 2, "MA\xC3\x8FS"}},
         9,
         37},
        {"tests/wizard/data/long-name-15966.xls", {{1, 0, std::string(4096, 'x')}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const SheetRead read = readXlsSheet(fileBytes(c.file));
        ASSERT_TRUE(read.sheet) << read.problem;
        EXPECT_EQ(read.sheet->rows.size(), c.rows);
        EXPECT_EQ(widthOf(*read.sheet), c.columns);
        for (const Expected& e : c.formulas) {
            const Cell& cell = read.sheet->rows.at(e.row).at(e.column);
            if (e.why.empty()) {
                EXPECT_EQ(cell, std::visit([](const auto& v) { return Cell{v}; }, e.value))
                    << e.row;
            } else {
                ASSERT_TRUE(isUnreadable(cell)) << e.row;
                EXPECT_NE(std::get<UnreadableCell>(cell).why.find(e.why), std::string::npos);
            }
        }
    }
}

TEST(XlsSheet, DamagedCopiesNeverBreakTheReader) {
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
    // A sheet or a problem, never both; a sheet within the limits, its texts bounded.
    const auto check = [](const std::string& bytes) {
        const SheetRead read = readXlsSheet(bytes);
        ASSERT_NE(read.sheet.has_value(), !read.problem.empty());
        if (!read.sheet) {
            return;
        }
        EXPECT_LE(read.sheet->rows.size(), kMaxSheetRows);
        for (const auto& row : read.sheet->rows) {
            ASSERT_TRUE(row.empty() || row.size() == widthOf(*read.sheet));
            EXPECT_LE(row.size(), kMaxSheetColumns);
            for (const Cell& cell : row) {
                if (const auto* text = std::get_if<std::string>(&cell)) {
                    EXPECT_LE(text->size(), kMaxCellTextBytes);
                }
            }
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
