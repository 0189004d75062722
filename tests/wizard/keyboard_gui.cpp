// The wizard without a mouse: every screen is walked with the keyboard alone, and every control
// a user can reach has a name a screen reader can say.

#include "GuiSupport.h"
#include "screens/TipSlider.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"

#include <QAccessible>
#include <QCheckBox>
#include <QTest>
#include <QTextEdit>
#include <functional>

namespace tavik {
namespace {

class Keyboard : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
    }
    // Shows a screen as the active window.
    static bool activate(QWidget& screen) {
        screen.show();
        screen.activateWindow();
        return QTest::qWaitForWindowActive(&screen);
    }
    static void press(QWidget& screen, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = screen.focusWidget() != nullptr ? screen.focusWidget() : &screen;
        QTest::keyClick(target, key, modifiers);
        if (modifiers & Qt::AltModifier) {
            QTest::qWait(250); // a button's key clicks it the way a mouse does, animated
        }
    }
    // A fresh run walked with the mouse to a screen (Wheat with the sprinkler package; no crop
    // chosen on the crop screen), shown as the active window.
    QWidget& reach(const char* name) {
        state_ = mType{};
        startWizard();
        frmChoice& choice = wizard_->choice();
        choice.show();
        if (std::string_view(name) != "frmChoice") {
            choice.option(0)->click();
            find<QCheckBox>(choice, QStringLiteral("chkPackage"))->setChecked(true);
        }
        for (QWidget* screen :
             std::initializer_list<QWidget*>{&choice, &wizard_->irrigationInfo(),
                                             &wizard_->soilInfo(), &wizard_->waterLevel()}) {
            if (screen->objectName() == QLatin1String(name)) {
                EXPECT_TRUE(activate(*screen)) << name;
                return *screen;
            }
            click(*screen, QStringLiteral("cmdNext"));
        }
        EXPECT_TRUE(activate(wizard_->result()));
        return wizard_->result();
    }
    // The names of the screens shown.
    std::string shownScreens() const {
        std::string names;
        for (QWidget* screen : wizard_->madeScreens()) {
            names += screen->isVisible() ? screen->objectName().toStdString() : "";
        }
        return names;
    }
    static std::string focused(const QWidget& screen) {
        return screen.focusWidget() != nullptr ? screen.focusWidget()->objectName().toStdString()
                                               : std::string();
    }
    // Every control on the screen that the keyboard reaches has a name to be read out.
    static void expectNamed(QWidget& screen) {
        for (QWidget* widget : screen.findChildren<QWidget*>()) {
            if (!widget->isVisibleTo(&screen) || !(widget->focusPolicy() & Qt::TabFocus) ||
                widget->focusProxy() != nullptr) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(accessible, nullptr) << widget->objectName().toStdString();
            EXPECT_FALSE(accessible->text(QAccessible::Name).trimmed().isEmpty())
                << screen.objectName().toStdString() << ": " << widget->objectName().toStdString();
        }
    }
};

TEST_F(Keyboard, TheWholeWizardWalksWithoutAMouse) {
    frmChoice& choice = wizard_->choice();
    ASSERT_TRUE(activate(choice));
    expectNamed(choice);
    // Tab reaches a crop; Space chooses it.
    for (int i = 0; i < 30 && qobject_cast<QToolButton*>(choice.focusWidget()) == nullptr; ++i) {
        press(choice, Qt::Key_Tab);
    }
    ASSERT_NE(qobject_cast<QToolButton*>(choice.focusWidget()), nullptr);
    press(choice, Qt::Key_Space);
    EXPECT_NE(state_.CropRow, 0);
    press(choice, Qt::Key_N, Qt::AltModifier);

    frmSoilInfo& soil = wizard_->soilInfo();
    ASSERT_TRUE(soil.isVisible());
    ASSERT_TRUE(activate(soil));
    expectNamed(soil);
    auto* depth = soil.findChild<TipSlider*>(QStringLiteral("sldSoilDepth"));
    depth->setFocus(Qt::TabFocusReason);
    press(soil, Qt::Key_PageDown); // 200 mm deeper
    EXPECT_EQ(depth->value(), 767);
    EXPECT_EQ(soil.layerRows(), 3);
    press(soil, Qt::Key_N, Qt::AltModifier);

    frmWaterLevel& levels = wizard_->waterLevel();
    ASSERT_TRUE(levels.isVisible());
    ASSERT_TRUE(activate(levels));
    expectNamed(levels);
    levels.slider(0, Stage::PeakEnd)->setFocus(Qt::TabFocusReason);
    press(levels, Qt::Key_Right);
    EXPECT_EQ(levels.slider(0, Stage::PeakEnd)->value(), 101);
    press(levels, Qt::Key_N, Qt::AltModifier);

    frmMain& result = wizard_->result();
    ASSERT_TRUE(result.isVisible());
    ASSERT_TRUE(activate(result));
    expectNamed(result);
    auto* cycle = result.findChild<TipSlider*>(QStringLiteral("sldCycle"));
    cycle->setFocus(Qt::TabFocusReason);
    const int runs = result.runs();
    press(result, Qt::Key_Left);
    EXPECT_EQ(cycle->value(), 4);
    EXPECT_GT(result.runs(), runs) << "the schedule follows the keys";
    press(result, Qt::Key_B, Qt::AltModifier);
    EXPECT_TRUE(levels.isVisible()) << "Back, by its key";
}

// Return and keypad Enter press the push button that has the focus, on every screen; where
// the press is refused with a message that names a box, the focus is in that box, its text
// selected to be typed over.
TEST_F(Keyboard, ReturnPressesTheFocusedButtonAndARefusalFocusesTheBoxItNames) {
    const auto amount = [](int row, const char* typed) {
        return [=](QWidget& screen) {
            static_cast<frmIrrigationInfo&>(screen).amountBox(row)->setText(typed);
        };
    };
    const auto soil = [this](int depth, int siltClay, int yield) {
        return [=, this](QWidget& screen) {
            find<QSlider>(wizard_->choice(), QStringLiteral("sldTargetYield"))->setValue(yield);
            auto* slider = find<TipSlider>(screen, QStringLiteral("sldSoilDepth"));
            slider->setSliderPosition(depth);
            slider->triggerAction(QAbstractSlider::SliderMove);
            find<QSlider>(screen, QStringLiteral("sldLayer_0"))->setValue(siltClay);
        };
    };
    const auto wheat = [this](QWidget&) {
        wizard_->choice().option(0)->click();
    };
    struct Press {
        const char* screen;
        std::function<void(QWidget&)> enter; // what the user entered first, if anything
        const char* button;
        const char* after; // the screen shown next, or the box with the focus
    };
    const Press presses[] = {
        {"frmChoice", wheat, "cmdNext", "frmSoilInfo"},
        {"frmChoice", nullptr, "cmdNext", "Option1_8"},
        {"frmIrrigationInfo", nullptr, "cmdBack", "frmChoice"},
        {"frmIrrigationInfo", amount(0, ""), "cmdNext", "txtWaterAmount_0"},
        {"frmIrrigationInfo", amount(21, "."), "cmdNext", "txtWaterAmount_21"},
        {"frmIrrigationInfo", nullptr, "cmdNext", "frmSoilInfo"},
        {"frmSoilInfo", soil(120, 20, 6000), "cmdNext", "txtsoilDepth"},
        {"frmSoilInfo", soil(300, 1, 10000), "cmdNext", "txtLayer_0"},
        {"frmSoilInfo", nullptr, "cmdNext", "frmWaterLevel"},
        {"frmWaterLevel", nullptr, "cmdNext", "frmMain"},
        {"frmMain", nullptr, "cmdBack", "frmWaterLevel"},
    };
    bool keypad = false;
    for (const Press& p : presses) {
        SCOPED_TRACE(std::string(p.screen) + " " + p.button + " " + p.after);
        QWidget& screen = reach(p.screen);
        if (p.enter) {
            p.enter(screen);
        }
        find(screen, QString::fromLatin1(p.button))->setFocus(Qt::TabFocusReason);
        const std::size_t messages = notifier_.shown.size();
        keypad = !keypad;
        press(screen, keypad ? Qt::Key_Enter : Qt::Key_Return,
              keypad ? Qt::KeypadModifier : Qt::NoModifier);
        const bool refused = !std::string_view(p.after).starts_with("frm");
        EXPECT_EQ(notifier_.shown.size(), messages + (refused ? 1 : 0));
        EXPECT_EQ(shownScreens(), refused ? p.screen : p.after);
        if (refused) {
            EXPECT_EQ(focused(screen), p.after);
            QTest::qWait(0); // a box selects its text once it has the focus
            auto* box = qobject_cast<QLineEdit*>(screen.focusWidget());
            EXPECT_TRUE(box == nullptr || box->selectedText() == box->text());
        }
    }
}

// Tab runs down the soil screen, through the layer rows before Back and Next, also after rows
// were made and unmade by a change of depth, and Shift+Tab back up; in the result screen's
// report Tab and Shift+Tab go on to other controls and type nothing into the report, which can
// still be edited.
TEST_F(Keyboard, TabRunsDownTheSoilScreenAndOutOfTheReport) {
    auto& soil = static_cast<frmSoilInfo&>(reach("frmSoilInfo"));
    auto* depth = find<TipSlider>(soil, QStringLiteral("sldSoilDepth"));
    for (int d : {567, 2000, 149, 300, 1000}) {
        SCOPED_TRACE(d);
        depth->setSliderPosition(d);
        depth->triggerAction(QAbstractSlider::SliderMove);
        std::vector<std::string> expected{"sldSoilDepth", "txtsoilDepth", "chkDeepRipped"};
        for (int row = 0; row < soil.layerRows() && d >= 150; ++row) {
            expected.push_back("sldLayer_" + std::to_string(row));
            expected.push_back("txtLayer_" + std::to_string(row));
        }
        expected.insert(expected.end(), {"cmdBack", "cmdNext"});
        std::vector<std::string> down;
        std::vector<std::string> up;
        depth->setFocus(Qt::TabFocusReason);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            down.push_back(focused(soil));
            press(soil, Qt::Key_Tab);
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            press(soil, Qt::Key_Backtab, Qt::ShiftModifier);
            up.insert(up.begin(), focused(soil));
        }
        EXPECT_EQ(down, expected);
        EXPECT_EQ(up, expected);
    }

    auto& result = static_cast<frmMain&>(reach("frmMain"));
    QTextEdit* box = result.display();
    const std::string report = box->toPlainText().toStdString();
    for (const auto key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        box->setFocus(Qt::TabFocusReason);
        box->moveCursor(QTextCursor::Down);
        press(result, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        EXPECT_NE(result.focusWidget(), box);
        EXPECT_EQ(box->toPlainText().toStdString(), report);
    }
    box->moveCursor(QTextCursor::Start);
    QTest::keyClicks(box, QStringLiteral("Checked: "));
    EXPECT_EQ(box->toPlainText().toStdString(), "Checked: " + report);
}

} // namespace
} // namespace tavik
