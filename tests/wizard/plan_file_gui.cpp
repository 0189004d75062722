// Plan files: a plan opened fills every screen as a user would and shows the schedule the
// headless plan gives; saved and opened again it gives the same screens; a bad file changes
// nothing; unsaved changes are asked about; the planting date dates the schedule.

#include "GuiSupport.h"
#include "RecordingDialogs.h"
#include "plan/Plan.h"
#include "plan/Scenario.h"
#include "screens/PlanExportMenu.h"
#include "screens/PlanFiles.h"
#include "screens/TipSlider.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"

#include <QCheckBox>
#include <QDir>
#include <QScopeGuard>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <qcustomplot.h>
#include <sys/stat.h>

namespace tavik {
namespace {

// The report without its time stamp (the last paragraph).
std::string withoutStamp(const QString& report) {
    const std::string text = report.toStdString();
    const auto stamp = text.rfind("\n\n");
    return text.substr(0, stamp);
}

class PlanFile : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
        wizard_->choice().show();
    }
    // Everything the result screen and the screens before it show, but the time stamp.
    struct Shown {
        std::string report;
        std::vector<double> chart;
        std::string inputs; // the screens' inputs, as a plan holds them
        bool operator==(const Shown&) const = default;
        friend void PrintTo(const Shown& s, std::ostream* out) {
            *out << s.inputs << "\n" << s.report;
        }
    };
    static Shown shown(Wizard& wizard) {
        Shown s;
        frmMain& result = wizard.result();
        s.report = withoutStamp(result.display()->toPlainText());
        auto* chart = result.findChild<QCustomPlot*>(QStringLiteral("MSChart1"));
        auto* bars = qobject_cast<QCPBars*>(chart->plottable(0));
        for (auto it = bars->data()->constBegin(); it != bars->data()->constEnd(); ++it) {
            s.chart.push_back(it->value);
        }
        const ScenarioParse now = wizard.plans().current();
        s.inputs = now.scenario ? scenarioJson(*now.scenario) : now.problem;
        return s;
    }
    bool open(const QString& path) {
        QWidget* from = nullptr;
        for (WizardScreen* screen : wizard_->madeScreens()) {
            from = screen->isVisible() ? screen : from;
        }
        return wizard_->plans().open(path, from != nullptr ? *from : wizard_->choice());
    }
    QTemporaryDir dir_;
    test::RecordingDialogs dialogs_;
};

using test::Session;

TEST_F(PlanFile, GoldenScenariosOpenAsTheirSchedulesAndComeBackTheSameWhenSaved) {
    const auto cases = test::goldenCases();
    ASSERT_GE(cases.size(), 7U);
    // One session opens every plan in turn: what was entered before does not reach a plan.
    Session first;
    ASSERT_TRUE(first.loaded);
    for (const test::GoldenCase& golden : cases) {
        SCOPED_TRACE(golden.scenario.toStdString());
        // A plan written by hand (the headless scenario) opens into the screens...
        ASSERT_TRUE(
            first.wizard->plans().open(golden.scenario, *first.wizard->madeScreens().back()));
        ASSERT_TRUE(first.notifier.shown.empty()) << first.notifier.shown.front().text;
        ASSERT_TRUE(first.wizard->result().isVisible());
        const Shown opened = shown(*first.wizard);
        const std::string expected =
            test::readFile(golden.expected + QStringLiteral("/expected.txt")).toStdString();
        const std::string expectedReport = expected.substr(0, expected.rfind("\r\n\r\n"));
        // ... as the schedule the headless plan writes for it (the box holds line feeds).
        QString headless = QString::fromStdString(expectedReport);
        headless.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        EXPECT_EQ(opened.report, headless.toStdString());

        // Saved and opened in a wizard started afresh: the same screens.
        const QString saved =
            dir_.filePath(QFileInfo(golden.scenario).baseName() + QStringLiteral(".tavikplan"));
        first.dialogs.savePath = saved;
        ASSERT_TRUE(first.wizard->plans().saveAs(first.wizard->result()));
        EXPECT_EQ(first.wizard->plans().path(), QFileInfo(saved).absoluteFilePath());
        Session again;
        ASSERT_TRUE(again.wizard->plans().open(saved, again.wizard->choice()));
        EXPECT_EQ(shown(*again.wizard), opened);

        // And the headless plan reads the saved plan as it read the scenario.
        const auto run = test::runProcess(test::tavikExecutable(), {QStringLiteral("plan"), saved});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.substr(0, run.out.rfind("\r\n\r\n")), expectedReport);
    }
}

TEST_F(PlanFile, ABadPlanIsRefusedNamingTheFileAndTheKeyAndChangesNothing) {
    ASSERT_TRUE(open(test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json"))));
    const Shown before = shown(*wizard_);
    const QString openedPath = wizard_->plans().path();
    struct Bad {
        QByteArray content;
        const char* named; // what the message must name
    };
    const Bad bad[] = {
        // A key of a million characters: named cut short, in a message that shows at once.
        {R"({"crop": "Maize", ")" + QByteArray(1000000, 'k') + R"(": 1})",
         "kkk…\" is not a key of a scenario here"},
        {R"({"crop": "Maize", "targetYield": "high"})", "\"targetYield\""},
        {R"({"crop": "Maize", "colour": "green"})", "\"colour\""},
        {R"({"crop": "Maize", "soil": {"depth": 900, "siltClay": [20, 20]}})", "\"soil.siltClay\""},
        {R"({"crop": "Maize", "plantingDate": "2026-02-30"})", "\"plantingDate\""},
        {R"({"crop": "Rice"})", "\"crop\""},
        {R"({"crop": "Maize", "targetYield": 99})", "\"targetYield\""},
        {R"({"crop": "Maize",)", "it is not valid JSON: a group in braces ({ }) goes wrong here"},
        {R"({"crop": "Maize", "plantingDate": "9999-12-01"})", "\"plantingDate\" 9999-12-01 puts"},
        {R"({"crop": "Maize", "plantingDate": "2026-10-01", "season": {"rain": [{"date": )"
         R"("2026-10-05", "mm": 1}, {"date": "2029-01-01", "mm": 2}]}})",
         "season.rain[1].date: after the season's last day"},
        {"", "it is a named pipe (FIFO), not a file"},
    };
    // An empty content: a pipe that nothing writes to, refused at once, not waited on.
    const QString pipe = dir_.filePath(QStringLiteral("pipe.tavikplan"));
    ASSERT_EQ(::mkfifo(pipe.toLocal8Bit().constData(), 0600), 0);
    int n = 0;
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.content.left(80).toStdString());
        const QString path =
            b.content.isEmpty()
                ? pipe
                : test::writeFile(dir_, QStringLiteral("bad%1.tavikplan").arg(n++), b.content);
        notifier_.shown.clear();
        EXPECT_FALSE(open(path));
        ASSERT_EQ(notifier_.shown.size(), 1U);
        EXPECT_EQ(notifier_.shown[0].text.rfind(
                      "The plan file \"" + path.toStdString() + "\" cannot be opened: ", 0),
                  0U)
            << notifier_.shown[0].text;
        EXPECT_NE(notifier_.shown[0].text.find(b.named), std::string::npos)
            << notifier_.shown[0].text.substr(0, 300);
        EXPECT_LT(notifier_.shown[0].text.size(), 600U);
        EXPECT_TRUE(wizard_->result().isVisible());
        EXPECT_EQ(shown(*wizard_), before);
        EXPECT_EQ(wizard_->plans().path(), openedPath);
    }
}

// What the screens do not edit, the field and the season record, goes through the wizard:
// saved again, the plan file is byte for byte what was opened, and a plan saved without an
// identity gets one, kept from then on. The field's name titles the screens.
TEST_F(PlanFile, TheFieldAndTheSeasonRecordAreKeptThroughOpenAndSave) {
    const std::string record =
        R"(, "season": {"rain": [{"date": "2026-10-05", "mm": 12.5}], "irrigations": [{"date": )"
        R"("2026-10-11", "mm": 20.1}], "readings": [{"date": "2026-10-01", "waterLevels": )"
        R"([0.2, 0.21, 0.22, 0.23]}], "effectiveRain": {"share": 80, "minimum": 3}}})";
    std::string example =
        test::readFile(test::sourcePath(QStringLiteral("examples/maize-planted.tavikplan")))
            .toStdString();
    example = example.substr(0, example.rfind('}'));
    for (const char* field : {R"(, "field": {"name": "Süd, \"7\"", "area": 41.5, "id": "f-1"})",
                              R"(, "field": {"name": "North"})"}) {
        SCOPED_TRACE(field);
        const ScenarioParse written = parseScenario(example + field + record);
        ASSERT_TRUE(written.scenario) << written.problem;
        const QString path =
            test::writeFile(dir_, QStringLiteral("pivot.tavikplan"),
                            QByteArray::fromStdString(scenarioJson(*written.scenario)));
        const QByteArray opened = test::readFile(path);
        ASSERT_TRUE(open(path));
        EXPECT_TRUE(wizard_->result().windowTitle().startsWith(
            QStringLiteral("TAVIK+ - ") + QString::fromStdString(*written.scenario->field->name) +
            QStringLiteral(" (pivot.tavikplan)")))
            << wizard_->result().windowTitle().toStdString();
        EXPECT_FALSE(wizard_->plans().modified());
        ASSERT_TRUE(wizard_->plans().save(wizard_->result()));
        const ScenarioParse saved = parseScenario(test::readFile(path).toStdString());
        ASSERT_TRUE(saved.scenario && saved.scenario->field) << saved.problem;
        if (written.scenario->field->id) {
            EXPECT_EQ(test::readFile(path), opened);
        } else {
            // The identity is written once; saved again, nothing changes.
            ASSERT_TRUE(saved.scenario->field->id);
            Scenario withId = *written.scenario;
            withId.field->id = saved.scenario->field->id;
            EXPECT_EQ(test::readFile(path).toStdString(), scenarioJson(withId));
            EXPECT_FALSE(wizard_->plans().modified());
            const QByteArray once = test::readFile(path);
            ASSERT_TRUE(wizard_->plans().save(wizard_->result()));
            EXPECT_EQ(test::readFile(path), once);
        }
    }
    // A planting date moved past the recorded rain: the plan is not saved, and says why.
    const QByteArray before = test::readFile(wizard_->plans().path());
    wizard_->result().setPlantingDate(QDate(2026, 10, 6));
    notifier_.shown.clear();
    EXPECT_FALSE(wizard_->plans().save(wizard_->result()));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_NE(notifier_.shown[0].text.find("season.rain[0].date: 2026-10-05 is before"),
              std::string::npos)
        << notifier_.shown[0].text;
    EXPECT_EQ(test::readFile(wizard_->plans().path()), before);
}

TEST_F(PlanFile, UnsavedChangesAreMarkedAndAskedAboutBeforeTheyAreLeft) {
    // No plan file yet: the screens keep their own titles and nothing is asked.
    EXPECT_EQ(wizard_->choice().windowTitle(), QStringLiteral("TAVIK+ (Crop choice)"));
    const QString path = dir_.filePath(QStringLiteral("field 7.tavikplan"));
    QFile::copy(test::sourcePath(QStringLiteral("examples/wheat-deep-loam.json")), path);
    ASSERT_TRUE(open(path));
    frmMain& result = wizard_->result();
    EXPECT_EQ(result.windowTitle(), QStringLiteral("TAVIK+ - field 7.tavikplan[*]"));
    EXPECT_FALSE(result.isWindowModified());

    result.setCycle(result.cycle() == 2 ? 3 : 2);
    EXPECT_TRUE(result.isWindowModified());
    // Another crop: Cancel stays, Discard goes on without writing.
    dialogs_.changes = Dialogs::Changes::Cancel;
    click(result, QStringLiteral("cmdAnotherCrop"));
    EXPECT_TRUE(result.isVisible());
    EXPECT_EQ(dialogs_.askedAbout, QStringList{QStringLiteral("field 7.tavikplan")});
    // Save writes the plan and clears the mark; the file reads back to the screens' inputs.
    dialogs_.changes = Dialogs::Changes::Save;
    click(result, QStringLiteral("cmdAnotherCrop"));
    EXPECT_TRUE(wizard_->choice().isVisible());
    EXPECT_FALSE(wizard_->choice().isWindowModified());
    const ScenarioParse reread = parseScenario(test::readFile(path).toStdString());
    ASSERT_TRUE(reread.scenario) << reread.problem;
    EXPECT_EQ(reread.scenario->cycle, result.cycle());
    // Exit with changes, answered Discard: the program ends and the file stays as saved.
    const QByteArray saved = test::readFile(path);
    wizard_->choice().option(0)->click();
    EXPECT_TRUE(wizard_->choice().isWindowModified());
    dialogs_.changes = Dialogs::Changes::Discard;
    wizard_->choice().exitAction()->trigger();
    EXPECT_TRUE(wizard_->exited());
    EXPECT_EQ(test::readFile(path), saved);
    EXPECT_EQ(dialogs_.askedAbout.size(), 3);
}

TEST_F(PlanFile, APlantingDatePutsTheScheduleOnTheCalendar) {
    ASSERT_TRUE(open(test::sourcePath(QStringLiteral("examples/maize-centre-pivot.json"))));
    frmMain& result = wizard_->result();
    auto* tabs = result.findChild<QTabBar*>(QStringLiteral("tabResultView"));
    ASSERT_NE(tabs, nullptr);
    // Without a date the screen is as it always was: no tabs, no calendar.
    EXPECT_FALSE(tabs->isVisible());
    EXPECT_EQ(result.calendar()->rowCount(), 0);
    const std::string report = result.display()->toPlainText().toStdString();

    // Planted on 20 December 2023: the season crosses the year end and 29 February 2024.
    result.setPlantingDate(QDate(2023, 12, 20));
    EXPECT_TRUE(tabs->isVisible());
    QTableWidget* calendar = result.calendar();
    ASSERT_GT(calendar->rowCount(), 10);
    ASSERT_EQ(calendar->columnCount(), 6); // with the package: speed and passes
    const QLocale locale;
    for (int row = 0; row < calendar->rowCount(); ++row) {
        const int day = calendar->item(row, 1)->text().toInt();
        EXPECT_EQ(calendar->item(row, 0)->text(),
                  locale.toString(QDate(2023, 12, 20).addDays(day), QLocale::ShortFormat));
    }
    EXPECT_EQ(result.display()->toPlainText().toStdString(), report);
    tabs->setCurrentIndex(1);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_FALSE(result.display()->isVisible());

    // No date is offered whose season runs past the last date that can be written: at every
    // cycle the latest one dates every irrigation.
    for (int cycle = 2; cycle <= 10; ++cycle) {
        SCOPED_TRACE(cycle);
        result.setCycle(cycle);
        result.setPlantingDate(QDate(9999, 12, 31));
        for (int row = 0; row < calendar->rowCount(); ++row) {
            EXPECT_FALSE(calendar->item(row, 0)->text().isEmpty()) << row;
        }
        const ScenarioParse dated = wizard_->plans().current();
        ASSERT_TRUE(dated.scenario);
        EXPECT_TRUE(runPlan(wizard_->state().CropData, *dated.scenario, TimeStamp{}).result);
    }
    result.setCycle(5);
    result.setPlantingDate(QDate(2023, 12, 20));

    // The date goes into the plan and comes back from it.
    const ScenarioParse now = wizard_->plans().current();
    ASSERT_TRUE(now.scenario);
    EXPECT_EQ(now.scenario->plantingDate, std::optional<std::string>("2023-12-20"));
    result.setPlantingDate(std::nullopt);
    EXPECT_FALSE(tabs->isVisible());
    EXPECT_TRUE(result.display()->isVisible());
}

// Leaving a plan that reached the result screen, by every way out, answered every way, with
// and without a plan file: what is asked, what is written, and the titles afterwards.
enum class Way { Exit, CloseButton, AnotherCrop, OpenPlan };
enum class Answer { Save, SaveUnnamed, Discard, Cancel }; // SaveUnnamed: no name given
void PrintTo(Way way, std::ostream* out) {
    *out << std::array{"Exit", "CloseButton", "AnotherCrop", "OpenPlan"}[static_cast<int>(way)];
}
void PrintTo(Answer answer, std::ostream* out) {
    *out << std::array{"Save", "SaveUnnamed", "Discard", "Cancel"}[static_cast<int>(answer)];
}
class LeavingAPlan : public testing::TestWithParam<std::tuple<Way, Answer, bool>> {};

TEST_P(LeavingAPlan, AsksWritesAndTitlesAsAnswered) {
    const auto [way, answer, withFile] = GetParam();
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("field 7.tavikplan"));
    const QString named = dir.filePath(QStringLiteral("named.tavikplan"));
    const QString other = test::sourcePath(QStringLiteral("examples/potatoes-shallow-sand.json"));
    QFile::copy(test::sourcePath(QStringLiteral("examples/wheat-deep-loam.json")), file);
    Session session;
    Wizard& wizard = *session.wizard;
    frmMain& result = wizard.result();
    if (withFile) {
        ASSERT_TRUE(wizard.plans().open(file, wizard.choice()));
        result.setCycle(result.cycle() == 2 ? 3 : 2); // a change not saved
    } else { // walked through to the result screen, never saved
        wizard.choice().option(0)->click();
        for (QWidget* screen : std::initializer_list<QWidget*>{&wizard.choice(), &wizard.soilInfo(),
                                                               &wizard.waterLevel()}) {
            screen->findChild<QAbstractButton*>(QStringLiteral("cmdNext"))->click();
        }
    }
    ASSERT_TRUE(result.isVisible());
    const QByteArray before = test::readFile(file);
    const int cycle = result.cycle();
    const bool saving = answer == Answer::Save || answer == Answer::SaveUnnamed;
    const bool saved = answer == Answer::Save || (saving && withFile); // a file needs no name
    const bool leaves = saved || answer == Answer::Discard;
    session.dialogs.changes = saving                     ? Dialogs::Changes::Save
                              : answer == Answer::Cancel ? Dialogs::Changes::Cancel
                                                         : Dialogs::Changes::Discard;
    if (answer != Answer::SaveUnnamed) {
        session.dialogs.savePath = named;
    }
    session.dialogs.openPath = other;
    if (way == Way::CloseButton) {
        EXPECT_EQ(result.close(), leaves);
    } else if (way == Way::AnotherCrop) {
        result.findChild<QAbstractButton*>(QStringLiteral("cmdAnotherCrop"))->click();
    } else {
        result
            .findChild<QAction*>(way == Way::Exit ? QStringLiteral("mnuFileExit")
                                                  : QStringLiteral("mnuFileOpenPlan"))
            ->trigger();
    }
    const bool left = way == Way::AnotherCrop ? wizard.choice().isVisible()
                      : way == Way::OpenPlan  ? wizard.plans().path() == other
                                              : wizard.exited();

    // Asked once, about the file or a plan without one; a name only for a plan without one.
    EXPECT_EQ(session.dialogs.askedAbout,
              QStringList{withFile ? QStringLiteral("field 7.tavikplan") : QString()});
    EXPECT_EQ(session.dialogs.saveDialogs, saving && !withFile ? 1 : 0);
    EXPECT_EQ(left, leaves);
    EXPECT_TRUE(session.notifier.shown.empty());
    // Written only when saved: the screens' plan, to its file or under the name given.
    const QString written = withFile ? file : named;
    if (saved) {
        const ScenarioParse plan = parseScenario(test::readFile(written).toStdString());
        ASSERT_TRUE(plan.scenario) << plan.problem;
        EXPECT_EQ(plan.scenario->cycle, cycle);
    } else {
        EXPECT_EQ(test::readFile(file), before);
        EXPECT_FALSE(QFileInfo::exists(named));
    }
    // After Another crop the crop screen bears the saved file's name, or none for a discarded
    // plan, whose next save asks for a name instead of writing over its old file.
    if (left && way == Way::AnotherCrop) {
        frmChoice& choice = wizard.choice();
        EXPECT_EQ(choice.windowTitle(), answer == Answer::Discard
                                            ? QStringLiteral("TAVIK+ (Crop choice)")
                                            : QStringLiteral("TAVIK+ (Crop choice) - %1[*]")
                                                  .arg(QFileInfo(written).fileName()));
        EXPECT_FALSE(choice.isWindowModified());
        session.dialogs.savePath.reset();
        choice.findChild<QAction*>(QStringLiteral("mnuFileSavePlan"))->trigger();
        EXPECT_EQ(session.dialogs.saveDialogs, (answer == Answer::Discard) + (saving && !withFile));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, LeavingAPlan,
                         testing::Combine(testing::Values(Way::Exit, Way::CloseButton,
                                                          Way::AnotherCrop, Way::OpenPlan),
                                          testing::Values(Answer::Save, Answer::SaveUnnamed,
                                                          Answer::Discard, Answer::Cancel),
                                          testing::Bool()));

// File dialogs open in the plan's folder, else the last one used, else the documents folder
// (home without one), and offer the plan file's name, else the crop's; Ctrl+Shift+S is one.
TEST_F(PlanFile, FileDialogsOpenInThePlansFolderAndOfferANameFromIt) {
    QTemporaryDir home, elsewhere, fields;
    const QByteArray homeWas = qgetenv("HOME");
    const QByteArray configWas = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", homeWas);
        configWas.isEmpty() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", configWas);
    });
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toLocal8Bit());
    dialogs_.changes = Dialogs::Changes::Discard; // Open plan goes on to its dialog
    const auto offered = [this](QWidget& screen, const QString& item) {
        dialogs_.lastSuggested.clear();
        screen.findChild<QAction*>(item)->trigger();
        return dialogs_.lastSuggested;
    };
    frmChoice& choice = wizard_->choice();
    EXPECT_EQ(offered(choice, QStringLiteral("mnuFileOpenPlan")), home.path());
    QDir(home.path()).mkdir(QStringLiteral("Documents"));
    choice.option(1)->click(); // Maize
    choice.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&choice));
    QTest::keyClick(&choice, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(dialogs_.lastSuggested, home.filePath(QStringLiteral("Documents/Maize.tavikplan")));
    EXPECT_EQ(find<QAction>(choice, QStringLiteral("mnuFileSavePlanAs"))->shortcut().toString(),
              QStringLiteral("Ctrl+Shift+S"));
    click(choice, QStringLiteral("cmdNext"));
    click(wizard_->soilInfo(), QStringLiteral("cmdNext"));
    click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
    frmMain& result = wizard_->result();
    const auto expectOffers = [&](const QString& folder, const QString& name) {
        for (const char* dialog : // the menu item that opens it, and its file's suffix
             {"mnuFileSave.txt", "mnuExportTable.csv", "mnuExportFieldSheet.pdf",
              "mnuExportChart.png", "mnuFilePrint.pdf", "mnuFilePrintchart.pdf",
              "mnuFileSavePlanAs.tavikplan"}) {
            const QString item = QString::fromLatin1(dialog).section('.', 0, 0);
            const QString suffix = QString::fromLatin1(dialog).section('.', 1);
            EXPECT_EQ(offered(result, item), folder + '/' + name + '.' + suffix) << dialog;
        }
        EXPECT_EQ(offered(wizard_->waterLevel(), QStringLiteral("mnuFilePrint")),
                  folder + '/' + name + ".pdf");
    };
    expectOffers(home.filePath(QStringLiteral("Documents")), QStringLiteral("Maize"));
    // A file written elsewhere: the dialogs open there from then on...
    dialogs_.savePath = elsewhere.filePath(QStringLiteral("table.csv"));
    ASSERT_TRUE(result.exports().exportTable());
    dialogs_.savePath.reset();
    expectOffers(elsewhere.path(), QStringLiteral("Maize"));
    // ... until the plan has a file: its folder and name, wherever else files are written.
    dialogs_.savePath = fields.filePath(QStringLiteral("north: field.tavikplan"));
    ASSERT_TRUE(wizard_->plans().saveAs(result));
    dialogs_.savePath = elsewhere.filePath(QStringLiteral("again.csv"));
    ASSERT_TRUE(result.exports().exportTable());
    dialogs_.savePath.reset();
    expectOffers(fields.path(), QStringLiteral("north: field"));
    EXPECT_EQ(offered(result, QStringLiteral("mnuFileOpenPlan")),
              fields.filePath("north: field.tavikplan"));
}

} // namespace
} // namespace tavik
