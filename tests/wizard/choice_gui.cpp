// The crop choice screen and the moves of the wizard, driven through the real widgets.

#include "GuiSupport.h"
#include "screens/TipSlider.h"
#include "screens/frmChoice.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmSoilInfo.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace tavik {
namespace {

class CropChoice : public test::WizardFixture {
protected:
    void SetUp() override {
        // Groundnuts with the yield range of a typical row: 1000 to 8000, recommended 4000.
        auto rows = test::shippedCropCsv();
        rows[4][CropColumn::MaxYield - 1] = "8000";
        startWizard(rows);
        ASSERT_TRUE(loaded_);
        choice().show();
    }
    frmChoice& choice() { return wizard_->choice(); }
    TipSlider* slider() { return find<TipSlider>(choice(), QStringLiteral("sldTargetYield")); }
};

TEST_F(CropChoice, AClickSetsTheRangeTheValueTheLabelsAndTheTargetYield) {
    choice().option(3)->click();
    EXPECT_EQ(state_.CropRow, 5);
    EXPECT_EQ(text(choice(), QStringLiteral("lblmin")), QStringLiteral("1000"));
    EXPECT_EQ(text(choice(), QStringLiteral("lblMax")), QStringLiteral("8000"));
    EXPECT_EQ(slider()->value(), 4000);
    EXPECT_EQ(text(choice(), QStringLiteral("lblTargetyield")), QStringLiteral("4000kg/ha"));
    EXPECT_EQ(state_.TargetYield, 4000.0F);
    EXPECT_EQ(slider()->toolTip(),
              QStringLiteral("Recommended yield value (4000Kg/ha), but you can change it"));
    EXPECT_EQ(choice().option(3)->palette().color(QPalette::ButtonText), QColor(255, 0, 0));

    // From a crop with higher yields down to one with lower ones and back up.
    choice().option(8)->click(); // Potatoes (winter): 20000..65000
    EXPECT_EQ(slider()->minimum(), 20000);
    EXPECT_EQ(slider()->maximum(), 65000);
    EXPECT_EQ(state_.TargetYield, 50000.0F);
    choice().option(7)->click(); // Dry beans: 1000..4000
    EXPECT_EQ(slider()->minimum(), 1000);
    EXPECT_EQ(slider()->maximum(), 4000);
    EXPECT_EQ(text(choice(), QStringLiteral("lblMax")), QStringLiteral("4000"));
    EXPECT_EQ(state_.CropRow, 9);
    EXPECT_EQ(state_.TargetYield, 2500.0F);
}

TEST_F(CropChoice, DraggingShowsEveryStepButSetsTheYieldWhenItSettles) {
    choice().option(0)->click(); // Wheat, 6000
    slider()->setSliderDown(true);
    slider()->setSliderPosition(7000);
    EXPECT_EQ(text(choice(), QStringLiteral("lblTargetyield")), QStringLiteral("7000kg/ha"));
    EXPECT_EQ(slider()->dragTipText(), QStringLiteral("7000kg/ha"));
    EXPECT_EQ(state_.TargetYield, 6000.0F) << "not yet settled";
    slider()->setSliderDown(false);
    EXPECT_EQ(state_.TargetYield, 7000.0F);
    EXPECT_EQ(slider()->toolTip(), QStringLiteral("7000 Kg/ha"));
}

TEST_F(CropChoice, TheRedCaptionFollowsTheFocus) {
    QApplication::setActiveWindow(&choice());
    QToolButton* wheat = choice().option(0);
    wheat->setFocus();
    wheat->click();
    EXPECT_EQ(wheat->palette().color(QPalette::ButtonText), QColor(255, 0, 0));
    slider()->setFocus();
    EXPECT_EQ(wheat->palette().color(QPalette::ButtonText), QColor(Qt::black));
    EXPECT_TRUE(wheat->isChecked()) << "the crop stays chosen";
    EXPECT_EQ(state_.CropRow, 2);
}

TEST_F(CropChoice, TheTabOrderStartsWithTheNinthCrop) {
    QWidget* focus = choice().option(8);
    QList<QWidget*> expected;
    for (int index : {9, 7, 4, 5, 6, 0, 3, 2, 1}) {
        expected << choice().option(index);
    }
    expected << find(choice(), QStringLiteral("cmdNext")) << slider()
             << find(choice(), QStringLiteral("chkPackage")) << choice().option(10);
    for (QWidget* next : expected) {
        focus = focus->nextInFocusChain();
        while (!(focus->focusPolicy() & Qt::TabFocus)) {
            focus = focus->nextInFocusChain();
        }
        EXPECT_EQ(focus, next) << next->objectName().toStdString();
    }
}

TEST_F(CropChoice, NextWithoutACropAsksForOne) {
    click(choice(), QStringLiteral("cmdNext"));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_NE(notifier_.shown[0].text.find("choose a crop"), std::string::npos);
    EXPECT_TRUE(choice().isVisible());
}

TEST_F(CropChoice, ThePackageBoxRoutesNextAndBack) {
    choice().option(1)->click();
    click(choice(), QStringLiteral("cmdNext"));
    EXPECT_TRUE(wizard_->soilInfo().isVisible());
    EXPECT_FALSE(choice().isVisible());
    click(wizard_->soilInfo(), QStringLiteral("cmdBack"));
    EXPECT_TRUE(choice().isVisible());
    EXPECT_FALSE(wizard_->soilInfo().isVisible());

    find<QCheckBox>(choice(), QStringLiteral("chkPackage"))->setChecked(true);
    click(choice(), QStringLiteral("cmdNext"));
    frmIrrigationInfo& package = wizard_->irrigationInfo();
    EXPECT_TRUE(package.isVisible());
    click(package, QStringLiteral("cmdNext"));
    EXPECT_TRUE(wizard_->soilInfo().isVisible());
    const double coefficient = state_.SpeedCoefficient;
    EXPECT_NEAR(coefficient, 547.54, 0.01);
    click(wizard_->soilInfo(), QStringLiteral("cmdBack"));
    EXPECT_TRUE(package.isVisible());
    click(package, QStringLiteral("cmdBack"));
    EXPECT_TRUE(choice().isVisible());

    // Unticking after the fit keeps the coefficients; the crop and yield stay as chosen.
    find<QCheckBox>(choice(), QStringLiteral("chkPackage"))->setChecked(false);
    EXPECT_EQ(state_.SpeedCoefficient, coefficient);
    EXPECT_TRUE(choice().option(1)->isChecked());
    EXPECT_EQ(slider()->value(), 10000);
}

TEST_F(CropChoice, FileExitEndsTheRun) {
    choice().exitAction()->trigger();
    EXPECT_TRUE(wizard_->exited());
    EXPECT_FALSE(choice().isVisible());
}

TEST_F(CropChoice, ClosingAScreensWindowEndsTheRunToo) {
    choice().option(0)->click();
    click(choice(), QStringLiteral("cmdNext"));
    EXPECT_TRUE(wizard_->soilInfo().close());
    EXPECT_TRUE(wizard_->exited());
    EXPECT_FALSE(choice().isVisible()) << "no hidden screen is left behind";
}

} // namespace
} // namespace tavik
