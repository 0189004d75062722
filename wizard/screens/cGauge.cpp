#include "cGauge.h"

#include "CropPicture.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <limits>

namespace tavik {

namespace {

// Wide enough to show along the bottom edge: at the ends of the scale the needle lies on the
// edge itself, so only its upper half falls inside the drawing area.
constexpr double kNeedleWidth = 3.0;

// A scale needs a span, and the span must fit in a long for the angle arithmetic.
bool hasSpan(long minValue, long maxValue) {
    if (minValue >= maxValue) {
        return false;
    }
    return minValue >= 0 || maxValue <= std::numeric_limits<long>::max() + minValue;
}

} // namespace

cGauge::cGauge(QWidget* parent) : QWidget(parent) {}

void cGauge::setFace(const QPixmap& face) {
    face_ = face;
    if (image_.isNull()) {
        update(); // before Setup the box shows the face as it is
    }
}

void cGauge::Setup(long lng_MinValue, long lng_MaxValue) {
    resize(2 * height(), height());
    const int w = width();
    const int h = height();

    // The back buffer: the face fitted to the drawing area, so that its hub lies under the
    // pivot whatever the face's own size. It is taken from the face itself, never from what is
    // shown, so a needle drawn before can never become part of it.
    // At the screen's resolution, so that a sharp face stays sharp on a high-density screen.
    const qreal ratio = devicePixelRatioF();
    backBuffer_ = QImage(qRound(w * ratio), qRound(h * ratio), QImage::Format_ARGB32_Premultiplied);
    backBuffer_.setDevicePixelRatio(ratio);
    if (!backBuffer_.isNull()) {
        backBuffer_.fill(Qt::transparent);
        if (!face_.isNull()) {
            QPainter painter(&backBuffer_);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(QRectF(0, 0, w, h), face_, QRectF(face_.rect()));
        }
    }
    image_ = backBuffer_;

    geometry_.reset();
    value_.reset();
    if (hasSpan(lng_MinValue, lng_MaxValue)) {
        geometry_.emplace(w, h, lng_MinValue, lng_MaxValue);
        value_.emplace(lng_MinValue, lng_MaxValue);
    }

    // A circle (an ellipse for a box that could not be made twice as wide as high) centred on
    // the bottom edge: only its upper half lies inside the widget.
    setMask(QRegion(0, 0, w, 2 * h, QRegion::Ellipse));
    update();
}

void cGauge::setValue(long lng_NewVal) {
    if (value_ && value_->setValue(lng_NewVal)) {
        DrawNeedle();
    }
}

void cGauge::DrawNeedle() {
    image_ = backBuffer_; // the face, copied back in one block as the painter detaches it
    if (!image_.isNull() && geometry_->NeedleLength() > 0) {
        const DialGeometry::Point tip = geometry_->needleTip(value_->Value());
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(needleColour(), kNeedleWidth, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(static_cast<double>(geometry_->PivotX()),
                                 static_cast<double>(geometry_->PivotY())),
                         QPointF(static_cast<double>(tip.x), static_cast<double>(tip.y)));
    }
    update();
}

void cGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!image_.isNull()) {
        painter.drawImage(0, 0, image_);
    } else if (!face_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(rect(), face_);
    }
}

QPixmap cGauge::loadDialFace(const QString& programFolder, qreal devicePixelRatio) {
    return loadPicture(QDir(programFolder).filePath(QStringLiteral("dial.png")), devicePixelRatio);
}

} // namespace tavik
