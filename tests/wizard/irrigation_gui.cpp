// The sprinkler package screen: the input filter, Enter moving down, the chart and its
// tooltip, and the fit on Next.

#include "GuiSupport.h"
#include "screens/frmChoice.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmSoilInfo.h"
#include "state/SprinklerPackage.h"

#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <qcustomplot.h>

namespace tavik {
namespace {

class SprinklerPackage : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        screen().show();
        QApplication::setActiveWindow(&screen());
    }
    frmIrrigationInfo& screen() { return wizard_->irrigationInfo(); }
};

TEST_F(SprinklerPackage, OnlyDigitsAndThePointAreTyped) {
    QLineEdit* box = screen().amountBox(3);
    box->setFocus();
    box->clear();
    QTest::keyClicks(box, QStringLiteral("a-1x2.5.z"));
    EXPECT_EQ(box->text(), QStringLiteral("12.5."));
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("12.5"));
}

TEST_F(SprinklerPackage, EnterMovesDownTheTableAndFromTheLastBoxToNext) {
    screen().amountBox(0)->setFocus();
    QTest::keyClick(screen().amountBox(0), Qt::Key_Return);
    EXPECT_TRUE(screen().amountBox(1)->hasFocus());
    screen().amountBox(21)->setFocus();
    QTest::keyClick(screen().amountBox(21), Qt::Key_Enter);
    EXPECT_TRUE(find(screen(), QStringLiteral("cmdNext"))->hasFocus());
}

TEST_F(SprinklerPackage, NextFitsTheShippedTable) {
    click(screen(), QStringLiteral("cmdNext"));
    EXPECT_NEAR(state_.SpeedExponent, -1.0, 1e-4);
    EXPECT_NEAR(state_.SpeedCoefficient, 547.54, 0.01);
    EXPECT_NEAR(state_.SpeedCoefficient * std::pow(27.38, state_.SpeedExponent), 19.996, 0.001);
    EXPECT_TRUE(wizard_->soilInfo().isVisible());
}

TEST_F(SprinklerPackage, AnAmountOfZeroOrNothingIsRefusedByItsRow) {
    click(screen(), QStringLiteral("cmdNext"));
    const double coefficient = state_.SpeedCoefficient;
    wizard_->move(wizard_->soilInfo(), screen());
    for (const QString& typed : {QStringLiteral(""), QStringLiteral("0"), QStringLiteral(".")}) {
        screen().amountBox(9)->setText(typed);
        click(screen(), QStringLiteral("cmdNext"));
        ASSERT_FALSE(notifier_.shown.empty());
        EXPECT_EQ(notifier_.shown.back().text,
                  "The water amount at 45% running speed must be greater than 0 mm.");
        EXPECT_TRUE(screen().isVisible());
        EXPECT_EQ(state_.SpeedCoefficient, coefficient);
    }
    screen().amountBox(9)->setText(QStringLiteral("12.17"));
    screen().amountBox(18)->setText(QStringLiteral(""));
    click(screen(), QStringLiteral("cmdNext"));
    EXPECT_EQ(notifier_.shown.back().text,
              "The water amount at 12.5% running speed must be greater than 0 mm.");
}

TEST_F(SprinklerPackage, ATableThatDoesNotFallAsOneOverTheSpeedIsRefusedAndKept) {
    click(screen(), QStringLiteral("cmdNext"));
    const auto law = std::pair(state_.SpeedCoefficient, state_.SpeedExponent);
    wizard_->move(wizard_->soilInfo(), screen());
    for (std::size_t i = 0; i < kSprinklerRows; ++i) {
        screen().amountBox(i)->setText(QStringLiteral("1"));
    }
    click(screen(), QStringLiteral("cmdNext"));
    ASSERT_FALSE(notifier_.shown.empty());
    const std::string& shown = notifier_.shown.back().text;
    EXPECT_EQ(shown.rfind("The sprinkler package table does not fit a centre pivot", 0), 0U);
    EXPECT_NE(shown.find("their fitted exponent is 0."), std::string::npos) << shown;
    EXPECT_TRUE(screen().isVisible());
    EXPECT_EQ(std::pair(state_.SpeedCoefficient, state_.SpeedExponent), law);
    for (std::size_t i = 0; i < kSprinklerRows; ++i) {
        EXPECT_EQ(screen().amountBox(i)->text(), QStringLiteral("1"));
    }
}

TEST_F(SprinklerPackage, TheChartShowsTheTableWithTheAmountAsTip) {
    auto* chart = find<QCustomPlot>(screen(), QStringLiteral("MSChart1"));
    EXPECT_FALSE(chart->isVisibleTo(&screen()));
    screen().amountBox(15)->setText(QStringLiteral("20"));
    click(screen(), QStringLiteral("cmdShowGraph"));
    EXPECT_TRUE(chart->isVisibleTo(&screen()));
    ASSERT_EQ(chart->graph(0)->dataCount(), 22);
    EXPECT_EQ(chart->xAxis->label(), QStringLiteral("Amount of water (mm)"));
    EXPECT_EQ(chart->yAxis->label(), QStringLiteral("Running Speed (%)"));
    chart->replot();
    const auto at = [chart](double amount, double speed) {
        return QPoint(static_cast<int>(chart->xAxis->coordToPixel(amount)),
                      static_cast<int>(chart->yAxis->coordToPixel(speed)));
    };
    EXPECT_EQ(screen().chartTip(at(5.48, 100)), QStringLiteral("5.48"));
    EXPECT_EQ(screen().chartTip(at(109.5, 5)), QStringLiteral("109.5"));
    EXPECT_EQ(screen().chartTip(at(20, 20)), QStringLiteral("20."));
    EXPECT_EQ(screen().chartTip(at(60, 60)), QString());
}

} // namespace
} // namespace tavik
