// The cycle comparison on the result screen: the row of the slider's cycle is what the
// result screen shows, and choosing a row moves the slider.

#include "GuiSupport.h"
#include "screens/CompareCycles.h"
#include "screens/PlanFiles.h"
#include "screens/TipSlider.h"
#include "screens/frmMain.h"

#include <QPushButton>
#include <QTableWidget>

namespace tavik {
namespace {

TEST(CompareCyclesScreen, EachRowIsTheResultScreensScheduleAndAChosenRowMovesTheSlider) {
    for (const char* plan :
         {"examples/maize-centre-pivot.json", "tests/wizard/golden/beyond-capacity/scenario.json",
          "examples/potatoes-shallow-sand.json"}) {
        SCOPED_TRACE(plan);
        test::Session session;
        ASSERT_TRUE(session.loaded);
        Wizard& wizard = *session.wizard;
        ASSERT_TRUE(
            wizard.plans().open(test::sourcePath(QString::fromLatin1(plan)), wizard.choice()));
        frmMain& result = wizard.result();
        auto* slider = result.findChild<TipSlider*>(QStringLiteral("sldCycle"));
        const bool package = wizard.choice().packageTicked();
        for (int cycle = kFirstCycle; cycle <= kLastCycle; ++cycle) {
            SCOPED_TRACE(cycle);
            result.setCycle(cycle);
            const CycleFigures shown =
                cycleFigures(result.engine().LastRun(), result.engine().Cycle(), package);
            result.findChild<QAction*>(QStringLiteral("mnuFileCompareCycles"))->trigger();
            auto* dialog = result.findChild<CompareCycles*>(QStringLiteral("dlgCompareCycles"));
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(session.notifier.shown.empty()) << session.notifier.shown.front().text;
            EXPECT_EQ(dialog->chosenCycle(), cycle) << "the slider's row is chosen at the start";
            QTableWidget* table = dialog->table();
            ASSERT_EQ(table->rowCount(), 9);
            const int row = cycle - kFirstCycle;
            const auto text = [table, row](int column) {
                return table->item(row, column)->text();
            };
            EXPECT_EQ(text(1), QString::number(shown.irrigations));
            EXPECT_EQ(text(2), QString::number(shown.seasonTotal, 'f', 1));
            EXPECT_EQ(text(3), QString::number(shown.peakRate, 'f', 1));
            EXPECT_EQ(text(4), QString::number(shown.largestApplication, 'f', 1));
            EXPECT_EQ(text(5), QString::number(shown.beyondCapacityDays));
            EXPECT_EQ(text(table->columnCount() - 1), QString::number(shown.lastIrrigationDay));
            EXPECT_EQ(table->columnCount(), package ? 8 : 7) << "split days only with the package";
            // Another row chosen moves the slider there and closes the comparison.
            const int other = cycle == kLastCycle ? kFirstCycle : cycle + 1;
            table->selectRow(other - kFirstCycle);
            dialog->findChild<QPushButton*>(QStringLiteral("cmdUseCycle"))->click();
            EXPECT_EQ(slider->value(), other);
            EXPECT_EQ(result.engine().Cycle(), other) << "and the schedule is run for it";
            EXPECT_FALSE(dialog->isVisible());
        }
    }
}

} // namespace
} // namespace tavik
