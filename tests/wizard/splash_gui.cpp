// The splash screen's animation and its hand-over to the crop screen.

#include "GuiSupport.h"
#include "screens/frmChoice.h"
#include "screens/frmSplash.h"

#include <QTest>
#include <QTimer>

namespace tavik {
namespace {

class Splash : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        splash().show();
    }
    frmSplash& splash() { return wizard_->splash(); }
};

TEST_F(Splash, ShowsTheVersionAndRunsItsFourTimers) {
    EXPECT_EQ(text(splash(), QStringLiteral("lblVersion")), QStringLiteral("Version 1.0.0"));
    EXPECT_EQ(versionText(), QStringLiteral("Version 1.0.0"));
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(splash().timer(i)->isActive()) << i;
    }
    EXPECT_EQ(splash().timer(1)->interval(), 100);
    EXPECT_EQ(splash().timer(4)->interval(), 6000);
}

TEST_F(Splash, TheNameGrowsAndThePlusStopsGrowingPast690Twips) {
    const int startSize = splash().productName()->font().pointSize();
    const int startTop = splash().productName()->y();
    for (int i = 0; i < 35; ++i) {
        splash().Timer1Tick();
    }
    EXPECT_EQ(splash().productName()->font().pointSize(), startSize + 70);
    EXPECT_GT(splash().productName()->y(), startTop + 140); // 35 × 65 twips
    for (int i = 0; i < 100 && splash().timer(2)->isActive(); ++i) {
        splash().Timer2Tick();
    }
    EXPECT_FALSE(splash().timer(1)->isActive());
    EXPECT_FALSE(splash().timer(2)->isActive());
    EXPECT_EQ(splash().plus()->height(), 47); // 40 + 44 × 15 = 700 twips
}

TEST_F(Splash, AfterSixSecondsTheCropScreenTakesOver) {
    QTRY_VERIFY_WITH_TIMEOUT(wizard_->choice().isVisible(), 8000);
    EXPECT_FALSE(splash().isVisible());
    for (int i = 1; i <= 4; ++i) {
        EXPECT_FALSE(splash().timer(i)->isActive()) << i;
    }
}

TEST_F(Splash, AClickShowsTheCropScreenAtOnce) {
    QTest::mouseClick(find(splash(), QStringLiteral("Frame1")), Qt::LeftButton);
    EXPECT_TRUE(wizard_->choice().isVisible());
    EXPECT_FALSE(splash().isVisible());
    EXPECT_FALSE(wizard_->exited());
}

} // namespace
} // namespace tavik
