// The Season tab of the result screen: the season log kept on the screens. Entries typed into
// the table (in the system's locale), undone and redone, logged as advised, a soil reading,
// rain imported; the figures shown are those of `tavik season`, the plan saved and opened
// again shows the same; the tab walked with the keyboard and read under a dark palette.

#include "GuiSupport.h"
#include "RecordingDialogs.h"
#include "plan/RainImport.h"
#include "plan/Scenario.h"
#include "plan/Season.h"
#include "screens/PlanFiles.h"
#include "screens/RainImportDialog.h"
#include "screens/SeasonLogModel.h"
#include "screens/SeasonTab.h"
#include "screens/SoilReadingDialog.h"
#include "screens/frmMain.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QUndoStack>
#include <cmath>
#include <sys/stat.h>

namespace tavik {
namespace {

// Maize planted on 1 October 2026, irrigated every 5 days from day 10 (11 October).
const QDate kPlanted(2026, 10, 1);
const QDate kToday(2026, 10, 20); // day 19

std::string maizePlan(const std::string& season) {
    std::string plan =
        test::readFile(test::sourcePath(QStringLiteral("examples/maize-planted.tavikplan")))
            .toStdString();
    plan = plan.substr(0, plan.rfind('}'));
    return season.empty() ? plan + "}" : plan + R"(, "season": )" + season + "}";
}

// A contrast ratio of two colours (relative luminance, as for readable text).
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double x = luminance(a);
    const double y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

class SeasonGui : public test::WizardFixture {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
        wizard_->choice().show();
    }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    // Opens the maize plan with a season record (or none) and shows the Season tab, today
    // being kToday.
    bool openPlan(const std::string& season, const QString& name = QStringLiteral("f.tavikplan")) {
        const QString path =
            test::writeFile(dir_, name, QByteArray::fromStdString(maizePlan(season)));
        QWidget* from = &wizard_->choice();
        for (WizardScreen* screen : wizard_->madeScreens()) {
            from = screen->isVisible() ? screen : from;
        }
        if (!wizard_->plans().open(path, *from)) {
            return false;
        }
        tab().setToday(kToday);
        QApplication::processEvents();
        return true;
    }
    frmMain& result() { return wizard_->result(); }
    SeasonTab& tab() { return result().season(); }
    QTableView& table() { return *tab().table(); }
    SeasonLogModel& log() { return tab().log(); }
    QTabBar& tabs() { return *find<QTabBar>(result(), QStringLiteral("tabResultView")); }
    QCheckBox& seasonLog() { return *find<QCheckBox>(result(), QStringLiteral("chkSeasonLog")); }

    QModelIndex cell(const QDate& date, SeasonLogModel::Column column) {
        return log().index(log().rowOf(static_cast<int>(kPlanted.daysTo(date))), column);
    }
    QString shown(const QDate& date, SeasonLogModel::Column column) {
        return log().data(cell(date, column), Qt::DisplayRole).toString();
    }
    // Types into a cell as a user does: the editor opened, the text typed, Return.
    void type(const QDate& date, SeasonLogModel::Column column, const QString& text) {
        const QModelIndex index = cell(date, column);
        ASSERT_TRUE(index.isValid()) << date.toString(Qt::ISODate).toStdString();
        table().setCurrentIndex(index);
        table().edit(index);
        auto* editor = qobject_cast<QLineEdit*>(table().indexWidget(index) != nullptr
                                                    ? table().indexWidget(index)
                                                    : table().findChild<QLineEdit*>());
        ASSERT_NE(editor, nullptr);
        editor->selectAll();
        if (text.isEmpty()) {
            QTest::keyClick(editor, Qt::Key_Delete);
        } else {
            QTest::keyClicks(editor, text);
        }
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
    }
    std::optional<double> recorded(const std::vector<SeasonAmount>& list, const QDate& date) {
        for (const SeasonAmount& entry : list) {
            if (entry.date == date.toString(Qt::ISODate).toStdString()) {
                return entry.mm;
            }
        }
        return std::nullopt;
    }
    const SeasonRecord& record() { return *wizard_->plans().season(); }
    // Every cell of the table and the next-irrigation line.
    QStringList everything() {
        QStringList cells{tab().nextIrrigation()};
        for (int r = 0; r < log().rowCount(); ++r) {
            for (int c = 0; c < SeasonLogModel::Columns; ++c) {
                cells << log().data(log().index(r, c), Qt::DisplayRole).toString();
            }
        }
        return cells;
    }

    QTemporaryDir dir_;
    test::RecordingDialogs dialogs_;
};

// "Keep a season log" is offered with a planting date; ticked, the plan gets an empty record
// and the Season tab; unticked, an empty record goes quietly and a log with entries only when
// the user says so.
TEST_F(SeasonGui, KeepASeasonLogAddsTheTabAndAsksBeforeEntriesAreLost) {
    ASSERT_TRUE(openPlan(""));
    EXPECT_TRUE(seasonLog().isEnabled());
    EXPECT_FALSE(seasonLog().isChecked());
    EXPECT_EQ(tabs().count(), 2);
    EXPECT_FALSE(wizard_->plans().modified());

    seasonLog().click();
    ASSERT_TRUE(wizard_->plans().season());
    EXPECT_EQ(tabs().count(), 3);
    EXPECT_EQ(tabs().tabText(2), QStringLiteral("Season"));
    EXPECT_EQ(tabs().currentIndex(), 2);
    EXPECT_TRUE(tab().isVisible());
    EXPECT_FALSE(result().display()->isVisible());
    EXPECT_TRUE(wizard_->plans().modified());
    // Without entries every advised amount is the planned one, as long as none was missed.
    tab().setToday(kPlanted);
    EXPECT_EQ(shown(QDate(2026, 10, 21), SeasonLogModel::Irrigation),
              shown(QDate(2026, 10, 21), SeasonLogModel::Planned));
    tab().setToday(kToday); // two irrigations not recorded: the next makes up for them
    EXPECT_EQ(QLocale().toDouble(shown(QDate(2026, 10, 21), SeasonLogModel::Irrigation)),
              3 * QLocale().toDouble(shown(QDate(2026, 10, 21), SeasonLogModel::Planned)));

    seasonLog().click(); // nothing recorded: nothing asked
    EXPECT_TRUE(dialogs_.removalAsked.empty());
    EXPECT_FALSE(wizard_->plans().season());
    EXPECT_EQ(tabs().count(), 2);
    EXPECT_TRUE(result().display()->isVisible());
    EXPECT_FALSE(wizard_->plans().modified());

    seasonLog().click();
    type(QDate(2026, 10, 11), SeasonLogModel::Rain, QStringLiteral("4"));
    dialogs_.removeSeasonLog = false;
    seasonLog().click();
    EXPECT_EQ(dialogs_.removalAsked, std::vector<int>{1});
    EXPECT_TRUE(seasonLog().isChecked());
    ASSERT_TRUE(wizard_->plans().season());
    EXPECT_EQ(record().rain.size(), 1U);
    dialogs_.removeSeasonLog = true;
    seasonLog().click();
    EXPECT_FALSE(wizard_->plans().season());
    EXPECT_FALSE(seasonLog().isChecked());

    // Without a planting date there is no log to keep.
    result().setPlantingDate(std::nullopt);
    EXPECT_FALSE(seasonLog().isEnabled());
}

// What is typed into a rain or irrigation cell: kept when it is an amount in range (with the
// system's decimal separator), else shown at the cell and under the table and not kept.
TEST_F(SeasonGui, EntriesTypedInPlaceAreCheckedAndKept) {
    struct Case {
        const char* locale;
        SeasonLogModel::Column column;
        const char* typed;
        std::optional<double> kept; // the entry afterwards
        const char* problem;        // the start of what is said, or "" when kept
    };
    const QDate day(2026, 10, 16); // day 15, a planned irrigation
    const Case cases[] = {
        {"C", SeasonLogModel::Rain, "12.5", 12.5, ""},
        {"C", SeasonLogModel::Rain, " 7 ", 7, ""},
        {"de_DE", SeasonLogModel::Rain, "12,5", 12.5, ""},
        {"de_DE", SeasonLogModel::Rain, "1.250", 12.5, "Rain on 16.10.26: \"1.250\" is not"},
        {"C", SeasonLogModel::Rain, "600", 12.5, "Rain on 16 Oct 2026: 600 mm is more than 500 mm"},
        {"C", SeasonLogModel::Rain, "500", 500, ""},
        {"C", SeasonLogModel::Rain, "abc", 500, "Rain on 16 Oct 2026: \"abc\" is not an amount"},
        {"C", SeasonLogModel::Rain, "nan", 500, "Rain on 16 Oct 2026: \"nan\" is not an amount"},
        {"C", SeasonLogModel::Rain, "inf", 500, "Rain on 16 Oct 2026: \"inf\" is not an amount"},
        {"C", SeasonLogModel::Rain, "", std::nullopt, ""},
        {"C", SeasonLogModel::Irrigation, "300.5", std::nullopt,
         "Irrigation on 16 Oct 2026: 300.5 mm is more than 300 mm"},
        {"C", SeasonLogModel::Irrigation, "-1", std::nullopt,
         "Irrigation on 16 Oct 2026: -1 mm is less than 0 mm"},
        {"de_DE", SeasonLogModel::Irrigation, "20,25", 20.25, ""},
        {"C", SeasonLogModel::Irrigation, "0", 0, ""},
    };
    ASSERT_TRUE(openPlan("{}"));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.typed);
        QLocale::setDefault(QLocale(QString::fromLatin1(c.locale)));
        tab().planChanged(); // the table in the locale
        QApplication::processEvents();
        type(day, c.column, QString::fromUtf8(c.typed));
        const auto& list = c.column == SeasonLogModel::Rain ? record().rain : record().irrigations;
        EXPECT_EQ(recorded(list, day), c.kept);
        const QString tip = log().data(cell(day, c.column), Qt::ToolTipRole).toString();
        if (*c.problem != '\0') {
            EXPECT_TRUE(tab().problem().startsWith(QString::fromUtf8(c.problem)))
                << tab().problem().toStdString();
            EXPECT_EQ(tip, tab().problem());
        } else {
            EXPECT_EQ(tab().problem(), QString());
            // A kept entry is shown as it was typed, in the locale.
            if (c.kept) {
                EXPECT_EQ(QLocale().toDouble(shown(day, c.column)), *c.kept)
                    << shown(day, c.column).toStdString();
            }
        }
    }
    // Past planned days with nothing logged were not irrigated; days to come are advised.
    QLocale::setDefault(QLocale::c());
    tab().planChanged();
    QApplication::processEvents();
    EXPECT_EQ(shown(QDate(2026, 10, 11), SeasonLogModel::Irrigation),
              QStringLiteral("not recorded"));
    EXPECT_TRUE(log()
                    .data(cell(QDate(2026, 10, 21), SeasonLogModel::Irrigation), Qt::FontRole)
                    .value<QFont>()
                    .italic());
    EXPECT_EQ(tab().undoStack().count(), 7);
}

// Every change is one step back and forth (Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z on the tab), and
// "Applied as advised" logs the advice of the selected day, or of the next irrigation.
TEST_F(SeasonGui, UndoRedoAndAppliedAsAdvised) {
    ASSERT_TRUE(openPlan("{}"));
    find<QCheckBox>(result(), QStringLiteral("chkSeasonAllDays"))->setChecked(true);
    const QDate next(2026, 10, 21); // day 20, the first irrigation from today on
    const QString before = tab().nextIrrigation();
    EXPECT_TRUE(before.startsWith(QStringLiteral("Next irrigation: Wed 21 Oct 2026 (day 20): ")))
        << before.toStdString();

    type(QDate(2026, 10, 19), SeasonLogModel::Rain, QStringLiteral("6"));
    EXPECT_NE(tab().nextIrrigation(), before); // the rain lowers the advice
    table().clearSelection();
    click(result(), QStringLiteral("cmdAppliedAsAdvised"));
    const SeasonDay& advised = tab().plan()->seasonBalance->days[19];
    ASSERT_TRUE(recorded(record().irrigations, next));
    EXPECT_NEAR(*recorded(record().irrigations, next), *advised.advised, 0.05);
    EXPECT_FALSE(
        log().data(cell(next, SeasonLogModel::Irrigation), Qt::FontRole).value<QFont>().italic());
    // Logged as advised, the soil is back on the plan.
    EXPECT_LT(std::abs(tab().plan()->seasonBalance->days[19].deviation), 0.05);

    // A selected row is the one logged.
    const QDate later(2026, 10, 31);
    table().setCurrentIndex(cell(later, SeasonLogModel::Date));
    click(result(), QStringLiteral("cmdAppliedAsAdvised"));
    EXPECT_TRUE(recorded(record().irrigations, later));
    EXPECT_EQ(tab().undoStack().count(), 3);

    table().setFocus();
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(recorded(record().irrigations, later));
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(recorded(record().irrigations, next));
    EXPECT_TRUE(recorded(record().rain, QDate(2026, 10, 19)));
    QTest::keyClick(&table(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_TRUE(recorded(record().irrigations, next));
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(recorded(record().irrigations, later));
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(record().rain.empty() && record().irrigations.empty());
    EXPECT_EQ(tab().nextIrrigation(), before);

    // Opening a plan starts a new history.
    ASSERT_TRUE(openPlan("{}", QStringLiteral("g.tavikplan")));
    EXPECT_EQ(tab().undoStack().count(), 0);
}

// A reading resets the soil water of its day (replacing one on that date); rain imported from
// a station's file shows what it replaces, goes in as one step, and a file that cannot be
// taken is shown as such or refused unread.
TEST_F(SeasonGui, SoilReadingAndRainImport) {
    ASSERT_TRUE(openPlan(R"({"rain": [{"date": "2026-10-05", "mm": 12.5}]})"));
    const int layers = tab().plan()->waterLevels.LayerCount();
    ASSERT_GT(layers, 0);
    table().setCurrentIndex(cell(QDate(2026, 10, 5), SeasonLogModel::Date));
    for (const double content : {0.3, 0.25}) {
        // Through the dialog, opened on the selected day with the planned levels (then the
        // earlier reading) filled in.
        SoilReadingDialog* dialog = tab().soilReading();
        ASSERT_NE(dialog, nullptr);
        for (int r = 1; r <= layers; ++r) {
            auto* edit = find<QLineEdit>(*dialog, QStringLiteral("txtReadingLayer%1").arg(r));
            EXPECT_FALSE(edit->text().isEmpty());
            edit->setText(QString::number(content, 'f', 3));
        }
        click(*dialog, QStringLiteral("cmdReadingOk"));
        ASSERT_EQ(record().readings.size(), 1U);
        EXPECT_EQ(record().readings[0].date, "2026-10-05");
        double water = 0;
        for (int r = 0; r < layers; ++r) {
            water += content * static_cast<double>(tab().plan()->waterLevels.thickness(r));
        }
        EXPECT_NEAR(tab().plan()->seasonBalance->days[3].soilWater, water, 1e-9);
        EXPECT_TRUE(shown(QDate(2026, 10, 5), SeasonLogModel::SoilWater)
                        .startsWith(SeasonLogModel::figure(water)));
    }
    // A reading of another profile is not recorded.
    tab().recordReading(SeasonReading{"2026-10-06", {0.2}});
    EXPECT_EQ(record().readings.size(), 1U);
    EXPECT_FALSE(tab().problem().isEmpty());

    const QString csv = test::writeFile(dir_, QStringLiteral("station.csv"),
                                        "date,rain\n2026-10-05,7.5\n2026-10-06,3\n");
    dialogs_.openPath = csv;
    RainImportDialog* preview = tab().importRain();
    ASSERT_NE(preview, nullptr);
    ASSERT_EQ(preview->table()->rowCount(), 2);
    EXPECT_EQ(preview->table()->item(0, 1)->text(), QStringLiteral("7.5"));
    EXPECT_EQ(preview->table()->item(0, 2)->text(), QStringLiteral("12.5"));
    EXPECT_EQ(preview->table()->item(1, 2)->text(), QString());
    EXPECT_TRUE(preview->mayImport());
    const int steps = tab().undoStack().count();
    preview->accept();
    EXPECT_EQ(recorded(record().rain, QDate(2026, 10, 5)), 7.5);
    EXPECT_EQ(recorded(record().rain, QDate(2026, 10, 6)), 3);
    EXPECT_EQ(tab().undoStack().count(), steps + 1);
    tab().undoStack().undo();
    EXPECT_EQ(recorded(record().rain, QDate(2026, 10, 5)), 12.5);
    EXPECT_FALSE(recorded(record().rain, QDate(2026, 10, 6)));

    // Files that cannot be taken.
    const SeasonRecord kept = record();
    const auto unchanged = [&] {
        EXPECT_EQ(record().rain.size(), kept.rain.size());
        EXPECT_EQ(recorded(record().rain, QDate(2026, 10, 5)), 12.5);
    };
    const std::pair<QByteArray, QString> refused[] = {
        {"date,rain\n2026-10-05,1\n2027-09-01,2\n",
         QStringLiteral("line 3: 1 Sep 2027 is outside the season")},
        {"date,rain\n2026-10-05,x\n", QStringLiteral("line 2")},
        {"date,rain\n2026-10-07,600\n", QStringLiteral("line 2: \"600\" is not an amount")},
    };
    for (const auto& [content, problem] : refused) {
        dialogs_.openPath = test::writeFile(dir_, QStringLiteral("bad.csv"), content);
        preview = tab().importRain();
        ASSERT_NE(preview, nullptr);
        EXPECT_FALSE(preview->mayImport());
        EXPECT_TRUE(preview->problem().contains(problem)) << preview->problem().toStdString();
        preview->reject();
        unchanged();
    }
    const QString pipe = dir_.filePath(QStringLiteral("rain.fifo"));
    ASSERT_EQ(mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    QFile big(dir_.filePath(QStringLiteral("big.csv")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.resize(kMaxRainFileBytes + 1);
    big.close();
    for (const QString& path : {pipe, big.fileName(), dir_.path()}) {
        notifier_.shown.clear();
        dialogs_.openPath = path;
        EXPECT_EQ(tab().importRain(), nullptr);
        ASSERT_EQ(notifier_.shown.size(), 1U);
        EXPECT_NE(notifier_.shown[0].text.find("cannot be imported"), std::string::npos);
        unchanged();
    }
}

// The figures shown are those of `tavik season --format json` for the saved plan and the same
// today, day by day; opened again, the plan shows the same tab.
TEST_F(SeasonGui, FiguresAreThoseOfTheSeasonCommandAndSurviveSaveAndOpen) {
    ASSERT_TRUE(openPlan(
        R"({"rain": [{"date": "2026-10-03", "mm": 30}, {"date": "2026-10-12", "mm": 2.5}],)"
        R"( "irrigations": [{"date": "2026-10-11", "mm": 18}],)"
        R"( "readings": [{"date": "2026-10-14", "waterLevels": [0.15, 0.16, 0.18, 0.2]}],)"
        R"( "effectiveRain": {"share": 80, "minimum": 3}})"));
    find<QCheckBox>(result(), QStringLiteral("chkSeasonAllDays"))->setChecked(true);
    type(QDate(2026, 10, 16), SeasonLogModel::Rain, QStringLiteral("41"));
    ASSERT_TRUE(wizard_->plans().save(result()));
    const QStringList before = everything();

    const auto run = test::runProcess(test::tavikExecutable(),
                                      {QStringLiteral("season"), wizard_->plans().path(),
                                       QStringLiteral("--today"), kToday.toString(Qt::ISODate),
                                       QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const QJsonObject season =
        QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object()["season"].toObject();
    const QJsonArray days = season["days"].toArray();
    ASSERT_EQ(log().rowCount(), days.size());
    const auto mm = [](const QJsonValue& v) {
        return v.toDouble() > 0 ? SeasonLogModel::figure(v.toDouble()) : QString();
    };
    for (int r = 0; r < log().rowCount(); ++r) {
        const QJsonObject day = days[r].toObject();
        SCOPED_TRACE(day["date"].toString().toStdString());
        const auto at = [&](SeasonLogModel::Column c) {
            return log().data(log().index(r, c), Qt::DisplayRole).toString();
        };
        EXPECT_EQ(at(SeasonLogModel::Day).toInt(), day["day"].toInt());
        EXPECT_EQ(at(SeasonLogModel::Date),
                  QLocale().toString(QDate::fromString(day["date"].toString(), Qt::ISODate),
                                     QLocale::ShortFormat));
        EXPECT_EQ(at(SeasonLogModel::Rain),
                  day["rain"].isNull() ? QString() : QString::number(day["rain"].toDouble()));
        const QString irrigation =
            day["logged"].toBool()          ? QString::number(day["irrigation"].toDouble())
            : !day["advised"].isNull()      ? SeasonLogModel::figure(day["advised"].toDouble())
            : day["planned"].toDouble() > 0 ? QStringLiteral("not recorded")
                                            : QString();
        EXPECT_EQ(at(SeasonLogModel::Irrigation), irrigation);
        EXPECT_EQ(at(SeasonLogModel::Planned), mm(day["planned"]));
        EXPECT_TRUE(at(SeasonLogModel::SoilWater)
                        .startsWith(SeasonLogModel::figure(day["soilWater"].toDouble()) +
                                    QLatin1Char(' ') + day["class"].toString()))
            << at(SeasonLogModel::SoilWater).toStdString();
        const double deviation = day["deviation"].toDouble();
        EXPECT_EQ(at(SeasonLogModel::SoilWater)
                      .endsWith((deviation > 0 ? QStringLiteral("(+") : QStringLiteral("(")) +
                                SeasonLogModel::figure(deviation) + QLatin1Char(')')),
                  std::abs(deviation) >= 0.05);
        EXPECT_EQ(at(SeasonLogModel::Drained), mm(day["drained"]));
        EXPECT_EQ(at(SeasonLogModel::Shortfall), mm(day["shortfall"]));
    }
    const QJsonObject next = season["next"].toObject();
    EXPECT_TRUE(
        tab().nextIrrigation().contains(QStringLiteral("(day %1)").arg(next["day"].toInt())))
        << tab().nextIrrigation().toStdString();

    // Opened again in a fresh wizard: the same tab.
    const QString path = wizard_->plans().path();
    wizard_->exit();
    state_ = mType{};
    startWizard();
    wizard_->setDialogs(dialogs_);
    wizard_->choice().show();
    ASSERT_TRUE(wizard_->plans().open(path, wizard_->choice()));
    EXPECT_TRUE(seasonLog().isChecked());
    EXPECT_EQ(tabs().currentIndex(), 2);
    tab().setToday(kToday);
    find<QCheckBox>(result(), QStringLiteral("chkSeasonAllDays"))->setChecked(true);
    EXPECT_EQ(everything(), before);
    EXPECT_FALSE(wizard_->plans().modified());
}

// A planting date moved so that an entry falls outside the season: the tab says so instead of
// showing figures, and the record stays as it was; moved back, the figures return.
TEST_F(SeasonGui, ARecordThatNoLongerFitsIsShownAsAProblemAndKept) {
    ASSERT_TRUE(openPlan(R"({"rain": [{"date": "2026-10-05", "mm": 12.5}]})"));
    const QStringList before = everything();
    result().setPlantingDate(QDate(2026, 10, 8));
    QApplication::processEvents();
    EXPECT_EQ(tab().plan(), nullptr);
    EXPECT_TRUE(tab().problem().contains(QStringLiteral("season.rain[0].date")))
        << tab().problem().toStdString();
    EXPECT_EQ(log().rowCount(), 0);
    EXPECT_EQ(recorded(record().rain, QDate(2026, 10, 5)), 12.5);
    result().setPlantingDate(kPlanted);
    QApplication::processEvents();
    EXPECT_EQ(everything(), before);
    EXPECT_EQ(tab().problem(), QString());
}

// The tab without a mouse: Tab reaches every control, and an entry is typed with the keys.
TEST_F(SeasonGui, KeyboardOnlyWalkAndEntry) {
    ASSERT_TRUE(openPlan("{}"));
    result().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&result()));
    auto* today = find<QDateEdit>(result(), QStringLiteral("dtpSeasonToday"));
    today->setFocus();
    QStringList reached;
    for (int i = 0; i < 80; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QWidget* named = focus;
        while (named != nullptr && named->objectName().isEmpty()) {
            named = named->parentWidget();
        }
        if (named != nullptr && !reached.contains(named->objectName())) {
            reached << named->objectName();
        }
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    for (const char* name : {"dtpSeasonToday", "chkSeasonAllDays", "cmdAppliedAsAdvised",
                             "cmdSoilReading", "cmdImportRain", "tblSeasonLog"}) {
        EXPECT_TRUE(reached.contains(QLatin1String(name)))
            << name << " " << reached.join(QLatin1Char(' ')).toStdString();
    }
    // In the table: to the first row's rain cell with the arrows, type, Return.
    table().setFocus();
    table().setCurrentIndex(log().index(0, SeasonLogModel::Date));
    QTest::keyClick(&table(), Qt::Key_Right);
    QTest::keyClick(&table(), Qt::Key_Right);
    QTest::keyClick(&table(), Qt::Key_3);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(".5"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents(); // the editor commits once its key is handled
    const QDate first = kPlanted.addDays(log().dayOf(0));
    EXPECT_EQ(recorded(record().rain, first), 3.5);
    EXPECT_EQ(QApplication::focusWidget(), &table()); // on to the next entry
    QTest::keyClick(&table(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_FALSE(recorded(record().rain, first));
}

// Under a dark palette the advised amounts and the problem line stay readable.
TEST_F(SeasonGui, ReadableUnderADarkPalette) {
    const QPalette original = QApplication::palette();
    const auto restore = qScopeGuard([&] { QApplication::setPalette(original); });
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::WindowText, QColor(0xe0, 0xe0, 0xe0));
    dark.setColor(QPalette::Base, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::Text, QColor(0xe8, 0xe8, 0xe8));
    for (const QPalette& palette : {dark, original}) {
        QApplication::setPalette(palette);
        ASSERT_TRUE(openPlan("{}"));
        type(QDate(2026, 10, 16), SeasonLogModel::Rain, QStringLiteral("999"));
        auto* problem = find<QLabel>(result(), QStringLiteral("lblSeasonProblem"));
        ASSERT_TRUE(problem->isVisible());
        EXPECT_GE(contrast(problem->palette().color(QPalette::WindowText),
                           problem->palette().color(QPalette::Window)),
                  4.5);
        // The advised amounts are drawn in the view's own text colour.
        const QModelIndex advised = cell(QDate(2026, 10, 21), SeasonLogModel::Irrigation);
        ASSERT_TRUE(log().data(advised, Qt::FontRole).value<QFont>().italic());
        const QVariant colour = log().data(advised, Qt::ForegroundRole);
        EXPECT_GE(contrast(colour.isValid() ? colour.value<QColor>()
                                            : table().palette().color(QPalette::Text),
                           table().palette().color(QPalette::Base)),
                  4.5);
    }
}

} // namespace
} // namespace tavik
