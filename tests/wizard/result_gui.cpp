// The result screen: the schedule in the box and the chart, the cycle slider, saving the box
// as a document and printing it; and one walk through every screen, checked against the
// headless plan of the same field.

#include "GuiSupport.h"
#include "RecordingDialogs.h"
#include "plan/Plan.h"
#include "plan/PlanOutput.h"
#include "plan/Scenario.h"
#include "printing/RichTextBox.h"
#include "screens/TipSlider.h"
#include "screens/Twips.h"
#include "screens/frmAbout.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"
#include "state/NumberText.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QPageSize>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextEdit>
#include <algorithm>
#include <map>
#include <qcustomplot.h>

namespace tavik {
namespace {

class Result : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
    }
    // Crop, soil and water levels as given, then on to the result screen.
    void walk(int option, int depth, bool package = false) {
        wizard_->choice().option(option)->click();
        find<QCheckBox>(wizard_->choice(), QStringLiteral("chkPackage"))->setChecked(package);
        wizard_->choice().show();
        click(wizard_->choice(), QStringLiteral("cmdNext"));
        if (package) {
            click(wizard_->irrigationInfo(), QStringLiteral("cmdNext"));
        }
        frmSoilInfo& soil = wizard_->soilInfo();
        auto* slider = find<TipSlider>(soil, QStringLiteral("sldSoilDepth"));
        slider->setSliderPosition(depth);
        slider->triggerAction(QAbstractSlider::SliderMove);
        click(soil, QStringLiteral("cmdNext"));
        click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
        ASSERT_TRUE(result().isVisible());
    }
    frmMain& result() { return wizard_->result(); }
    TipSlider* cycle() { return find<TipSlider>(result(), QStringLiteral("sldCycle")); }
    QCPBars* bars() {
        auto* chart = find<QCustomPlot>(result(), QStringLiteral("MSChart1"));
        return qobject_cast<QCPBars*>(chart->plottable(0));
    }
    test::RecordingDialogs dialogs_;
    QTemporaryDir dir_;
};

TEST_F(Result, TheWalkGivesTheReportOfTheHeadlessPlan) {
    walk(1, 1200, true); // Maize with the sprinkler package
    auto* wl = &wizard_->waterLevel();
    Q_UNUSED(wl);
    const std::string shown = richTextOf(*result().display()).text;
    const ScenarioParse parse =
        parseScenario(R"({"crop": "Maize", "soil": {"depth": 1200}, "sprinklerPackage": {}})");
    ASSERT_TRUE(parse.scenario);
    const PlanOutcome planned = runPlan(state_.CropData, *parse.scenario, {"", ""});
    ASSERT_TRUE(planned.result) << planned.problem;
    const std::string expected = planText(*planned.result);
    // The same report, time stamp aside.
    EXPECT_EQ(shown.substr(0, shown.rfind("\r\n")), expected.substr(0, expected.rfind("\r\n")));
    EXPECT_TRUE(result().display()->document()->firstBlock().text().contains(
        QStringLiteral("TAVIK+ Scheduling Result")));
    // Save writes the document that the headless plan writes (time stamp aside).
    const std::string saved = toRtf(richTextOf(*result().display()));
    const std::string plannedRtf = planRtf(*planned.result);
    EXPECT_EQ(saved.substr(0, saved.rfind("\\par")),
              plannedRtf.substr(0, plannedRtf.rfind("\\par")));
}

TEST_F(Result, TheCycleSliderRerunsTheSchedule) {
    walk(0, 900);
    const int runs = result().runs();
    EXPECT_EQ(result().engine().Cycle(), 5);
    cycle()->setSliderDown(true);
    cycle()->setSliderPosition(7);
    EXPECT_EQ(text(result(), QStringLiteral("lblCycle")), QStringLiteral("7days"));
    cycle()->setSliderDown(false);
    EXPECT_EQ(result().runs(), runs + 1);
    EXPECT_EQ(result().engine().Cycle(), 7);
    EXPECT_TRUE(
        result().display()->toPlainText().contains(QStringLiteral("Irrigation cycle: 7days")));
}

TEST_F(Result, TheChartHasABarPerIrrigationDayAndSwitchesToRunningTotals) {
    walk(8, 900); // Potatoes (winter): a 120-day season
    ASSERT_EQ(bars()->dataCount(), 25);
    EXPECT_GT(bars()->data()->at(0)->value, 0.0);
    EXPECT_EQ(bars()->data()->at(23)->value, 0.0);
    EXPECT_EQ(bars()->data()->at(24)->value, 0.0);
    auto* ticker = dynamic_cast<QCPAxisTickerText*>(
        find<QCustomPlot>(result(), QStringLiteral("MSChart1"))->xAxis->ticker().data());
    ASSERT_NE(ticker, nullptr);
    EXPECT_EQ(ticker->ticks().value(1), QStringLiteral("10"));
    EXPECT_EQ(ticker->ticks().value(25), QStringLiteral("130"));

    const int runs = result().runs();
    find<QRadioButton>(result(), QStringLiteral("optCumulative"))->click();
    EXPECT_EQ(result().runs(), runs) << "the chart is redrawn without running the schedule";
    // The bar stands at the chart's text of the 32-bit running total of day 120.
    const auto total = static_cast<float>(result().engine().CumulativeApplication()[120]);
    EXPECT_DOUBLE_EQ(bars()->data()->at(22)->value,
                     QString::fromStdString(sevenDigitText(total)).toDouble());
}

// At short cycles only every second (third, …) day is labelled, so that the upright labels do
// not run together; every bar keeps its tick and its value.
TEST_F(Result, DayLabelsAreThinnedWhereTheyWouldRunTogether) {
    walk(1, 900); // Maize: a 140-day season
    cycle()->setValue(2);
    auto* chart = find<QCustomPlot>(result(), QStringLiteral("MSChart1"));
    auto* ticker = dynamic_cast<QCPAxisTickerText*>(chart->xAxis->ticker().data());
    ASSERT_NE(ticker, nullptr);
    ASSERT_EQ(ticker->ticks().size(), bars()->dataCount());
    std::vector<double> labelled;
    for (auto it = ticker->ticks().constBegin(); it != ticker->ticks().constEnd(); ++it) {
        if (!it.value().isEmpty()) {
            labelled.push_back(chart->xAxis->coordToPixel(it.key()));
        }
    }
    ASSERT_GT(labelled.size(), 10U);
    EXPECT_LT(labelled.size(), static_cast<std::size_t>(bars()->dataCount()));
    const QFontMetrics metrics(chart->xAxis->tickLabelFont());
    for (std::size_t i = 1; i < labelled.size(); ++i) {
        EXPECT_GE(labelled[i] - labelled[i - 1], metrics.height()) << i;
    }
    cycle()->setValue(10); // few bars: all labelled
    ticker = dynamic_cast<QCPAxisTickerText*>(chart->xAxis->ticker().data());
    for (const QString& label : ticker->ticks()) {
        EXPECT_FALSE(label.isEmpty());
    }
}

// Going back to a cycle shows its report again, as laid out before; a report the user edited is
// not brought back with the edit.
TEST_F(Result, ACycleShownAgainShowsItsOwnReportWithoutEdits) {
    // One time stamp for every report, so that a slow run crossing a second compares alike.
    qputenv("SOURCE_DATE_EPOCH", "1796000000");
    walk(1, 900);
    cycle()->setValue(5);
    const QString five = result().display()->toPlainText();
    cycle()->setValue(2);
    const QString two = result().display()->toPlainText();
    ASSERT_NE(five, two);
    QTextCursor cursor(result().display()->document());
    cursor.insertText(QStringLiteral("checked by the adviser "));
    cycle()->setValue(5);
    EXPECT_EQ(result().display()->toPlainText(), five);
    cycle()->setValue(2);
    EXPECT_EQ(result().display()->toPlainText(), two) << "the edited report is laid out anew";
    EXPECT_TRUE(result().display()->document()->toPlainText().startsWith(QLatin1Char('\t')));
    qunsetenv("SOURCE_DATE_EPOCH");
}

// The report box (and the calendar in its place) and the chart grow with the window, the other
// controls keeping their places beside them: designed geometry at the designed size (also after
// being larger), and at any larger size nothing overlapping and nothing outside the window.
TEST_F(Result, TheReportAndTheChartGrowWithTheWindow) {
    walk(0, 900);
    find<QCheckBox>(result(), QStringLiteral("chkPlantingDate"))->setChecked(true);
    QWidget* client = result().client();
    const QSize designed = result().size();
    EXPECT_EQ(result().minimumSize(), designed);
    const auto at = [&](const char* name) {
        return find(*client, QLatin1String(name))->geometry();
    };
    const std::vector<const char*> names{"rtxtDisplay",     "tabResultView", "MSChart1",
                                         "chkPlantingDate", "Label4",        "fraGraphDisplay",
                                         "cmdBack",         "cmdAnotherCrop"};
    std::map<std::string, QRect> was;
    for (const char* name : names) {
        was[name] = at(name);
    }
    EXPECT_EQ(was["rtxtDisplay"], twipsRect(240, 600, 5415, 7575));
    EXPECT_EQ(was["cmdBack"], twipsRect(6780, 9840, 855, 495));
    for (const QSize extra : {QSize(1, 1), QSize(350, 10), QSize(0, 300), QSize(907, 611),
                              QSize(2000, 1200), QSize(0, 0)}) {
        SCOPED_TRACE(std::to_string(extra.width()) + "x" + std::to_string(extra.height()));
        result().resize(designed + extra);
        const QRect box = at("rtxtDisplay");
        const QRect chart = at("MSChart1");
        EXPECT_NEAR(box.width() - was["rtxtDisplay"].width(), extra.width() / 2.0, 1);
        EXPECT_EQ(box.width() + chart.width(),
                  was["rtxtDisplay"].width() + was["MSChart1"].width() + extra.width());
        EXPECT_EQ(box.height() - was["rtxtDisplay"].height(), extra.height());
        EXPECT_EQ(chart.height() - was["MSChart1"].height(), extra.height());
        EXPECT_EQ(at("tblCalendar"), box);
        for (std::size_t i = 0; i < names.size(); ++i) {
            EXPECT_TRUE(client->rect().contains(at(names[i]))) << names[i];
            EXPECT_TRUE(!extra.isNull() || at(names[i]) == was[names[i]]) << names[i];
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_FALSE(at(names[i]).intersects(at(names[j]))) << names[i] << names[j];
            }
        }
    }
}

TEST_F(Result, AnotherCropReturnsToTheCropScreenAsItWasLeft) {
    walk(3, 900); // Groundnuts
    auto* yield = find<QSlider>(wizard_->choice(), QStringLiteral("sldTargetYield"));
    const int value = yield->value();
    dialogs_.changes = Dialogs::Changes::Discard; // the plan was never saved: asked first
    click(result(), QStringLiteral("cmdAnotherCrop"));
    EXPECT_TRUE(wizard_->choice().isVisible());
    EXPECT_FALSE(result().isVisible());
    EXPECT_TRUE(wizard_->choice().option(3)->isChecked());
    EXPECT_EQ(yield->value(), value);
    EXPECT_EQ(state_.CropRow, 5);
    // Forward again: the schedule is run anew for what the screens now hold.
    wizard_->choice().option(9)->click(); // Sunflower
    click(wizard_->choice(), QStringLiteral("cmdNext"));
    click(wizard_->soilInfo(), QStringLiteral("cmdNext"));
    click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
    EXPECT_TRUE(
        result().display()->toPlainText().contains(QStringLiteral("Type of crop: Sunflower")));
}

TEST_F(Result, ClosingTheAboutBoxRerunsTheSchedule) {
    walk(0, 900);
    const int runs = result().runs();
    result().findChild<QAction*>(QStringLiteral("mnuHelpAbout"))->trigger();
    click(wizard_->about(), QStringLiteral("cmdOK"));
    EXPECT_EQ(result().runs(), runs + 1);
}

TEST_F(Result, SavingWritesTheBoxAsARichTextDocument) {
    walk(0, 900);
    const QString plan = dir_.filePath(QStringLiteral("plan.txt"));
    dialogs_.savePath = plan;
    ASSERT_TRUE(result().saveSchedule());
    EXPECT_EQ(dialogs_.lastFilters,
              QStringLiteral("All files (*.*);;Text _Files (*.txt);;Word_Document(*.doc)"));
    EXPECT_EQ(dialogs_.lastSuffix, QStringLiteral("txt"));
    const QByteArray rtf = test::readFile(plan);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1"));
    EXPECT_TRUE(rtf.contains("TAVIK+ Scheduling Result"));
    EXPECT_TRUE(rtf.contains("\\b") && rtf.contains("\\ul") && rtf.contains("\\fs24"));

    // Cancelled: nothing written, nothing said.
    dialogs_.savePath.reset();
    EXPECT_FALSE(result().saveSchedule());
    EXPECT_TRUE(notifier_.shown.empty());

    // A path that cannot be found: the screen's own message with the file and the reason
    // beneath it, and the earlier file stays.
    dialogs_.savePath = dir_.filePath(QStringLiteral("no/such/folder/plan.txt"));
    EXPECT_FALSE(result().saveSchedule());
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].title, "TAVIK+");
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::None);
    EXPECT_EQ(notifier_.shown[0].text.rfind("Error in path/file name\n\n\"", 0), 0U);
    EXPECT_NE(notifier_.shown[0].text.find("no/such/folder/plan.txt\": the folder"),
              std::string::npos)
        << notifier_.shown[0].text;
    EXPECT_EQ(test::readFile(plan), rtf);
}

// A full disk: neither the save nor the printout to a file replaces the earlier file, and
// the message names the file and the reason.
TEST_F(Result, AFullDiskKeepsTheEarlierFilesAndSaysWhy) {
    test::FullFolder full;
    if (!full.ready()) {
        GTEST_SKIP() << full.reason().toStdString();
    }
    walk(4, 900);
    cycle()->setValue(2);
    full.keep(QStringLiteral("plan.txt"), "the earlier plan");
    full.keep(QStringLiteral("plan.pdf"), "the earlier printout");
    full.fill();
    dialogs_.savePath = full.filePath(QStringLiteral("plan.txt"));
    dialogs_.pdf = full.filePath(QStringLiteral("plan.pdf"));
    EXPECT_FALSE(result().saveSchedule());
    EXPECT_EQ(result().printSchedule(), 0);
    EXPECT_FALSE(result().printChart());
    EXPECT_FALSE(wizard_->waterLevel().printSelection() > 0);
    ASSERT_EQ(notifier_.shown.size(), 4U);
    for (const test::Recorded& shown : notifier_.shown) {
        EXPECT_NE(shown.text.find(full.filePath(QStringLiteral("plan.")).toStdString()),
                  std::string::npos)
            << shown.text;
        EXPECT_TRUE(shown.text.find("No space left on device") != std::string::npos ||
                    shown.text.find("(is the disk full?)") != std::string::npos)
            << shown.text;
    }
    EXPECT_EQ(test::readFile(*dialogs_.savePath), "the earlier plan");
    EXPECT_EQ(test::readFile(dialogs_.pdf), "the earlier printout");
    EXPECT_TRUE(result().isVisible()) << "the screen stays as it was";
}

TEST_F(Result, AnEmptyBoxIsNeitherSavedNorPrinted) {
    walk(0, 900);
    result().display()->clear();
    dialogs_.savePath = dir_.filePath(QStringLiteral("x.txt"));
    dialogs_.pdf = dir_.filePath(QStringLiteral("x.pdf"));
    EXPECT_FALSE(result().saveSchedule());
    EXPECT_EQ(result().printSchedule(), 0);
    EXPECT_EQ(dialogs_.saveDialogs + dialogs_.printDialogs, 0);
    ASSERT_EQ(notifier_.shown.size(), 2U);
    EXPECT_EQ(notifier_.shown[1].text, frmMain::kEmptyBoxMessage);
    EXPECT_EQ(notifier_.shown[1].icon, Notifier::Icon::Warning);
}

TEST_F(Result, PrintingPutsTheTextOneInchFromThePapersEdges) {
    walk(4, 900);         // Cotton: a 180-day season
    cycle()->setValue(2); // a long table
    dialogs_.pdf = dir_.filePath(QStringLiteral("schedule.pdf"));
    const int pages = result().printSchedule();
    EXPECT_GE(pages, 2);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {dialogs_.pdf});
    ASSERT_TRUE(info.waitForFinished(20000));
    const QRegularExpression pageCount(QStringLiteral("Pages:\\s+(\\d+)"));
    EXPECT_EQ(pageCount.match(QString::fromUtf8(info.readAllStandardOutput())).captured(1).toInt(),
              pages);
    QProcess boxes;
    boxes.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), QStringLiteral("-f"), QStringLiteral("1"),
                 QStringLiteral("-l"), QStringLiteral("1"), dialogs_.pdf, QStringLiteral("-")});
    ASSERT_TRUE(boxes.waitForFinished(20000));
    const QString html = QString::fromUtf8(boxes.readAllStandardOutput());
    // The leftmost and topmost words sit one inch (72 points) in from the paper's edges.
    double left = 1e9;
    double top = 1e9;
    const QRegularExpression word(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\""));
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        left = std::min(left, match.captured(1).toDouble());
        top = std::min(top, match.captured(2).toDouble());
    }
    EXPECT_NEAR(left, 72.0, 3.0);
    EXPECT_NEAR(top, 72.0, 6.0);

    dialogs_.pdf = dir_.filePath(QStringLiteral("chart.pdf"));
    EXPECT_TRUE(result().printChart());
    EXPECT_TRUE(QFileInfo::exists(dialogs_.pdf));
}

class PrintedSchedule
    : public Result,
      public testing::WithParamInterface<std::tuple<bool, QPageSize::PageSizeId, int>> {};

// On paper the table's heading stands on one line within the margins, and on every page
// each figure (or its first word: "2*" of "2* 22") starts where its column's heading starts.
TEST_P(PrintedSchedule, FiguresStandUnderTheirHeadingsOnOneLine) {
    const auto [package, paper, days] = GetParam();
    walk(4, 900, package); // Cotton: a long season, over pages at short cycles
    cycle()->setValue(days);
    dialogs_.pdf = dir_.filePath(QStringLiteral("schedule.pdf"));
    dialogs_.paper = QPageSize(paper);
    ASSERT_GE(result().printSchedule(), days < 5 ? 2 : 1);
    QProcess boxes;
    boxes.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), dialogs_.pdf, "-"});
    ASSERT_TRUE(boxes.waitForFinished(20000));
    // The words of every line, keyed by page and height, with the left of each word.
    std::map<std::pair<int, int>, std::vector<std::pair<double, QString>>> lines;
    const QRegularExpression item(QStringLiteral(
        "<page width=\"([0-9.]+)\"|<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\""
        " yMax=\"[0-9.]+\">([^<]*)</word>"));
    int page = 0;
    double right = 0;
    for (auto it = item.globalMatch(QString::fromUtf8(boxes.readAllStandardOutput()));
         it.hasNext();) {
        const auto match = it.next();
        if (!match.captured(1).isEmpty()) {
            ++page;
            right = match.captured(1).toDouble() - 72; // one inch in from the paper's edge
            continue;
        }
        EXPECT_LE(match.captured(4).toDouble(), right + 0.5) << match.captured(5).toStdString();
        lines[{page, static_cast<int>(std::lround(match.captured(3).toDouble() * 4))}].emplace_back(
            match.captured(2).toDouble(), match.captured(5));
    }
    const QStringList columns =
        package ? QStringList{"DAP", "Irr.", "Running", "Recommended", "Cumulative"}
                : QStringList{"DAP", "Irr.", "Cumulative"};
    std::vector<double> starts;
    std::size_t rows = 0;
    const QRegularExpression figure(QStringLiteral("^(~?[0-9]+|[0-9]\\*|B/C\\*)$"));
    for (const auto& [where, line] : lines) {
        QStringList words;
        for (const auto& word : line) {
            words << word.second;
            if (starts.size() < static_cast<std::size_t>(columns.size()) &&
                columns.contains(word.second)) {
                starts.push_back(word.first);
            }
        }
        if (words.contains(QStringLiteral("DAP"))) {
            EXPECT_EQ(words.join(' ').toStdString(),
                      package ? "DAP (days) Irr. Application (mm) Running speed (%) Recommended "
                                "Speed Cumulative (mm)"
                              : "DAP (days) Irr. Application (mm) Cumulative (mm)");
        } else if (!starts.empty() && words.filter(figure).size() == words.size()) {
            ++rows;
            for (const double start : starts) {
                EXPECT_TRUE(std::any_of(
                    line.begin(), line.end(),
                    [start](const auto& word) { return std::abs(word.first - start) <= 0.5; }))
                    << "page " << where.first << ": " << words.join(' ').toStdString();
            }
        }
    }
    EXPECT_EQ(rows, result().engine().LastRun().irrigations.size());
}

INSTANTIATE_TEST_SUITE_P(Papers, PrintedSchedule,
                         testing::Values(std::tuple(true, QPageSize::A4, 3),
                                         std::tuple(false, QPageSize::A4, 3),
                                         std::tuple(true, QPageSize::Letter, 10),
                                         std::tuple(true, QPageSize::A5, 10)));

// Cotton with a 366-day season at peak demand from day 61 to day 300 and a demand divisor of
// 23 days: within every range of the workbook (a peak daily demand of 49 mm at the highest
// yield), but its daily demands add up to more than ten times its seasonal water use. Half
// of that demand is asked of the roots: the soil dries one pass (a PAWC of 37 mm).
class ImplausibleCrop : public Result {
protected:
    void SetUp() override {
        test::CsvRows rows = test::shippedCropCsv();
        std::vector<std::string>& cotton = rows.at(5);
        ASSERT_EQ(cotton.at(0), "Cotton");
        for (const auto& [column, value] : {std::pair{CropColumn::PeakStartDay, "60"},
                                            {CropColumn::PeakEndDay, "300"},
                                            {CropColumn::SeasonEndDay, "366"},
                                            {CropColumn::DemandDivisor, "23"},
                                            {CropColumn::UptakeRatio, "0.5"}}) {
            cotton.at(static_cast<std::size_t>(column - 1)) = value;
        }
        startWizard(rows);
        ASSERT_TRUE(loaded_);
        ASSERT_TRUE(state_.CropData.isOffered(6));
        wizard_->setDialogs(dialogs_);
    }
};

TEST_F(ImplausibleCrop, IsRefusedOnTheResultScreenAndHeadlessNamingTheRowAndTheSeason) {
    walk(4, 900); // Cotton
    ASSERT_EQ(notifier_.shown.size(), 1U);
    const std::string shown = notifier_.shown.back().text;
    const std::string prefix = "The schedule cannot be computed for this crop: ";
    ASSERT_EQ(shown.rfind(prefix, 0), 0U) << shown;
    const std::string why = shown.substr(prefix.size());
    EXPECT_EQ(why.rfind("Cotton (crop row 6 of the workbook) would be irrigated ", 0), 0U) << why;
    // Its seasonal water use at the recommended yield, (4000 + 2176) / 7.25 mm, and the season.
    EXPECT_NE(why.find(" mm in the season, more than 2 times the 851.9 mm it uses in the season "
                       "plus the 0.0 mm the plan stores in the soil"),
              std::string::npos)
        << why;
    EXPECT_GT(std::stod(why.substr(why.find("irrigated ") + 10)), 10 * 851.9);
    EXPECT_TRUE(result().isVisible());
    EXPECT_TRUE(result().display()->toPlainText().isEmpty());
    // Nor does the chart show the refused season, either way it is drawn.
    EXPECT_EQ(bars()->dataCount(), 0);
    click(result(), QStringLiteral("optCumulative"));
    EXPECT_EQ(bars()->dataCount(), 0);
    // Headless: the same refusal.
    const PlanOutcome planned =
        runPlan(state_.CropData,
                *parseScenario(R"({"crop": "Cotton", "soil": {"depth": 900}})").scenario, {"", ""});
    EXPECT_EQ(planned.problem, "the schedule is implausible: " + why);
    // The screen stays in use: every cycle is weighed again.
    cycle()->setValue(2);
    EXPECT_EQ(result().engine().Cycle(), 2);
    ASSERT_EQ(notifier_.shown.size(), 2U);
    EXPECT_NE(notifier_.shown.back().text.find("Cotton (crop row 6 of the workbook)"),
              std::string::npos);
}

} // namespace
} // namespace tavik
