// The soil type dialog, opened from the main dialog's "Specify soil profile".

#include "CalcGuiSupport.h"
#include "dialogs/CSoilType.h"

#include <QRadioButton>
#include <gtest/gtest.h>

namespace tavikcalc {
namespace {

using Dlg = CTavikDlg;
using test::DialogDriver;

class SoilTypeDialog : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(d.open()); }

    // Opens the soil type dialog and runs `script` on it while it is up.
    void openSoilDialog(const std::function<void(CSoilType&)>& script) {
        d.dialogs.modalScript = [&](QDialog& dialog) {
            auto* soil = qobject_cast<CSoilType*>(&dialog);
            ASSERT_NE(soil, nullptr);
            script(*soil);
        };
        d.click(Dlg::IDC_SOIL_PROFILE);
        d.dialogs.modalScript = nullptr;
    }
    static QString shown(const CSoilType& soil) {
        return soil.control<QLabel>(CSoilType::IDC_PAWC)->text();
    }
    static void ok(CSoilType& soil) { soil.control<QAbstractButton>(1)->click(); }

    DialogDriver d;
};

TEST_F(SoilTypeDialog, OpensOnSandAMetreDeepAndHandsBackThePawcShown) {
    d.chooseCrop(0); // Wheat 150 at its guideline yield of 6000 kg/ha
    openSoilDialog([](CSoilType& soil) {
        EXPECT_EQ(soil.windowTitle(), QStringLiteral("Dialog"));
        EXPECT_TRUE(soil.control<QRadioButton>(CSoilType::IDC_SAND)->isChecked());
        EXPECT_EQ(soil.control<QLineEdit>(CSoilType::IDC_DEPTH)->text(), QStringLiteral("1000"));
        // 100 + (10000 − 6000) × 0.012 − (1800 − 1000) × 0.113
        EXPECT_EQ(shown(soil), QStringLiteral("57.6"));
        ok(soil);
    });
    EXPECT_EQ(d.text(Dlg::IDC_PAWC), QStringLiteral("57.6"));
    EXPECT_EQ(d.dialog->pawc(), 57.6);
    EXPECT_EQ(d.text(Dlg::IDC_CROP_WATER), QStringLiteral("(Summer Crop 28  Winter Crop 21)"));
    EXPECT_TRUE(d.dialogs.messages.empty());
}

TEST_F(SoilTypeDialog, FollowsTheSoilClassAndTheDepth) {
    d.chooseCrop(9); // Peas at their guideline yield of 4000 kg/ha
    openSoilDialog([](CSoilType& soil) {
        soil.control<QRadioButton>(CSoilType::IDC_SANDY_LOAM)->click();
        // 100 + (5500 − 4000) × 0.001 − (1500 − 1000) × 0.1
        EXPECT_EQ(shown(soil), QStringLiteral("51.5"));
        soil.control<QLineEdit>(CSoilType::IDC_DEPTH)->setText(QStringLiteral("1800"));
        EXPECT_EQ(shown(soil), QStringLiteral("131.5")); // deeper than the reference adds water
        soil.control<QLineEdit>(CSoilType::IDC_DEPTH)->setText(QStringLiteral("1000"));
        ok(soil);
    });
    EXPECT_EQ(d.text(Dlg::IDC_PAWC), QStringLiteral("51.5"));
}

TEST_F(SoilTypeDialog, RefusesADepthThatIsNotAWholeNumberOfMillimetresUpTo2000) {
    d.chooseCrop(0);
    d.enter(Dlg::IDC_PAWC, QStringLiteral("80"));
    openSoilDialog([this](CSoilType& soil) {
        auto* depth = soil.control<QLineEdit>(CSoilType::IDC_DEPTH);
        depth->setText(QStringLiteral("abc"));
        EXPECT_EQ(shown(soil), QStringLiteral("-55.4")); // computed with a depth of 0
        ok(soil);
        EXPECT_EQ(d.dialogs.texts(), std::vector{QStringLiteral("Please enter an integer.")});
        EXPECT_TRUE(soil.isVisible());

        depth->setText(QStringLiteral("2500"));
        ok(soil);
        ASSERT_EQ(d.dialogs.messages.size(), 2U);
        EXPECT_EQ(d.dialogs.messages[1].text,
                  QStringLiteral("Please enter an integer between 0 and 2000."));
        EXPECT_EQ(d.dialogs.messages[1].icon, MessageIcon::Exclamation);
        EXPECT_TRUE(soil.isVisible());

        QTest::keyClick(&soil, Qt::Key_Escape);
        EXPECT_FALSE(soil.isVisible());
    });
    // Escape hands back nothing.
    EXPECT_EQ(d.text(Dlg::IDC_PAWC), QStringLiteral("80"));
    EXPECT_EQ(d.dialog->pawc(), 80.0);
}

// A soil too shallow to hold water for the crop gives no PAWC: OK says so and the dialog stays
// up on the depth, until a soil that holds some is chosen.
TEST_F(SoilTypeDialog, RefusesASoilTooShallowForTheCrop) {
    d.chooseCrop(0); // Wheat 150 at its guideline yield of 6000 kg/ha
    openSoilDialog([](CSoilType& soil) {
        auto* depth = soil.control<QLineEdit>(CSoilType::IDC_DEPTH);
        for (const char* shallow : {"300", "490"}) { // 490 mm: -0.03 mm, shown as 0.0
            depth->setText(QString::fromLatin1(shallow));
            ok(soil);
            EXPECT_TRUE(soil.isVisible());
            EXPECT_EQ(soil.focusWidget(), depth);
            EXPECT_EQ(depth->selectedText(), depth->text());
        }
        depth->setText(QStringLiteral("491"));
        ok(soil);
    });
    ASSERT_EQ(d.dialogs.messages.size(), 2U);
    EXPECT_EQ(d.dialogs.messages[0].text,
              QStringLiteral("Sand 300 mm deep is too shallow for Wheat (growing season 150 days): "
                             "the plant available water capacity comes out at -21.5 mm.\nPlease "
                             "enter a greater soil depth, or choose another soil."));
    EXPECT_TRUE(d.dialogs.messages[1].text.startsWith(QStringLiteral("Sand 490 mm deep")));
    EXPECT_TRUE(d.dialogs.messages[1].text.contains(QStringLiteral("comes out at 0.0 mm.\n")));
    EXPECT_EQ(d.dialog->pawc(), 0.1);
}

} // namespace
} // namespace tavikcalc
