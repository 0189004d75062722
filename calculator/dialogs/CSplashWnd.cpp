#include "CSplashWnd.h"

#include "Pictures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace tavikcalc {

void CSplashWnd::ShowSplashScreen(SplashState& state, QWidget* parent) {
    if (!state.enabled || state.window || state.shown) {
        return;
    }
    const QPixmap bitmap = loadBitmap(131);
    if (bitmap.isNull()) {
        return; // the program goes on without its splash
    }
    state.shown = true;
    state.window = new CSplashWnd(state, bitmap, parent);
    state.window->show();
    state.window->raise();
    state.window->repaint();
}

CSplashWnd::CSplashWnd(SplashState& state, const QPixmap& bitmap, QWidget* parent)
    // Kept above the main dialog, which a window manager would otherwise raise over it when it
    // becomes the active window: the splash is there to be seen.
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      state_(state), bitmap_(bitmap) {
    setObjectName(QStringLiteral("CSplashWnd"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setCursor(Qt::ArrowCursor);
    setFixedSize(bitmap_.deviceIndependentSize().toSize());

    // Centred over the main dialog when it is up, else on the screen; kept on the screen.
    QRect frame(QPoint(0, 0), size());
    QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
    if (parent != nullptr && parent->isVisible()) {
        frame.moveCenter(parent->frameGeometry().center());
    } else if (screen != nullptr) {
        frame.moveCenter(screen->availableGeometry().center());
    }
    if (screen != nullptr) {
        const QRect available = screen->availableGeometry();
        frame.moveLeft(
            std::max(available.left(), std::min(frame.left(), available.right() - width() + 1)));
        frame.moveTop(
            std::max(available.top(), std::min(frame.top(), available.bottom() - height() + 1)));
    }
    move(frame.topLeft());

    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &CSplashWnd::HideSplashScreen);
    timer_.start(kDisplayMilliseconds);
    qApp->installEventFilter(this);
}

CSplashWnd::~CSplashWnd() {
    qApp->removeEventFilter(this);
}

void CSplashWnd::HideSplashScreen() {
    qApp->removeEventFilter(this);
    timer_.stop();
    state_.window = nullptr;
    QWidget* mainWindow = parentWidget();
    close(); // deletes the object once control returns to the event loop
    if (mainWindow != nullptr && mainWindow->isVisible()) {
        mainWindow->repaint();
    }
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, bitmap_);
}

bool CSplashWnd::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        HideSplashScreen();
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick: {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton) {
            HideSplashScreen();
            return true;
        }
        return false;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace tavikcalc
