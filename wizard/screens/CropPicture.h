#pragma once

#include "state/Cell.h"

#include <QPixmap>
#include <QString>

namespace tavik {

// The picture a crop's column 37 names, below the program's folder. A null pixmap when the
// path leads outside that folder, names no regular file of picture size (a pipe, a device,
// a folder, a file of many megabytes) or no readable picture: the crop is then shown
// without one.
QPixmap loadCropPicture(const QString& programFolder, const Cell& pictureCell);

} // namespace tavik
