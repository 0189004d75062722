#pragma once

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace tavikcalc {

class CSplashWnd;

// What a run of the program knows about its splash window: whether the command line allows
// it, whether it has been shown already (it is shown at most once), and the window while it
// is up. The application owns it; it outlives the main dialog.
struct SplashState {
    bool enabled = true;
    bool shown = false;
    QPointer<CSplashWnd> window;
};

// The splash window: bitmap 131 in a frameless window centred over the main dialog, for
// three seconds or until the first key or mouse button press anywhere in the program, which
// it swallows.
class CSplashWnd : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDisplayMilliseconds = 3000;

    // Shows the splash window over `parent` unless the command line turned it off, one is up
    // already, one was shown before in this run, or bitmap 131 cannot be loaded.
    static void ShowSplashScreen(SplashState& state, QWidget* parent);

    // Closes the window, repaints the main dialog at once and lets the object go.
    void HideSplashScreen();

    ~CSplashWnd() override;

    const QTimer& timer() const { return timer_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    // The program's message filter while the splash is up.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CSplashWnd(SplashState& state, const QPixmap& bitmap, QWidget* parent);

    SplashState& state_;
    QPixmap bitmap_;
    QTimer timer_;
};

} // namespace tavikcalc
