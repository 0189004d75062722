// Exports as other programs read them: the calendar parsed by a calendar library we did not
// write, the field sheet's text taken out of the PDF, the table read by a CSV reader, the
// chart images opened; and the result screen's File > Export writes what `tavik plan` writes.

#include "GuiSupport.h"
#include "plan/ICalendar.h"
#include "plan/Plan.h"
#include "screens/PlanExportMenu.h"
#include "screens/PlanFiles.h"
#include "screens/frmMain.h"

#include <QCheckBox>
#include <QDate>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <cstdio>

namespace tavik {
namespace {

// Debian's own Python, which has Debian's Python packages.
const QString kPython = QStringLiteral("/usr/bin/python3");
// The calendar's events as Python's icalendar reads them.
constexpr const char* kReadCalendar = R"(
import icalendar, json, sys
calendar = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
events = [{'start': e.decoded('dtstart').isoformat(), 'end': e.decoded('dtend').isoformat(),
           'summary': str(e.get('summary')), 'description': str(e.get('description')),
           'uid': str(e.get('uid')), 'stamp': e.decoded('dtstamp').isoformat()}
          for e in calendar.walk('VEVENT')]
print(json.dumps({'version': str(calendar.get('version')), 'events': events}))
)";
// The rows of a CSV file as Python's csv module reads them.
constexpr const char* kReadCsv = R"(
import csv, json, sys
print(json.dumps(list(csv.reader(open(sys.argv[1], newline='')))))
)";

QJsonDocument jsonOf(const test::ProcessResult& run) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out));
}

test::ProcessResult plan(const QString& scenario, const QStringList& more) {
    return test::runProcess(test::tavikExecutable(),
                            QStringList{QStringLiteral("plan"), scenario} + more);
}

QString oneDecimal(double value) {
    return QString::number(value, 'f', 1);
}

struct ExportCase {
    const char* scenario;     // in the source tree
    const char* plantingDate; // none: no date
    int pages;                // of the field sheet, at least
    friend void PrintTo(const ExportCase& c, std::ostream* out) { *out << c.scenario; }
};

class Export : public testing::TestWithParam<ExportCase> {};

// Across a year's end with the sprinkler package, across a leap day with a long table, and
// without a date.
const ExportCase kCases[] = {
    {"examples/maize-centre-pivot.json", "2026-12-20", 2},
    {"tests/wizard/golden/dry-beans-cycle-2/scenario.json", "2028-02-20", 2},
    {"examples/potatoes-shallow-sand.json", nullptr, 1},
};

TEST_P(Export, OtherProgramsReadTheCalendarTheFieldSheetAndTheTable) {
    const ExportCase& c = GetParam();
    QTemporaryDir dir;
    QJsonObject scenario =
        QJsonDocument::fromJson(test::readFile(test::sourcePath(QString::fromLatin1(c.scenario))))
            .object();
    if (c.plantingDate != nullptr) {
        scenario.insert(QStringLiteral("plantingDate"), QString::fromLatin1(c.plantingDate));
    }
    const QString path =
        test::writeFile(dir, QStringLiteral("field.json"), QJsonDocument(scenario).toJson());
    const auto figures = plan(path, {QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(figures.exitCode, 0) << figures.err;
    const QJsonObject all = jsonOf(figures).object();
    const QString crop = all[QStringLiteral("crop")][QStringLiteral("name")].toString();
    const QJsonArray irrigations =
        all[QStringLiteral("schedule")][QStringLiteral("irrigations")].toArray();
    ASSERT_FALSE(irrigations.isEmpty());
    const QDate planted = QDate::fromString(QString::fromLatin1(c.plantingDate), Qt::ISODate);

    // The table: a heading and one row per irrigation, the figures of the json.
    const QString csv = dir.filePath(QStringLiteral("field.csv"));
    ASSERT_EQ(plan(path, {"--format", "csv", "--output", csv}).exitCode, 0);
    const auto table = test::runProcess(kPython, {"-c", kReadCsv, csv});
    ASSERT_EQ(table.exitCode, 0) << table.err;
    const QJsonArray rows = jsonOf(table).array();
    ASSERT_EQ(rows.size(), irrigations.size() + 1);
    EXPECT_EQ(rows[0].toArray().last().toString(),
              planted.isValid() ? QStringLiteral("date") : QStringLiteral("pass_speed_percent"));
    for (qsizetype i = 0; i < irrigations.size(); ++i) {
        const QJsonObject day = irrigations[i].toObject();
        const QJsonArray row = rows[i + 1].toArray();
        EXPECT_EQ(row[0].toString().toInt(), day[QStringLiteral("day")].toInt());
        EXPECT_DOUBLE_EQ(row[1].toString().toDouble(), day[QStringLiteral("amount")].toDouble());
    }

    // The calendar: one all-day event per irrigation, on its date.
    const QString ics = dir.filePath(QStringLiteral("field.ics"));
    const auto calendarRun = plan(path, {"--format", "ics", "--output", ics});
    if (!planted.isValid()) {
        EXPECT_EQ(calendarRun.exitCode, 2);
        EXPECT_NE(calendarRun.err.find("\"plantingDate\""), std::string::npos) << calendarRun.err;
    } else {
        ASSERT_EQ(calendarRun.exitCode, 0) << calendarRun.err;
        const QByteArray raw = test::readFile(ics);
        for (const QByteArray& line : raw.split('\n')) {
            EXPECT_LE(line.size(), 76) << "folded at 75 octets, before the CR";
            EXPECT_TRUE(line.isEmpty() || line.endsWith('\r')) << line.toStdString();
        }
        const auto read = test::runProcess(kPython, {"-c", kReadCalendar, ics});
        ASSERT_EQ(read.exitCode, 0) << read.err;
        const QJsonObject calendar = jsonOf(read).object();
        EXPECT_EQ(calendar[QStringLiteral("version")].toString(), QStringLiteral("2.0"));
        const QJsonArray events = calendar[QStringLiteral("events")].toArray();
        ASSERT_EQ(events.size(), irrigations.size());
        QStringList uids;
        for (qsizetype i = 0; i < events.size(); ++i) {
            const QJsonObject event = events[i].toObject();
            const QJsonObject day = irrigations[i].toObject();
            const QDate date = planted.addDays(day[QStringLiteral("day")].toInt());
            EXPECT_EQ(event[QStringLiteral("start")].toString(), date.toString(Qt::ISODate));
            EXPECT_EQ(day[QStringLiteral("date")].toString(), date.toString(Qt::ISODate));
            EXPECT_EQ(event[QStringLiteral("end")].toString(),
                      date.addDays(1).toString(Qt::ISODate));
            EXPECT_EQ(event[QStringLiteral("summary")].toString(),
                      QStringLiteral("Irrigate %1 mm (%2)")
                          .arg(oneDecimal(day[QStringLiteral("amount")].toDouble()), crop));
            const QString description = event[QStringLiteral("description")].toString();
            EXPECT_TRUE(description.startsWith(
                QStringLiteral("Day %1 after planting.").arg(day[QStringLiteral("day")].toInt())))
                << description.toStdString();
            if (!day[QStringLiteral("passes")].isNull()) {
                EXPECT_TRUE(description.contains(QStringLiteral(" pass")))
                    << description.toStdString();
            }
            uids << event[QStringLiteral("uid")].toString();
        }
        uids.removeDuplicates();
        EXPECT_EQ(uids.size(), events.size());
    }

    // The field sheet: A4 pages, numbered, with the plan and every irrigation in its text.
    const QString pdf = dir.filePath(QStringLiteral("field.pdf"));
    const auto sheetRun = plan(path, {"--format", "pdf", "--output", pdf});
    ASSERT_EQ(sheetRun.exitCode, 0) << sheetRun.err;
    const auto info = test::runProcess(QStringLiteral("pdfinfo"), {pdf});
    EXPECT_NE(info.out.find("(A4)"), std::string::npos) << info.out;
    const QRegularExpressionMatch counted = QRegularExpression(QStringLiteral("Pages: +([0-9]+)"))
                                                .match(QString::fromStdString(info.out));
    ASSERT_TRUE(counted.hasMatch()) << info.out;
    const int pages = counted.captured(1).toInt();
    EXPECT_GE(pages, c.pages);
    const auto text = test::runProcess(QStringLiteral("pdftotext"), {"-layout", pdf, "-"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const QString sheet = QString::fromStdString(text.out);
    EXPECT_TRUE(sheet.contains(QStringLiteral("Irrigation schedule: ") + crop));
    EXPECT_TRUE(sheet.contains(
        QStringLiteral("Target yield: %1 kg/ha").arg(all[QStringLiteral("targetYield")].toInt())));
    EXPECT_TRUE(
        sheet.contains(QStringLiteral("Irrigation cycle: %1 days")
                           .arg(all[QStringLiteral("schedule")][QStringLiteral("cycle")].toInt())));
    for (int page = 1; page <= pages; ++page) {
        EXPECT_TRUE(sheet.contains(QStringLiteral("Page %1 of %2").arg(page).arg(pages)));
    }
    // Each irrigation's line: its date (when known), its day and its amount, in that order.
    const QStringList lines = sheet.split(QLatin1Char('\n'));
    qsizetype at = 0;
    for (const QJsonValue& value : irrigations) {
        const QJsonObject day = value.toObject();
        QStringList cells;
        if (planted.isValid()) {
            cells << QLocale().toString(planted.addDays(day[QStringLiteral("day")].toInt()),
                                        QLocale::ShortFormat);
        }
        cells << QString::number(day[QStringLiteral("day")].toInt())
              << oneDecimal(day[QStringLiteral("amount")].toDouble())
              << oneDecimal(day[QStringLiteral("cumulative")].toDouble());
        const QString pattern = cells.join(QStringLiteral(" +"));
        const QRegularExpression row(QStringLiteral("^\\s*") + pattern + QStringLiteral("\\b"));
        while (at < lines.size() && !row.match(lines[at]).hasMatch()) {
            ++at;
        }
        ASSERT_LT(at, lines.size()) << "no line for day " << day[QStringLiteral("day")].toInt();
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, Export, testing::ValuesIn(kCases));

TEST(ExportChart, ImagesOfTheChosenSizeAndRefusedRequests) {
    QTemporaryDir dir;
    const QString scenario = test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json"));
    const QString png = dir.filePath(QStringLiteral("chart.png"));
    const QString cumulative = dir.filePath(QStringLiteral("cumulative.png"));
    const QString svg = dir.filePath(QStringLiteral("chart.svg"));
    ASSERT_EQ(plan(scenario, {"--format", "png", "--size", "1600x900", "--output", png}).exitCode,
              0);
    ASSERT_EQ(plan(scenario, {"--format", "png", "--size", "1600x900", "--chart", "cumulative",
                              "--output", cumulative})
                  .exitCode,
              0);
    ASSERT_EQ(plan(scenario, {"--format", "svg", "--size", "800x500", "--output", svg}).exitCode,
              0);
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(1600, 900));
    EXPECT_NE(image, QImage(cumulative)) << "the cumulative view is another chart";
    // Black bars on white: the middle of the plot holds bar pixels.
    int dark = 0;
    for (int x = 0; x < image.width(); x += 2) {
        dark += qGray(image.pixel(x, image.height() / 2)) < 64 ? 1 : 0;
    }
    EXPECT_GT(dark, 40);
    QSvgRenderer drawing(svg);
    ASSERT_TRUE(drawing.isValid());
    EXPECT_EQ(drawing.viewBox(), QRect(0, 0, 800, 500));
    EXPECT_TRUE(test::readFile(svg).contains("Days after Planting"));

    struct Refused {
        QStringList arguments;
        const char* named;
    };
    const Refused refused[] = {
        {{"--format", "png", "--size", "50x50"}, "--size"},
        {{"--format", "png", "--size", "4001x800"}, "--size"},
        {{"--format", "png", "--size", "wide"}, "--size"},
        {{"--format", "pdf", "--size", "800x600"}, "--size"},
        {{"--format", "svg", "--chart", "pie"}, "--chart"},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(r.arguments.join(' ').toStdString());
        const QString output = dir.filePath(QStringLiteral("refused"));
        const auto run = plan(scenario, r.arguments + QStringList{"--output", output});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.err.find(r.named), std::string::npos) << run.err;
        EXPECT_FALSE(QFileInfo::exists(output));
    }
}

// Names with the characters a calendar line escapes, and long enough in UTF-8 to be folded
// in the middle of a character's bytes, come back whole.
TEST(ExportCalendar, EscapedAndFoldedTextReadsBackWhole) {
    mType state;
    state.CropWorkbook = test::sheetFromCsv(test::shippedCropCsv());
    loadCropData(state);
    Scenario scenario;
    scenario.crop = std::string("Wheat");
    scenario.plantingDate = "2027-06-30";
    PlanOutcome outcome = runPlan(state.CropData, scenario, TimeStamp{"date", "time"});
    ASSERT_TRUE(outcome.result) << outcome.problem;
    QTemporaryDir dir;
    for (const char* name :
         {"Maize, early; \\ back\\slash", "Blé d’hiver — «élite» ééééééééééééééééééééééééééé"}) {
        SCOPED_TRACE(name);
        outcome.result->cropName = name;
        const std::string calendar = planICalendar(*outcome.result, "20261208T120000Z");
        const QString path =
            test::writeFile(dir, QStringLiteral("c.ics"), QByteArray::fromStdString(calendar));
        const auto read = test::runProcess(kPython, {"-c", kReadCalendar, path});
        ASSERT_EQ(read.exitCode, 0) << read.err;
        const QJsonObject event =
            jsonOf(read).object()[QStringLiteral("events")].toArray()[0].toObject();
        EXPECT_TRUE(event[QStringLiteral("summary")].toString().endsWith(
            QStringLiteral(" mm (") + QString::fromUtf8(name) + QLatin1Char(')')))
            << event[QStringLiteral("summary")].toString().toStdString();
        EXPECT_EQ(event[QStringLiteral("stamp")].toString(),
                  QStringLiteral("2026-12-08T12:00:00+00:00"));
        EXPECT_EQ(event[QStringLiteral("start")].toString(), QStringLiteral("2027-07-10"));
    }
}

// The result screen's exports are those of `tavik plan` for the same plan.
TEST(ExportMenu, WritesWhatThePlanCommandWritesAndTellsWhatFails) {
    qputenv("SOURCE_DATE_EPOCH", "1796000000"); // one time stamp for the screen and the command
    test::Session session;
    ASSERT_TRUE(session.loaded);
    QTemporaryDir dir;
    QJsonObject scenario =
        QJsonDocument::fromJson(
            test::readFile(test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json"))))
            .object();
    const QString undated =
        test::writeFile(dir, QStringLiteral("undated.tavikplan"), QJsonDocument(scenario).toJson());
    scenario.insert(QStringLiteral("plantingDate"), QStringLiteral("2026-10-01"));
    const QString dated =
        test::writeFile(dir, QStringLiteral("dated.tavikplan"), QJsonDocument(scenario).toJson());
    Wizard& wizard = *session.wizard;
    ASSERT_TRUE(wizard.plans().open(undated, wizard.choice()));
    frmMain& result = wizard.result();
    auto* menu = result.findChild<QMenu*>(QStringLiteral("mnuFileExport"));
    ASSERT_NE(menu, nullptr);
    const auto action = [&result](const char* name) {
        return result.findChild<QAction*>(QString::fromLatin1(name));
    };
    // Export stands with the plan's items, before the screen's own Save schedule.
    const QList<QAction*> items = result.fileMenu()->actions();
    EXPECT_LT(items.indexOf(menu->menuAction()), items.indexOf(result.planItemsEnd()));
    EXPECT_FALSE(action("mnuExportCalendar")->isEnabled()) << "no date, no calendar";
    result.findChild<QCheckBox*>(QStringLiteral("chkPlantingDate"))->click();
    EXPECT_TRUE(action("mnuExportCalendar")->isEnabled());
    ASSERT_TRUE(wizard.plans().open(dated, result));

    struct Written {
        const char* item;
        const char* file;
        QStringList plan; // the same from `tavik plan`
    };
    const Written written[] = {
        {"mnuExportTable", "table.csv", {"--format", "csv"}},
        {"mnuExportCalendar", "calendar.ics", {"--format", "ics"}},
        {"mnuExportChart", "chart.png", {"--format", "png", "--size", "900x600"}},
        {"mnuExportChart", "chart.svg", {"--format", "svg", "--size", "900x600"}},
    };
    session.dialogs.imageSize = QSize(900, 600);
    for (const Written& w : written) {
        SCOPED_TRACE(w.file);
        const QString path = dir.filePath(QString::fromLatin1(w.file));
        session.dialogs.savePath = path;
        action(w.item)->trigger();
        ASSERT_TRUE(session.notifier.shown.empty()) << session.notifier.shown.front().text;
        const auto headless = plan(dated, w.plan);
        ASSERT_EQ(headless.exitCode, 0) << headless.err;
        if (QFileInfo(path).suffix() == QStringLiteral("png")) {
            EXPECT_EQ(QImage(path), QImage::fromData(QByteArray::fromStdString(headless.out)));
        } else {
            EXPECT_EQ(test::readFile(path).toStdString(), headless.out);
        }
    }
    EXPECT_EQ(session.dialogs.suggestedSize, QSize(1200, 700));

    // The field sheet: the same text as the command's.
    const QString sheet = dir.filePath(QStringLiteral("sheet.pdf"));
    session.dialogs.savePath = sheet;
    action("mnuExportFieldSheet")->trigger();
    const QString headlessSheet = dir.filePath(QStringLiteral("headless.pdf"));
    ASSERT_EQ(plan(dated, {"--format", "pdf", "--output", headlessSheet}).exitCode, 0);
    const auto textOf = [](const QString& pdf) {
        return test::runProcess(QStringLiteral("pdftotext"), {"-layout", pdf, "-"}).out;
    };
    EXPECT_EQ(textOf(sheet), textOf(headlessSheet));
    EXPECT_NE(textOf(sheet).find("Page 2 of 2"), std::string::npos);

    // A folder that is not there: told, nothing written; a cancelled dialog: nothing at all.
    session.dialogs.savePath = dir.filePath(QStringLiteral("missing/table.csv"));
    action("mnuExportTable")->trigger();
    ASSERT_EQ(session.notifier.shown.size(), 1U);
    EXPECT_NE(session.notifier.shown[0].text.find("could not be saved as"), std::string::npos);
    EXPECT_NE(session.notifier.shown[0].text.find("missing/table.csv"), std::string::npos);
    session.dialogs.savePath = std::nullopt;
    EXPECT_FALSE(result.exports().exportFieldSheet());
    session.dialogs.savePath = dir.filePath(QStringLiteral("never.png"));
    session.dialogs.imageSize = std::nullopt;
    EXPECT_FALSE(result.exports().exportChartImage());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("never.png"))));
    EXPECT_EQ(session.notifier.shown.size(), 1U);
    qunsetenv("SOURCE_DATE_EPOCH");
}

} // namespace
} // namespace tavik
