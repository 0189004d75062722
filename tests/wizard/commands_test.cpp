// The headless commands of the built program: `tavik crops` and `tavik workbook`.

#include "TestSupport.h"
#include "state/CropTable.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tavik {
namespace {

using test::runProcess;
using test::tavikExecutable;

TEST(CropsCommand, ListsTheShippedCrops) {
    const auto run = runProcess(tavikExecutable(), {QStringLiteral("crops")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "2\tWheat\t2000\t10000\t6000\n"
                       "3\tMaize\t4000\t15000\t10000\n"
                       "4\tPotatoes (summer)\t15000\t65000\t40000\n"
                       "5\tGroundnuts\t1000\t5000\t4000\n"
                       "6\tCotton\t1000\t6000\t4000\n"
                       "7\tSoya beans\t1000\t5000\t3000\n"
                       "8\tPeas\t1000\t5500\t4000\n"
                       "9\tDry beans\t1000\t4000\t2500\n"
                       "10\tPotatoes (winter)\t20000\t65000\t50000\n"
                       "11\tSunflower\t1000\t4000\t3000\n"
                       "12\tBarley\t2000\t8000\t5000\n");
}

TEST(CropsCommand, LeavesOutUnusableRowsAndSaysWhy) {
    QTemporaryDir dir;
    auto rows = test::shippedCropCsv();
    rows[2][CropColumn::PeakEndDay - 1] = "60"; // maize: peak ends before it starts (65)
    const QString xls = test::makeWorkbook(dir, QStringLiteral("crops"), rows);
    const auto run =
        runProcess(tavikExecutable(), {QStringLiteral("crops"), QStringLiteral("--workbook"), xls});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.find("Maize"), std::string::npos);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 10);
    EXPECT_NE(
        run.err.find("Row 3 (Maize), column 5 (peak end day): is day 60; it must come at least "
                     "two days after the peak start day (65)."),
        std::string::npos)
        << run.err;
}

TEST(CropsCommand, DamagedWorkbookEndsWithStatusThree) {
    QTemporaryDir dir;
    const QString path = test::writeFile(dir, QStringLiteral("bad.xls"), "not a workbook at all");
    const auto run = runProcess(tavikExecutable(),
                                {QStringLiteral("crops"), QStringLiteral("--workbook"), path});
    EXPECT_FALSE(run.crashed);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("The crop workbook \"" + path.toStdString() + "\" cannot be read: "),
              std::string::npos)
        << run.err;
}

TEST(CropsCommand, BadArgumentsEndWithStatusTwo) {
    for (const QStringList& args :
         {QStringList{QStringLiteral("crops"), QStringLiteral("--workbook")},
          QStringList{QStringLiteral("crops"), QStringLiteral("--bogus")},
          QStringList{QStringLiteral("nonsense")}, QStringList{QStringLiteral("workbook")}}) {
        const auto run = runProcess(tavikExecutable(), args);
        EXPECT_EQ(run.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.empty());
        EXPECT_EQ(run.out, "");
    }
}

TEST(WorkbookCommand, PrintsTheUsedRangeAsCsv) {
    const auto run = runProcess(
        tavikExecutable(), {QStringLiteral("workbook"),
                            test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls"))});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QStringList lines = QString::fromStdString(run.out).split('\n');
    ASSERT_EQ(lines.size(), 13); // twelve rows, each ended by a line feed
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("\"Crop\",\"Stage1EndFactor\",")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("\"Wheat\",0.261,0.217,128,158,108,11.38,")));
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral(",23,\"/pictures/wheat.png\"")));
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

// --help and the manual page name every command and option the program has, and --version
// its version.
TEST(HelpAndManual, NameEveryCommandAndOption) {
    const auto help = test::runProcess(test::tavikExecutable(), {"--help"});
    ASSERT_EQ(help.exitCode, 0);
    const std::string manual =
        test::readFile(test::sourcePath(QStringLiteral("packaging/tavik.1"))).toStdString();
    for (const char* word :
         {"plan",       "compare",      "crops",    "workbook",  "--no-splash",
          "--workbook", "--format",     "--output", "--size",    "--chart",
          "--batch",    "--output-dir", "--help",   "--version", "tavikplan",
          "ics",        "pdf",          "png",      "svg",       "XDG_DATA_HOME"}) {
        SCOPED_TRACE(word);
        EXPECT_NE(help.out.find(word), std::string::npos) << help.out;
        // The manual writes a hyphen as "\-".
        QString escaped = QString::fromLatin1(word);
        escaped.replace(QLatin1Char('-'), QStringLiteral("\\-"));
        EXPECT_NE(manual.find(escaped.toStdString()), std::string::npos);
    }
    const auto version = test::runProcess(test::tavikExecutable(), {"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tavik " + std::string(TAVIK_VERSION_TEXT) + "\n");
}

} // namespace
} // namespace tavik
