#pragma once

#include "state/Cell.h"

#include <QPixmap>
#include <QString>

namespace tavik {

// The picture a crop's column 37 names, below the program's folder. A null pixmap when the
// path leads outside that folder or names no readable picture: the crop is then shown
// without one.
QPixmap loadCropPicture(const QString& programFolder, const Cell& pictureCell);

} // namespace tavik
