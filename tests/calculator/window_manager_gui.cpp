// The calculator under a real window manager, which stacks and focuses windows as a desktop
// does: the pointer is moved and clicked by xdotool, the stacking read with xprop.

#include "../common/Desktop.h"
#include "CalcGuiSupport.h"

#include <QRegularExpression>

namespace tavikcalc {
namespace {

// The managed windows from bottom to top, as the window manager stacks them.
std::vector<WId> stacking() {
    std::vector<WId> windows;
    const QString list =
        desktop::output(QStringLiteral("xprop"),
                        {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    static const QRegularExpression id(QStringLiteral("0x[0-9a-f]+"));
    for (auto it = id.globalMatch(list); it.hasNext();) {
        windows.push_back(static_cast<WId>(it.next().captured(0).toULongLong(nullptr, 16)));
    }
    return windows;
}

// A click of the real pointer at a widget's middle.
void clickAt(const QWidget& widget) {
    const QPoint at = widget.mapToGlobal(widget.rect().center());
    desktop::output(QStringLiteral("xdotool"),
                    {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                     QStringLiteral("click"), QStringLiteral("1")});
}

class WindowManager : public testing::Test {
protected:
    void SetUp() override { GTEST_SKIP_WITHOUT_DESKTOP(); }
};

// The splash stands above the main dialog, where the user sees it; once it is gone, the first
// click on the dialog does what it says.
TEST_F(WindowManager, TheSplashIsOnTopAndTheFirstClickAfterItCounts) {
    test::DialogDriver d(0, true);
    d.chooseCrop(0);
    d.dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.dialog.get()));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return d.splashState.window && d.splashState.window->isVisible(); }, 5000));
    QWidget* splash = d.splashState.window;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    const WId splashId = splash->winId();
    QTest::qWait(500); // the window manager has stacked both by now
    const std::vector<WId> windows = stacking();
    ASSERT_FALSE(windows.empty());
    EXPECT_EQ(windows.back(), splashId) << "the splash window is the top-most";

    ASSERT_TRUE(QTest::qWaitFor([&] { return d.splashState.window.isNull(); }, 6000));
    QTest::qWait(300);
    clickAt(*d.control<QWidget>(CTavikDlg::IDC_SOIL_PROFILE));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return d.dialogs.modalDialogs.size() == std::size_t{1}; }, 5000));
    EXPECT_EQ(d.dialogs.modalDialogs[0], QStringLiteral("CSoilType"));
}

// While it is up, the splash takes the first click for itself (and goes), as it should: the
// user clicked what they saw.
TEST_F(WindowManager, AClickOnTheSplashOnlyHidesIt) {
    test::DialogDriver d(0, true);
    d.chooseCrop(0);
    d.dialog->show();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return d.splashState.window && d.splashState.window->isVisible(); }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.splashState.window));
    QTest::qWait(300);
    clickAt(*d.splashState.window);
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.splashState.window.isNull(); }, 3000));
    EXPECT_TRUE(d.dialogs.modalDialogs.empty());
    clickAt(*d.control<QWidget>(CTavikDlg::IDC_SOIL_PROFILE));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return d.dialogs.modalDialogs.size() == std::size_t{1}; }, 5000));
}

} // namespace
} // namespace tavikcalc

int main(int argc, char** argv) {
    return desktop::runTests(argc, argv, QSize(1280, 1024));
}
