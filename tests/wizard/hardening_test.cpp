// The headless commands against hostile input and a hostile machine: full disks, outputs
// that are no files, oversized scenarios and workbooks, control characters.

#include "TestSupport.h"
#include "state/CropTable.h"
#include "workbook/WorkbookReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace tavik {
namespace {

using test::runProcess;
using test::tavikExecutable;

QString example(const char* name) {
    return test::sourcePath(QStringLiteral("examples/") + QLatin1String(name));
}

test::ProcessResult plan(const QStringList& arguments) {
    return runProcess(tavikExecutable(), QStringList{QStringLiteral("plan")} + arguments);
}

// A copy of the shipped workbook whose first sheet claims another size.
QString workbookClaiming(const QTemporaryDir& dir, quint32 rows, quint16 columns) {
    QByteArray bytes =
        test::readFile(test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls")));
    const qsizetype at = bytes.indexOf(QByteArray("\x00\x02\x0e\x00", 4)); // DIMENSION, 14 bytes
    EXPECT_GT(at, 0);
    for (int i = 0; i < 4; ++i) {
        bytes[at + 8 + i] = static_cast<char>((rows >> (8 * i)) & 0xFF);
    }
    bytes[at + 14] = static_cast<char>(columns & 0xFF);
    bytes[at + 15] = static_cast<char>(columns >> 8);
    return test::writeFile(dir, QStringLiteral("claims.xls"), bytes);
}

TEST(Hardening, AFullDiskLeavesThePreviousOutputAndSaysSo) {
    test::FullFolder full;
    if (!full.ready()) {
        GTEST_SKIP() << full.reason().toStdString();
    }
    full.keep(QStringLiteral("plan.json"), "the previous plan");
    full.fill();
    const QString output = full.filePath(QStringLiteral("plan.json"));
    for (const char* command : {"plan", "compare"}) {
        const auto run = runProcess(tavikExecutable(),
                                    {QLatin1String(command), example("maize-centre-pivot.json"),
                                     QStringLiteral("--format"), QStringLiteral("json"),
                                     QStringLiteral("--output"), output});
        EXPECT_EQ(run.exitCode, 2) << command;
        EXPECT_NE(run.err.find("--output \"" + output.toStdString() + "\" cannot be written"),
                  std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("No space left on device"), std::string::npos) << run.err;
        EXPECT_EQ(test::readFile(output), "the previous plan");
    }
}

// Files that are no scenario: alone, each is refused at once with its reason in a message of
// readable length; in a batch, each has its own line saying why, and the others are planned.
// A name that is not UTF-8 text is planned alone (read by its bytes) and refused in a batch,
// whose output would be named after it.
TEST(Hardening, HostileScenarioFilesAreRefusedAloneAndInABatch) {
    QTemporaryDir dir;
    const QDir in(dir.filePath(QStringLiteral("in")));
    ASSERT_TRUE(QDir().mkpath(in.path()));
    const QString pipe = in.filePath(QStringLiteral("pipe.json"));
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    const QString device = in.filePath(QStringLiteral("device.json"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    const QString gone = in.filePath(QStringLiteral("gone.json"));
    ASSERT_TRUE(QFile::link(in.filePath(QStringLiteral("nowhere")), gone));
    const QByteArray hugeKey = R"({"crop": "Wheat", ")" + QByteArray(1000000, 'k') + R"(": 1})";
    const std::vector<std::pair<QString, std::string>> hostile{
        {pipe, "it is a named pipe (FIFO), not a file"},
        {device, "it is a device, not a file"},
        {gone, "it is a symbolic link to a file that does not exist"},
        {test::writeFile(dir, QStringLiteral("in/huge.json"), hugeKey),
         "kkk…\" is not a key of a scenario here"},
    };
    test::writeFile(dir, QStringLiteral("in/good.json"), R"({"crop": "Barley"})");
    const QByteArray odd = in.path().toLocal8Bit() + "/odd\xFF.json";
    const auto removeOdd = qScopeGuard([&odd] { ::unlink(odd.constData()); }); // Qt cannot
    const auto alone = runProcess(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"),
         QStringLiteral("f=\"$1/odd$(printf '\\377').json\"; echo '{\"crop\": \"Barley\"}' >\"$f\" "
                        "&& exec \"$0\" plan \"$f\""),
         tavikExecutable(), in.path()});
    EXPECT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_TRUE(alone.out.starts_with("\tTAVIK+ Scheduling Result")) << alone.out;

    for (const auto& [path, reason] : hostile) {
        SCOPED_TRACE(path.toStdString());
        QElapsedTimer timer;
        timer.start();
        const auto run = plan({path});
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err.substr(0, 500);
        EXPECT_LT(run.err.size(), 600U);
    }

    const QString out = dir.filePath(QStringLiteral("out"));
    const auto batch =
        plan({QStringLiteral("--batch"), in.path(), QStringLiteral("--output-dir"), out});
    EXPECT_EQ(batch.exitCode, 1) << batch.err;
    const QByteArray summary = test::readFile(QDir(out).filePath(QStringLiteral("summary.csv")));
    EXPECT_LT(summary.size(), 4000);
    EXPECT_EQ(summary.count('\n'),
              static_cast<qsizetype>(hostile.size()) + 3); // heading, good, odd
    for (const auto& [path, reason] : hostile) {           // the reason as a CSV field holds it
        const qsizetype at = summary.indexOf('\n' + QFileInfo(path).fileName().toUtf8() + ',');
        const QByteArray line = summary.mid(at, summary.indexOf('\n', at + 1) - at);
        EXPECT_TRUE(at >= 0 &&
                    line.contains(QByteArray::fromStdString(reason).replace("\"", "\"\"")))
            << path.toStdString();
    }
    EXPECT_TRUE(summary.contains("\nodd\\xFF.json,,,,,,,,,\"its file name is not UTF-8 text"))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains("\ngood.json,Barley,"));
}

TEST(Hardening, AFailedStandardOutputIsNoSuccess) {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("plan"), example("wheat-deep-loam.json")},
          QStringList{QStringLiteral("crops")}}) {
        const auto run =
            test::runProcessTo(tavikExecutable(), arguments, QStringLiteral("/dev/full"));
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_NE(run.err.find("standard output: No space left on device"), std::string::npos)
            << run.err;
    }
}

TEST(Hardening, AnOutputThatIsNoRegularFileIsNeverReplaced) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString& target : {QStringLiteral("/dev/null"), fifo, dir.path()}) {
        const auto run =
            plan({example("wheat-deep-loam.json"), QStringLiteral("--output"), target});
        EXPECT_EQ(run.exitCode, 2) << target.toStdString();
        EXPECT_NE(run.err.find("is not a regular file"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/null")).isFile());
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}

TEST(Hardening, OversizedScenariosAreRefusedBeforeTheyAreRead) {
    QTemporaryDir dir;
    // Over the limit: refused by its size alone. Under it, a list far longer than the layers:
    // refused by its length before its elements are read.
    QByteArray huge = R"({"crop": "Wheat", "soil": {"siltClay": [)";
    huge += QByteArray(2 * 1024 * 1024, ' ') + "20]}}";
    QByteArray longList = R"({"crop": "Wheat", "soil": {"siltClay": [20)";
    for (int i = 0; i < 150000; ++i) {
        longList += ",20";
    }
    longList += "]}}";
    ASSERT_LT(longList.size(), 1024 * 1024);
    const std::pair<QByteArray, std::string> cases[] = {
        {huge, "bytes, more than 1024 KiB, far larger than a scenario"},
        {longList, "\"soil.siltClay\" must have 2 values, one per layer of the 567 mm profile, "
                   "not 150001"},
    };
    for (const auto& [bytes, wording] : cases) {
        QElapsedTimer timer;
        timer.start();
        const auto run = plan({test::writeFile(dir, QStringLiteral("s.json"), bytes)});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(wording), std::string::npos) << run.err;
        EXPECT_LT(timer.elapsed(), 5000) << wording;
    }
}

TEST(Hardening, EveryRefusalNamesTheKey) {
    QTemporaryDir dir;
    const std::pair<const char*, const char*> cases[] = {
        {R"({"crop": "Wheat", "soil": {"depth": 149}})", "\"soil.depth\" is 149 mm"},
        {R"({"crop": "Wheat", "targetYield": 10000, "soil": {"depth": 300, "siltClay": [1]}})",
         "\"soil.siltClay\" and \"soil.depth\" give no plant-available water"},
        {R"({"crop": "Wh\u001beat"})", "\"crop\" \"Wh\\x1Beat\" is not a crop"},
    };
    for (const auto& [json, wording] : cases) {
        const auto run = plan({test::writeFile(dir, QStringLiteral("s.json"), json)});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(wording), std::string::npos) << run.err;
    }
}

// A sheet claiming more rows than a crop table has is refused at once, with the reason; a
// text far longer than a crop name is read (cut short) and its row named.
TEST(Hardening, WorkbooksBeyondACropTableAreRefusedAtOnceWithTheReason) {
    QTemporaryDir dir;
    const struct {
        QString workbook;
        int exitCode;
        std::string wording;
    } cases[] = {
        {workbookClaiming(dir, 65536, 256), 3,
         "65536 rows, more than the 32767 rows that can be read"},
        {test::sourcePath(QStringLiteral("tests/wizard/data/long-name-15966.xls")), 0,
         "column 1 (crop name): is more than 4096 characters long; a crop name may have at most "
         "100"},
    };
    for (const auto& c : cases) {
        QElapsedTimer timer;
        timer.start();
        const auto run = runProcess(
            tavikExecutable(), {QStringLiteral("crops"), QStringLiteral("--workbook"), c.workbook});
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_NE(run.err.find(c.wording), std::string::npos) << run.err;
        EXPECT_LT(timer.elapsed(), 5000);
    }
}

#if !defined(__SANITIZE_ADDRESS__)
// The reader's memory limit: a sheet that needs more memory than it may take is too large,
// not damaged.
TEST(Hardening, ASheetBeyondTheReadersMemoryIsTooLargeNotDamaged) {
    QTemporaryDir dir;
    WorkbookReaderOptions options;
    options.readerProgram = test::workbookReader();
    options.memoryLimit = 24LL * 1024 * 1024;
    // 30,000 rows of 37 numbers, written out (a claim alone takes no memory).
    const QString xlsx = dir.filePath(QStringLiteral("full.xlsx"));
    const auto made = runProcess(QStringLiteral("/usr/bin/python3"),
                                 {QStringLiteral("-c"), QStringLiteral(R"(import sys, zipfile
row = "<row>" + "<c><v>1</v></c>" * 37 + "</row>"
sheet = "<worksheet><sheetData>" + row * 30000 + "</sheetData></worksheet>"
with zipfile.ZipFile(sys.argv[1], "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("xl/workbook.xml", '<workbook><sheets><sheet r:id="rId1" '
               'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"/>'
               '</sheets></workbook>')
    z.writestr("xl/_rels/workbook.xml.rels", '<Relationships><Relationship Id="rId1" '
               'Target="worksheets/sheet1.xml"/></Relationships>')
    z.writestr("xl/worksheets/sheet1.xml", sheet))"),
                                  xlsx});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const WorkbookReadResult read = readWorkbook(xlsx, options);
    ASSERT_FALSE(read.sheet);
    EXPECT_NE(read.problem.find("too large"), std::string::npos) << read.problem;
}
#endif

// A workbook written by a program that does not calculate: a formula's result was never
// stored, so the crop is named instead of being offered with a minimum yield of 0.
TEST(Hardening, AFormulaWithoutAStoredResultIsNamed) {
    QTemporaryDir dir;
    const QString xls = dir.filePath(QStringLiteral("formulas.xls"));
    const auto made =
        runProcess(QStringLiteral("/usr/bin/python3"),
                   {QStringLiteral("-c"), QStringLiteral(R"(import csv, sys, xlwt
book = xlwt.Workbook(); sheet = book.add_sheet("Crops")
for r, row in enumerate(csv.reader(open(sys.argv[1]))):
    for c, v in enumerate(row):
        try: v = float(v)
        except ValueError: pass
        sheet.write(r, c, xlwt.Formula("1000*2") if (r, c) == (1, 8) else v)
book.save(sys.argv[2]))"),
                    test::sourcePath(QStringLiteral("wizard/resources/crops.csv")), xls});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const auto run =
        runProcess(tavikExecutable(), {QStringLiteral("crops"), QStringLiteral("--workbook"), xls});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find("Wheat"), std::string::npos);
    EXPECT_NE(run.err.find("Row 2 (Wheat), column 9 (minimum yield): holds a formula, and its "
                           "result was never calculated"),
              std::string::npos)
        << run.err;
}

TEST(Hardening, CropNamesWithControlCharactersAreNamedAndTheListStaysUnambiguous) {
    QTemporaryDir dir;
    auto rows = test::shippedCropCsv();
    rows[1][0] = "'Wheat\tsown late\x1b[2J";
    rows[2][0] = "'" + std::string(150, 'M');
    const auto run =
        runProcess(tavikExecutable(), {QStringLiteral("crops"), QStringLiteral("--workbook"),
                                       test::makeWorkbook(dir, QStringLiteral("names"), rows)});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 9);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\t'), 4 * 9);
    EXPECT_NE(run.err.find("Row 2 (Wheat\\tsown late\\x1B[2J), column 1 (crop name): holds "
                           "control characters"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("column 1 (crop name): is 150 characters long"), std::string::npos);
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos)
        << "no control character reaches the terminal";
}

} // namespace
} // namespace tavik
