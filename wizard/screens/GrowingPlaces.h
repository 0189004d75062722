#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace tavik {

// Lets the controls of a client area that the user can enlarge follow the window: each
// control's edges follow given shares of the growth in width and height. At the designed size
// (the client area's size when this is made, its smallest) every control stands where it was
// placed.
class GrowingPlaces : public QObject {
public:
    explicit GrowingPlaces(QWidget& client);

    // Shares of the growth: the left edge moves by `left` of the width's growth, the width
    // grows by `width` of it; likewise top and height with the height's growth.
    struct Shares {
        double left = 0;
        double top = 0;
        double width = 0;
        double height = 0;
    };
    // From now on the control follows; its current geometry is its designed one.
    void follow(QWidget* control, Shares shares);
    // Places every control for the client area's current size.
    void apply();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Place {
        QWidget* control;
        QRect designed;
        Shares shares;
    };
    QWidget& client_;
    QSize designed_;
    std::vector<Place> places_;
};

} // namespace tavik
