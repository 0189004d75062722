// The command line (/wish, A<area>) and the splash window.

#include "CalcGuiSupport.h"
#include "dialogs/CTavikApp.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <gtest/gtest.h>

namespace tavikcalc {
namespace {

using Dlg = CTavikDlg;

struct CommandLineCase {
    QStringList arguments;
    int showSplash;
    double area;
};

TEST(CommandLine, ReadsWishAndTheArea) {
    const CommandLineCase cases[] = {
        {{QStringLiteral("/wish"), QStringLiteral("A3")}, 0, 3},
        {{QStringLiteral("-WISH")}, 0, 0},
        {{QStringLiteral("Wish")}, 0, 0},
        {{QStringLiteral("/wishes")}, 1, 0},
        {{QStringLiteral("a3")}, 1, 0}, // a small "a" is no area
        {{QStringLiteral("A12.5")}, 1, 12.5},
        {{QStringLiteral("-A7")}, 1, 7},
        {{QStringLiteral("/A2.5ha")}, 1, 2.5},
        {{QStringLiteral("Ax")}, 1, 0},
        {{QStringLiteral("A3"), QStringLiteral("A5")}, 1, 5},
        {{}, 1, 0},
    };
    for (const CommandLineCase& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CTavikApp app(c.arguments);
        EXPECT_EQ(app.commandLine().showSplash, c.showSplash);
        EXPECT_EQ(app.area(), c.area);
    }
}

// Runs the overhead report for Wheat 150 with a PAWC of 100 mm in the dialog of `app`.
QString wheatReport(CTavikApp& app, test::RecordingUserDialogs& dialogs, bool& splashShown) {
    const auto dialog = app.createDialog(dialogs);
    EXPECT_TRUE(test::activate(*dialog));
    splashShown = app.splash().window != nullptr;
    dialog->control<QComboBox>(Dlg::IDC_CROP)->setCurrentIndex(0);
    test::enter(dialog->control<QLineEdit>(Dlg::IDC_PAWC), QStringLiteral("100"));
    dialog->control<QPushButton>(Dlg::IDC_CALCULATE)->click();
    return dialog->reportText();
}

TEST(CommandLine, WishAndAnAreaGiveNoSplashAndTheReportInCubicMetres) {
    CTavikApp app({QStringLiteral("/wish"), QStringLiteral("A3")});
    test::RecordingUserDialogs dialogs;
    bool splashShown = true;
    const QStringList lines = wheatReport(app, dialogs, splashShown).split(QStringLiteral("\r\n"));
    EXPECT_FALSE(splashShown);
    ASSERT_GT(lines.size(), 15);
    EXPECT_EQ(lines[2], QStringLiteral("  Total area to be irrigated 3.0 hectare"));
    EXPECT_EQ(lines[3], QStringLiteral("  (IRR, m³/d) per cycle for"));
    EXPECT_TRUE(lines[14].contains(QStringLiteral("m³/d  x10³m³")));
}

TEST(CommandLine, ASmallALeavesTheReportInMillimetres) {
    CTavikApp app({QStringLiteral("a3"), QStringLiteral("/wish")});
    test::RecordingUserDialogs dialogs;
    bool splashShown = true;
    const QStringList lines = wheatReport(app, dialogs, splashShown).split(QStringLiteral("\r\n"));
    ASSERT_GT(lines.size(), 3);
    EXPECT_EQ(lines[2], QStringLiteral("  (IRR, mm) per cycle for"));
}

class Splash : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(d.open()); }
    CSplashWnd* splash() const { return d.splashState.window; }
    test::DialogDriver d{0, true};
};

TEST_F(Splash, ShowsBitmap131OverTheDialogWhenItOpens) {
    ASSERT_NE(splash(), nullptr);
    EXPECT_TRUE(splash()->isVisible());
    EXPECT_EQ(splash()->size(), QSize(520, 317));
    EXPECT_TRUE(splash()->windowFlags() & Qt::FramelessWindowHint);
    const QPoint offCentre =
        splash()->frameGeometry().center() - d.dialog->frameGeometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);
    EXPECT_EQ(splash()->timer().interval(), 3000);
    EXPECT_TRUE(splash()->timer().isActive());
}

TEST_F(Splash, AKeyPressHidesItAndGoesNoFurther) {
    ASSERT_NE(splash(), nullptr);
    QTest::keyClick(d.dialog.get(), Qt::Key_Escape);
    EXPECT_EQ(splash(), nullptr);
    EXPECT_TRUE(d.dialog->isVisible()); // Escape did not reach the dialog

    // Once per run: the dialog shown again brings no second splash.
    d.dialog->hide();
    ASSERT_TRUE(d.open());
    EXPECT_EQ(splash(), nullptr);
    QTest::keyClick(d.dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(d.dialog->isVisible());
}

TEST_F(Splash, AMouseButtonPressHidesItAndGoesNoFurther) {
    ASSERT_NE(splash(), nullptr);
    QTest::mouseClick(d.control(Dlg::IDC_CALCULATE), Qt::LeftButton);
    EXPECT_EQ(splash(), nullptr);
    EXPECT_TRUE(d.dialogs.messages.empty()); // Calculate was not pressed
    QTest::mouseClick(d.control(Dlg::IDC_CALCULATE), Qt::LeftButton);
    EXPECT_EQ(d.dialogs.messages.size(), 1U);
}

TEST_F(Splash, GoesAfterThreeSeconds) {
    ASSERT_NE(splash(), nullptr);
    const int remaining = splash()->timer().remainingTime();
    EXPECT_GT(remaining, 2000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(QTest::qWaitFor([this] { return splash() == nullptr; }, 6000));
    EXPECT_GE(clock.elapsed(), remaining - 10);
    EXPECT_TRUE(d.dialog->isVisible());
}

} // namespace
} // namespace tavikcalc
