#include "Pictures.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace tavikcalc {

namespace {

// The drawing a picture was rendered from, rendered again at the picture's size times the
// ratio: sharp on a high-density screen where the bitmap scaled up would be blurred.
QPixmap renderDrawing(const QString& drawing, QSize logical, qreal devicePixelRatio) {
    QSvgRenderer renderer(drawing);
    if (!renderer.isValid() || logical.isEmpty()) {
        return {};
    }
    QImage image((QSizeF(logical) * devicePixelRatio).toSize(),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(image);
}

qreal ratioOrApplications(qreal devicePixelRatio) {
    if (devicePixelRatio > 0) {
        return devicePixelRatio;
    }
    return qGuiApp ? qGuiApp->devicePixelRatio() : 1;
}

} // namespace

QPixmap loadBitmap(int id, qreal devicePixelRatio) {
    if (id != 131 && id != 132) {
        return {};
    }
    const QPixmap bitmap(QStringLiteral(":/tavikcalc/bitmap%1.png").arg(id));
    const qreal ratio = ratioOrApplications(devicePixelRatio);
    if (ratio > 1) {
        const QPixmap sharp =
            renderDrawing(id == 131 ? QStringLiteral(":/tavikcalc/src/splash.svg")
                                    : QStringLiteral(":/tavikcalc/src/banner.svg"),
                          bitmap.size(), ratio);
        if (!sharp.isNull()) {
            return sharp;
        }
    }
    return bitmap;
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/tavikcalc/icon128-%1.png").arg(size), QSize(size, size));
    }
    // Larger sizes from the drawing, for high-density screens and task switchers.
    for (int size : {96, 128, 256}) {
        icon.addPixmap(
            renderDrawing(QStringLiteral(":/tavikcalc/src/icon.svg"), QSize(size, size), 1));
    }
    return icon;
}

} // namespace tavikcalc
