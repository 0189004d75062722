#include "DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace tavikcalc {

namespace {

// a × b / c rounded to the nearest whole number, halves away from zero.
int mulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

} // namespace

QFont dialogFont() {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(7.5);
    return font;
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded to the nearest pixel.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseX_ = (letters / 26 + 1) / 2;
    baseY_ = metrics.height();
}

int DialogUnits::x(int units) const {
    return mulDiv(units, baseX_, 4);
}

int DialogUnits::y(int units) const {
    return mulDiv(units, baseY_, 8);
}

QRect DialogUnits::rect(int left, int top, int width, int height) const {
    const int l = x(left);
    const int t = y(top);
    return {l, t, x(left + width) - l, y(top + height) - t};
}

void DialogUnits::place(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(rect(left, top, width, height));
}

} // namespace tavikcalc
