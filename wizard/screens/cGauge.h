#pragma once

#include "model/DialGeometry.h"

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <optional>

namespace tavik {

// A half-round dial with a needle, like a pressure gauge. The widget is the box that holds
// the dial face: give it the face with setFace(), call Setup() once with the scale, then
// set values. Setup makes the widget twice as wide as high, cuts it to the upper half of a
// circle centred on its bottom edge and keeps a copy of the face; every accepted value copies
// the face back and draws one straight needle from the middle of the bottom edge. The scale
// runs clockwise over the top: the minimum points straight left, the maximum straight right.
class cGauge : public QWidget {
    Q_OBJECT
public:
    explicit cGauge(QWidget* parent = nullptr);

    // The dial face, shown fitted to the drawing area. Takes effect at the next Setup.
    void setFace(const QPixmap& face);
    QPixmap face() const { return face_; }

    // Sizes and cuts the widget, captures the face and sets the scale lng_MinValue ..
    // lng_MaxValue. The value starts at 0 and no needle shows until the first accepted value.
    // A scale without a span (minimum not below maximum, or a span too wide for a long)
    // accepts no value: the gauge then shows the bare face, as does a gauge under 20 pixels
    // high, which has no room for a needle. Calling Setup again starts afresh from the face.
    void Setup(long lng_MinValue, long lng_MaxValue);

    // The value shown; 0 until the first accepted value, even when 0 lies outside the scale.
    long Value() const { return value_ ? value_->Value() : 0; }
    // A value outside the scale is ignored and leaves the picture as it was.
    void setValue(long lng_NewVal);

    bool hasScale() const { return geometry_.has_value(); }
    // Pivot, needle length and angles of the current scale; null without a scale.
    const DialGeometry* dialGeometry() const { return geometry_ ? &*geometry_ : nullptr; }

    // What the gauge shows inside its half disc: the face and the needle. Null before Setup.
    QImage picture() const { return image_; }

    static QColor needleColour() { return {255, 64, 32}; }
    // The dial face shipped in the program's folder (dial.png); null when it cannot be read.
    static QPixmap loadDialFace(const QString& programFolder, qreal devicePixelRatio = 1);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawNeedle();

    QPixmap face_;
    QImage backBuffer_; // the face as captured by Setup
    QImage image_;      // the face with the needle, as shown
    std::optional<DialGeometry> geometry_;
    std::optional<DialValue> value_;
};

} // namespace tavik
