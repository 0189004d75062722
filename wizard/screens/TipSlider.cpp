#include "TipSlider.h"

#include <QEvent>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

namespace tavik {

TipSlider::TipSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    // valueChanged comes once the value settles: on release after a drag, at once for the
    // keyboard and for values set by the program.
    setTracking(false);
    setMouseTracking(true);
    // Moves by the keyboard or on the track come as actions; a drag of the thumb, with
    // tracking off, only as sliderMoved.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int) { emit scrolled(sliderPosition()); });
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int position) {
        emit scrolled(position);
        showDragTip();
    });
}

void TipSlider::setDragTipText(const QString& text) {
    dragTipText_ = text;
    if (isSliderDown()) {
        showDragTip();
    }
}

void TipSlider::showDragTip() {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    QToolTip::showText(mapToGlobal(handle.topRight()), dragTipText_, this);
}

void TipSlider::mouseMoveEvent(QMouseEvent* event) {
    emit hovered();
    QSlider::mouseMoveEvent(event);
}

bool TipSlider::event(QEvent* event) {
    if (event->type() == QEvent::Enter || event->type() == QEvent::HoverMove) {
        emit hovered();
    }
    return QSlider::event(event);
}

} // namespace tavik
