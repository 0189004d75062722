#include "WindowPlacement.h"

#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace tavik {

namespace {

// How long to wait for a window manager to frame a window just shown, and how often to look.
constexpr int kFrameLookInterval = 20; // ms
constexpr int kFrameLooks = 150;       // 3 s in all
const char* const kFrameWatchName = "fitWhenFramed";

} // namespace

QRect fitInside(QRect frame, const QRect& room) {
    // Right and bottom first, then left and top: where the frame is larger than the room, its
    // top left corner wins.
    frame.moveLeft(std::min(frame.left(), room.left() + room.width() - frame.width()));
    frame.moveTop(std::min(frame.top(), room.top() + room.height() - frame.height()));
    frame.moveLeft(std::max(frame.left(), room.left()));
    frame.moveTop(std::max(frame.top(), room.top()));
    return frame;
}

QMargins frameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

QMargins guessedFrameMargins(const QWidget& window) {
    if (window.windowFlags().testFlag(Qt::FramelessWindowHint) ||
        window.windowType() == Qt::SplashScreen) {
        return {};
    }
    return {0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window), 0, 0};
}

void placeFrame(QWidget& window, const QPoint& frameTopLeft, const QMargins& margins) {
    window.setGeometry(QRect(frameTopLeft + QPoint(margins.left(), margins.top()), window.size()));
}

void sizeForShowing(QWidget& window) {
    if (!window.testAttribute(Qt::WA_Resized)) {
        window.adjustSize();
    }
}

void fitWhenFramed(QWidget& window, std::function<void(const QMargins&)> learned) {
    delete window.findChild<QTimer*>(QString::fromLatin1(kFrameWatchName),
                                     Qt::FindDirectChildrenOnly);
    auto* watch = new QTimer(&window);
    watch->setObjectName(QString::fromLatin1(kFrameWatchName));
    watch->setInterval(kFrameLookInterval);
    QObject::connect(watch, &QTimer::timeout, &window,
                     [&window, watch, looks = 0, learned = std::move(learned)]() mutable {
                         const QMargins margins = frameMargins(window);
                         const bool framed = !margins.isNull();
                         if (!framed && ++looks < kFrameLooks && window.isVisible()) {
                             return;
                         }
                         watch->stop();
                         watch->deleteLater();
                         if (!framed || !window.isVisible()) {
                             return;
                         }
                         if (learned) {
                             learned(margins);
                         }
                         if (window.windowState() &
                             (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized)) {
                             return;
                         }
                         const QRect frame = window.frameGeometry();
                         const QRect fitted =
                             fitInside(frame, window.screen()->availableGeometry());
                         if (fitted.topLeft() != frame.topLeft()) {
                             placeFrame(window, fitted.topLeft(), margins);
                         }
                     });
    watch->start();
}

} // namespace tavik
