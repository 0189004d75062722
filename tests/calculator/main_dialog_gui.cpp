// The main dialog driven as a user drives it: the crop list, the fields' handlers, Calculate,
// the two views, Enter and Escape, and the refusals that keep the report writers to values
// they can use.

#include "CalcGuiSupport.h"
#include "report/HeadlessReport.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <sstream>

namespace tavikcalc {
namespace {

using Dlg = CTavikDlg;
using test::DialogDriver;

// The report the headless command writes for the same inputs, without its final CR LF.
QString headlessReport(const std::vector<std::string>& arguments) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(runReportCommand(arguments, out, err), kExitOk) << err.str();
    const std::string text = out.str();
    return QString::fromStdString(text.substr(0, text.size() - 2));
}

// The flood irrigation group is built hidden; the dialog works with it once it is shown.
void showFloodGroup(const DialogDriver& d) {
    d.dialog->findChild<QWidget*>(QStringLiteral("floodGroup"))->show();
    for (int id : {Dlg::IDC_FLOOD, Dlg::IDC_FLOW_CAPTION, Dlg::IDC_STREAM_FLOW,
                   Dlg::IDC_LAG_CAPTION, Dlg::IDC_LAG, Dlg::IDC_AREA_CAPTION, Dlg::IDC_AREA,
                   Dlg::IDC_PERIOD_CAPTION, Dlg::IDC_PERIOD_12, Dlg::IDC_PERIOD_24}) {
        d.control(id)->show();
    }
}

class MainDialog : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(d.open()); }
    bool enabled(int id) const { return d.control(id)->isEnabled(); }
    DialogDriver d;
};

TEST_F(MainDialog, OpensWithItsInitialStates) {
    auto* crops = d.control<QComboBox>(Dlg::IDC_CROP);
    ASSERT_EQ(crops->count(), 10);
    EXPECT_EQ(crops->currentIndex(), -1);
    EXPECT_EQ(d.text(Dlg::IDC_CYCLE), QStringLiteral("7"));
    EXPECT_EQ(d.text(Dlg::IDC_RESERVE), QStringLiteral("25"));
    EXPECT_EQ(d.text(Dlg::IDC_CROP_WATER), QStringLiteral("(Summer crop xxx;  Winter crop xxx)"));
    EXPECT_TRUE(d.control<QRadioButton>(Dlg::IDC_OVERHEAD)->isChecked());
    EXPECT_TRUE(d.control<QPushButton>(Dlg::IDC_INPUT_VIEW)->isChecked());
    EXPECT_FALSE(d.control(Dlg::IDC_FLOOD)->isVisible());
    for (int id : {Dlg::IDC_STREAM_FLOW, Dlg::IDC_LAG, Dlg::IDC_AREA, Dlg::IDC_PERIOD_12}) {
        EXPECT_FALSE(d.control(id)->isVisible()) << id;
        EXPECT_FALSE(enabled(id)) << id;
    }
    const auto* banner = d.dialog->findChild<QLabel*>(QStringLiteral("picture132"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->size(), QSize(239, 56));
}

TEST_F(MainDialog, ChoosingACropPresetsItsYieldAndLag) {
    d.chooseCrop(1); // Wheat: Growing season 170 days
    EXPECT_EQ(d.text(Dlg::IDC_GUIDELINE), QStringLiteral("6000"));
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("6000"));
    EXPECT_EQ(d.text(Dlg::IDC_LAG), QStringLiteral("40"));
    EXPECT_EQ(d.dialog->yieldTarget(), 6000.0);
    EXPECT_EQ(d.dialog->calculator().record().name, "Wheat 170");

    d.chooseCrop(7); // winter potatoes: every field of the row is rewritten
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("50000"));
    EXPECT_EQ(d.text(Dlg::IDC_LAG), QStringLiteral("30"));
    EXPECT_EQ(d.dialog->calculator().record().rampDays, 20);
    EXPECT_TRUE(d.dialogs.messages.empty());
}

TEST_F(MainDialog, AYieldAboveTheCropsMaximumIsSetToTheMaximum) {
    d.enter(Dlg::IDC_YIELD, QStringLiteral("12000")); // no crop yet: no maximum to hold to
    EXPECT_TRUE(d.dialogs.messages.empty());
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("12000"));

    d.chooseCrop(0);
    d.enter(Dlg::IDC_YIELD, QStringLiteral("12000"));
    ASSERT_EQ(d.dialogs.messages.size(), 1U);
    EXPECT_EQ(d.dialogs.messages[0].text,
              QStringLiteral("Maximum yield for this particular type of crop is 10000\n"
                             "Yield will be set to the maximum yield"));
    EXPECT_EQ(d.dialogs.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("10000"));
    EXPECT_EQ(d.dialog->yieldTarget(), 10000.0);

    d.enter(Dlg::IDC_YIELD, QStringLiteral("09000"));
    EXPECT_EQ(d.dialogs.messages.size(), 1U);
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("9000"));
    d.enter(Dlg::IDC_YIELD, QStringLiteral("9x0")); // the field takes digits only
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("90"));
}

TEST_F(MainDialog, ThePawcGivesTheSummerAndWinterCropsShare) {
    d.enter(Dlg::IDC_PAWC, QStringLiteral("75"));
    EXPECT_EQ(d.text(Dlg::IDC_CROP_WATER), QStringLiteral("(Summer Crop 37  Winter Crop 27)"));
    EXPECT_EQ(d.dialog->pawc(), 75.0);
    d.enter(Dlg::IDC_PAWC, QStringLiteral("-3.9 mm")); // fractions dropped towards zero
    EXPECT_EQ(d.text(Dlg::IDC_CROP_WATER), QStringLiteral("(Summer Crop -1  Winter Crop 0)"));
    d.enter(Dlg::IDC_PAWC, QStringLiteral("about 80"));
    EXPECT_EQ(d.text(Dlg::IDC_CROP_WATER), QStringLiteral("(Summer Crop 0  Winter Crop 0)"));
    EXPECT_EQ(d.dialog->pawc(), 0.0);
}

TEST_F(MainDialog, TheCycleFieldTurnsZeroIntoOneAndEnterChecksItsRange) {
    d.enter(Dlg::IDC_CYCLE, QStringLiteral("0"));
    EXPECT_EQ(d.text(Dlg::IDC_CYCLE), QStringLiteral("1"));
    d.enter(Dlg::IDC_CYCLE, QStringLiteral("29"));
    EXPECT_EQ(d.text(Dlg::IDC_CYCLE), QStringLiteral("29"));
    EXPECT_EQ(d.dialog->cycle(), 29);
    EXPECT_TRUE(d.dialogs.messages.empty());

    test::pressEnter(d.edit(Dlg::IDC_PAWC));
    ASSERT_EQ(d.dialogs.messages.size(), 1U);
    EXPECT_EQ(d.dialogs.messages[0].text,
              QStringLiteral("Please enter an integer between 1 and 28."));
    EXPECT_EQ(d.dialogs.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(d.dialog->isVisible());
    EXPECT_TRUE(d.edit(Dlg::IDC_CYCLE)->hasFocus());

    d.enter(Dlg::IDC_CYCLE, QStringLiteral("-3")); // the handler keeps negative text
    EXPECT_EQ(d.text(Dlg::IDC_CYCLE), QStringLiteral("-3"));
    test::pressEnter(d.edit(Dlg::IDC_PAWC), Qt::Key_Enter);
    EXPECT_EQ(d.dialogs.texts().back(), QStringLiteral("Please enter a positive integer."));
    EXPECT_TRUE(d.dialog->isVisible());

    d.edit(Dlg::IDC_CYCLE)->setText(QStringLiteral(" 28 "));
    test::pressEnter(d.edit(Dlg::IDC_CYCLE));
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_EQ(d.dialog->result(), QDialog::Accepted);
    EXPECT_EQ(d.dialog->cycle(), 28);
}

TEST_F(MainDialog, EscapeClosesWithoutChecking) {
    d.edit(Dlg::IDC_CYCLE)->setText(QStringLiteral("abc"));
    d.edit(Dlg::IDC_CYCLE)->setFocus();
    QTest::keyClick(d.edit(Dlg::IDC_CYCLE), Qt::Key_Escape);
    EXPECT_FALSE(d.dialog->isVisible());
    EXPECT_EQ(d.dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(d.dialogs.messages.empty());
}

TEST_F(MainDialog, EnterOnAButtonPressesIt) {
    auto* calculate = d.control<QPushButton>(Dlg::IDC_CALCULATE);
    calculate->setFocus();
    QTest::keyClick(calculate, Qt::Key_Return);
    EXPECT_TRUE(d.dialog->isVisible());
    EXPECT_EQ(d.dialogs.texts(),
              std::vector{QStringLiteral("Please choose the type of crop first.")});
}

TEST_F(MainDialog, TheOutputViewLetsTheReportCoverTheFields) {
    const QRect input = d.control(Dlg::IDC_REPORT)->geometry();
    const QRect list = d.control(Dlg::IDC_CROP)->geometry();
    const QRect inputButton = d.control(Dlg::IDC_INPUT_VIEW)->geometry();
    const int offset = input.top() - (list.top() + inputButton.top() + inputButton.height()) / 2;

    d.click(Dlg::IDC_OUTPUT_VIEW);
    EXPECT_EQ(d.dialog->layoutOffset(), offset);
    EXPECT_EQ(d.control(Dlg::IDC_REPORT)->geometry(), input.adjusted(0, -offset, 0, 0));
    for (int id : {Dlg::IDC_CROP, Dlg::IDC_YIELD, Dlg::IDC_CALCULATE, Dlg::IDC_CYCLE,
                   Dlg::IDC_SOIL_PROFILE, Dlg::IDC_OVERHEAD, Dlg::IDC_GUIDELINE}) {
        EXPECT_FALSE(enabled(id)) << id;
    }
    EXPECT_TRUE(enabled(Dlg::IDC_PRINT));
    d.click(Dlg::IDC_OUTPUT_VIEW); // already there: nothing moves
    EXPECT_EQ(d.control(Dlg::IDC_REPORT)->geometry(), input.adjusted(0, -offset, 0, 0));

    d.click(Dlg::IDC_INPUT_VIEW);
    EXPECT_EQ(d.control(Dlg::IDC_REPORT)->geometry(), input);
    EXPECT_TRUE(enabled(Dlg::IDC_CYCLE));
    EXPECT_TRUE(enabled(Dlg::IDC_CALCULATE));
    EXPECT_FALSE(enabled(Dlg::IDC_STREAM_FLOW)); // the method's fields only

    // With the flood method the input view enables the flood fields instead.
    showFloodGroup(d);
    d.click(Dlg::IDC_FLOOD);
    d.click(Dlg::IDC_OUTPUT_VIEW);
    d.click(Dlg::IDC_INPUT_VIEW);
    EXPECT_EQ(d.control(Dlg::IDC_REPORT)->geometry(), input);
    EXPECT_FALSE(enabled(Dlg::IDC_CYCLE));
    for (int id : {Dlg::IDC_STREAM_FLOW, Dlg::IDC_LAG, Dlg::IDC_AREA, Dlg::IDC_PERIOD_24}) {
        EXPECT_TRUE(enabled(id)) << id;
    }
}

TEST_F(MainDialog, CalculateWritesTheReportAndShowsIt) {
    d.chooseCrop(0);
    d.enter(Dlg::IDC_PAWC, QStringLiteral("100"));
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_EQ(d.dialog->reportText(),
              headlessReport({"--report", "overhead", "--crop", "0", "--pawc", "100"}));
    EXPECT_EQ(d.dialog->view(), Dlg::OutputView);
    EXPECT_TRUE(d.control<QPushButton>(Dlg::IDC_OUTPUT_VIEW)->isChecked());
    EXPECT_FALSE(d.control<QPushButton>(Dlg::IDC_INPUT_VIEW)->isChecked());
    EXPECT_EQ(d.dialog->usableWater(), 75.0);

    // A second report replaces the first entirely.
    d.click(Dlg::IDC_INPUT_VIEW);
    d.enter(Dlg::IDC_CYCLE, QStringLiteral("10"));
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_EQ(d.dialog->reportText(), headlessReport({"--report", "overhead", "--crop", "0",
                                                      "--pawc", "100", "--cycle", "10"}));
    EXPECT_EQ(d.dialog->reportText().count(QStringLiteral("Processed by TAVIK.")), 1);
    EXPECT_TRUE(d.dialogs.messages.empty());
}

TEST_F(MainDialog, ReportsEqualTheHeadlessCommandsForTheSameInputs) {
    d.chooseCrop(3);
    d.enter(Dlg::IDC_YIELD, QStringLiteral("12000"));
    d.enter(Dlg::IDC_PAWC, QStringLiteral("80"));
    d.enter(Dlg::IDC_RESERVE, QStringLiteral("30"));
    d.enter(Dlg::IDC_CYCLE, QStringLiteral("5"));
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_EQ(d.dialog->reportText(),
              headlessReport({"--report", "overhead", "--crop", "3", "--yield", "12000", "--pawc",
                              "80", "--reserve", "30", "--cycle", "5"}));

    // The flood report, its controls once shown.
    d.click(Dlg::IDC_INPUT_VIEW);
    showFloodGroup(d);
    d.chooseCrop(9);
    d.enter(Dlg::IDC_PAWC, QStringLiteral("60"));
    d.click(Dlg::IDC_FLOOD);
    d.enter(Dlg::IDC_STREAM_FLOW, QStringLiteral("150"));
    d.enter(Dlg::IDC_LAG, QStringLiteral("35"));
    d.enter(Dlg::IDC_AREA, QStringLiteral("2.5"));
    d.click(Dlg::IDC_PERIOD_24);
    EXPECT_EQ(d.dialog->periodHours(), 24);
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_EQ(d.dialog->reportText(),
              headlessReport({"--report", "flood", "--crop", "9", "--pawc", "60", "--flow", "150",
                              "--lag", "35", "--area", "2.5", "--hours", "24"}));
    EXPECT_TRUE(d.dialogs.messages.empty());
}

TEST_F(MainDialog, CalculateRefusesWhatTheReportCannotUseAndNamesTheField) {
    d.click(Dlg::IDC_CALCULATE);
    d.click(Dlg::IDC_SOIL_PROFILE);
    ASSERT_EQ(d.dialogs.messages.size(), 2U);
    EXPECT_EQ(d.dialogs.messages[0].text, QStringLiteral("Please choose the type of crop first."));
    EXPECT_TRUE(d.dialogs.messages[1].text.startsWith(
        QStringLiteral("Please choose the type of crop first")));
    EXPECT_TRUE(d.dialogs.modalDialogs.empty());

    d.chooseCrop(0);
    d.enter(Dlg::IDC_CYCLE, QStringLiteral("-2"));
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_EQ(d.dialogs.texts().back(), QStringLiteral("Please enter a positive integer."));
    EXPECT_TRUE(d.edit(Dlg::IDC_CYCLE)->hasFocus());

    d.enter(Dlg::IDC_CYCLE, QStringLiteral("7"));
    d.enter(Dlg::IDC_PAWC, QStringLiteral("1e999")); // beyond a double
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_TRUE(d.dialogs.texts().back().startsWith(
        QStringLiteral("Profile available water capacity [mm]: the number is too large")));
    d.enter(Dlg::IDC_PAWC, QStringLiteral("100"));

    showFloodGroup(d);
    d.click(Dlg::IDC_FLOOD);
    d.click(Dlg::IDC_CALCULATE); // no area
    EXPECT_TRUE(d.dialogs.texts().back().startsWith(QStringLiteral("Area to be irrigated [ha]")));
    d.enter(Dlg::IDC_AREA, QStringLiteral("1"));
    d.enter(Dlg::IDC_LAG, QStringLiteral("-1"));
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_TRUE(d.dialogs.texts().back().startsWith(QStringLiteral("Lag (No. of days")));
    EXPECT_EQ(d.dialogs.messages.size(), 6U);
    EXPECT_TRUE(d.dialog->reportText().isEmpty());
    EXPECT_EQ(d.dialog->view(), Dlg::InputView);

    d.enter(Dlg::IDC_LAG, QStringLiteral("30"));
    d.enter(Dlg::IDC_STREAM_FLOW, QStringLiteral("150"));
    d.click(Dlg::IDC_CALCULATE);
    EXPECT_EQ(d.dialogs.messages.size(), 6U);
    EXPECT_FALSE(d.dialog->reportText().isEmpty());
}

// One field at a time holds what no report can use, the others a good programme for Wheat
// 150 (overhead; flood with its group shown): Calculate names the field and what it needs,
// puts the focus in it and writes no report.
TEST(CalculateRefuses, NamesTheFieldAndPutsTheFocusInIt) {
    const struct {
        bool flood;
        int field;
        const char* text;
        const char* message; // its start
    } refusals[] = {
        {false, Dlg::IDC_CYCLE, "29", "Please enter an integer between 1 and 28."},
        {false, Dlg::IDC_PAWC, "",
         "Profile available water capacity [mm]: please enter the profile's available water "
         "capacity, more than 0 mm, or specify the soil profile."},
        {false, Dlg::IDC_PAWC, "1e308",
         "Profile available water capacity [mm]: the number is too large to calculate with; "
         "please enter at most 1000 mm."},
        {false, Dlg::IDC_RESERVE, "-5",
         "Required rain storage capacity to be reserved [mm]: please enter 0 mm"},
        {true, Dlg::IDC_STREAM_FLOW, "0",
         "Stream flow m³/h: please enter the stream flow, more than 0 m³/h"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.message);
        DialogDriver d;
        ASSERT_TRUE(d.open());
        d.chooseCrop(0);
        d.enter(Dlg::IDC_PAWC, QStringLiteral("100"));
        if (r.flood) {
            showFloodGroup(d);
            d.click(Dlg::IDC_FLOOD);
            d.enter(Dlg::IDC_AREA, QStringLiteral("1"));
            d.enter(Dlg::IDC_STREAM_FLOW, QStringLiteral("150"));
        }
        d.enter(r.field, QString::fromUtf8(r.text));
        d.click(Dlg::IDC_CALCULATE);
        ASSERT_EQ(d.dialogs.messages.size(), 1U);
        EXPECT_TRUE(d.dialogs.messages[0].text.startsWith(QString::fromUtf8(r.message)))
            << d.dialogs.messages[0].text.toStdString();
        EXPECT_TRUE(d.edit(r.field)->hasFocus());
        EXPECT_TRUE(d.dialog->reportText().isEmpty());
    }
}

TEST_F(MainDialog, TheContextMenuOpensTheAboutBox) {
    QAction* about = d.dialog->aboutAction();
    EXPECT_EQ(about->text(), QStringLiteral("&About Tavik..."));
    EXPECT_TRUE(d.dialog->actions().contains(about));
    EXPECT_EQ(d.dialog->contextMenuPolicy(), Qt::ActionsContextMenu);
    bool closedWithOk = false;
    d.dialogs.modalScript = [&](QDialog& box) {
        EXPECT_TRUE(box.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(box.size(), QSize(520, 317));
        box.findChild<QPushButton*>(QStringLiteral("IDOK"))->click();
        closedWithOk = box.result() == QDialog::Accepted && !box.isVisible();
    };
    about->trigger();
    EXPECT_EQ(d.dialogs.modalDialogs, std::vector{QStringLiteral("CAboutDlg")});
    EXPECT_TRUE(closedWithOk);
    // F1 reaches it too, from any field of the dialog.
    d.dialog->activateWindow();
    d.edit(Dlg::IDC_PAWC)->setFocus();
    QTest::keyClick(d.edit(Dlg::IDC_PAWC), Qt::Key_F1);
    EXPECT_EQ(d.dialogs.modalDialogs.size(), 2U);
}

// Every control the keyboard reaches has a name a screen reader can say (its caption), and Tab
// walks the fields in order.
TEST_F(MainDialog, EveryFieldHasANameAndTabWalksThem) {
    for (QWidget* widget : d.dialog->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(d.dialog.get()) || !(widget->focusPolicy() & Qt::TabFocus) ||
            widget->focusProxy() != nullptr) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        ASSERT_NE(accessible, nullptr);
        EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
            << widget->objectName().toStdString();
    }
    QAccessibleInterface* pawc = QAccessible::queryAccessibleInterface(d.edit(Dlg::IDC_PAWC));
    EXPECT_TRUE(pawc->text(QAccessible::Name).startsWith(QStringLiteral("or enter profile")));
    d.edit(Dlg::IDC_YIELD)->setFocus(Qt::TabFocusReason);
    QTest::keyClick(d.edit(Dlg::IDC_YIELD), Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), d.edit(Dlg::IDC_YIELD)) << "Tab moves on";
}

// The wheel over the crop list changes the crop only once the list has the focus: passing
// over it keeps the crop and the yield the user typed.
TEST_F(MainDialog, TheWheelPassingOverTheCropListChangesNothing) {
    d.chooseCrop(2);
    d.enter(Dlg::IDC_YIELD, QStringLiteral("5000"));
    d.edit(Dlg::IDC_PAWC)->setFocus();
    auto* list = d.control<QComboBox>(Dlg::IDC_CROP);
    const QPoint centre = list->rect().center();
    QWheelEvent wheel(centre, list->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &wheel);
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_EQ(d.text(Dlg::IDC_YIELD), QStringLiteral("5000"));
    list->setFocus();
    QWheelEvent again(centre, list->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &again);
    EXPECT_EQ(list->currentIndex(), 3) << "with the focus the wheel chooses";
}

// Tab walks the controls in the order they are made: every control of the dialog, in that
// order, with the field each caption names for a screen reader.
TEST_F(MainDialog, ControlsFollowEachOtherInTheirTabOrder) {
    QStringList chain;
    for (QWidget* w = d.dialog->nextInFocusChain(); w != d.dialog.get();
         w = w->nextInFocusChain()) {
        if (w->parentWidget() != d.dialog.get()) {
            continue; // the parts of a control (a list's line edit)
        }
        QString entry = w->objectName().isEmpty()
                            ? QString::fromLatin1(w->metaObject()->className())
                            : w->objectName();
        if (const auto* label = qobject_cast<QLabel*>(w); label && label->buddy()) {
            entry += QStringLiteral(">") + label->buddy()->objectName();
        }
        chain << entry;
    }
    const QStringList expected = {
        // the crop and its yield
        "QLabel>id1000", "id1000", "QLabel>id1001", "id1007", "id1001",
        // the soil's water
        "id1002", "QLabel>id1004", "id1004", "QLabel>id1005", "id1005", "id1011",
        // overhead irrigation
        "overheadGroup", "id1008", "id1017>id1010", "id1010",
        // flood irrigation
        "floodGroup", "id1009", "id1018>id1014", "id1014", "id1019>id1016", "id1016",
        "id1020>id1015", "id1015", "id1021", "id1012", "id1013",
        // the picture, the buttons and the report
        "picture132", "id1006", "id1023", "id1024", "id1029", "rule", "id1003"};
    EXPECT_EQ(chain, expected) << chain.join(QLatin1Char(' ')).toStdString();
}

} // namespace
} // namespace tavikcalc
