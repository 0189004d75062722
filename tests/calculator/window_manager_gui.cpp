// The calculator under a real window manager: a virtual X display (Xvfb) with openbox, which
// stacks, focuses and places windows as a desktop does; the offscreen platform does none of
// that. The pointer is moved and clicked by xdotool, the stacking read with xprop.
//
// Its own program: it starts the display and the window manager before the application
// object exists, and skips every test with the reason when they cannot be started.

#include "CalcGuiSupport.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <clocale>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace tavikcalc {
namespace {

QString gSkipReason; // why there is no display with a window manager, when there is none

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The managed windows from bottom to top, as the window manager stacks them.
std::vector<WId> stacking() {
    std::vector<WId> windows;
    const QString list =
        run(QStringLiteral("xprop"),
            {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
    static const QRegularExpression id(QStringLiteral("0x[0-9a-f]+"));
    for (auto it = id.globalMatch(list); it.hasNext();) {
        windows.push_back(static_cast<WId>(it.next().captured(0).toULongLong(nullptr, 16)));
    }
    return windows;
}

// Lets the events run until the condition holds, at most `ms` milliseconds; whether it held.
bool eventually(const std::function<bool()>& condition, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > ms) {
            return false;
        }
        QTest::qWait(20);
    }
    return true;
}

// A click of the real pointer at a widget's middle.
void clickAt(const QWidget& widget) {
    const QPoint at = widget.mapToGlobal(widget.rect().center());
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
         QStringLiteral("click"), QStringLiteral("1")});
}

class WindowManager : public testing::Test {
protected:
    void SetUp() override {
        if (!gSkipReason.isEmpty()) {
            GTEST_SKIP() << gSkipReason.toStdString();
        }
    }
};

// The splash stands above the main dialog, where the user sees it; once it is gone, the first
// click on the dialog does what it says.
TEST_F(WindowManager, TheSplashIsOnTopAndTheFirstClickAfterItCounts) {
    test::DialogDriver d(0, true);
    d.chooseCrop(0);
    d.dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.dialog.get()));
    ASSERT_TRUE(eventually(
        [&] { return d.splashState.window && d.splashState.window->isVisible(); }, 5000));
    QWidget* splash = d.splashState.window;
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    const WId splashId = splash->winId();
    QTest::qWait(500); // the window manager has stacked both by now
    const std::vector<WId> windows = stacking();
    ASSERT_FALSE(windows.empty());
    EXPECT_EQ(windows.back(), splashId) << "the splash window is the top-most";

    ASSERT_TRUE(eventually([&] { return d.splashState.window.isNull(); }, 6000));
    QTest::qWait(300);
    clickAt(*d.control<QWidget>(CTavikDlg::IDC_SOIL_PROFILE));
    ASSERT_TRUE(eventually([&] { return d.dialogs.modalDialogs.size() == std::size_t{1}; }, 5000));
    EXPECT_EQ(d.dialogs.modalDialogs[0], QStringLiteral("CSoilType"));
}

// While it is up, the splash takes the first click for itself (and goes), as it should: the
// user clicked what they saw.
TEST_F(WindowManager, AClickOnTheSplashOnlyHidesIt) {
    test::DialogDriver d(0, true);
    d.chooseCrop(0);
    d.dialog->show();
    ASSERT_TRUE(eventually(
        [&] { return d.splashState.window && d.splashState.window->isVisible(); }, 5000));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(d.splashState.window));
    QTest::qWait(300);
    clickAt(*d.splashState.window);
    ASSERT_TRUE(eventually([&] { return d.splashState.window.isNull(); }, 3000));
    EXPECT_TRUE(d.dialogs.modalDialogs.empty());
    clickAt(*d.control<QWidget>(CTavikDlg::IDC_SOIL_PROFILE));
    ASSERT_TRUE(eventually([&] { return d.dialogs.modalDialogs.size() == std::size_t{1}; }, 5000));
}

// Starts Xvfb on a free display and openbox on it; the reason when that cannot be done.
class Desktop {
public:
    QString start() {
        xvfb_.setProgram(QStringLiteral("Xvfb"));
        xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                            QStringLiteral("tcp")});
        xvfb_.start();
        if (!xvfb_.waitForStarted(5000)) {
            return QStringLiteral("Xvfb cannot be started");
        }
        QByteArray number;
        while (!number.contains('\n') && xvfb_.waitForReadyRead(20000)) {
            number += xvfb_.readAllStandardOutput();
        }
        if (number.trimmed().isEmpty()) {
            return QStringLiteral("Xvfb gave no display");
        }
        const QByteArray display = ":" + number.trimmed();
        qputenv("DISPLAY", display);
        openbox_.start(QStringLiteral("openbox"), {});
        if (!openbox_.waitForStarted(5000)) {
            return QStringLiteral("openbox cannot be started");
        }
        // Ready when it has announced itself on the root window.
        for (int i = 0; i < 400; ++i) {
            if (run(QStringLiteral("xprop"),
                    {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
                    .contains(QStringLiteral("window id"))) {
                return {};
            }
            QTest::qSleep(50);
        }
        return QStringLiteral("openbox did not start managing the display");
    }
    ~Desktop() {
        for (QProcess* process : {&openbox_, &xvfb_}) {
            process->terminate();
            if (!process->waitForFinished(3000)) {
                process->kill();
                process->waitForFinished();
            }
        }
    }

private:
    QProcess xvfb_;
    QProcess openbox_;
};

} // namespace
} // namespace tavikcalc

// Under the leak checker: the desktop's system libraries that a program under a real X server
// loads (the accessibility bus, the keyboard map) keep allocations to the end; they are not
// ours to free. (The X keyboard-map library also hands strings without a terminating zero to
// strndup, so this test runs without strict string checks.)
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libxkbcommon\nleak:libxcb\nleak:libfontconfig\n";
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("tavikcalc-tests-runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    auto desktop = std::make_unique<tavikcalc::Desktop>();
    // Listing the tests needs no display.
    tavikcalc::gSkipReason =
        GTEST_FLAG_GET(list_tests) ? QStringLiteral("only listing") : desktop->start();
    if (tavikcalc::gSkipReason.isEmpty()) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen"); // only to skip the tests
    }
    int result = 0;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        result = RUN_ALL_TESTS();
    }
    desktop.reset();
    return result;
}
