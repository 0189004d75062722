// The crop workbook in the three formats a spreadsheet program saves (.xls, .xlsx, .ods), read
// through the child process: the same table from each, as our scripts and as a spreadsheet
// program write it, names that say another format, and hostile archives written by Python's
// zipfile.

#include "TestSupport.h"
#include "workbook/CropWorkbook.h"
#include "workbook/WorkbookReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tavik {
namespace {

using test::CsvRows;

WorkbookReadResult read(const QString& path) {
    WorkbookReaderOptions options;
    options.readerProgram = test::workbookReader();
    return readWorkbook(path, options);
}

const QString kFormats[] = {QStringLiteral(".xls"), QStringLiteral(".xlsx"),
                            QStringLiteral(".ods")};

// Writes a workbook in the format its extension says with scripts/make-workbook.
QString makeWorkbook(const QTemporaryDir& dir, const QString& name, const CsvRows& rows,
                     const QString& extension) {
    const QString csv = test::writeFile(dir, name + QStringLiteral(".csv"),
                                        QByteArray::fromStdString(test::joinCsv(rows)));
    const QString path = dir.filePath(name + extension);
    const auto made =
        test::runProcess(QStringLiteral("/usr/bin/python3"),
                         {test::sourcePath(QStringLiteral("scripts/make-workbook")), csv, path});
    EXPECT_EQ(made.exitCode, 0) << made.err;
    return path;
}

// The shipped table with cells that tell formats apart: a number kept as a text, a text that
// looks like a formula, runs of spaces, quotes and characters beyond Latin-1, a text longer
// than a cell passes on, and a row left out.
CsvRows trickyTable() {
    CsvRows rows = test::shippedCropCsv();
    rows[2][CropColumn::RecommendedYield - 1] = "'10000";
    rows[3][0] = "=Potatoes  \"summer\"";
    rows[4][0] = "Lucerne   (dry) \xCE\xA9 \xF0\x9F\x8C\xB1";
    rows[5][CropColumn::Picture - 1] = std::string(5000, 'p');
    rows[6][CropColumn::DemandDivisor - 1] = "";
    return rows;
}

TEST(WorkbookFormats, TheThreeFormatsGiveTheSameTable) {
    QTemporaryDir dir;
    const CsvRows rows = trickyTable();
    SheetCells expected = test::sheetFromCsv(rows);
    std::get<std::string>(expected.rows[5][CropColumn::Picture - 1]).resize(kMaxCellTextBytes);
    std::vector<std::int16_t> offered;
    for (const QString& format : kFormats) {
        SCOPED_TRACE(format.toStdString());
        const QString path = makeWorkbook(dir, QStringLiteral("crops"), rows, format);
        const auto result = read(path);
        ASSERT_TRUE(result.sheet) << result.problem;
        EXPECT_EQ(*result.sheet, expected);
        mType state;
        state.CropWorkbook = result.sheet;
        const CropTableReport report = loadCropTable(state, path);
        ASSERT_FALSE(report.problem);
        ASSERT_TRUE(report.leftOut);
        EXPECT_NE(
            report.leftOut->find("Row 7 (" + rows[6][0] + "), column 6 (demand divisor): is empty"),
            std::string::npos)
            << *report.leftOut;
        if (offered.empty()) {
            offered = state.CropData.offeredRows();
        }
        EXPECT_EQ(state.CropData.offeredRows(), offered);
        EXPECT_EQ(state.CropData.number(3, CropColumn::RecommendedYield), 10000);
    }
}

// The table as a spreadsheet program saved it (data/make-spreadsheet-saved): its .xls, .xlsx
// and .ods read to the cells of the .ods it was given, with the formula the program calculated
// read as its result.
TEST(WorkbookFormats, TablesSavedByASpreadsheetProgramReadAlike) {
    const QString folder = test::sourcePath(QStringLiteral("tests/wizard/data/spreadsheet-saved/"));
    const auto source = read(folder + QStringLiteral("source.ods"));
    ASSERT_TRUE(source.sheet) << source.problem;
    SheetCells expected = *source.sheet;
    ASSERT_TRUE(isUnreadable(expected.rows[1][2]));
    expected.rows[1][2] = 0.522;
    for (const QString& format : kFormats) {
        SCOPED_TRACE(format.toStdString());
        const auto saved = read(folder + QStringLiteral("crops") + format);
        ASSERT_TRUE(saved.sheet) << saved.problem;
        EXPECT_EQ(*saved.sheet, expected);
    }
}

// A file is read by what it holds; a name saying another of the three formats is refused
// with both named, and a zip archive that is no workbook is named as such.
TEST(WorkbookFormats, ANameSayingAnotherFormatIsNamed) {
    QTemporaryDir dir;
    const CsvRows rows = test::shippedCropCsv();
    const QString xls = makeWorkbook(dir, QStringLiteral("a"), rows, kFormats[0]);
    const QString xlsx = makeWorkbook(dir, QStringLiteral("b"), rows, kFormats[1]);
    const QString ods = makeWorkbook(dir, QStringLiteral("c"), rows, kFormats[2]);
    const auto copy = [&](const QString& from, const QString& to) {
        const QString path = dir.filePath(to);
        EXPECT_TRUE(QFile::copy(from, path));
        return path;
    };
    const struct {
        QString path;
        const char* problem; // empty: read
    } cases[] = {
        {copy(xlsx, QStringLiteral("SampleData.xls")),
         "its name says it is an Excel 97-2003 workbook (.xls), but it holds an Excel workbook "
         "(.xlsx); give it a name ending in .xlsx"},
        {copy(ods, QStringLiteral("SampleData.XLSX")),
         "its name says it is an Excel workbook (.xlsx), but it holds an OpenDocument "
         "spreadsheet (.ods); give it a name ending in .ods"},
        {copy(xls, QStringLiteral("SampleData.ods")),
         "its name says it is an OpenDocument spreadsheet (.ods), but it holds an Excel 97-2003 "
         "workbook (.xls); give it a name ending in .xls"},
        {copy(ods, QStringLiteral("crops.table")), ""},
        {copy(xls, QStringLiteral("crops")), ""},
        {test::writeFile(dir, QStringLiteral("notes.xlsx"), "Crop,Wheat\n"),
         "it is not an Excel workbook (.xlsx)"},
        {test::writeFile(dir, QStringLiteral("notes.txt"), "Crop,Wheat\n"),
         "it is not a workbook: neither an Excel workbook (.xls or .xlsx) nor an OpenDocument "
         "spreadsheet (.ods)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        const auto result = read(c.path);
        EXPECT_EQ(result.problem, c.problem);
        EXPECT_EQ(result.sheet.has_value(), std::string(c.problem).empty());
    }
}

TEST(WorkbookFormats, HostileArchivesAreRefusedQuicklyWithTheReason) {
    QTemporaryDir dir;
    const CsvRows rows = test::shippedCropCsv();
    const QString xlsx = makeWorkbook(dir, QStringLiteral("base"), rows, kFormats[1]);
    const QString ods = makeWorkbook(dir, QStringLiteral("base"), rows, kFormats[2]);
    const auto made = test::runProcess(
        QStringLiteral("/usr/bin/python3"),
        {test::sourcePath(QStringLiteral("tests/wizard/data/make-hostile-archives")), xlsx, ods,
         dir.path()},
        120000);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const struct {
        const char* file;
        const char* problem; // empty: read
    } cases[] = {
        {"bomb.xlsx", "its part xl/worksheets/sheet1.xml inflates to more than 16 MiB"},
        {"entities.xlsx", "its part xl/sharedStrings.xml declares a document type"},
        {"many-texts.xlsx", "it holds more shared texts than a crop table has cells"},
        {"deep.xlsx", ""},
        {"no-sheet-part.xlsx", "its part xl/worksheets/sheet1.xml is missing"},
        {"cut-sheet.xlsx", "its part xl/worksheets/sheet1.xml ends too soon"},
        {"forged-size.xlsx", ""},
        {"not-a-zip.xlsx", "it begins as a zip archive but cannot be opened as one"},
        {"rows-repeated.ods", "1048576 rows, more than the 32767 rows that can be read"},
        {"columns-repeated.ods", ""},
        {"text.odt", "it is an OpenDocument file, but not a spreadsheet (.ods)"},
        {"other-prefixes.ods", ""},
        {"shared-texts-and-formulas.xlsx", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        QElapsedTimer timer;
        timer.start();
        const auto result = read(dir.filePath(QString::fromLatin1(c.file)));
        EXPECT_LT(timer.elapsed(), 10000);
        EXPECT_EQ(result.sheet.has_value(), std::string(c.problem).empty()) << result.problem;
        EXPECT_NE(result.problem.find(c.problem), std::string::npos) << result.problem;
    }
    // Namespaces are what count, not the prefixes a file binds them to.
    const auto renamed = read(dir.filePath(QStringLiteral("other-prefixes.ods")));
    ASSERT_TRUE(renamed.sheet);
    EXPECT_EQ(*renamed.sheet, test::sheetFromCsv(rows));
    // The shared text, the stored formula result and the one never calculated.
    const auto shared = read(dir.filePath(QStringLiteral("shared-texts-and-formulas.xlsx")));
    ASSERT_TRUE(shared.sheet);
    EXPECT_EQ(shared.sheet->rows[0][0], Cell{std::string("Crop")});
    EXPECT_EQ(shared.sheet->rows[1][1], Cell{0.261});
    ASSERT_TRUE(isUnreadable(shared.sheet->rows[1][2]));
    EXPECT_NE(std::get<UnreadableCell>(shared.sheet->rows[1][2]).why.find("never calculated"),
              std::string::npos);
}

// 7,900 rows that cannot be used, each with a text of 4,000 characters: `tavik crops` names the
// first problems and counts the rest, on standard error as on screen.
TEST(WorkbookFormats, ManyUnusableRowsGiveABoundedMessage) {
    QTemporaryDir dir;
    CsvRows rows = test::shippedCropCsv();
    for (int i = 0; i < 7900; ++i) {
        rows.push_back({"Wheat"});
        rows.back().resize(37);
        rows.back()[36] = std::string(4000, 'x');
    }
    const QString xls = makeWorkbook(dir, QStringLiteral("many"), rows, kFormats[0]);
    const auto run =
        test::runProcess(test::tavikExecutable(),
                         {QStringLiteral("crops"), QStringLiteral("--workbook"), xls}, 60000);
    ASSERT_EQ(run.exitCode, 0) << run.err.substr(0, 2000);
    EXPECT_LT(run.err.size(), 4000U);
    EXPECT_LE(std::count(run.err.begin(), run.err.end(), '\n'), 16) << run.err;
    EXPECT_NE(run.err.find("more rows."), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("details"), std::string::npos) << run.err;
}

} // namespace
} // namespace tavik
