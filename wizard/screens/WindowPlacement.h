#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

namespace tavik {

// Where a window's frame goes so that all of it lies in the room (a screen's available area,
// without panels and docks). A frame larger than the room keeps its top left corner, and so its
// title bar, inside: the window can always be taken by its title and moved.
QRect fitInside(QRect frame, const QRect& room);

// The frame the window manager has put around a window: none before it has framed it, nor on
// a platform without frames.
QMargins frameMargins(const QWidget& window);

// A guess of the frame of a window not yet framed, before any other window was: a title bar
// of the style's height. Used only until the real frame is known.
QMargins guessedFrameMargins(const QWidget& window);

// Puts a window (shown or not) with its frame at a place, given the frame it has or will have.
// The client area is what is placed: before a window has been shown the toolkit does not know
// its frame, and a window moved "frame first" would have its client area put there instead.
void placeFrame(QWidget& window, const QPoint& frameTopLeft, const QMargins& margins);

// Sizes a window that was never shown as showing it would, so that its size is known before
// it is placed.
void sizeForShowing(QWidget& window);

// Once the window manager has framed a window that has just been shown, moves the frame
// inside its screen's available area if it came out other than expected, and tells the frame's
// margins (once; not at all when no frame comes within a few seconds).
void fitWhenFramed(QWidget& window, std::function<void(const QMargins&)> learned = {});

} // namespace tavik
