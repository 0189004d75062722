// The crop table: its shape (rows 0..RowCount, columns 1..37, heading row never read), the
// 16-bit row count, the checks that keep unusable crop rows out, and picture paths.

#include "TestSupport.h"
#include "state/CropTable.h"
#include "state/WizardState.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>

namespace tavik {
namespace {

using test::CsvRows;

SheetCells shippedSheet() {
    return test::sheetFromCsv(test::shippedCropCsv());
}

TEST(CropTable, HoldsWorksheetRowsAtTheirNumbersAndNeverReadsTheHeadingRow) {
    SheetCells sheet = shippedSheet();
    // A number in the heading row must not reach the table either.
    sheet.rows[0][1] = 123.0;
    CropTable table;
    const auto loaded = table.load(sheet);
    ASSERT_FALSE(loaded.problem);
    EXPECT_TRUE(loaded.rowProblems.empty()) << describeCropProblems(loaded.rowProblems);

    EXPECT_EQ(table.RowCount(), 12);
    for (int c = CropColumn::First; c <= CropColumn::Last; ++c) {
        EXPECT_TRUE(isEmpty(table.cell(0, c))) << c;
        EXPECT_TRUE(isEmpty(table.cell(1, c))) << c;
    }
    EXPECT_EQ(table.text(2, CropColumn::Name), "Wheat");
    EXPECT_EQ(table.number(2, CropColumn::SeasonEndDay), 180);
    EXPECT_EQ(table.number(2, CropColumn::CropFactorK), 0.0000027);
    EXPECT_EQ(table.text(12, CropColumn::Name), "Barley");
    EXPECT_EQ(table.text(12, CropColumn::Picture), "/pictures/barley.png");
    EXPECT_EQ(table.offeredRows(), (std::vector<std::int16_t>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    // Outside the table every cell reads as empty.
    EXPECT_TRUE(isEmpty(table.cell(13, 1)));
    EXPECT_TRUE(isEmpty(table.cell(2, 38)));
    EXPECT_TRUE(isEmpty(table.cell(-1, 1)));
    EXPECT_EQ(table.number(0, CropColumn::SeasonEndDay), 0);
}

TEST(CropTable, UsedRowsDecideTheCropCount) {
    CsvRows rows = test::shippedCropCsv();
    rows.push_back(rows[1]);
    rows.back()[0] = "Wheat (late)";
    CropTable table;
    table.load(test::sheetFromCsv(rows)); // 13 used rows: 12 crops
    EXPECT_EQ(table.RowCount(), 13);
    EXPECT_EQ(table.offeredRows().size(), 12U);
    EXPECT_EQ(table.text(13, CropColumn::Name), "Wheat (late)");

    rows.resize(1); // headings only: no crop
    table.load(test::sheetFromCsv(rows));
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_TRUE(table.offeredRows().empty());
}

TEST(CropTable, ColumnsOutsideTheReadOnesChangeNothing) {
    CropTable plain;
    plain.load(shippedSheet());

    SheetCells changed = shippedSheet();
    for (std::size_t r = 1; r < changed.rows.size(); ++r) {
        for (int c = 24; c <= 35; ++c) {
            changed.rows[r][static_cast<std::size_t>(c - 1)] = std::string("not a number");
        }
        changed.rows[r].resize(45, Cell{99.0}); // columns beyond 37
    }
    CropTable table;
    const auto loaded = table.load(changed);
    EXPECT_TRUE(loaded.rowProblems.empty()) << describeCropProblems(loaded.rowProblems);
    EXPECT_EQ(table.offeredRows(), plain.offeredRows());
    for (int r = 2; r <= 12; ++r) {
        for (int c :
             {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 17, 18, 19, 20, 21, 22, 23, 36, 37}) {
            EXPECT_EQ(table.cell(r, c), plain.cell(r, c)) << r << "," << c;
        }
    }
}

TEST(CropTable, ShortRowsReadAsEmptyCells) {
    SheetCells sheet = shippedSheet();
    sheet.rows[2].resize(36); // row 3 without its picture path
    CropTable table;
    table.load(sheet);
    EXPECT_TRUE(isEmpty(table.cell(3, CropColumn::Picture)));
    EXPECT_TRUE(table.isOffered(3));
}

TEST(CropTable, RowCountIsASixteenBitInteger) {
    SheetCells sheet = shippedSheet();
    sheet.rows.resize(32767, sheet.rows[1]);
    CropTable table;
    auto loaded = table.load(sheet);
    ASSERT_FALSE(loaded.problem);
    EXPECT_EQ(table.RowCount(), 32767);
    EXPECT_EQ(table.offeredRows().size(), 32766U);
    EXPECT_EQ(table.text(32767, CropColumn::Name), "Wheat");

    sheet.rows.resize(32768, sheet.rows[1]);
    loaded = table.load(sheet);
    ASSERT_TRUE(loaded.problem);
    EXPECT_NE(loaded.problem->find("32768 rows"), std::string::npos) << *loaded.problem;
    EXPECT_EQ(table.RowCount(), 0);
    EXPECT_TRUE(table.offeredRows().empty());
}

TEST(CropTable, NumbersStoredAsTextCountAsNumbers) {
    CsvRows rows = test::shippedCropCsv();
    rows[1][CropColumn::RecommendedYield - 1] = "' 6500 ";
    CropTable table;
    const auto loaded = table.load(test::sheetFromCsv(rows));
    EXPECT_TRUE(loaded.rowProblems.empty()) << describeCropProblems(loaded.rowProblems);
    EXPECT_TRUE(isText(table.cell(2, CropColumn::RecommendedYield)));
    EXPECT_EQ(table.number(2, CropColumn::RecommendedYield), 6500);
}

struct RowCase {
    const char* name;
    std::vector<std::pair<int, std::string>> cells; // column, CSV field, on the wheat row
    std::vector<int> columns;                       // the columns the problems name
    const char* wording;                            // part of the first problem's text
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class CropRowChecks : public testing::TestWithParam<RowCase> {};

TEST_P(CropRowChecks, KeepTheRowOutAndSayWhy) {
    const RowCase& c = GetParam();
    CsvRows rows = test::shippedCropCsv();
    for (const auto& [column, field] : c.cells) {
        rows[1][static_cast<std::size_t>(column - 1)] = field;
    }
    CropTable table;
    const auto loaded = table.load(test::sheetFromCsv(rows));
    ASSERT_FALSE(loaded.problem);
    EXPECT_FALSE(table.isOffered(2));
    EXPECT_EQ(table.offeredRows().size(), 10U) << "the other crops stay usable";
    std::vector<int> columns;
    for (const auto& p : loaded.rowProblems) {
        EXPECT_EQ(p.row, 2);
        columns.push_back(p.column);
    }
    EXPECT_EQ(columns, c.columns) << describeCropProblems(loaded.rowProblems);
    ASSERT_FALSE(loaded.rowProblems.empty());
    EXPECT_NE(loaded.rowProblems.front().what.find(c.wording), std::string::npos)
        << loaded.rowProblems.front().what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, CropRowChecks,
    testing::Values(
        RowCase{"TextInNumericColumn", {{6, "abc"}}, {6}, "holds the text \"abc\""},
        RowCase{"TextInStageOneEndDay", {{36, "late"}}, {36}, "where a number is expected"},
        RowCase{"TextInRootColumn", {{20, "2.7e-6x"}}, {20}, "where a number is expected"},
        RowCase{"ZeroDemandDivisor", {{6, "0"}}, {6}, "is zero"},
        RowCase{"EmptyWaterUseSlope", {{7, ""}}, {7}, "is empty"},
        RowCase{"FractionalDay", {{5, "158.5"}}, {5}, "not a whole number of days"},
        RowCase{"StageOneEndsBeforeDayOne", {{36, "0"}}, {36}, "day 1 or later"},
        RowCase{"PeakStartsWithStageOneEnd", {{4, "23"}}, {4}, "after the stage-1 end day"},
        RowCase{"PeakEndsBeforeItStarts", {{5, "120"}}, {5}, "after the peak start day"},
        RowCase{
            "OneDayPeak", {{5, "129"}}, {5}, "at least two days after the peak start day (128)"},
        RowCase{"SeasonEndsWithThePeak", {{12, "158"}}, {12}, "after the peak end day"},
        RowCase{"SeasonBeyondAYear", {{12, "367"}}, {12}, "by day 366"},
        RowCase{"MinimumAboveMaximum", {{9, "12000"}, {11, "11000"}}, {9}, "above the maximum"},
        RowCase{"RecommendedBelowMinimum", {{11, "1000"}}, {11}, "outside the range"},
        RowCase{"RecommendedAboveMaximum", {{11, "10001"}}, {11}, "outside the range"},
        RowCase{"YieldTooLargeForSlider",
                {{10, "3e9"}, {11, "3e9"}},
                {10, 11},
                "holds 3000000000; it must be from 0 to 1000000 kg/ha"},
        RowCase{"SeveralProblemsAllListed", {{6, "0"}, {7, "0"}, {12, "400"}}, {12, 6, 7}, "366"},
        // Figures that would plan to infinities or absurd amounts.
        RowCase{"HugeStageOneFactor",
                {{2, "32767"}},
                {2},
                "holds 32767; it must be from 0 to 1.5 (a fraction of the peak demand)"},
        RowCase{"HugeSeasonEndFactor", {{3, "1e308"}}, {3}, "holds 1e+308"},
        RowCase{"NegativeDemandDivisor", {{6, "-108"}}, {6}, "must be from 5 to 600 days"},
        RowCase{"HugeIntercept", {{8, "-1e300"}}, {8}, "from -1000000 to 1000000 kg/ha"},
        RowCase{"ZeroRootScale", {{17, "0"}}, {17}, "more than 0 and at most 1000000"},
        RowCase{"NegativeCropFactor", {{20, "-0.0000027"}}, {20}, "more than 0 and at most 0.001"},
        RowCase{"LeafPotentialZero", {{21, "0"}}, {21}, "from 100 to 10000 kPa"},
        RowCase{"RootFractionAboveOne", {{22, "1.5"}}, {22}, "at most 1"},
        RowCase{"UptakeRatioHuge", {{23, "1e6"}}, {23}, "at most 10"},
        RowCase{
            "NoWaterUseAtTheMinimumYield", {{8, "-3000"}}, {8}, "a season's water use of -87.87"},
        RowCase{"PeakDemandBeyondFiftyMm", {{6, "5"}}, {6}, "a peak daily demand of 181.72"},
        RowCase{"RootsShallowerThanHalfALayer",
                {{19, "0.1"}},
                {18},
                "rooting depth (column 19) a rooting depth of 100 mm"},
        RowCase{"NoRootLength",
                {{14, "-1"}},
                {17},
                "coefficients (columns 13 to 16) a root length of -15"},
        RowCase{"NameWithTabAndLineFeed", {{1, "'Whe\tat\n"}}, {1}, "holds control characters"},
        RowCase{"NameTooLong", {{1, "'" + std::string(101, 'W')}}, {1}, "is 101 characters long"}),
    [](const testing::TestParamInfo<RowCase>& p) { return p.param.name; });

// Messages name the columns that are read; a column the computations never read has no name.
TEST(CropColumns, EveryReadColumnHasItsName) {
    const std::map<int, std::string> names{
        {1, "crop name"},
        {2, "stage-1 end factor"},
        {3, "season-end factor"},
        {4, "peak start day"},
        {5, "peak end day"},
        {6, "demand divisor"},
        {7, "water-use slope"},
        {8, "water-use intercept"},
        {9, "minimum yield"},
        {10, "maximum yield"},
        {11, "recommended yield"},
        {12, "season end day"},
        {13, "root length coefficient a0"},
        {14, "root length coefficient a1"},
        {15, "root length coefficient a2"},
        {16, "root length coefficient a3"},
        {17, "root length scale"},
        {18, "rooting depth factor"},
        {19, "rooting depth"},
        {20, "crop factor K"},
        {21, "limiting leaf water potential"},
        {22, "90 % root depth fraction"},
        {23, "uptake ratio"},
        {36, "stage-1 end day"},
        {37, "picture path"},
    };
    for (int column = -1; column <= CropColumn::Last + 2; ++column) {
        const auto named = names.find(column);
        EXPECT_EQ(cropColumnName(column), named == names.end() ? "not used" : named->second)
            << column;
    }
}

TEST(CropRowChecks, BoundaryValuesAreAccepted) {
    CsvRows rows = test::shippedCropCsv();
    auto& wheat = rows[1];
    wheat[35] = "1";                          // stage 1 ends on day 1
    wheat[11] = "366";                        // the season ends on day 366
    wheat[8] = wheat[10] = wheat[9] = "5000"; // one yield only
    wheat[7] = "0";                           // a zero intercept is no divisor
    CropTable table;
    const auto loaded = table.load(test::sheetFromCsv(rows));
    EXPECT_TRUE(loaded.rowProblems.empty()) << describeCropProblems(loaded.rowProblems);
}

TEST(CropRowChecks, AnEmptyRowIsOneProblemAndSoIsARunOfThem) {
    CsvRows rows = test::shippedCropCsv();
    rows[3] = std::vector<std::string>(37);
    // Formatted but blank rows below the crops, as a spreadsheet's used range often has.
    rows.insert(rows.end(), 1000, std::vector<std::string>(37));
    CropTable table;
    const auto loaded = table.load(test::sheetFromCsv(rows));
    ASSERT_EQ(loaded.rowProblems.size(), 2U);
    EXPECT_EQ(loaded.rowProblems[0].describe(), "Row 4: the row is empty.");
    EXPECT_EQ(loaded.rowProblems[1].describe(), "Rows 13 to 1012: the rows are empty.");
    EXPECT_EQ(table.offeredRows().size(), 10U);
}

TEST(CropRowChecks, AFormulaWithoutAResultIsNamedNotReadAsEmpty) {
    SheetCells sheet = test::sheetFromCsv(test::shippedCropCsv());
    sheet.rows[1][CropColumn::MinYield - 1] = UnreadableCell{"its result was never calculated"};
    sheet.rows[2][30] = UnreadableCell{"its result is an error"}; // a column no code reads
    CropTable table;
    const auto loaded = table.load(sheet);
    ASSERT_EQ(loaded.rowProblems.size(), 1U);
    EXPECT_EQ(loaded.rowProblems[0].describe().rfind(
                  "Row 2 (Wheat), column 9 (minimum yield): holds a formula, and its result was "
                  "never calculated; put the value itself in the cell instead.",
                  0),
              0U);
    EXPECT_TRUE(table.isOffered(3));
}

TEST(CropRowChecks, DescriptionNamesRowCropAndColumn) {
    const CropRowProblem p{5, "Groundnuts", 6, "is zero; the season's water use is divided by it"};
    EXPECT_EQ(p.describe(), "Row 5 (Groundnuts), column 6 (demand divisor): is zero; the "
                            "season's water use is divided by it.");
}

TEST(WizardState, StartsAtZeroAndLoadingReleasesTheWorkbook) {
    mType state;
    EXPECT_EQ(state.CropRow, 0);
    EXPECT_EQ(state.TargetYield, 0.0F);
    EXPECT_EQ(state.SpeedCoefficient, 0.0);
    EXPECT_TRUE(state.AppTitle.empty());
    EXPECT_FALSE(state.SoilProfile);

    state.CropWorkbook = shippedSheet();
    const auto loaded = loadCropData(state);
    EXPECT_FALSE(loaded.problem);
    EXPECT_FALSE(state.CropWorkbook);
    EXPECT_EQ(state.CropData.RowCount(), 12);
}

class CropPicture : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        program_ = std::filesystem::path(dir_.filePath(QStringLiteral("program")).toStdString());
        std::filesystem::create_directories(program_ / "pictures");
        std::filesystem::create_directories(std::filesystem::path(dir_.path().toStdString()) /
                                            "other");
    }
    QTemporaryDir dir_;
    std::filesystem::path program_;
};

TEST_F(CropPicture, PathIsTheProgramFolderFollowedByTheColumn) {
    const auto path = cropPicturePath(program_, Cell{std::string("/pictures/wheat.png")});
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, program_ / "pictures" / "wheat.png");
    // Workbooks written on Windows use backslashes.
    EXPECT_EQ(cropPicturePath(program_, Cell{std::string("\\pictures\\wheat.png")}), path);
}

TEST_F(CropPicture, NoPathOutsideTheProgramFolderOrForNonText) {
    for (const char* escape : {"/../other/x.png", "/pictures/../../other/x.png",
                               "\\..\\..\\etc\\passwd", "/..", "", "/"}) {
        EXPECT_FALSE(cropPicturePath(program_, Cell{std::string(escape)})) << escape;
    }
    EXPECT_FALSE(cropPicturePath(program_, Cell{1.0}));
    EXPECT_FALSE(cropPicturePath(program_, Cell{}));
    // A link inside the folder that leads out of it.
    std::filesystem::create_symlink(program_.parent_path() / "other",
                                    program_ / "pictures" / "out");
    EXPECT_FALSE(cropPicturePath(program_, Cell{std::string("/pictures/out/x.png")}));
}

} // namespace
} // namespace tavik
