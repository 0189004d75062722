#pragma once

#include <QSlider>

namespace tavik {

// A slider with a drag tip: a text shown beside the thumb while the user drags it (and
// which the screens also copy into the tooltip).
class TipSlider : public QSlider {
    Q_OBJECT
    Q_PROPERTY(QString dragTipText READ dragTipText WRITE setDragTipText)
public:
    explicit TipSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    QString dragTipText() const { return dragTipText_; }
    void setDragTipText(const QString& text);

signals:
    // The user moved the thumb (dragging, the keyboard, a click on the track); the position
    // is the new value, before valueChanged.
    void scrolled(int position);
    // The pointer moved over the slider.
    void hovered();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void showDragTip();
    QString dragTipText_;
};

} // namespace tavik
