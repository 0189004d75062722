// The wizard under a real window manager, on the screen of a small laptop: a virtual X display
// of 1366 x 768 (Xvfb) with openbox, which frames, places and maximises windows as a desktop
// does; the offscreen platform does none of that. Every window must lie inside the screen's
// available area with its title bar in view, each next screen where the last one was. The
// frames are read outside the program, with xwininfo and xprop.
//
// Its own program: it starts the display and the window manager before the application object
// exists, and skips every test with the reason when they cannot be started.

#include "GuiSupport.h"
#include "screens/PlanFiles.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmSplash.h"
#include "screens/frmWaterLevel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <clocale>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>

// Points and rectangles in failure messages.
void PrintTo(const QPoint& point, std::ostream* out);
void PrintTo(const QPoint& point, std::ostream* out) {
    *out << point.x() << "," << point.y();
}
void PrintTo(const QRect& rect, std::ostream* out);
void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height();
}

namespace tavik {
namespace {

QString gSkipReason; // why there is no display with a window manager, when there is none
constexpr int kScreenWidth = 1366;
constexpr int kScreenHeight = 768;

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

std::vector<int> numbers(const QString& text) {
    std::vector<int> found;
    static const QRegularExpression number(QStringLiteral("-?\\d+"));
    for (auto it = number.globalMatch(text); it.hasNext();) {
        found.push_back(it.next().captured(0).toInt());
    }
    return found;
}

// The room the window manager gives windows: the first desktop's work area.
QRect workArea() {
    const std::vector<int> area =
        numbers(run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("-notype"),
                                              QStringLiteral("_NET_WORKAREA")}));
    return area.size() >= 4 ? QRect(area[0], area[1], area[2], area[3]) : QRect();
}

// A window's frame as the X server has it: the client area found by xwininfo, grown by the
// frame extents that the window manager announces; none before it has framed the window.
std::optional<QRect> frameOf(const QWidget& window) {
    const QString id = QString::number(window.winId());
    const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    static const QRegularExpression field(
        QStringLiteral("Absolute upper-left X:\\s+(-?\\d+).*Absolute upper-left Y:\\s+(-?\\d+)"
                       ".*Width:\\s+(\\d+).*Height:\\s+(\\d+)"),
        QRegularExpression::DotMatchesEverythingOption);
    const auto client = field.match(info);
    const std::vector<int> extents =
        numbers(run(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("-notype"),
                                              QStringLiteral("_NET_FRAME_EXTENTS")}));
    if (!client.hasMatch() || extents.size() != 4) {
        return std::nullopt;
    }
    const QRect inner(client.captured(1).toInt(), client.captured(2).toInt(),
                      client.captured(3).toInt(), client.captured(4).toInt());
    return inner.marginsAdded(QMargins(extents[0], extents[2], extents[1], extents[3]));
}

// The frame once the window has been framed and has stayed where it is for a moment (the
// program may still move it into the room just after the frame came).
std::optional<QRect> settledFrame(const QWidget& window) {
    QElapsedTimer timer;
    timer.start();
    std::optional<QRect> last;
    QElapsedTimer still;
    still.start();
    while (timer.elapsed() < 8000) {
        QTest::qWait(50);
        const auto now = frameOf(window);
        if (now != last) {
            last = now;
            still.restart();
        } else if (last && still.elapsed() >= 400) {
            return last;
        }
    }
    return last;
}

class WindowManager : public test::WizardFixture {
protected:
    void SetUp() override {
        if (!gSkipReason.isEmpty()) {
            GTEST_SKIP() << gSkipReason.toStdString();
        }
        room_ = workArea();
        ASSERT_FALSE(room_.isEmpty());
    }
    void TearDown() override {
        if (wizard_) {
            wizard_->exit();
        }
    }
    void start(const test::CsvRows& rows = test::shippedCropCsv()) {
        startWizard(rows);
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
        dialogs_.changes = Dialogs::Changes::Discard;
    }
    // The window's settled frame, which must lie in the room with its title bar; a window
    // larger than the room keeps its top left corner there.
    QRect inReach(const QWidget& window) {
        EXPECT_TRUE(window.isVisible()) << window.objectName().toStdString();
        const auto frame = settledFrame(window);
        EXPECT_TRUE(frame.has_value()) << window.objectName().toStdString() << " is not framed";
        if (!frame) {
            return {};
        }
        const std::string name = window.objectName().toStdString();
        EXPECT_TRUE(room_.contains(frame->topLeft()))
            << name << " at " << testing::PrintToString(*frame);
        if (frame->width() <= room_.width() && frame->height() <= room_.height()) {
            EXPECT_TRUE(room_.contains(*frame)) << name << " at " << testing::PrintToString(*frame);
        }
        return *frame;
    }
    void clickNext(QWidget& screen) { click(screen, QStringLiteral("cmdNext")); }

    QRect room_;
    test::RecordingDialogs dialogs_;
};

// The whole walk, the sprinkler screen (maximised) included, and back: every screen in reach,
// each where the last one was.
TEST_F(WindowManager, EveryScreenOfAWalkIsInReachWhereTheLastOneWas) {
    start();
    EXPECT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), room_);
    frmSplash& splash = wizard_->splash();
    wizard_->showFirst(splash);
    const QRect splashFrame = inReach(splash);
    // The splash's hand-over: the crop screen around the splash's middle.
    splash.Timer4Tick();
    frmChoice& choice = wizard_->choice();
    QRect last = inReach(choice);
    EXPECT_LE((last.center() - splashFrame.center()).manhattanLength(), 40);

    choice.option(0)->click();
    find<QCheckBox>(choice, QStringLiteral("chkPackage"))->setChecked(true);
    clickNext(choice);
    frmIrrigationInfo& package = wizard_->irrigationInfo();
    ASSERT_TRUE(QTest::qWaitFor([&] { return package.isMaximized(); }, 5000));
    inReach(package);
    clickNext(package);
    // From a maximised screen to the top left corner of the room.
    last = inReach(wizard_->soilInfo());
    EXPECT_EQ(last.topLeft(), room_.topLeft());

    // Each next screen, and each screen gone back to, where the last one was.
    const std::vector<std::pair<QWidget*, const char*>> steps{
        {&wizard_->soilInfo(), "cmdNext"},     {&wizard_->waterLevel(), "cmdNext"},
        {&wizard_->result(), "cmdBack"},       {&wizard_->waterLevel(), "cmdBack"},
        {&wizard_->soilInfo(), "cmdNext"},     {&wizard_->waterLevel(), "cmdNext"},
        {&wizard_->result(), "cmdAnotherCrop"}};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto& [screen, button] = steps[i];
        // Somewhere else first, as a user drags it (where every screen fits).
        screen->move(room_.topLeft() + QPoint(30 + 20 * static_cast<int>(i), 6 * (i % 2)));
        const QRect from = inReach(*screen);
        click(*screen, QString::fromLatin1(button));
        QWidget* shown = QApplication::activeWindow();
        ASSERT_TRUE(QTest::qWaitFor(
            [&] {
                shown = QApplication::activeWindow();
                return shown != nullptr && shown != screen;
            },
            5000))
            << screen->objectName().toStdString() << " " << button;
        const QRect to = inReach(*shown);
        EXPECT_EQ(to.topLeft(), from.topLeft())
            << screen->objectName().toStdString() << " to " << shown->objectName().toStdString();
    }
}

// A screen whose place would put part of it off the screen is moved in: the next screen of one
// dragged to the lower right corner, and of one dragged past the top.
TEST_F(WindowManager, ANextScreenThatWouldStickOutIsMovedIn) {
    start();
    frmChoice& choice = wizard_->choice();
    wizard_->showFirst(choice);
    inReach(choice);
    choice.option(0)->click();
    choice.move(room_.right() - 300, room_.bottom() - 200);
    settledFrame(choice);
    clickNext(choice);
    const QRect soil = inReach(wizard_->soilInfo());
    EXPECT_EQ(soil.right(), room_.right());
    EXPECT_EQ(soil.bottom(), room_.bottom());

    wizard_->soilInfo().move(200, -15); // the title bar above the screen
    ASSERT_EQ(settledFrame(wizard_->soilInfo())->top(), -15);
    clickNext(wizard_->soilInfo());
    const QRect levels = inReach(wizard_->waterLevel());
    EXPECT_EQ(levels.topLeft(), QPoint(200, room_.top()));
}

// A plan opened as the program starts (tavik FILE.tavikplan) shows its result screen in reach,
// also when it is larger than designed.
TEST_F(WindowManager, APlanOpenedAtTheStartShowsItsResultInReach) {
    start();
    wizard_->showFirst(wizard_->choice());
    ASSERT_TRUE(wizard_->plans().open(
        test::sourcePath(QStringLiteral("examples/maize-planted.tavikplan")), wizard_->choice()));
    frmMain& result = wizard_->result();
    ASSERT_TRUE(result.isVisible());
    inReach(result);
    // Larger than the room: its top left corner with the title bar stays on the screen.
    result.resize(room_.size() + QSize(200, 200));
    click(result, QStringLiteral("cmdBack"));
    inReach(wizard_->waterLevel());
    click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
    EXPECT_EQ(inReach(result).topLeft(), room_.topLeft());
}

// A workbook of many crops makes the crop screen taller than the screen: its top left corner,
// with the title bar, stays on the screen.
TEST_F(WindowManager, ACropScreenTallerThanTheScreenKeepsItsTitleBarInView) {
    test::CsvRows rows = test::shippedCropCsv();
    const std::size_t shipped = rows.size();
    for (std::size_t copy = 0; copy < 20; ++copy) {
        rows.push_back(rows[1 + copy % (shipped - 1)]);
    }
    start(rows);
    frmChoice& choice = wizard_->choice();
    ASSERT_GT(choice.height(), kScreenHeight);
    wizard_->showFirst(choice);
    const QRect frame = inReach(choice);
    EXPECT_EQ(frame.top(), room_.top());
}

// Starts Xvfb on a free display with a laptop's screen and openbox on it; the reason when that
// cannot be done.
class Desktop {
public:
    QString start() {
        xvfb_.setProgram(QStringLiteral("Xvfb"));
        xvfb_.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                            QStringLiteral("-screen"), QStringLiteral("0"),
                            QStringLiteral("%1x%2x24").arg(kScreenWidth).arg(kScreenHeight),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
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
        qputenv("DISPLAY", ":" + number.trimmed());
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
} // namespace tavik

// Under the leak checker: the desktop's system libraries that a program under a real X server
// loads (the accessibility bus, the keyboard map) keep allocations to the end; they are not
// ours to free.
extern "C" const char* __lsan_default_suppressions();
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libxkbcommon\nleak:libxcb\nleak:libfontconfig\n";
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QString runtime = QDir::temp().filePath(QStringLiteral("tavik-tests-runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    }
    auto desktop = std::make_unique<tavik::Desktop>();
    // Listing the tests needs no display.
    tavik::gSkipReason =
        GTEST_FLAG_GET(list_tests) ? QStringLiteral("only listing") : desktop->start();
    qputenv("QT_QPA_PLATFORM", tavik::gSkipReason.isEmpty() ? "xcb" : "offscreen");
    int result = 0;
    {
        QApplication app(argc, argv);
        std::setlocale(LC_NUMERIC, "C");
        result = RUN_ALL_TESTS();
    }
    desktop.reset();
    return result;
}
