#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <cmath>

namespace tavik {

// The screens are designed in twips (1440 to the inch); at 96 dpi a pixel is 15 twips. Qt's
// device-independent pixels scale the result on high-density screens.
inline constexpr double kTwipsPerPixel = 15.0;

inline int twips(double value) {
    return static_cast<int>(std::lround(value / kTwipsPerPixel));
}
inline double toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}
inline QPoint twipsPoint(double left, double top) {
    return {twips(left), twips(top)};
}
inline QSize twipsSize(double width, double height) {
    return {twips(width), twips(height)};
}
inline QRect twipsRect(double left, double top, double width, double height) {
    return {twipsPoint(left, top), twipsSize(width, height)};
}

// Places a control as designed.
inline void place(QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(twipsRect(left, top, width, height));
}
// Places a control at its designed position with the size its text needs.
inline void placeAutoSized(QWidget* widget, double left, double top) {
    widget->adjustSize();
    widget->move(twipsPoint(left, top));
}

} // namespace tavik
