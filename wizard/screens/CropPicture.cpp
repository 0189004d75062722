#include "CropPicture.h"

#include "state/CropTable.h"

#include <QImageReader>

namespace tavik {

QPixmap loadCropPicture(const QString& programFolder, const Cell& pictureCell) {
    const auto path = cropPicturePath(programFolder.toStdString(), pictureCell);
    if (!path) {
        return {};
    }
    QImageReader reader(QString::fromStdString(path->string()));
    // A crop picture is button-sized; refuse absurd sizes rather than allocate for them.
    reader.setAllocationLimit(64);
    const QImage image = reader.read();
    return image.isNull() ? QPixmap() : QPixmap::fromImage(image);
}

} // namespace tavik
