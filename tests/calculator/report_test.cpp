// The overhead and flood report writers.

#include "CalcTestSupport.h"
#include "report/Reports.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

namespace tavikcalc {
namespace {

using test::lines;

constexpr const char* kTableHead = " ¦ planted  ¦ during peak  ¦ Completely Wet ¦ Partialy Wet  ¦ "
                                   "Completely Dry ¦";

ReportValues wheatValues() {
    ReportValues values;
    values.yieldTarget = 6000;
    values.pawc = 100;
    return values;
}

ReportOutcome overhead(int row, ReportValues values) {
    CTavik calculator;
    calculator.SetCrop(row);
    return OverheadReport(calculator, values);
}

ReportOutcome flood(int row, ReportValues values, int lag = 0) {
    CTavik calculator;
    calculator.SetCrop(row);
    if (lag != 0) {
        calculator.setDefaultLag(lag);
    }
    return FloodReport(calculator, values);
}

// The table rows of an overhead report: the lines after the units line up to the empty line.
std::vector<std::string> tableRows(const std::string& text) {
    const auto all = lines(text);
    const auto head = std::find(all.begin(), all.end(), kTableHead);
    const auto first = head + 4; // after the rule, the headings and the units
    return {first, std::find(first, all.end(), "")};
}

std::vector<int> rowDays(const std::string& text) {
    std::vector<int> days;
    for (const std::string& row : tableRows(text)) {
        days.push_back(std::stoi(row.substr(std::string(" ¦ ").size(), 3)));
    }
    return days;
}

TEST(OverheadReport, Wheat150InMillimetres) {
    const ReportOutcome report = overhead(0, wheatValues());
    ASSERT_TRUE(report.ok()) << report.problem;
    const auto all = lines(report.text);
    EXPECT_EQ(all.front(), "Processed by TAVIK.");
    EXPECT_EQ(all[2], "  (IRR, mm) per cycle for");
    const auto rows = tableRows(report.text);
    ASSERT_EQ(rows.size(), 21U);
    EXPECT_EQ(rows.front(), " ¦  10      ¦   3        3 ¦   3          3 ¦   3         3 ¦   4     "
                            "     4 ¦");
    EXPECT_EQ(rows.back(), " ¦ 150      ¦  14      558 ¦  14        484 ¦  14       525 ¦  14     "
                           "   563 ¦");
    EXPECT_EQ(std::vector<std::string>(all.end() - 8, all.end()),
              (std::vector<std::string>{
                  "", "Profile available water capacity during peak consumption = 100.0 mm.",
                  "Reserved rain storage capacity = 25.0 mm.",
                  "The rain more than IRR mm per occasion should not be",
                  "taken in account if the complete addition option is used.",
                  "Useable profile available water during peak consumption = 75.0 mm.",
                  "The irrigation system has to be able to effectively apply 6.3 mm/day for the",
                  "complete CWD addition and 4.6 mm/day partional addition option"}));
    EXPECT_EQ(report.text.back(), 'n'); // no line break after the last line
}

struct CycleCase {
    int cycle;
    std::vector<int> days;
};

void PrintTo(const CycleCase& c, std::ostream* os) {
    *os << "cycle " << c.cycle;
}

class OverheadCycle : public testing::TestWithParam<CycleCase> {};

// A row for day 10, then one at the end of every cycle within the season.
TEST_P(OverheadCycle, GivesARowPerCycleWithinTheSeason) {
    ReportValues values = wheatValues();
    values.cycle = GetParam().cycle;
    const ReportOutcome report = overhead(0, values);
    ASSERT_TRUE(report.ok()) << report.problem;
    EXPECT_EQ(rowDays(report.text), GetParam().days);
}

INSTANTIATE_TEST_SUITE_P(
    Wheat150, OverheadCycle,
    testing::Values(CycleCase{7, {10, 17, 24,  31,  38,  45,  52,  59,  66,  73, 80,
                                  87, 94, 101, 108, 115, 122, 129, 136, 143, 150}},
                    CycleCase{28, {10, 38, 66, 94, 122, 150}}, CycleCase{140, {10, 150}},
                    CycleCase{141, {10}}, CycleCase{100000, {10}}));

TEST(OverheadReport, AreaGivesVolumes) {
    ReportValues values = wheatValues();
    values.areaFlag = true;
    values.area = 3;
    const ReportOutcome report = overhead(0, values);
    ASSERT_TRUE(report.ok()) << report.problem;
    const auto all = lines(report.text);
    EXPECT_EQ(all[2], "  Total area to be irrigated 3.0 hectare");
    EXPECT_EQ(all[3], "  (IRR, m³/d) per cycle for");
    EXPECT_EQ(all[14], " ¦          ¦ m³/d  x10³m³ ¦ m³/d    x10³m³ ¦ m³/d   x10³m³ ¦ m³/d    "
                       "x10³m³ ¦");
    // Day 10: m³ a day over the first ten days (2.6 mm on 3 ha is 78 m³) and thousands of m³
    // in total; then m³ a day over each cycle. Day 150: the cycle's 14 mm over 7 days is 60 m³
    // a day, and 558 mm on 3 ha is 16.7 thousand m³.
    const auto rows = tableRows(report.text);
    EXPECT_EQ(rows.front(), " ¦  10      ¦     8      0 ¦     8        0 ¦     9       0 ¦    11  "
                            "      0 ¦");
    EXPECT_EQ(rows.back().substr(0, 31), " ¦ 150      ¦    60     17 ¦");
}

TEST(OverheadReport, CapSearchWithoutAnswerStillGivesTheReport) {
    ReportValues values;
    values.yieldTarget = 3000;
    values.pawc = 30;
    CTavik c;
    c.SetCrop(6);
    const ReportOutcome report = OverheadReport(c, values);
    ASSERT_TRUE(report.ok()) << report.problem;
    EXPECT_TRUE(c.capUnreached);
    EXPECT_EQ(lines(report.text).back(),
              "complete CWD addition and 6.8 mm/day partional addition option");
}

TEST(FloodReport, TheWorkedExample) {
    ReportValues values = wheatValues();
    values.area = 1;
    values.streamFlow = 150;
    const ReportOutcome report = flood(0, values);
    ASSERT_TRUE(report.ok()) << report.problem;
    const auto all = lines(report.text);
    EXPECT_EQ(std::vector<std::string>(all.begin(), all.begin() + 9),
              (std::vector<std::string>{
                  "Processed by TAVIK.",
                  "Water application program for Wheat 150 with a harvest yield target of",
                  " 6000 kg/ha with an application efficiency of 70%", "",
                  "Days after planting when it should be irrigated.",
                  "------------------------------------------------",
                  " ¦ Profile end dry [d] ¦ Profile end wet [d]¦",
                  " ¦          30         ¦          30        ¦",
                  " ¦          65         ¦          65        ¦"}));
    EXPECT_EQ(all[9], " ¦         ¦    85   ¦"); // the wet profile's deficit comes first
    EXPECT_EQ(all[10], " ¦    87   ¦         ¦");
    EXPECT_EQ(std::vector<std::string>(all.end() - 8, all.end()),
              (std::vector<std::string>{
                  "PLEASE NOTE: You are applying 26 mm to much water per irrigation",
                  "Increase the water stream or the gradient of the beds.", "",
                  "You need 4.4 irrigation periods of 12 hours each per hectare for the season "
                  "or...",
                  "  in total 7958.83 cubic meter water per hectare.", "",
                  "The profile available water capacity = 100.0 mm",
                  "The estimated effective water application = 100.0 mm per irrigation"}));
}

TEST(FloodReport, NoExcessLeavesTheTwoEmptyLines) {
    ReportValues values = wheatValues();
    values.area = 2;
    values.streamFlow = 150;
    values.periodHours = 24; // 24 × 150 × 0.7 / 2 / 10 = 126 mm: what the profile holds
    values.pawc = 126;
    const auto all = lines(flood(0, values).text);
    EXPECT_EQ(all[all.size() - 6], "");
    EXPECT_EQ(all[all.size() - 7], "");
    EXPECT_EQ(all[all.size() - 5],
              "You need 2.2 irrigation periods of 24 hours each per hectare for the season or...");
    EXPECT_EQ(all.back(), "The estimated effective water application = 126.0 mm per irrigation");
}

TEST(FloodReport, LagDayReachingTheApplicationIsListedTwice) {
    ReportValues values = wheatValues();
    values.pawc = 1; // the application is limited to 1 mm, less than one day's demand
    values.area = 1;
    values.streamFlow = 150;
    const auto all = lines(flood(0, values, 40).text);
    EXPECT_EQ(all[7], " ¦          40         ¦          40        ¦");
    EXPECT_EQ(all[8], " ¦          40         ¦          40        ¦");
    EXPECT_EQ(all[9], " ¦          41         ¦          41        ¦");
}

TEST(FloodReport, LagBeyondTheSeasonListsNoDay) {
    ReportValues values = wheatValues();
    values.area = 1;
    values.streamFlow = 150;
    const auto all = lines(flood(0, values, 151).text);
    EXPECT_EQ(all[7], " ¦         151         ¦         151        ¦");
    EXPECT_EQ(all[8], "");
    EXPECT_EQ(all[9], "PLEASE NOTE: You are applying 26 mm to much water per irrigation");
}

// An excess beyond any integer type is written whole, its fraction dropped.
TEST(FloodReport, TinyAreaGivesAHugeButExactExcess) {
    ReportValues values = wheatValues();
    values.area = 1e-9;
    values.streamFlow = 150;
    const ReportOutcome report = flood(0, values);
    ASSERT_TRUE(report.ok()) << report.problem;
    const auto all = lines(report.text);
    const auto note = std::find_if(all.begin(), all.end(), [](const std::string& line) {
        return line.rfind("PLEASE NOTE", 0) == 0;
    });
    ASSERT_NE(note, all.end());
    EXPECT_EQ(*note, "PLEASE NOTE: You are applying 125999999900 mm to much water per irrigation");
}

struct Refusal {
    const char* name;
    bool isFlood;
    ReportValues values;
    int lag;
    const char* wording;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

ReportValues with(double area, double flow, int cycle = 7) {
    ReportValues values = wheatValues();
    values.area = area;
    values.streamFlow = flow;
    values.cycle = cycle;
    return values;
}

// Wheat 150 flooded with 150 m³/h on 1 ha, one value changed.
ReportValues changed(double ReportValues::*field, double value) {
    ReportValues values = with(1, 150);
    values.*field = value;
    return values;
}

class RefusedReport : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedReport, WithAMessageAndWithoutCalculating) {
    const Refusal& r = GetParam();
    CTavik c;
    c.SetCrop(0);
    c.setDefaultLag(r.lag);
    ReportValues values = r.values;
    values.usableWater = -7;
    const ReportOutcome report = r.isFlood ? FloodReport(c, values) : OverheadReport(c, values);
    EXPECT_FALSE(report.ok());
    EXPECT_EQ(report.text, "");
    EXPECT_NE(report.problem.find(r.wording), std::string::npos) << report.problem;
    EXPECT_EQ(values.usableWater, -7);
    EXPECT_EQ(c.seasonDemand, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, RefusedReport,
    testing::Values(Refusal{"cycle0", false, with(0, 0, 0), 30, "cycle must be at least 1"},
                    Refusal{"cycleNegative", false, with(0, 0, -5), 30, "cycle"},
                    Refusal{"lag0", true, with(1, 150), 0, "lag must be at least 1"},
                    Refusal{"lagNegative", true, with(1, 150), -3, "lag"},
                    Refusal{"area0", true, with(0, 150), 30, "area of 0 ha"},
                    Refusal{"area0NoFlow", true, with(0, 0), 30, "area"},
                    Refusal{"flowOverflows", true, with(1, 1e308), 30, "stream flow of 1e+308"},
                    Refusal{"flow0", true, with(1, 0), 30, "greater than 0"},
                    Refusal{"flowTooSmall", true, with(1, 1e-320), 30, "number of periods"},
                    Refusal{"areaNegative", true, with(-1, 150), 30, "area of -1 ha"},
                    Refusal{"areaHuge", true, with(20000, 150), 30, "at most 10000 ha"},
                    Refusal{"pawcNegative", true, changed(&ReportValues::pawc, -21.5), 30, "-21.5"},
                    Refusal{"pawcHuge", false, changed(&ReportValues::pawc, 1e308), 30, "1000 mm"},
                    Refusal{"reserveNegative", false, changed(&ReportValues::reserve, -1), 30,
                            "rain"},
                    Refusal{"yieldAboveMax", false, changed(&ReportValues::yieldTarget, 10001), 30,
                            "yield target must be from 0 to 10000 kg/ha"}));

// No figure is infinite, undefined or negative, and none is wider than 9 characters (14463.03
// m³ a hectare, maize at its maximum yield, is the widest the grid gives; an accepted 1e308
// gave 309). The demand curves of the soya bean, potato and pea seasons fall below zero in
// their last days, and the summer potatoes' starts below it: such a day applies nothing.
void checkReport(const ReportOutcome& report) {
    ASSERT_TRUE(report.ok()) << report.problem;
    for (std::string line : lines(report.text)) {
        const std::string shown = line;
        for (char& c : line) {
            const bool kept = std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
            c = kept ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : ' ';
        }
        std::istringstream words(line);
        for (std::string word; words >> word;) {
            EXPECT_TRUE(word.find("inf") == std::string::npos &&
                        word.find("nan") == std::string::npos)
                << shown;
            if (!std::isdigit(static_cast<unsigned char>(word[word[0] == '-' ? 1 : 0]))) {
                continue;
            }
            EXPECT_LE(word.size(), 9U) << shown;
            EXPECT_NE(word[0], '-') << shown; // "-0" too
        }
    }
}

// Every report over a grid of the values a report accepts, for every crop: those that shape
// the calculation in every combination, then the method's own in combinations that take each
// to both ends of its range (area 0: millimetres; lag 0: the crop's own).
TEST(ReportGrid, NoReportHoldsAnInfiniteUndefinedOrNegativeAmount) {
    // cycle and area of the overhead report; flow, hours, area and lag of the flood report
    const std::vector<std::tuple<int, double>> overheadCases = {
        {kMinCycle, 0}, {kMinCycle, kMaxArea}, {7, 0.01}, {kMaxCycle, 0}, {kMaxCycle, kMaxArea}};
    const std::vector<std::tuple<double, int, double, int>> floodCases = {
        {1, 24, 0.01, 1},
        {kMaxStreamFlow, 24, 0.01, 0},
        {150, 12, 3, 0},
        {kMaxStreamFlow, 12, kMaxArea, 200},
        {1, 12, kMaxArea, 1}};
    for (int crop = 0; crop < kCropCount; ++crop) {
        const CropRecord& row = cropRows()[static_cast<std::size_t>(crop)];
        for (const double yield : {0.0, row.guidelineYield, row.maxYield}) {
            for (const double pawc : {0.0, 0.1, 40.0, 250.0, kMaxPawc}) {
                for (const double reserve : {0.0, 25.0, kMaxReserve}) {
                    ReportValues values{yield, pawc, reserve};
                    std::ostringstream given;
                    given << crop << ", " << yield << ", " << pawc << ", " << reserve;
                    for (const auto& [cycle, area] : overheadCases) {
                        SCOPED_TRACE("overhead " + given.str() + ", " + std::to_string(cycle) +
                                     ", " + std::to_string(area));
                        CTavik calculator; // each report on a calculator of its own
                        calculator.SetCrop(crop);
                        values.cycle = cycle;
                        values.areaFlag = area > 0;
                        values.area = area;
                        checkReport(OverheadReport(calculator, values));
                    }
                    for (const auto& [flow, hours, area, lag] : floodCases) {
                        SCOPED_TRACE("flood " + given.str() + ", " + std::to_string(flow) + ", " +
                                     std::to_string(hours) + ", " + std::to_string(area) + ", " +
                                     std::to_string(lag));
                        CTavik calculator;
                        calculator.SetCrop(crop);
                        calculator.setDefaultLag(lag != 0 ? lag : row.defaultLag);
                        values.streamFlow = flow;
                        values.periodHours = hours;
                        values.area = area;
                        checkReport(FloodReport(calculator, values));
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace tavikcalc
