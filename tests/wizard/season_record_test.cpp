// The season record and the field in a plan file: refusals naming the entry, the file
// written back as read, a station's rain file, and recording through the built program.
#include "TestSupport.h"
#include "plan/Plan.h"
#include "plan/RainImport.h"
#include "plan/Scenario.h"
#include "plan/Season.h"
#include "state/CropTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace tavik {
namespace {

// Wheat on the fresh soil: two layers, a season of 180 days after 2027-01-01 (to 2027-06-30).
std::string wheat(const std::string& more) {
    return R"({"crop": "Wheat", "plantingDate": "2027-01-01")" + more + "}";
}

struct Refusal {
    const char* name;
    std::string scenario;
    const char* wording;
};
void PrintTo(const Refusal& r, std::ostream* os) {
    *os << r.name;
}

class SeasonRefusals : public testing::TestWithParam<Refusal> {};

TEST_P(SeasonRefusals, NameTheKeyAndTheEntry) {
    const ScenarioParse parse = parseScenario(GetParam().scenario);
    std::string problem = parse.problem;
    if (parse.scenario) {
        const PlanOutcome outcome = runPlan(test::shippedCrops(), *parse.scenario, TimeStamp{});
        EXPECT_FALSE(outcome.result);
        problem = outcome.problem;
    }
    EXPECT_NE(problem.find(GetParam().wording), std::string::npos) << problem;
}

const std::string kRain = R"(, "season": {"rain": [)";
INSTANTIATE_TEST_SUITE_P(
    Table, SeasonRefusals,
    testing::Values(
        Refusal{"UnknownSeasonKey", wheat(R"(, "season": {"snow": []})"), "\"season.snow\""},
        Refusal{"UnknownEntryKey", wheat(kRain + R"({"date": "2027-01-05", "mm": 1, "hail": 2}]})"),
                "\"season.rain[0].hail\" is not a key"},
        Refusal{"RainTooMuch",
                wheat(kRain +
                      R"({"date": "2027-01-05", "mm": 1}, {"date": "2027-01-06", "mm": 501}]})"),
                "\"season.rain[1].mm\" must be the rain in mm from 0 to 500, not 501"},
        Refusal{"NegativeIrrigation",
                wheat(R"(, "season": {"irrigations": [{"date": "2027-01-05", "mm": -1}]})"),
                "\"season.irrigations[0].mm\""},
        Refusal{"IrrigationTooMuch",
                wheat(R"(, "season": {"irrigations": [{"date": "2027-01-05", "mm": 300.5}]})"),
                "from 0 to 300"},
        Refusal{"AmountMissing", wheat(kRain + R"({"date": "2027-01-05"}]})"),
                "\"season.rain[0].mm\" is missing"},
        Refusal{"DateNotIso", wheat(kRain + R"({"date": "5/1/2027", "mm": 1}]})"),
                "\"season.rain[0].date\" must be a date written YYYY-MM-DD"},
        Refusal{"NoSuchDay", wheat(kRain + R"({"date": "2027-02-30", "mm": 1}]})"),
                "\"season.rain[0].date\""},
        Refusal{"EntryNotObject", wheat(kRain + R"(12]})"), "\"season.rain[0]\" must be an object"},
        Refusal{
            "ReadingTooWet",
            wheat(
                R"(, "season": {"readings": [{"date": "2027-01-05", "waterLevels": [0.2, 0.51]}]})"),
            "\"season.readings[0].waterLevels[1]\""},
        Refusal{"ShareOver100", wheat(R"(, "season": {"effectiveRain": {"share": 101}})"),
                "\"season.effectiveRain.share\""},
        Refusal{"MinimumOver50", wheat(R"(, "season": {"effectiveRain": {"minimum": 51}})"),
                "\"season.effectiveRain.minimum\""},
        Refusal{"FieldNameTooLong",
                wheat(R"(, "field": {"name": ")" + std::string(101, 'x') + "\"}"),
                "\"field.name\" must be at most 100 characters"},
        Refusal{"FieldNameLineBreak", wheat(R"(, "field": {"name": "North\nPivot"})"),
                "\"field.name\" must not hold a line break"},
        Refusal{"FieldNameEmpty", wheat(R"(, "field": {"name": ""})"), "\"field.name\""},
        Refusal{"FieldAreaZero", wheat(R"(, "field": {"area": 0})"), "\"field.area\""},
        Refusal{"FieldIdNotPlain", wheat(R"(, "field": {"id": "a b"})"), "\"field.id\""},
        Refusal{"UnknownFieldKey", wheat(R"(, "field": {"farm": "x"})"), "\"field.farm\""},
        // Checked against the walked plan.
        Refusal{"NoPlantingDate",
                R"({"crop": "Wheat", "season": {"rain": [{"date": "2027-01-05", "mm": 1}]}})",
                "\"plantingDate\" is missing"},
        Refusal{"RainAfterTheSeason",
                wheat(kRain + R"({"date": "2027-01-05", "mm": 1}, {"date": "2027-01-06", "mm": 1},
                                  {"date": "2027-01-07", "mm": 1}, {"date": "2027-07-01", "mm": 1}]})"),
                "season.rain[3].date: after the season's last day 2027-06-30"},
        Refusal{"RainOnThePlantingDay", wheat(kRain + R"({"date": "2027-01-01", "mm": 1}]})"),
                "season.rain[0].date: 2027-01-01 is before the season's first day 2027-01-02"},
        Refusal{
            "ReadingBeforePlanting",
            wheat(
                R"(, "season": {"readings": [{"date": "2026-12-31", "waterLevels": [0.2, 0.2]}]})"),
            "season.readings[0].date: 2026-12-31 is before the season's first day 2027-01-01"},
        Refusal{
            "ReadingLayerCount",
            wheat(R"(, "season": {"readings": [{"date": "2027-01-01", "waterLevels": [0.2, 0.2]},
                                                    {"date": "2027-01-03", "waterLevels": [0.2, 0.2, 0.2]}]})"),
            "season.readings[1].waterLevels: must have 2 values"},
        Refusal{"TwoEntriesOnADay",
                wheat(R"(, "season": {"irrigations": [{"date": "2027-01-05", "mm": 1},
                                                       {"date": "2027-01-05", "mm": 2}]})"),
                "season.irrigations[1].date: 2027-01-05 is given twice (also "
                "season.irrigations[0])"}));

// A record and a field of random entries.
Scenario randomScenario(std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> day(1, 180);
    std::uniform_int_distribution<int> count(0, 6);
    const auto date = [&](int d) {
        return QDate(2027, 1, 1).addDays(d).toString(Qt::ISODate).toStdString();
    };
    Scenario scenario;
    scenario.crop = std::string("Wheat");
    scenario.plantingDate = "2027-01-01";
    if (unit(random) < 0.8) {
        FieldIdentity field;
        if (unit(random) < 0.7) {
            field.name = std::string("Pivot ") + (unit(random) < 0.5 ? "Süd \"7\", ☔" : "N\\1");
        }
        if (unit(random) < 0.7) {
            field.area = 0.001 + 500 * unit(random);
        }
        if (unit(random) < 0.7) {
            field.id = "f-" + std::to_string(random());
        }
        scenario.field = field;
    }
    SeasonRecord record;
    for (int i = count(random); i > 0; --i) {
        record.rain.push_back({date(day(random)), kMaxRainMm * unit(random)});
    }
    for (int i = count(random); i > 0; --i) {
        record.irrigations.push_back({date(day(random)), std::round(300 * unit(random) * 10) / 10});
    }
    for (int i = count(random); i > 0; --i) {
        record.readings.push_back({date(day(random) - 1), {0.5 * unit(random), 0.2}});
    }
    if (unit(random) < 0.5) {
        record.effectiveRain = EffectiveRainRule{100 * unit(random), 50 * unit(random)};
    }
    scenario.season = record;
    return scenario;
}

// What is written reads back to the same record and field, whatever their figures.
TEST(SeasonRecord, WrittenAsReadOverManyRecords) {
    std::mt19937 random(20);
    for (int n = 0; n < 500; ++n) {
        const Scenario written = randomScenario(random);
        const std::string json = scenarioJson(written);
        const ScenarioParse read = parseScenario(json);
        ASSERT_TRUE(read.scenario) << read.problem << "\n" << json;
        const Scenario& back = *read.scenario;
        ASSERT_EQ(back.field.has_value(), written.field.has_value());
        if (written.field) {
            EXPECT_EQ(back.field->name, written.field->name);
            EXPECT_EQ(back.field->area, written.field->area);
            EXPECT_EQ(back.field->id, written.field->id);
        }
        const auto same = [](const std::vector<SeasonAmount>& a,
                             const std::vector<SeasonAmount>& b) {
            return a.size() == b.size() &&
                   std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
                       return x.date == y.date && x.mm == y.mm;
                   });
        };
        EXPECT_TRUE(same(back.season->rain, written.season->rain)) << json;
        EXPECT_TRUE(same(back.season->irrigations, written.season->irrigations)) << json;
        ASSERT_EQ(back.season->readings.size(), written.season->readings.size());
        for (std::size_t i = 0; i < back.season->readings.size(); ++i) {
            EXPECT_EQ(back.season->readings[i].date, written.season->readings[i].date);
            EXPECT_EQ(back.season->readings[i].waterLevels,
                      written.season->readings[i].waterLevels);
        }
        ASSERT_EQ(back.season->effectiveRain.has_value(),
                  written.season->effectiveRain.has_value());
        if (written.season->effectiveRain) {
            EXPECT_EQ(back.season->effectiveRain->share, written.season->effectiveRain->share);
            EXPECT_EQ(back.season->effectiveRain->minimum, written.season->effectiveRain->minimum);
        }
        EXPECT_EQ(scenarioJson(back), json);
    }
    // A plan without them writes neither key.
    Scenario plain;
    plain.crop = std::string("Wheat");
    EXPECT_EQ(scenarioJson(plain).find("field"), std::string::npos);
    EXPECT_EQ(scenarioJson(plain).find("season"), std::string::npos);
}

// The walked plan has the record's dates as days after planting.
TEST(SeasonRecord, DatesBecomeDaysAfterPlanting) {
    const ScenarioParse parse = parseScenario(wheat(
        R"(, "field": {"name": "North"}, "season": {"rain": [{"date": "2027-06-30", "mm": 4}],
            "readings": [{"date": "2027-01-01", "waterLevels": [0.2, 0.1]}],
            "effectiveRain": {"share": 80, "minimum": 5}})"));
    ASSERT_TRUE(parse.scenario) << parse.problem;
    const PlanOutcome outcome = runPlan(test::shippedCrops(), *parse.scenario, TimeStamp{});
    ASSERT_TRUE(outcome.result) << outcome.problem;
    const PlanResult& plan = *outcome.result;
    EXPECT_EQ(plan.field->name, "North");
    EXPECT_EQ(plan.seasonDays.rain, (std::map<int, double>{{180, 4.0}}));
    EXPECT_EQ(plan.seasonDays.readings.at(0), (std::vector<double>{0.2, 0.1}));
    EXPECT_EQ(plan.seasonDays.effectiveRain.share, 80);
    EXPECT_EQ(dayAfterPlanting("2027-01-01", "2026-12-31"), -1);
    EXPECT_EQ(dayAfterPlanting("2024-02-28", "2024-03-01"), 2);
    EXPECT_FALSE(dayAfterPlanting("2027-01-01", "2027-1-5"));
}

struct RainCase {
    const char* name;
    std::string csv;
    const char* shortFormat;
    std::vector<std::pair<std::string, double>> rain; // expected, or
    const char* problem;                              // the problem's words
};
void PrintTo(const RainCase& c, std::ostream* os) {
    *os << c.name;
}

class RainFiles : public testing::TestWithParam<RainCase> {};

TEST_P(RainFiles, ReadAsAStationWritesThem) {
    const RainCase& c = GetParam();
    const RainImport import = parseRainCsv(c.csv, QString::fromLatin1(c.shortFormat));
    if (c.problem != nullptr) {
        EXPECT_NE(import.problem.find(c.problem), std::string::npos) << import.problem;
        EXPECT_TRUE(import.rain.empty());
        return;
    }
    ASSERT_EQ(import.problem, "");
    std::vector<std::pair<std::string, double>> rain;
    for (const SeasonAmount& entry : import.rain) {
        rain.emplace_back(entry.date, entry.mm);
    }
    EXPECT_EQ(rain, c.rain);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RainFiles,
    testing::Values(
        RainCase{"IsoWithCommas",
                 "date,rain\n2027-01-05,12.5\n2027-01-06,0\n",
                 "d/M/yy",
                 {{"2027-01-05", 12.5}, {"2027-01-06", 0}},
                 nullptr},
        RainCase{"DecimalCommaWithSemicolons",
                 "\xEF\xBB\xBFStation;Datum;Niederschlag precip. (mm)\r\nX;05.01.27;3,5\r\n"
                 "X;06.01.2027;0,2\r\n\r\n",
                 "dd.MM.yy",
                 {{"2027-01-05", 3.5}, {"2027-01-06", 0.2}},
                 nullptr},
        RainCase{"ShortUsDatesAndMmHeading",
                 "Day,Temp (C),mm\n1/5/27,21,4\n\"1/6/2027\",22,\"0.4\"\n",
                 "M/d/yy",
                 {{"2027-01-05", 4}, {"2027-01-06", 0.4}},
                 nullptr},
        RainCase{"PrecipitationTabbed",
                 "Date\tPrecipitation\n2027-01-05\t7\n",
                 "d/M/yy",
                 {{"2027-01-05", 7}},
                 nullptr},
        RainCase{"BadAmountNamesItsLine",
                 "date;rain\n2027-01-05;1\n2027-01-06;--\n",
                 "d/M/yy",
                 {},
                 "line 3: \"--\" is not an amount of rain"},
        RainCase{"CommaInACommaFile", "date,rain\n2027-01-05,\"1,5\"\n", "d/M/yy", {}, "line 2"},
        RainCase{"BadDateNamesItsLine",
                 "date,rain\n2027-01-05,1\n\n2027-13-01,1\n",
                 "d/M/yy",
                 {},
                 "line 4: \"2027-13-01\" is not a date"},
        RainCase{"TooMuchRain", "date,rain\n2027-01-05,500.1\n", "d/M/yy", {}, "line 2"},
        RainCase{"MoreDigitsThanADouble",
                 std::string("date,rain\n2027-01-05,1") + std::string(400, '0') + "\n",
                 "d/M/yy",
                 {},
                 "line 2"},
        RainCase{"ADateTwice",
                 "date,rain\n2027-01-05,1\n5/1/27,2\n",
                 "d/M/yy",
                 {},
                 "line 3: 2027-01-05 is given twice (also on line 2)"},
        RainCase{"TooFewCells", "date,station,rain\n2027-01-05,x\n", "d/M/yy", {}, "line 2"},
        RainCase{"NoRainColumn",
                 "date,temperature\n2027-01-05,20\n",
                 "d/M/yy",
                 {},
                 "names no rain column"},
        RainCase{"Empty", "\n\n", "d/M/yy", {}, "it is empty"}));

// Recording through the built program: an entry goes into the file, an entry on a day that
// has one replaces it and says so, and a refused entry leaves the file byte for byte.
TEST(SeasonCommand, RecordsIntoThePlanFileAndRefusesWithoutChangingIt) {
    QTemporaryDir dir;
    const QString plan =
        test::writeFile(dir, QStringLiteral("north.tavikplan"),
                        QByteArray::fromStdString(wheat(R"(, "field": {"name": "North"})")));
    const auto season = [&](QStringList arguments) {
        return test::runProcess(test::tavikExecutable(), QStringList{"season", plan} + arguments);
    };
    auto run = season({"--rain", "2027-01-05=12.5", "--irrigated", "2027-01-11=20"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = season({"--rain", "2027-01-05=3", "--reading", "2027-01-01=0.2,0.15"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("rain on 2027-01-05: 3 mm replaces 12.5 mm"), std::string::npos)
        << run.out;
    const QByteArray recorded = test::readFile(plan);
    const ScenarioParse parse = parseScenario(recorded.toStdString());
    ASSERT_TRUE(parse.scenario) << parse.problem;
    ASSERT_TRUE(parse.scenario->field && parse.scenario->field->id);
    EXPECT_EQ(parse.scenario->field->name, "North");
    EXPECT_EQ(parse.scenario->season->rain.size(), 1U);
    EXPECT_EQ(parse.scenario->season->rain[0].mm, 3);
    EXPECT_EQ(parse.scenario->season->irrigations[0].mm, 20);

    // A rain file over one recorded day replaces it and says how many it replaced.
    const QString csv = test::writeFile(dir, QStringLiteral("station.csv"),
                                        "Date;Rain mm\n2027-01-04;1,5\n2027-01-05;0\n");
    run = season({"--import-rain", csv});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("imported 2 days of rain"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("1 of them replacing"), std::string::npos) << run.out;
    const QByteArray imported = test::readFile(plan);
    const std::string id = *parseScenario(imported.toStdString()).scenario->field->id;
    EXPECT_EQ(id, *parse.scenario->field->id); // written once, never changed

    const QString badCsv =
        test::writeFile(dir, QStringLiteral("bad.csv"), "date,rain\n2027-01-06,1\n2027-01-07,x\n");
    const QString lateCsv =
        test::writeFile(dir, QStringLiteral("late.csv"), "date,rain\n2027-01-06,1\n2027-07-07,1\n");
    const QString fifo = dir.filePath(QStringLiteral("fifo.csv"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const std::vector<std::pair<QStringList, const char*>> refused{
        {{"--rain", "2027-07-01=1"}, "after the season's last day 2027-06-30"},
        {{"--rain", "2027-01-05=501"}, "from 0 to 500 mm"},
        {{"--rain", "5 Jan=1"}, "--rain must be DATE=MM"},
        {{"--rain", "2027-01-05=" + QString(400, QLatin1Char('9'))}, "from 0 to 500 mm"},
        {{"--irrigated", "2027-01-05=1,5"}, "--irrigated 2027-01-05=1,5"},
        {{"--reading", "2027-01-08=0.2"}, "season.readings[1].waterLevels: must have 2 values"},
        {{"--reading", "2027-01-08=0.2,0.6"}, "from 0 to 0.5 mm/mm"},
        {{"--import-rain", badCsv}, "line 3: \"x\" is not an amount"},
        {{"--import-rain", lateCsv}, "line 3: 2027-07-07 is after the season's last day"},
        {{"--import-rain", fifo}, "named pipe"},
        {{"--rain", "2027-01-05=1", "--today", "2027-01-05"}, "takes neither --today"},
        {{"--rain", "2027-01-05=1", "--rain", "2027-01-06=1"}, "given more than once"},
    };
    for (const auto& [arguments, words] : refused) {
        run = season(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments.join(' ').toStdString();
        EXPECT_NE(run.err.find(words), std::string::npos) << run.err;
        EXPECT_EQ(test::readFile(plan), imported) << arguments.join(' ').toStdString();
    }
}

} // namespace
} // namespace tavik

namespace tavik {
namespace {

// The field's name where the plan is named: a column at the end of a batch's summary (only
// when some field has a name) and the calendar's events.
TEST(FieldIdentity, NamesTheBatchSummaryAndTheCalendar) {
    QTemporaryDir in;
    QTemporaryDir out;
    test::writeFile(in, QStringLiteral("a.json"),
                    QByteArray::fromStdString(wheat(R"(, "field": {"name": "Süd, \"7\""})")));
    test::writeFile(in, QStringLiteral("b.json"), QByteArray::fromStdString(wheat("")));
    const auto run = test::runProcess(test::tavikExecutable(),
                                      {"plan", "--batch", in.path(), "--output-dir", out.path()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const auto rows =
        test::runProcess(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral("-c"),
                          QStringLiteral("import csv, sys\n"
                                         "for row in csv.reader(open(sys.argv[1], newline='')):\n"
                                         "    print(len(row), row[0], '|' + row[-1])"),
                          out.filePath(QStringLiteral("summary.csv"))});
    EXPECT_EQ(rows.out, "12 file |field\n12 a.json |Süd, \"7\"\n12 b.json |\n");

    const auto ics = test::runProcess(test::tavikExecutable(),
                                      {"plan", in.filePath("a.json"), "--format", "ics"});
    ASSERT_EQ(ics.exitCode, 0) << ics.err;
    EXPECT_NE(ics.out.find("SUMMARY:Irrigate 14.0 mm (Süd\\, \"7\"\\, Wheat)"), std::string::npos)
        << ics.out.substr(0, 800);
}

} // namespace
} // namespace tavik
