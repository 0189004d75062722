// Reading workbooks through the child process: the shipped workbook cell for cell,
// generated workbooks, and damaged files, which must give a clear problem and never harm
// the reading process.

#include "TestSupport.h"
#include "workbook/CropWorkbook.h"
#include "workbook/WorkbookReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

namespace tavik {
namespace {

using test::CsvRows;

WorkbookReaderOptions readerOptions() {
    WorkbookReaderOptions options;
    options.readerProgram = test::workbookReader();
    return options;
}

WorkbookReadResult read(const QString& path) {
    return readWorkbook(path, readerOptions());
}

TEST(Workbook, ShippedWorkbookHoldsCropsCsvCellForCell) {
    const auto result = read(test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls")));
    ASSERT_TRUE(result.sheet) << result.problem;
    const SheetCells expected = test::sheetFromCsv(test::shippedCropCsv());
    ASSERT_EQ(result.sheet->rows.size(), 12U);
    for (std::size_t r = 0; r < expected.rows.size(); ++r) {
        ASSERT_EQ(result.sheet->rows[r].size(), 37U) << r;
        for (std::size_t c = 0; c < 37; ++c) {
            EXPECT_EQ(result.sheet->rows[r][c], expected.rows[r][c])
                << "row " << r + 1 << " col " << c + 1;
        }
    }
}

TEST(Workbook, GeneratedWorkbooksGiveTheirCrops) {
    QTemporaryDir dir;
    CsvRows rows = test::shippedCropCsv();
    rows.push_back(rows[2]);
    rows.back()[0] = "Maize (second)";
    rows[1][CropColumn::DemandDivisor - 1] = "0";        // wheat cannot be used
    rows[3][CropColumn::WaterUseSlope - 1] = "steep";    // nor summer potatoes
    rows[4][CropColumn::RecommendedYield - 1] = "'4000"; // a number stored as text is fine
    rows[5][29] = "whatever";                            // column 30 is not read
    const QString xls = test::makeWorkbook(dir, QStringLiteral("crops"), rows);

    mType state;
    ASSERT_FALSE(openCropWorkbook(state, xls, readerOptions()));
    const CropTableReport report = loadCropTable(state, xls);
    EXPECT_FALSE(report.problem);
    ASSERT_TRUE(report.leftOut);
    EXPECT_NE(report.leftOut->find("Row 2 (Wheat), column 6 (demand divisor): is zero"),
              std::string::npos)
        << *report.leftOut;
    EXPECT_NE(report.leftOut->find("Row 4 (Potatoes (summer)), column 7 (water-use slope): holds "
                                   "the text \"steep\""),
              std::string::npos)
        << *report.leftOut;
    EXPECT_NE(report.leftOut->find(xls.toStdString()), std::string::npos);
    EXPECT_EQ(state.CropData.RowCount(), 13);
    EXPECT_EQ(state.CropData.offeredRows(),
              (std::vector<std::int16_t>{3, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
    EXPECT_EQ(state.CropData.number(5, CropColumn::RecommendedYield), 4000);
    EXPECT_EQ(state.CropData.text(13, CropColumn::Name), "Maize (second)");
}

TEST(Workbook, HeadingsOnlyOrNoUsableRowIsAnError) {
    QTemporaryDir dir;
    CsvRows rows = test::shippedCropCsv();
    rows.resize(1);
    const QString headings = test::makeWorkbook(dir, QStringLiteral("headings"), rows);
    mType state;
    ASSERT_FALSE(openCropWorkbook(state, headings, readerOptions()));
    auto report = loadCropTable(state, headings);
    ASSERT_TRUE(report.problem);
    EXPECT_NE(report.problem->find("holds no crop rows"), std::string::npos) << *report.problem;

    rows = test::shippedCropCsv();
    rows.resize(2);
    rows[1][CropColumn::DemandDivisor - 1] = "";
    const QString unusable = test::makeWorkbook(dir, QStringLiteral("unusable"), rows);
    ASSERT_FALSE(openCropWorkbook(state, unusable, readerOptions()));
    report = loadCropTable(state, unusable);
    ASSERT_TRUE(report.problem);
    EXPECT_NE(report.problem->find("none of its crop rows can be used"), std::string::npos);
    EXPECT_NE(report.problem->find("column 6 (demand divisor): is empty"), std::string::npos);
}

// The message names the first problems and counts the rest. Only then has it details, listing
// the first 1,000, and it says whether they are all.
TEST(Workbook, DetailsListWhatTheMessageLeavesOut) {
    const struct {
        int unusable;
        const char* pointer; // empty: no details
        long detailLines;
    } cases[] = {
        {1, "", 0},
        {12, "", 0},
        {13, "… and 1 more problem in 1 more row (all of them are listed in the details).", 13},
        {1000, "in 988 more rows (all of them are listed in the details).", 1000},
        {1001, "in 989 more rows (the first 1000 are listed in the details).", 1001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unusable);
        CsvRows rows = test::shippedCropCsv();
        for (int i = 0; i < c.unusable; ++i) {
            rows.push_back(rows[1]);
            rows.back()[CropColumn::WaterUseSlope - 1] = "0";
        }
        mType state;
        state.CropWorkbook = test::sheetFromCsv(rows);
        const CropTableReport report = loadCropTable(state, QStringLiteral("crops.xls"));
        ASSERT_TRUE(report.leftOut);
        EXPECT_EQ(report.leftOut->find("details") != std::string::npos, *c.pointer != '\0');
        EXPECT_NE(report.leftOut->find(c.pointer), std::string::npos) << *report.leftOut;
        const long lines = report.details.empty()
                               ? 0
                               : std::count(report.details.begin(), report.details.end(), '\n') + 1;
        EXPECT_EQ(lines, c.detailLines);
    }
}

struct Damage {
    const char* name;
    QByteArray (*make)(const QByteArray& shipped);
    const char* wording;
};

void PrintTo(const Damage& damage, std::ostream* os) {
    *os << damage.name;
}

QByteArray truncated(const QByteArray& shipped) {
    return shipped.left(shipped.size() / 2);
}
QByteArray headerOnly(const QByteArray& shipped) {
    return shipped.left(512);
}
QByteArray randomBytes(const QByteArray&) {
    std::mt19937 random(7);
    QByteArray bytes(9728, '\0');
    for (auto& b : bytes) {
        b = static_cast<char>(random() & 0xFF);
    }
    return bytes;
}
QByteArray headerThenGarbage(const QByteArray& shipped) {
    QByteArray bytes = shipped.left(512);
    std::mt19937 random(11);
    for (int i = 0; i < 8192; ++i) {
        bytes.append(static_cast<char>(random() & 0xFF));
    }
    return bytes;
}
QByteArray plainText(const QByteArray&) {
    return "Crop,Stage1EndFactor\nWheat,0.261\n";
}
QByteArray zipped(const QByteArray&) {
    return QByteArray("PK\x03\x04", 4) + QByteArray(600, '\0');
}

class DamagedWorkbook : public testing::TestWithParam<Damage> {};

TEST_P(DamagedWorkbook, GivesAClearProblem) {
    QTemporaryDir dir;
    const QByteArray shipped =
        test::readFile(test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls")));
    const QString path =
        test::writeFile(dir, QStringLiteral("SampleData.xls"), GetParam().make(shipped));
    const auto result = read(path);
    EXPECT_FALSE(result.sheet);
    EXPECT_NE(result.problem.find(GetParam().wording), std::string::npos) << result.problem;
    const std::string message = workbookErrorMessage(path, result.problem);
    EXPECT_EQ(message.rfind("The crop workbook \"" + path.toStdString() + "\" cannot be read: ", 0),
              0U)
        << message;
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedWorkbook,
    testing::Values(Damage{"Truncated", truncated, "damaged"},
                    Damage{"HeaderOnly", headerOnly, "damaged"},
                    Damage{"RandomBytes", randomBytes, "not an Excel 97-2003 workbook"},
                    Damage{"ValidHeaderThenGarbage", headerThenGarbage, "damaged"},
                    Damage{"TextFile", plainText, "not an Excel 97-2003 workbook"},
                    Damage{"BrokenZip", zipped,
                           "it begins as a zip archive but cannot be opened as one"}),
    [](const testing::TestParamInfo<Damage>& p) { return p.param.name; });

// A copy of the shipped workbook with a few bytes changed that made an earlier cell parser read
// out of bounds and die: the wizard's process must come through with a plain answer.
TEST(Workbook, AFileThatKillsTheParserIsReportedAsDamaged) {
    // This file made the cell parser read out of bounds; its records are refused first now.
    const QString path = test::sourcePath(QStringLiteral("tests/wizard/data/parser-crash.xls"));
    const auto result = read(path);
    EXPECT_FALSE(result.sheet);
    EXPECT_EQ(result.problem.rfind("the file is damaged", 0), 0U) << result.problem;
    // Whatever still stops the reader is reported as damage, not taken for a result.
    QTemporaryDir dir;
    const QString crashing =
        test::writeFile(dir, QStringLiteral("reader"), "#!/bin/sh\nkill -SEGV $$\n");
    QFile::setPermissions(crashing, QFile::ReadOwner | QFile::ExeOwner);
    WorkbookReaderOptions options = readerOptions();
    options.readerProgram = crashing;
    EXPECT_EQ(readWorkbook(path, options).problem,
              "the file is damaged (reading it stopped the reader)");
}

// The program's own folder first (a build tree, a copied folder), then a user's edited copy,
// then the installed data beside the installed program.
TEST(Workbook, TheWorkbookIsFoundBesideTheProgramThenInTheUsersDataThenInTheInstalledData) {
    QTemporaryDir root;
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    const QString data = root.filePath(QStringLiteral("usr/share/tavik"));
    const QString user = root.filePath(QStringLiteral("home/.local/share"));
    QDir().mkpath(bin);
    QDir().mkpath(user + QStringLiteral("/tavik"));
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", user.toUtf8());
    const auto place = [](const QString& folder,
                          const QString& name = QStringLiteral("SampleData.xls")) {
        QDir().mkpath(folder);
        QFile file(QDir(folder).filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        return QFileInfo(file).filePath();
    };
    // Nothing anywhere: the program folder's is the one named.
    EXPECT_EQ(findWorkbook(bin), defaultWorkbookPath(bin));
    EXPECT_EQ(dataFolder(bin), bin);
    const QString installed = place(data);
    EXPECT_EQ(QFileInfo(findWorkbook(bin)).canonicalFilePath(),
              QFileInfo(installed).canonicalFilePath());
    EXPECT_EQ(QFileInfo(dataFolder(bin)).canonicalFilePath(), QFileInfo(data).canonicalFilePath());
    // In each folder .xls, .xlsx and .ods in that order.
    const QString editedOds =
        place(user + QStringLiteral("/tavik"), QStringLiteral("SampleData.ods"));
    EXPECT_EQ(findWorkbook(bin), editedOds) << "a user's copy comes before the installed one";
    const QString editedXlsx =
        place(user + QStringLiteral("/tavik"), QStringLiteral("SampleData.xlsx"));
    EXPECT_EQ(findWorkbook(bin), editedXlsx);
    const QString edited = place(user + QStringLiteral("/tavik"));
    EXPECT_EQ(findWorkbook(bin), edited);
    const QString own = place(bin);
    EXPECT_EQ(findWorkbook(bin), own) << "and the program's own folder before both";
    EXPECT_EQ(dataFolder(bin), bin);
    if (saved.isNull()) {
        qunsetenv("XDG_DATA_HOME");
    } else {
        qputenv("XDG_DATA_HOME", saved);
    }
}

TEST(Workbook, MissingEmptyOrFolderPathsAreNamed) {
    QTemporaryDir dir;
    EXPECT_EQ(read(dir.filePath(QStringLiteral("none.xls"))).problem, "the file does not exist");
    EXPECT_EQ(read(dir.path()).problem, "it is a folder, not a file");
    EXPECT_EQ(read(test::writeFile(dir, QStringLiteral("empty.xls"), {})).problem,
              "the file is empty");
}

// Byte-level damage anywhere in the file: whatever the parser makes of it, the answer is a
// sheet or a problem, never a crash or a hang of the caller.
TEST(Workbook, RandomlyCorruptedCopiesNeverHarmTheCaller) {
    QTemporaryDir dir;
    const QByteArray shipped =
        test::readFile(test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls")));
    std::mt19937 random(2026);
    int refused = 0;
    for (int trial = 0; trial < 40; ++trial) {
        QByteArray bytes = shipped;
        const int flips = 1 + static_cast<int>(random() % 64);
        for (int i = 0; i < flips; ++i) {
            bytes[static_cast<qsizetype>(random() % static_cast<unsigned>(bytes.size()))] =
                static_cast<char>(random() & 0xFF);
        }
        const QString path = test::writeFile(dir, QStringLiteral("c%1.xls").arg(trial), bytes);
        const auto result = read(path);
        EXPECT_NE(result.sheet.has_value(), !result.problem.empty()) << trial;
        refused += result.sheet ? 0 : 1;
    }
    EXPECT_GT(refused, 0);
}

class FakeReader : public testing::Test {
protected:
    QString script(const QByteArray& body) {
        const QString path =
            test::writeFile(dir_, QStringLiteral("reader.sh"), "#!/bin/sh\n" + body);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    WorkbookReadResult readWith(const QString& program,
                                std::chrono::milliseconds limit = std::chrono::seconds(10)) {
        const QString workbook = test::writeFile(dir_, QStringLiteral("w.xls"), "x");
        WorkbookReaderOptions options;
        options.readerProgram = program;
        options.timeLimit = limit;
        return readWorkbook(workbook, options);
    }
    QTemporaryDir dir_;
};

TEST_F(FakeReader, AHangingReaderIsStoppedAtTheTimeLimit) {
    const auto result = readWith(script("exec sleep 30\n"), std::chrono::milliseconds(300));
    EXPECT_EQ(result.problem, "reading it took longer than 0.3 seconds; the file may be damaged");
}

TEST_F(FakeReader, ACrashingReaderMeansADamagedFile) {
    EXPECT_EQ(readWith(script("kill -SEGV $$\n")).problem,
              "the file is damaged (reading it stopped the reader)");
    EXPECT_EQ(readWith(script("echo 'AddressSanitizer: SEGV' >&2; exit 1\n")).problem,
              "the file is damaged (the reader ended with status 1)");
}

TEST_F(FakeReader, TheReadersOwnProblemIsPassedOn) {
    EXPECT_EQ(
        readWith(
            script(
                "echo 'tavik workbook: \"/x/w.xls\": the workbook has no worksheet' >&2; exit 3\n"))
            .problem,
        "the workbook has no worksheet");
}

TEST_F(FakeReader, OutputThatIsNotTheUsedRangeIsRefused) {
    const auto result = readWith(script("printf 'Wheat,1\\n'\n"));
    EXPECT_FALSE(result.sheet);
    EXPECT_NE(result.problem.find("could not be understood"), std::string::npos) << result.problem;
}

TEST_F(FakeReader, AMissingReaderIsNamed) {
    const auto result = readWith(dir_.filePath(QStringLiteral("no-such-reader")));
    EXPECT_NE(result.problem.find("could not be started"), std::string::npos) << result.problem;
}

} // namespace
} // namespace tavik
