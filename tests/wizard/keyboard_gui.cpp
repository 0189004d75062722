// The wizard without a mouse: every screen is walked with the keyboard alone, and every control
// a user can reach has a name a screen reader can say.

#include "GuiSupport.h"
#include "screens/TipSlider.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"

#include <QAccessible>
#include <QTest>

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

} // namespace
} // namespace tavik
