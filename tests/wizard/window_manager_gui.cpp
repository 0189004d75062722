// The wizard under a real window manager on a small laptop's screen (1366 x 768): every window
// must lie inside the screen's available area with its title bar in view, each next screen
// where the last one was. The frames are read outside the program, with xwininfo and xprop.

#include "../common/Desktop.h"
#include "GuiSupport.h"
#include "screens/PlanFiles.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmSplash.h"
#include "screens/frmWaterLevel.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QScreen>
#include <optional>

namespace tavik {
namespace {

// The numbers a program printed as values: after the first ":" or "=" of each line.
std::vector<int> numbers(const QString& program, const QStringList& arguments) {
    std::vector<int> numbers;
    static const QRegularExpression value(QStringLiteral("^[^:=]*[:=]")),
        number(QStringLiteral("-?\\b\\d+\\b"));
    for (QString line : desktop::output(program, arguments).split('\n')) {
        if (line.startsWith(program) || !line.contains(value)) {
            continue; // xwininfo's heading, with the window's title
        }
        for (auto it = number.globalMatch(line.remove(value)); it.hasNext();) {
            numbers.push_back(it.next().captured(0).toInt());
        }
    }
    return numbers;
}

// A window's frame as the X server has it: the client area (xwininfo's absolute corner, width
// and height) grown by the frame extents that the window manager announces (left, right, top,
// bottom); none before the window is framed.
std::optional<QRect> frameOf(const QWidget& window) {
    const QString id = QString::number(window.winId());
    const std::vector<int> info = numbers(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
    const std::vector<int> e = numbers(
        QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("_NET_FRAME_EXTENTS")});
    if (info.size() < 6 || e.size() != 4) {
        return std::nullopt;
    }
    // xwininfo: absolute X, Y, relative X, Y, width, height, ...
    return QRect(info[0], info[1], info[4], info[5]).marginsAdded(QMargins(e[0], e[2], e[1], e[3]));
}

// The frame once it has stayed where it is for a moment (the program may move a window into
// the room just after the window manager framed it).
std::optional<QRect> settledFrame(const QWidget& window) {
    QElapsedTimer timer;
    timer.start();
    std::optional<QRect> last;
    qint64 since = 0;
    while (timer.elapsed() < 8000) {
        QTest::qWait(50);
        if (const auto now = frameOf(window); now != last) {
            last = now;
            since = timer.elapsed();
        } else if (last && timer.elapsed() - since >= 400) {
            break;
        }
    }
    return last;
}

std::string corner(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y());
}

class WindowManager : public test::WizardFixture {
protected:
    void SetUp() override {
        GTEST_SKIP_WITHOUT_DESKTOP();
        const std::vector<int> area = numbers(
            QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_WORKAREA")});
        ASSERT_GE(area.size(), 4U); // a desktop's x, y, width and height
        room_ = QRect(area[0], area[1], area[2], area[3]);
        EXPECT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), room_);
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
        dialogs_.changes = Dialogs::Changes::Discard;
    }
    void TearDown() override {
        if (wizard_) {
            wizard_->exit();
        }
    }
    // The settled frame, which lies in the room with its title bar; one larger than the room
    // keeps its top left corner there.
    QRect inReach(const QWidget& window) {
        const std::string name = window.objectName().toStdString();
        const auto frame = settledFrame(window);
        EXPECT_TRUE(window.isVisible() && frame) << name << " is not shown";
        const QRect f = frame.value_or(QRect());
        EXPECT_TRUE(room_.contains(f.topLeft()) &&
                    (room_.contains(f) || f.width() > room_.width() || f.height() > room_.height()))
            << name << " at " << corner(f) << " " << f.width() << "x" << f.height();
        return f;
    }

    QRect room_;
    test::RecordingDialogs dialogs_;
};

// The whole walk, the sprinkler screen (maximised) included, and back: every screen in reach,
// each where the last one was, or moved in where that would put part of it off the screen.
TEST_F(WindowManager, EveryScreenOfAWalkIsInReachWhereTheLastOneWas) {
    frmSplash& splash = wizard_->splash();
    wizard_->showFirst(splash);
    const QRect splashFrame = inReach(splash);
    splash.Timer4Tick(); // the hand-over: the crop screen around the splash's middle
    frmChoice& choice = wizard_->choice();
    EXPECT_LE((inReach(choice).center() - splashFrame.center()).manhattanLength(), 40);
    choice.option(0)->click();
    find<QCheckBox>(choice, QStringLiteral("chkPackage"))->setChecked(true);
    click(choice, QStringLiteral("cmdNext"));
    frmIrrigationInfo& package = wizard_->irrigationInfo();
    ASSERT_TRUE(QTest::qWaitFor([&] { return package.isMaximized(); }, 5000));
    inReach(package);
    click(package, QStringLiteral("cmdNext"));
    EXPECT_EQ(corner(inReach(wizard_->soilInfo())), corner(room_)) << "after a maximised one";

    // Each screen dragged somewhere first; for the last two, where the next would stick out.
    const std::vector<std::pair<QWidget*, const char*>> steps{
        {&wizard_->soilInfo(), "cmdNext"},      {&wizard_->waterLevel(), "cmdNext"},
        {&wizard_->result(), "cmdBack"},        {&wizard_->waterLevel(), "cmdNext"},
        {&wizard_->result(), "cmdAnotherCrop"}, {&choice, "cmdNext"},
        {&wizard_->soilInfo(), "cmdBack"}};
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto& [screen, button] = steps[i];
        const bool outside = i + 2 >= steps.size();
        const int step = static_cast<int>(i);
        screen->move(outside ? QPoint(room_.right() - 300, -15)
                             : room_.topLeft() + QPoint(30 + 20 * step, 6 * (step % 2)));
        const QRect from = settledFrame(*screen).value_or(QRect());
        click(*screen, QString::fromLatin1(button));
        QWidget* next = nullptr;
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (next = QApplication::activeWindow()) != nullptr && next != screen; },
            5000));
        SCOPED_TRACE(screen->objectName().toStdString() + " to " +
                     next->objectName().toStdString());
        const QRect to = inReach(*next);
        if (outside) {
            EXPECT_EQ(to.right(), room_.right());
            EXPECT_EQ(to.top(), room_.top());
        } else {
            EXPECT_EQ(corner(to), corner(from));
        }
    }
}

// A plan opened as the program starts (tavik FILE.tavikplan) shows its result screen in reach;
// a screen larger than the room keeps its top left corner, with the title bar, on the screen.
TEST_F(WindowManager, APlanOpenedAtTheStartShowsItsResultInReach) {
    wizard_->showFirst(wizard_->choice());
    ASSERT_TRUE(wizard_->plans().open(
        test::sourcePath(QStringLiteral("examples/maize-planted.tavikplan")), wizard_->choice()));
    frmMain& result = wizard_->result();
    inReach(result);
    result.resize(room_.size() + QSize(200, 200));
    click(result, QStringLiteral("cmdBack"));
    inReach(wizard_->waterLevel());
    click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
    EXPECT_EQ(corner(inReach(result)), corner(room_));
}

} // namespace
} // namespace tavik

int main(int argc, char** argv) {
    return desktop::runTests(argc, argv, QSize(1366, 768));
}
