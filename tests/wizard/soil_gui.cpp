// The soil information screen: the depth layout with its layer rows, typed values, and Next.

#include "GuiSupport.h"
#include "model/cProfile.h"
#include "screens/TipSlider.h"
#include "screens/frmChoice.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"

#include <QCheckBox>
#include <QTest>

namespace tavik {
namespace {

class SoilInfo : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->choice().option(0)->click(); // Wheat
        soil().show();
    }
    frmSoilInfo& soil() { return wizard_->soilInfo(); }
    TipSlider* depthSlider() { return find<TipSlider>(soil(), QStringLiteral("sldSoilDepth")); }
    // Moves the depth slider as a user would.
    void drag(int depth) {
        depthSlider()->setSliderPosition(depth);
        depthSlider()->triggerAction(QAbstractSlider::SliderMove);
    }
    QStringList captions() {
        QStringList list;
        for (int i = 0; i < soil().layerRows(); ++i) {
            auto* label = soil().findChild<QLabel*>(QStringLiteral("lblLayer_%1").arg(i));
            if (label->isVisibleTo(&soil())) {
                list << label->text();
            }
        }
        return list;
    }
    TipSlider* layer(int i) {
        return find<TipSlider>(soil(), QStringLiteral("sldLayer_%1").arg(i));
    }
};

TEST_F(SoilInfo, OpensAt567mmWithTwoLayers) {
    EXPECT_EQ(text(soil(), QStringLiteral("txtsoilDepth")), QStringLiteral("567mm"));
    EXPECT_EQ(captions(), (QStringList{"0 - 300 mm", "300 -  567 mm"}));
    EXPECT_EQ(state_.BottomLayerThickness, 267.0F);
    EXPECT_EQ(text(soil(), QStringLiteral("txtLayer_1")), QStringLiteral("20%"));
    EXPECT_EQ(depthSlider()->dragTipText(), QStringLiteral("567 mm"));
}

struct DepthCase {
    int depth;
    QStringList captions;
    float bottom;
};

TEST_F(SoilInfo, TheDepthLaysOutOneRowPerLayer) {
    const std::vector<DepthCase> cases{
        {150, {"0 - 150mm"}, 150},
        {300, {"0 - 300mm"}, 300},
        {301, {"0 - 300mm"}, 301},
        {449, {"0 - 300mm"}, 449},
        {450, {"0 - 300 mm", "300 -  450 mm"}, 150},
        {1000, {"0 - 300 mm", "300 -  600 mm", "600 -  1000 mm"}, 400},
        {2000,
         {"0 - 300 mm", "300 -  600 mm", "600 -  900 mm", "900 -  1200 mm", "1200 -  1500 mm",
          "1500 -  1800 mm", "1800 -  2000 mm"},
         200},
    };
    for (const DepthCase& c : cases) {
        drag(c.depth);
        EXPECT_EQ(captions(), c.captions) << c.depth;
        EXPECT_EQ(state_.BottomLayerThickness, c.bottom) << c.depth;
        EXPECT_EQ(state_.SoilProfile->Depth(), c.depth);
    }
    // Below 150 mm no layer shows, and the thickness stays as it was.
    drag(149);
    EXPECT_TRUE(captions().isEmpty());
    EXPECT_FALSE(find(soil(), QStringLiteral("lblDisplay"))->isVisibleTo(&soil()));
    EXPECT_EQ(state_.BottomLayerThickness, 200.0F);
}

TEST_F(SoilInfo, RowsKeepTheirValuesWhenTheDepthGoesDownAndUpAgain) {
    drag(1500); // five rows
    layer(0)->setValue(31);
    layer(1)->setValue(42);
    layer(3)->setValue(64);
    drag(600); // two rows
    EXPECT_EQ(soil().layerRows(), 2);
    drag(1500);
    EXPECT_EQ(soil().siltClay(), (std::vector<int>{31, 42, 20, 64, 20}));
    EXPECT_EQ(text(soil(), QStringLiteral("txtLayer_1")), QStringLiteral("42%"));

    // Typing a depth passes through depths with fewer layers ("1", "12", "120" of "1200"):
    // the deeper layers keep their values all the same.
    auto* depth = find<QLineEdit>(soil(), QStringLiteral("txtsoilDepth"));
    depth->selectAll();
    QTest::keyClicks(depth, QStringLiteral("1200"));
    EXPECT_EQ(soil().siltClay(), (std::vector<int>{31, 42, 20, 64}));
}

TEST_F(SoilInfo, TypedValuesMoveTheSlidersAndAreKeptInRange) {
    auto* box = find<QLineEdit>(soil(), QStringLiteral("txtLayer_0"));
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("35"));
    EXPECT_EQ(layer(0)->value(), 35);
    EXPECT_EQ(box->text(), QStringLiteral("35%"));
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("250"));
    EXPECT_EQ(layer(0)->value(), 100);

    auto* depth = find<QLineEdit>(soil(), QStringLiteral("txtsoilDepth"));
    depth->selectAll();
    QTest::keyClicks(depth, QStringLiteral("1000"));
    EXPECT_EQ(depthSlider()->value(), 1000);
    EXPECT_EQ(depth->text(), QStringLiteral("1000mm"));
    EXPECT_EQ(soil().layerRows(), 3);
    depth->selectAll();
    QTest::keyClicks(depth, QStringLiteral("99999"));
    EXPECT_EQ(depthSlider()->value(), 2000);
    EXPECT_EQ(soil().layerRows(), 7);
}

TEST_F(SoilInfo, NextComputesThePawcOrSaysWhyNot) {
    drag(149);
    click(soil(), QStringLiteral("cmdNext"));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].text, "Please select soil depth");
    EXPECT_EQ(notifier_.shown[0].title, "TAVIK+");
    EXPECT_TRUE(soil().FromSoilInfo);
    EXPECT_TRUE(soil().isVisible());

    // Wheat at its highest yield on a thin sandy layer cannot be supplied at all.
    wizard_->choice().findChild<QSlider*>(QStringLiteral("sldTargetYield"))->setValue(10000);
    drag(300);
    layer(0)->setValue(1);
    click(soil(), QStringLiteral("cmdNext"));
    ASSERT_EQ(notifier_.shown.size(), 2U);
    EXPECT_EQ(
        notifier_.shown[1].text,
        "The PAWC value calculated is zero, Please check Silt+Clay % selected &/or soil depth");
    EXPECT_EQ(state_.ProfilePAWC, 0.0F);
    EXPECT_TRUE(soil().isVisible());

    // The opening state of wheat at its recommended yield: 9 drying passes, 46.4 mm.
    wizard_->choice().findChild<QSlider*>(QStringLiteral("sldTargetYield"))->setValue(6000);
    drag(567);
    layer(0)->setValue(20);
    click(soil(), QStringLiteral("cmdNext"));
    EXPECT_EQ(notifier_.shown.size(), 2U);
    EXPECT_NEAR(state_.ProfilePAWC, 46.4, 0.05);
    EXPECT_FALSE(soil().isVisible());
    EXPECT_TRUE(wizard_->waterLevel().isVisible());
}

TEST_F(SoilInfo, TheCropChosenNowDecidesThePawc) {
    click(soil(), QStringLiteral("cmdNext"));
    const float wheat = state_.ProfilePAWC;
    // Back to the crop screen, another crop, and Next again on the same soil.
    wizard_->choice().option(9)->click(); // Sunflower
    wizard_->move(wizard_->waterLevel(), soil());
    click(soil(), QStringLiteral("cmdNext"));
    EXPECT_NEAR(state_.ProfilePAWC, 44.5, 0.05);
    EXPECT_NE(state_.ProfilePAWC, wheat);
}

TEST_F(SoilInfo, DeepRippingChangesOnlyTheShallowRootedRows) {
    drag(900);
    click(soil(), QStringLiteral("cmdNext"));
    const float wheat = state_.ProfilePAWC;
    wizard_->move(wizard_->waterLevel(), soil());
    find<QCheckBox>(soil(), QStringLiteral("chkDeepRipped"))->setChecked(true);
    click(soil(), QStringLiteral("cmdNext"));
    EXPECT_EQ(state_.ProfilePAWC, wheat);

    wizard_->choice().option(8)->click(); // Potatoes (winter), row 10
    wizard_->move(wizard_->waterLevel(), soil());
    click(soil(), QStringLiteral("cmdNext"));
    EXPECT_NEAR(state_.ProfilePAWC, 54.3, 0.05); // ripped
    wizard_->move(wizard_->waterLevel(), soil());
    find<QCheckBox>(soil(), QStringLiteral("chkDeepRipped"))->setChecked(false);
    click(soil(), QStringLiteral("cmdNext"));
    EXPECT_NEAR(state_.ProfilePAWC, 48.8, 0.05);
}

} // namespace
} // namespace tavik
