#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace tavikcalc {

// The font of the calculator's dialogs. They were laid out for MS Sans Serif 8 pt, a narrow
// face; its stand-in Liberation Sans takes the same room at 7.5 pt (10 pixels at 96 dpi),
// so that every caption fits the rectangle drawn for it.
QFont dialogFont();

// Dialog units: a quarter of the dialog font's average character width across and an eighth
// of its height down. The dialogs are drawn in these units; this turns them into pixels
// (device-independent ones: high-density screens scale them further).
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int baseX() const { return baseX_; }
    int baseY() const { return baseY_; }
    int x(int units) const;
    int y(int units) const;
    // A rectangle in dialog units; its edges are converted, so that neighbours stay flush.
    QRect rect(int left, int top, int width, int height) const;
    void place(QWidget* widget, int left, int top, int width, int height) const;

private:
    int baseX_;
    int baseY_;
};

} // namespace tavikcalc
