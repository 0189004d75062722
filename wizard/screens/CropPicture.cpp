#include "CropPicture.h"

#include "state/CropTable.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
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

} // namespace

QPixmap loadCropPicture(const QString& programFolder, const Cell& pictureCell) {
    const auto path = cropPicturePath(programFolder.toStdString(), pictureCell);
    if (!path) {
        return {};
    }
    auto bytes = readPictureFile(path->string());
    if (!bytes) {
        return {};
    }
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Refuse absurd image sizes rather than allocate for them.
    reader.setAllocationLimit(64);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

} // namespace tavik
