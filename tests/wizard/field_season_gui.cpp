// The field on the result screen (its name and area typed into the plan's field, the names
// the file dialogs offer) and the season in the exports: the field sheet read back by
// pdftotext, and the screen's calendar and field sheet against `tavik plan --today`.

#include "GuiSupport.h"
#include "plan/Calendar.h"
#include "screens/PlanExportMenu.h"
#include "screens/PlanFiles.h"
#include "screens/frmMain.h"

#include <QClipboard>
#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

namespace tavik {
namespace {

test::ProcessResult plan(const QString& scenario, const QStringList& more) {
    return test::runProcess(test::tavikExecutable(),
                            QStringList{QStringLiteral("plan"), scenario} + more);
}

// The maize example planted on a day, with a season record of rain, logged irrigations and a
// reading, and a field.
QJsonObject seasonScenario(const QDate& planted) {
    QJsonObject scenario =
        QJsonDocument::fromJson(
            test::readFile(test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json"))))
            .object();
    const auto on = [&planted](int day) {
        return planted.addDays(day).toString(Qt::ISODate);
    };
    scenario.insert(QStringLiteral("plantingDate"), on(0));
    scenario.insert(QStringLiteral("field"),
                    QJsonObject{{"name", "North pivot"}, {"area", 41.5}, {"id", "f-north-1"}});
    scenario.insert(
        QStringLiteral("season"),
        QJsonObject{{"rain", QJsonArray{QJsonObject{{"date", on(4)}, {"mm", 12.5}},
                                        QJsonObject{{"date", on(13)}, {"mm", 31}}}},
                    {"irrigations", QJsonArray{QJsonObject{{"date", on(10)}, {"mm", 14}}}},
                    {"readings",
                     QJsonArray{QJsonObject{{"date", on(16)},
                                            {"waterLevels", QJsonArray{0.2, 0.19, 0.18, 0.17}}}}}});
    return scenario;
}

std::string textOf(const QString& pdf) {
    return test::runProcess(QStringLiteral("pdftotext"), {"-layout", pdf, "-"}).out;
}

QString weekDayDate(const QString& iso) {
    return QLocale::c().toString(QDate::fromString(iso, Qt::ISODate),
                                 QStringLiteral("ddd d MMM yyyy"));
}

// The field sheet of a plan with a season, read back from the PDF: a page of the season to
// date with its next irrigation and the dates of its log up to today (and none after), the
// totals, and the irrigations to come marked as advised. A season whose today lies before
// planting has no log yet but still a next irrigation.
TEST(FieldSheetSeason, TheSeasonPageReadsBackFromThePdf) {
    QTemporaryDir dir;
    const QDate planted(2027, 1, 5);
    const QString path = test::writeFile(dir, QStringLiteral("north.json"),
                                         QJsonDocument(seasonScenario(planted)).toJson());
    for (const int todayDay : {-2, 18, 40}) {
        SCOPED_TRACE(todayDay);
        const QString today = planted.addDays(todayDay).toString(Qt::ISODate);
        const auto json = plan(path, {"--format", "json", "--today", today});
        ASSERT_EQ(json.exitCode, 0) << json.err;
        const QJsonObject season = QJsonDocument::fromJson(QByteArray::fromStdString(json.out))
                                       .object()[QStringLiteral("season")]
                                       .toObject();
        const QString pdf = dir.filePath(QStringLiteral("north%1.pdf").arg(todayDay + 10));
        const auto drawn = plan(path, {"--format", "pdf", "--today", today, "--output", pdf});
        ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
        const std::string text = textOf(pdf);
        ASSERT_NE(text.find("Season log to " + weekDayDate(today).toStdString()), std::string::npos)
            << text;
        const QJsonObject next = season[QStringLiteral("next")].toObject();
        ASSERT_FALSE(next.isEmpty());
        EXPECT_NE(text.find("Next irrigation: " +
                            weekDayDate(next[QStringLiteral("date")].toString()).toStdString() +
                            " (day " + std::to_string(next[QStringLiteral("day")].toInt()) + ")"),
                  std::string::npos)
            << text;
        // The log: between its heading and the totals.
        const auto from = text.find("Log to date");
        ASSERT_NE(from, std::string::npos);
        const std::string log = text.substr(from, text.find("To date: rain") - from);
        int logged = 0;
        for (const QJsonValue value : season[QStringLiteral("days")].toArray()) {
            const QJsonObject day = value.toObject();
            const bool entry = !day[QStringLiteral("rain")].isNull() ||
                               day[QStringLiteral("logged")].toBool() ||
                               !day[QStringLiteral("reading")].isNull() ||
                               day[QStringLiteral("planned")].toDouble() > 0;
            const std::string date =
                weekDayDate(day[QStringLiteral("date")].toString()).toStdString();
            const bool shown = log.find(date) != std::string::npos;
            EXPECT_EQ(shown, entry && day[QStringLiteral("day")].toInt() <= todayDay) << date;
            logged += shown ? 1 : 0;
        }
        EXPECT_EQ(logged == 0, todayDay < 4);
        EXPECT_EQ(text.find("No day to date has an entry") != std::string::npos, logged == 0);
        EXPECT_NE(text.find("To date: rain"), std::string::npos);
        // The irrigation table: the days to come advised, those gone by as planned.
        const auto advised = [&text] {
            std::size_t n = 0;
            for (auto at = text.find(" advised"); at != std::string::npos;
                 at = text.find(" advised", at + 1)) {
                ++n;
            }
            return n;
        }();
        EXPECT_GT(advised, 0U);
        EXPECT_NE(text.find("Page 3 of"), std::string::npos) << "the season has a page of its own";
    }
    // The chart images do not change with a season.
    for (const char* format : {"png", "svg"}) {
        QJsonObject plain = seasonScenario(planted);
        plain.remove(QStringLiteral("season"));
        const QString without =
            test::writeFile(dir, QStringLiteral("plain.json"), QJsonDocument(plain).toJson());
        EXPECT_EQ(plan(path, {"--format", format, "--today", "2027-01-20"}).out,
                  plan(without, {"--format", format}).out)
            << format;
    }
}

class FieldRow : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
        wizard_->choice().show();
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }
    // Pastes over all of a line edit as a user does (an empty text deletes it).
    static void retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(edit, Qt::Key_Delete);
            return;
        }
        QApplication::clipboard()->setText(text);
        edit->paste();
    }
    QString offeredName(const char* item) {
        dialogs_.lastSuggested.clear();
        wizard_->result().findChild<QAction*>(QString::fromLatin1(item))->trigger();
        return QFileInfo(dialogs_.lastSuggested).fileName();
    }
    QTemporaryDir dir_;
    test::RecordingDialogs dialogs_;
};

// The name and area typed on the result screen are the plan's field (its identity kept), the
// title and the names offered follow it, a bad area is told and not kept, and an empty box
// takes its member away.
TEST_F(FieldRow, TypedNameAndAreaAreThePlansField) {
    QJsonObject scenario = seasonScenario(QDate(2027, 1, 5));
    scenario.insert(QStringLiteral("field"), QJsonObject{{"name", "Old"}, {"id", "f-old-7"}});
    const QString path =
        test::writeFile(dir_, QStringLiteral("pivot.tavikplan"), QJsonDocument(scenario).toJson());
    ASSERT_TRUE(wizard_->plans().open(path, wizard_->choice()));
    frmMain& result = wizard_->result();
    result.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&result));
    auto* name = find<QLineEdit>(result, QStringLiteral("txtFieldName"));
    auto* area = find<QLineEdit>(result, QStringLiteral("txtFieldArea"));
    auto* problem = find<QLabel>(result, QStringLiteral("lblFieldProblem"));
    EXPECT_EQ(name->text(), QStringLiteral("Old"));
    EXPECT_TRUE(area->text().isEmpty());
    const auto field = [this] {
        return wizard_->plans().field().value_or(FieldIdentity{});
    };

    retype(name, QStringLiteral("North: 7/8"));
    EXPECT_EQ(field().name, "North: 7/8");
    EXPECT_EQ(field().id, "f-old-7");
    EXPECT_TRUE(wizard_->plans().modified());
    EXPECT_TRUE(result.windowTitle().contains(QStringLiteral("North: 7/8 (pivot.tavikplan)")))
        << result.windowTitle().toStdString();
    // Control characters are not taken; the name stops at its longest.
    name->insert(QStringLiteral("\tx\ny"));
    EXPECT_EQ(name->text(), QStringLiteral("North: 7/8"));
    EXPECT_EQ(name->maxLength(), kMaxFieldNameLength);

    struct Area {
        const char* locale;
        const char* typed;
        std::optional<double> kept; // none: the area before stays, and the problem is told
    };
    const Area areas[] = {
        {"C", "12.5", 12.5},
        {"C", "0", std::nullopt},
        {"C", "-3", std::nullopt},
        {"C", "ten", std::nullopt},
        {"C", "1e999", std::nullopt},
        {"de_DE", "2,75", 2.75},
        {"de_DE", "0,0", std::nullopt},
        {"C", "41", 41.0},
    };
    double before = 0;
    for (const Area& a : areas) {
        SCOPED_TRACE(std::string(a.locale) + " " + a.typed);
        QLocale::setDefault(QLocale(QString::fromLatin1(a.locale)));
        retype(area, QString::fromLatin1(a.typed));
        ASSERT_TRUE(field().area);
        EXPECT_EQ(*field().area, a.kept.value_or(before));
        EXPECT_EQ(problem->text().isEmpty(), a.kept.has_value()) << problem->text().toStdString();
        before = *field().area;
    }
    QLocale::setDefault(QLocale::c());
    // Leaving a bad area shows the one kept.
    retype(area, QStringLiteral("x"));
    name->setFocus();
    EXPECT_EQ(area->text(), QStringLiteral("41"));

    // The names offered: the field's, made fit for a file name.
    EXPECT_EQ(offeredName("mnuFileSavePlanAs"), QStringLiteral("North_ 7_8.tavikplan"));
    EXPECT_EQ(offeredName("mnuExportFieldSheet"), QStringLiteral("North_ 7_8.pdf"));
    EXPECT_EQ(offeredName("mnuExportCalendar"), QStringLiteral("North_ 7_8.ics"));

    // Empty boxes take their members away; the identity stays, and so does the file's name.
    retype(area, QString());
    retype(name, QStringLiteral("   "));
    ASSERT_TRUE(wizard_->plans().field());
    EXPECT_EQ(field().name, std::nullopt);
    EXPECT_EQ(field().area, std::nullopt);
    EXPECT_EQ(field().id, "f-old-7");
    EXPECT_EQ(offeredName("mnuExportFieldSheet"), QStringLiteral("pivot.pdf"));

    // Saved and opened again, the row shows what was saved; another plan's field replaces it.
    retype(name, QStringLiteral("Süd"));
    retype(area, QStringLiteral("3.5"));
    ASSERT_TRUE(wizard_->plans().save(result));
    ASSERT_TRUE(wizard_->plans().open(path, result));
    EXPECT_EQ(name->text(), QStringLiteral("Süd"));
    EXPECT_EQ(area->text(), QStringLiteral("3.5"));
    EXPECT_EQ(field().id, "f-old-7");
    wizard_->plans().setField(FieldIdentity{"East", std::nullopt, std::nullopt});
    EXPECT_EQ(name->text(), QStringLiteral("East"));
    EXPECT_TRUE(area->text().isEmpty());
}

// The result screen's exports of a plan with a season are what `tavik plan --today` writes
// for the screen's today: the calendar with its advised amounts, the field sheet with its
// season page.
TEST_F(FieldRow, ExportsCarryTheSeasonAsOfTheScreensToday) {
    qputenv("SOURCE_DATE_EPOCH", "1796000000"); // one time stamp for the screen and the command
    const auto restore = qScopeGuard([] { qunsetenv("SOURCE_DATE_EPOCH"); });
    frmMain& result = wizard_->result();
    const QDate today = result.seasonToday();
    const QString path =
        test::writeFile(dir_, QStringLiteral("north.tavikplan"),
                        QJsonDocument(seasonScenario(today.addDays(-20))).toJson());
    ASSERT_TRUE(wizard_->plans().open(path, wizard_->choice()));
    const QString day = today.toString(Qt::ISODate);

    const QString ics = dir_.filePath(QStringLiteral("north.ics"));
    dialogs_.savePath = ics;
    ASSERT_TRUE(result.exports().exportCalendar());
    const auto headlessIcs = plan(path, {"--format", "ics", "--today", day});
    ASSERT_EQ(headlessIcs.exitCode, 0) << headlessIcs.err;
    EXPECT_EQ(test::readFile(ics).toStdString(), headlessIcs.out);
    // Day 10 logged 14 mm where more was planned: the next irrigation is advised more.
    EXPECT_NE(headlessIcs.out.find("Irrigated 14.0 mm"), std::string::npos);
    EXPECT_NE(headlessIcs.out.find("UID:f-north-1-"), std::string::npos);

    const QString sheet = dir_.filePath(QStringLiteral("north.pdf"));
    dialogs_.savePath = sheet;
    ASSERT_TRUE(result.exports().exportFieldSheet());
    const QString headlessSheet = dir_.filePath(QStringLiteral("headless.pdf"));
    ASSERT_EQ(plan(path, {"--format", "pdf", "--today", day, "--output", headlessSheet}).exitCode,
              0);
    const std::string text = textOf(sheet);
    EXPECT_EQ(text, textOf(headlessSheet));
    EXPECT_NE(text.find("Season log to"), std::string::npos);
    EXPECT_NE(text.find("North pivot"), std::string::npos);
    EXPECT_TRUE(notifier_.shown.empty());
}

} // namespace
} // namespace tavik
