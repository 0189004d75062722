// The headless plan: scenarios walked through the wizard's computations. Golden folders hold
// a scenario with its expected report (text and RTF) and JSON; the refusals name the key that
// is wrong.

#include "TestSupport.h"
#include "plan/Calendar.h"
#include "plan/FileNames.h"
#include "plan/ICalendar.h"
#include "plan/Plan.h"
#include "plan/PlanOutput.h"
#include "plan/Scenario.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "state/SprinklerPackage.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <random>

namespace tavik {
namespace {

const TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};

PlanOutcome plan(const std::string& json) {
    const ScenarioParse parse = parseScenario(json);
    EXPECT_TRUE(parse.scenario) << parse.problem;
    if (!parse.scenario) {
        return {};
    }
    return runPlan(test::shippedCrops(), *parse.scenario, kStamp);
}

using test::GoldenCase;
using test::goldenCases;

// With TAVIK_UPDATE_GOLDEN set the expected files are written instead of compared.
void compareOrUpdate(const QString& path, const std::string& actual) {
    if (qEnvironmentVariableIsSet("TAVIK_UPDATE_GOLDEN")) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QByteArray::fromStdString(actual));
        return;
    }
    EXPECT_EQ(test::readFile(path).toStdString(), actual) << path.toStdString();
}

TEST(PlanGolden, ScenariosGiveTheirExpectedReportAndFigures) {
    const auto cases = goldenCases();
    ASSERT_GE(cases.size(), 7U);
    for (const GoldenCase& c : cases) {
        SCOPED_TRACE(c.scenario.toStdString());
        const PlanOutcome outcome = plan(test::readFile(c.scenario).toStdString());
        ASSERT_TRUE(outcome.result) << outcome.problem;
        compareOrUpdate(c.expected + QStringLiteral("/expected.txt"), planText(*outcome.result));
        compareOrUpdate(c.expected + QStringLiteral("/expected.rtf"), planRtf(*outcome.result));
        compareOrUpdate(c.expected + QStringLiteral("/expected.json"), planJson(*outcome.result));
    }
}

// A golden folder is an example's expected output or holds its own scenario; any other is a
// failure naming it, so that a scenario left out of a commit is not a case quietly dropped.
TEST(PlanGolden, AFolderWithoutItsScenarioFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QDir root(dir.path());
    for (const char* folder : {"examples", "golden/own", "golden/example", "golden/orphan"}) {
        ASSERT_TRUE(root.mkpath(QLatin1String(folder)));
    }
    test::writeFile(dir, QStringLiteral("examples/example.json"), "{}");
    test::writeFile(dir, QStringLiteral("golden/own/scenario.json"), "{}");
    test::writeFile(dir, QStringLiteral("golden/orphan/expected.txt"), "report");

    testing::TestPartResultArray failures;
    std::vector<GoldenCase> cases;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        cases = goldenCases(root.filePath(QStringLiteral("examples")),
                            root.filePath(QStringLiteral("golden")));
    }
    ASSERT_EQ(failures.size(), 1);
    EXPECT_NE(std::string(failures.GetTestPartResult(0).message())
                  .find("golden/orphan has no "
                        "scenario.json"),
              std::string::npos)
        << failures.GetTestPartResult(0).message();
    ASSERT_EQ(cases.size(), 2U);
    EXPECT_TRUE(cases[0].scenario.endsWith(QStringLiteral("examples/example.json")));
    EXPECT_TRUE(cases[1].scenario.endsWith(QStringLiteral("golden/own/scenario.json")));
}

TEST(Plan, FreshScreensDecideWhatTheScenarioLeavesOut) {
    const PlanOutcome outcome = plan(R"({"crop": "wheat"})");
    ASSERT_TRUE(outcome.result) << outcome.problem;
    const PlanResult& p = *outcome.result;
    EXPECT_EQ(p.state.CropRow, 2);
    EXPECT_EQ(p.state.TargetYield, 6000.0F); // the recommended yield
    EXPECT_EQ(p.layers, 2);                  // 567 mm
    EXPECT_EQ(p.state.BottomLayerThickness, 267.0F);
    EXPECT_EQ(p.siltClay, (std::vector<int>{20, 20}));
    EXPECT_EQ(p.rootZone.dryingPasses, 9);
    EXPECT_NEAR(p.state.ProfilePAWC, 46.4, 0.05);
    EXPECT_EQ(p.engine.Cycle(), 5);
    EXPECT_FALSE(p.sprinklerPackage);
    EXPECT_EQ(p.state.SpeedCoefficient, 0.0);
    EXPECT_EQ(p.waterLevels.selection(1, Stage::PeakEnd), 100);
    EXPECT_EQ(p.state.StorageChangeEarly, 0.0F);
    // The report ends with the time stamp given.
    const std::string& report = p.schedule.report.text;
    EXPECT_EQ(report.substr(report.size() - 25), "\r\n\r\n1/2/2026 (3:04:05 PM)");
}

TEST(Plan, ScenarioFiguresReachTheSchedule) {
    const PlanOutcome outcome = plan(R"({
        "crop": 3, "targetYield": 12000, "cycle": 10,
        "soil": {"depth": 1000, "siltClay": [20, 25, 30], "deepRipped": true},
        "waterLevels": {"PeakStart": [0.2, 0.2, 0.2]},
        "sprinklerPackage": {}
    })");
    ASSERT_TRUE(outcome.result) << outcome.problem;
    const PlanResult& p = *outcome.result;
    EXPECT_EQ(p.cropName, "Maize");
    EXPECT_EQ(p.state.TargetYield, 12000.0F);
    EXPECT_EQ(p.state.BottomLayerThickness, 400.0F);
    // Peak start holds 0.1 mm/mm more over 1000 mm than the season start: 100 mm.
    EXPECT_FLOAT_EQ(p.state.StorageChangeEarly, 100.0F);
    EXPECT_FLOAT_EQ(p.state.StorageChangePeak, -100.0F);
    EXPECT_NEAR(p.state.SpeedExponent, -1.0, 1e-4);
    EXPECT_NEAR(p.state.SpeedCoefficient, 547.54, 0.01);
    ASSERT_FALSE(p.schedule.irrigations.empty());
    EXPECT_EQ(p.schedule.irrigations.front().day, 10);
    EXPECT_EQ(p.schedule.irrigations[1].day, 20);
    EXPECT_TRUE(p.schedule.irrigations.front().passes.has_value());
    EXPECT_EQ(p.individualChart.labels.size(), 140U / 10 + 1);
}

struct Refusal {
    const char* name;
    const char* scenario;
    const char* wording;
};

void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class PlanRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(PlanRefusals, NameWhatIsWrong) {
    const ScenarioParse parse = parseScenario(GetParam().scenario);
    std::string problem = parse.problem;
    if (parse.scenario) {
        const PlanOutcome outcome = runPlan(test::shippedCrops(), *parse.scenario, kStamp);
        EXPECT_FALSE(outcome.result);
        problem = outcome.problem;
    }
    EXPECT_NE(problem.find(GetParam().wording), std::string::npos) << problem;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlanRefusals,
    testing::Values(
        Refusal{"NotJson", "{crop: wheat}", "is not valid JSON"},
        Refusal{"NotAnObject", "[1, 2]", "must hold one JSON object"},
        Refusal{"NoCrop", "{}", "\"crop\" is missing"},
        Refusal{"UnknownCrop", R"({"crop": "Rice"})", "\"crop\" \"Rice\" is not a crop"},
        Refusal{"RowNotACrop", R"({"crop": 13})", "\"crop\" 13 is not a crop row"},
        Refusal{"UnknownKey", R"({"crop": "Wheat", "yield": 5})", "\"yield\" is not a key"},
        Refusal{"UnknownSoilKey", R"({"crop": "Wheat", "soil": {"clay": 5}})", "\"soil.clay\""},
        Refusal{"FractionalYield", R"({"crop": "Wheat", "targetYield": 6000.5})",
                "\"targetYield\" must be a whole number"},
        Refusal{"YieldOffTheSlider", R"({"crop": "Wheat", "targetYield": 12000})",
                "within Wheat's range from 2000 to 10000"},
        Refusal{"DepthTooDeep", R"({"crop": "Wheat", "soil": {"depth": 2001}})",
                "\"soil.depth\" must be a whole number from 0 to 2000"},
        Refusal{"DepthAsText", R"({"crop": "Wheat", "soil": {"depth": "900"}})", "\"soil.depth\""},
        Refusal{"NoLayer", R"({"crop": "Wheat", "soil": {"depth": 149}})",
                "Please select soil depth"},
        Refusal{"LayerCount", R"({"crop": "Wheat", "soil": {"depth": 900, "siltClay": [20, 20]}})",
                "\"soil.siltClay\" must have 3 values"},
        Refusal{"SiltClayZero", R"({"crop": "Wheat", "soil": {"siltClay": [0, 20]}})",
                "\"soil.siltClay[0]\" must be a whole number from 1 to 100"},
        Refusal{"RippedNotBool", R"({"crop": "Wheat", "soil": {"deepRipped": 1}})",
                "\"soil.deepRipped\" must be true or false"},
        Refusal{
            "ZeroPawc",
            R"({"crop": "Wheat", "targetYield": 10000, "soil": {"depth": 300, "siltClay": [1]}})",
            "The PAWC value calculated is zero, Please check Silt+Clay % selected &/or soil depth"},
        Refusal{
            "LevelOffStep", R"({"crop": "Wheat", "waterLevels": {"PeakEnd": [0.1, 0.1005]}})",
            "\"waterLevels.PeakEnd[1]\" must be a soil water content from 0 to 0.5 mm/mm in steps"},
        Refusal{"LevelTooHigh", R"({"crop": "Wheat", "waterLevels": {"SeasonEnd": [0.6, 0.1]}})",
                "\"waterLevels.SeasonEnd[0]\""},
        Refusal{"LevelCount", R"({"crop": "Wheat", "waterLevels": {"SeasonStart": [0.1]}})",
                "\"waterLevels.SeasonStart\" must have 2 values"},
        Refusal{"UnknownStage", R"({"crop": "Wheat", "waterLevels": {"Peak": [0.1, 0.1]}})",
                "\"waterLevels.Peak\" is not a key"},
        Refusal{
            "AmountZero",
            R"({"crop": "Wheat", "sprinklerPackage": {"amounts": [5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,5,0]}})",
            "\"sprinklerPackage.amounts[21]\" must be an amount in mm greater than 0"},
        Refusal{"AmountCount", R"({"crop": "Wheat", "sprinklerPackage": {"amounts": [5]}})",
                "must be a list of 22 amounts"},
        Refusal{"PackageNotObject", R"({"crop": "Wheat", "sprinklerPackage": true})",
                "\"sprinklerPackage\" must be an object"},
        Refusal{"CycleTooLong", R"({"crop": "Wheat", "cycle": 11})",
                "\"cycle\" must be a whole number from 2 to 10"},
        // A JSON reader keeps one of two equal keys silently; a plan gives each once.
        Refusal{"KeyTwiceOneEscaped", R"({"crop": "Wheat", "cycle": 5, "cy\u0063le": 6})",
                "\"cycle\" is given twice"},
        Refusal{"DateWithOtherDigits", R"({"crop": "Wheat", "plantingDate": "２０２６-10-01"})",
                "\"plantingDate\" must be a date written YYYY-MM-DD"},
        Refusal{"DateWithTime", R"({"crop": "Wheat", "plantingDate": "2026-10-01T06:00"})",
                "\"plantingDate\" must be a date written YYYY-MM-DD"},
        Refusal{"DateWithLineFeed", R"({"crop": "Wheat", "plantingDate": "2026-10-01\n"})",
                "\"plantingDate\" must be a date written YYYY-MM-DD"},
        Refusal{
            "FlatPackage",
            R"({"crop": "Maize", "sprinklerPackage": {"amounts": [1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1]}})",
            "\"sprinklerPackage.amounts\": The sprinkler package table does not fit a centre "
            "pivot"},
        Refusal{"SeasonPastTheLastDate", R"({"crop": "Wheat", "plantingDate": "9999-10-01"})",
                "\"plantingDate\" 9999-10-01 puts Wheat's season (to day 181 after planting) "
                "past 9999-12-31, the last date a plan can have: plant on 9999-07-03 at the "
                "latest"},
        Refusal{"CommaMissing", "{\"crop\": \"Wheat\",\n  \"cycle\": 5\n  \"soil\": {}}",
                "it is not valid JSON: a group in braces ({ }) goes wrong here: a comma, the "
                "closing brace or the double quotes of a key are missing (line 3, column 3)"},
        Refusal{"ListNotClosed", "{\"crop\": \"Wheat\", \"soil\": {\n\"siltClay\": [20, 20}}",
                "a list in brackets ([ ]) goes wrong here: a comma or the closing bracket is "
                "missing (line 2, column 20)"},
        Refusal{"CapitalTrue", "{\"crop\": \"Wheat\",\n \"soil\": {\"deepRipped\": TRUE}}",
                "true, false or null in small letters (line 2, column 25)"},
        Refusal{"Empty", " \n", "it is empty"}),
    [](const testing::TestParamInfo<Refusal>& p) { return p.param.name; });

// Every column's range at its ends, one at a time and all at once: an offered crop row plans
// without an exception and without reaching the last guard against non-finite figures; a
// value just beyond an end keeps the row out.
TEST(CropRanges, EndsPlanFiniteFiguresAndBeyondIsNotOffered) {
    const auto tryRow = [](const std::vector<std::pair<int, double>>& values, bool offered) {
        SheetCells sheet = test::sheetFromCsv(test::shippedCropCsv());
        std::string what;
        for (const auto& [column, value] : values) {
            sheet.rows[1][static_cast<std::size_t>(column - 1)] = value;
            what += " column " + std::to_string(column) + " = " + shortestText(value);
        }
        CropTable table;
        table.load(sheet);
        if (!offered) {
            EXPECT_FALSE(table.isOffered(2)) << what;
            return;
        }
        if (!table.isOffered(2)) {
            return; // another check keeps it out (a yield order, a derived figure)
        }
        for (const char* json : {R"({"crop": 2})",
                                 R"({"crop": 2, "cycle": 2, "sprinklerPackage": {},
                                     "soil": {"depth": 2000, "siltClay": [1,1,1,1,1,1,1]}})"}) {
            const PlanOutcome outcome = runPlan(table, *parseScenario(json).scenario, kStamp);
            if (!outcome.result) {
                EXPECT_EQ(outcome.problem.find("cannot be computed"), std::string::npos)
                    << what << ": " << outcome.problem;
            }
        }
    };
    std::vector<std::pair<int, double>> lows;
    std::vector<std::pair<int, double>> highs;
    for (const CropColumnRange& range : cropColumnRanges()) {
        const double low = range.aboveLow ? std::nextafter(range.low, range.high) : range.low;
        tryRow({{range.column, low}}, true);
        tryRow({{range.column, range.high}}, true);
        const double step = std::max(1e-9, std::fabs(range.high) * 1e-6);
        tryRow({{range.column, range.aboveLow ? range.low : range.low - step}}, false);
        tryRow({{range.column, range.high + step}}, false);
        lows.emplace_back(range.column, low);
        highs.emplace_back(range.column, range.high);
    }
    tryRow(lows, true);
    tryRow(highs, true);
}

// Absurd but finite package amounts give absurd split speeds; the report still shows every
// digit instead of failing on a number too large for an integer.
TEST(PlanRanges, HugeSprinklerAmountsStillGiveTheReport) {
    const PlanOutcome outcome = plan(R"({"crop": "Maize", "soil": {"depth": 740}, "cycle": 7,
        "sprinklerPackage": {"amounts": [5.48e15, 6.08e15, 6.84e15, 7.30e15, 7.82e15, 8.42e15,
            9.13e15, 9.95e15, 10.95e15, 12.17e15, 13.69e15, 15.64e15, 18.25e15, 21.90e15,
            24.33e15, 27.38e15, 31.29e15, 36.50e15, 43.80e15, 54.75e15, 73.00e15, 109.50e15]}})");
    ASSERT_TRUE(outcome.result) << outcome.problem;
    EXPECT_NE(planText(*outcome.result).find("2* 19654457541263360\t"), std::string::npos);
}

TEST(PlanRanges, AmountsThatTakeASpeedPastAnyNumberAreNamed) {
    // One over the speed, so large that the fitted coefficient is past any number.
    std::string amounts;
    for (double speed : sprinklerSpeeds()) {
        amounts += (amounts.empty() ? "" : ", ") + shortestText(5e306 * (100.0 / speed));
    }
    const PlanOutcome outcome = plan(R"({"crop": "Maize", "soil": {"depth": 740}, "cycle": 8,
        "sprinklerPackage": {"amounts": [)" +
                                     amounts + "]}}");
    ASSERT_FALSE(outcome.result);
    EXPECT_NE(outcome.problem.find("\"sprinklerPackage.amounts\": "), std::string::npos)
        << outcome.problem;
    EXPECT_NE(outcome.problem.find("too large or too small"), std::string::npos) << outcome.problem;
}

// The built program: exit statuses, formats and the output file.
class PlanCommand : public testing::Test {
protected:
    QString scenario(const QByteArray& json) {
        return test::writeFile(dir_, QStringLiteral("scenario.json"), json);
    }
    test::ProcessResult run(const QStringList& arguments) {
        return test::runProcess(test::tavikExecutable(),
                                QStringList{QStringLiteral("plan")} + arguments);
    }
    QTemporaryDir dir_;
};

TEST_F(PlanCommand, WritesTheReportTheTableOrEveryFigure) {
    const QString file = scenario(R"({"crop": "Barley", "cycle": 6})");
    const auto text = run({file});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out.rfind("\tTAVIK+ Scheduling Result \r\n\r\nType of crop: Barley\r\n", 0), 0U);

    const auto csv = run({file, QStringLiteral("--format"), QStringLiteral("csv")});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.rfind("day,amount_mm,cumulative_mm,speed_percent,beyond_capacity,passes,"
                            "pass_speed_percent\n10,",
                            0),
              0U);

    const auto json = run({file, QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).object();
    EXPECT_EQ(root.value(QLatin1String("crop")).toObject().value(QLatin1String("row")).toInt(), 12);
    EXPECT_EQ(
        root.value(QLatin1String("schedule")).toObject().value(QLatin1String("cycle")).toInt(), 6);
    // The report in the JSON is the text output, time stamp aside.
    const std::string report = root.value(QLatin1String("report")).toString().toStdString();
    EXPECT_EQ(report.substr(0, report.rfind("\r\n")), text.out.substr(0, text.out.rfind("\r\n")));

    // The document the result screen saves, time stamp aside.
    const auto rtf = run({file, QStringLiteral("--format"), QStringLiteral("rtf")});
    ASSERT_EQ(rtf.exitCode, 0) << rtf.err;
    EXPECT_TRUE(rtf.out.starts_with("{\\rtf1")) << rtf.out;
    const PlanOutcome same = plan(R"({"crop": "Barley", "cycle": 6})");
    ASSERT_TRUE(same.result);
    const std::string expected = planRtf(*same.result);
    EXPECT_EQ(rtf.out.substr(0, rtf.out.rfind("\\par\r\n")),
              expected.substr(0, expected.rfind("\\par\r\n")));
}

TEST_F(PlanCommand, WritesTheOutputFileOnlyWhenAllWentWell) {
    const QString output = dir_.filePath(QStringLiteral("plan.txt"));
    test::writeFile(dir_, QStringLiteral("plan.txt"), "the previous plan");
    const auto refused =
        run({scenario(R"({"crop": "Barley", "cycle": 1})"), QStringLiteral("--output"), output});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(test::readFile(output), "the previous plan");

    const auto done = run({scenario(R"({"crop": "Barley"})"), QStringLiteral("--output"), output});
    ASSERT_EQ(done.exitCode, 0) << done.err;
    EXPECT_EQ(done.out, "");
    EXPECT_TRUE(test::readFile(output).startsWith("\tTAVIK+ Scheduling Result "));

    const auto unwritable = run({scenario(R"({"crop": "Barley"})"), QStringLiteral("--output"),
                                 dir_.filePath(QStringLiteral("no/such/folder/plan.txt"))});
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_NE(unwritable.err.find("--output"), std::string::npos) << unwritable.err;
}

TEST_F(PlanCommand, RefusalsEndWithStatusTwoAndWorkbookProblemsWithThree) {
    const QString good = scenario(R"({"crop": "Barley"})");
    const std::vector<std::pair<QStringList, std::string>> refusals{
        {{}, "give a scenario file"},
        {{dir_.filePath(QStringLiteral("none.json"))}, "cannot be read"},
        {{good, QStringLiteral("--format"), QStringLiteral("docx")},
         "--format must be text, rtf, json, csv, ics, pdf, png or svg"},
        {{good, QStringLiteral("--format")}, "--format needs a value"},
        {{good, good}, "need --output-dir"},
        {{good, good, QStringLiteral("--output-dir"), good + QStringLiteral("/fields")},
         "the output folder \"" + good.toStdString() + "/fields\" cannot be made: Not a directory"},
        {{good, QStringLiteral("--colour")}, "unknown argument"},
        {{test::writeFile(dir_, QStringLiteral("shallow.json"),
                          R"({"crop": "Barley", "soil": {"depth": 100}})")},
         "\"soil.depth\" is 100 mm, which gives no soil layer"},
    };
    for (const auto& [arguments, wording] : refusals) {
        const auto result = run(arguments);
        EXPECT_EQ(result.exitCode, 2) << wording;
        EXPECT_EQ(result.out, "") << wording;
        EXPECT_NE(result.err.find(wording), std::string::npos) << result.err;
    }
    const QString broken = test::writeFile(dir_, QStringLiteral("broken.xls"), "garbage");
    const auto workbook = run({good, QStringLiteral("--workbook"), broken});
    EXPECT_EQ(workbook.exitCode, 3);
    EXPECT_NE(workbook.err.find(broken.toStdString()), std::string::npos) << workbook.err;
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

TEST(PlantingDate, DaysAfterPlantingFallOnTheCalendar) {
    struct Case {
        const char* planted;
        int days;
        const char* date;
    };
    for (const Case& c :
         {Case{"2023-12-20", 12, "2024-01-01"}, Case{"2024-02-19", 10, "2024-02-29"},
          Case{"2024-02-19", 11, "2024-03-01"}, Case{"2023-02-19", 10, "2023-03-01"},
          Case{"2026-10-15", 0, "2026-10-15"}, Case{"2099-12-31", 150, "2100-05-30"}}) {
        EXPECT_EQ(dateAfter(c.planted, c.days), std::optional<std::string>(c.date)) << c.planted;
    }
    EXPECT_EQ(dateAfter("2026-02-30", 1), std::nullopt);
}

TEST(PlantingDate, DatesEveryIrrigationOfTheJsonAndTheCsv) {
    const PlanOutcome outcome =
        plan(R"({"crop": "Wheat", "cycle": 7, "plantingDate": "2023-12-20"})");
    ASSERT_TRUE(outcome.result) << outcome.problem;
    const PlanResult& p = *outcome.result;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(planJson(p))).object();
    EXPECT_EQ(json.value(QStringLiteral("plantingDate")).toString(), QStringLiteral("2023-12-20"));
    const QJsonArray irrigations = json.value(QStringLiteral("schedule"))
                                       .toObject()
                                       .value(QStringLiteral("irrigations"))
                                       .toArray();
    ASSERT_EQ(static_cast<std::size_t>(irrigations.size()), p.schedule.irrigations.size());
    const QStringList csv = QString::fromStdString(planCsv(p)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(csv.size(), irrigations.size() + 1);
    EXPECT_TRUE(csv[0].endsWith(QStringLiteral(",pass_speed_percent,date")));
    for (qsizetype i = 0; i < irrigations.size(); ++i) {
        const QJsonObject irrigation = irrigations[i].toObject();
        const QString date = QDate(2023, 12, 20)
                                 .addDays(irrigation.value(QStringLiteral("day")).toInt())
                                 .toString(Qt::ISODate);
        EXPECT_EQ(irrigation.value(QStringLiteral("date")).toString(), date);
        EXPECT_TRUE(csv[i + 1].endsWith(QLatin1Char(',') + date)) << csv[i + 1].toStdString();
    }
}

// At the latest planting date every crop's season, at every cycle, is dated to its end in
// each dated output; a day later the plan is refused, naming the date.
TEST(PlantingDate, TheLatestDateIsDatedThroughoutAndADayLaterIsRefused) {
    for (const std::int16_t row : test::shippedCrops().offeredRows()) {
        for (int cycle = 2; cycle <= 10; ++cycle) {
            const auto planted = [&](const std::string& date) {
                return plan(R"({"crop": )" + std::to_string(row) + R"(, "cycle": )" +
                            std::to_string(cycle) +
                            (date.empty() ? "" : R"(, "plantingDate": ")" + date + '"') + "}");
            };
            const PlanOutcome undated = planted("");
            ASSERT_TRUE(undated.result) << undated.problem;
            const QDate latest =
                QDate(9999, 12, 31)
                    .addDays(-lastDatedDay(undated.result->engine.WaterDemand().Count(),
                                           undated.result->schedule.irrigations));
            const std::string date = latest.toString(Qt::ISODate).toStdString();
            SCOPED_TRACE("crop row " + std::to_string(row) + " planted " + date);
            const PlanOutcome dated = planted(date);
            ASSERT_TRUE(dated.result) << dated.problem;
            EXPECT_EQ(planCsv(*dated.result).find(",\n"), std::string::npos);
            EXPECT_EQ(planICalendar(*dated.result, "20260101T000000Z").find("VALUE=DATE:\r"),
                      std::string::npos);
            const std::string later = latest.addDays(1).toString(Qt::ISODate).toStdString();
            const PlanOutcome refused = planted(later);
            EXPECT_FALSE(refused.result);
            EXPECT_NE(refused.problem.find("\"plantingDate\" " + later), std::string::npos)
                << refused.problem;
        }
    }
}

// A file name of any bytes comes back byte for byte from the text it is held as; only a name
// that is not UTF-8 is marked so, and it is shown with its bytes escaped.
TEST(FileNames, AnyBytesComeBackAndOnlyUndecodableNamesAreMarked) {
    std::mt19937 random(18);
    const std::vector<std::string> pieces{
        "a",        ".json",        "é",        "€", "😀",       "\xFF", "\x80", "\xC3",
        "\xE2\x82", "\xED\xA0\x80", "\xF0\x9F", "/", "\xC0\xAF"};
    for (int i = 0; i < 2000; ++i) {
        std::string bytes;
        for (int n = static_cast<int>(random() % 8); n > 0; --n) {
            bytes += pieces[random() % pieces.size()];
        }
        SCOPED_TRACE(printableText(bytes));
        const QString name = fileNameFromBytes(bytes);
        EXPECT_EQ(fileNameBytes(name), bytes);
        const bool utf8 =
            QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).isValidUtf8();
        EXPECT_EQ(hasUndecodableBytes(name), !utf8);
        if (utf8) {
            EXPECT_EQ(name, QString::fromStdString(bytes));
        }
        EXPECT_EQ(shownPath(name), printableText(bytes));
    }
    // A path too long to read is cut at its start: its end names the file.
    const QString deep =
        QString(QStringLiteral("/deep")).repeated(100) + QStringLiteral("/field.json");
    const std::string shown = shownPath(deep);
    EXPECT_TRUE(shown.starts_with("…")) << shown;
    EXPECT_TRUE(shown.ends_with("/deep/field.json")) << shown;
    EXPECT_EQ(characterCount(shown), kMaxShownPathLength + 1);
}

} // namespace
} // namespace tavik
