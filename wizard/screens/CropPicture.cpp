#include "CropPicture.h"

#include "state/CropTable.h"

#include <QBuffer>
#include <QByteArray>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavik {

namespace {

// A crop picture is button-sized: a file far larger than that is not read.
constexpr qint64 kMaxPictureBytes = 4 * 1024 * 1024;

// The whole file, when it is a regular file of at most kMaxPictureBytes. Opening does not
// wait (a pipe or a device named in the workbook would otherwise hang the screen) and the
// kind and size are checked on the file opened, not on its name.
std::optional<QByteArray> readPictureFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat status {};
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
        status.st_size <= kMaxPictureBytes) {
        QByteArray data(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t got =
                ::read(fd, data.data() + done, static_cast<size_t>(data.size() - done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += got;
        }
        if (done == data.size()) {
            bytes = std::move(data);
        }
    }
    ::close(fd);
    return bytes;
}

QImage readImage(QByteArray& bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Refuse absurd image sizes rather than allocate for them.
    reader.setAllocationLimit(64);
    return reader.read();
}

// The drawing of a picture, when there is one that can be read: "x.svg" beside "x.png" (as
// the program's folder has it), else in the "src" folder beside it (as the sources keep it).
std::optional<QByteArray> drawingOf(const QString& path) {
    const QFileInfo picture(path);
    const QString name = picture.completeBaseName() + QStringLiteral(".svg");
    for (const QString& folder : {picture.path(), picture.path() + QStringLiteral("/src")}) {
        if (auto drawing = readPictureFile((folder + QLatin1Char('/') + name).toStdString())) {
            return drawing;
        }
    }
    return std::nullopt;
}

// A drawing rendered into an image of the given size (the logical size when none is given
// times the ratio); a null image when it cannot be.
QImage renderDrawing(const QByteArray& drawing, QSize logical, qreal devicePixelRatio) {
    QSvgRenderer renderer(drawing);
    if (logical.isEmpty()) {
        logical = renderer.defaultSize();
    }
    const QSize pixels = (QSizeF(logical) * devicePixelRatio).toSize();
    if (!renderer.isValid() || logical.isEmpty() || pixels.width() > 4096 ||
        pixels.height() > 4096) {
        return {};
    }
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    image.setDevicePixelRatio(devicePixelRatio);
    return image;
}

} // namespace

QPixmap loadPicture(const QString& path, qreal devicePixelRatio) {
    auto bytes = readPictureFile(path.toStdString());
    const QImage image = bytes ? readImage(*bytes) : QImage();
    if (devicePixelRatio > 1) {
        if (const auto drawing = drawingOf(path)) {
            const QImage sharp = renderDrawing(*drawing, image.size(), devicePixelRatio);
            if (!sharp.isNull()) {
                return QPixmap::fromImage(sharp);
            }
        }
    }
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

QIcon loadIcon(const QString& path) {
    QIcon icon;
    const QPixmap picture = loadPicture(path, 1);
    if (!picture.isNull()) {
        icon.addPixmap(picture);
    }
    // Larger sizes than the picture's own from its drawing, for high-density screens.
    if (const auto drawing = drawingOf(path)) {
        for (const int size : {128, 192, 256}) {
            if (size > picture.width()) {
                const QImage image = renderDrawing(*drawing, QSize(size, size), 1);
                if (!image.isNull()) {
                    icon.addPixmap(QPixmap::fromImage(image));
                }
            }
        }
    }
    return icon;
}

QPixmap loadCropPicture(const QString& programFolder, const Cell& pictureCell,
                        qreal devicePixelRatio) {
    const auto path = cropPicturePath(programFolder.toStdString(), pictureCell);
    if (!path) {
        return {};
    }
    return loadPicture(QString::fromStdString(path->string()), devicePixelRatio);
}

} // namespace tavik
