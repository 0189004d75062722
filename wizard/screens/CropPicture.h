#pragma once

#include "state/Cell.h"

#include <QIcon>
#include <QPixmap>
#include <QString>

namespace tavik {

// The picture a crop's column 37 names, below the program's folder. A null pixmap when the
// path leads outside that folder, names no regular file of picture size (a pipe, a device,
// a folder, a file of many megabytes) or no readable picture: the crop is then shown
// without one.
// At a device pixel ratio above 1 the picture is rendered sharp from its drawing when one lies
// beside it (see loadPicture).
QPixmap loadCropPicture(const QString& programFolder, const Cell& pictureCell,
                        qreal devicePixelRatio = 1);

// A picture of the program's folder for a screen of the given device pixel ratio: at a ratio
// above 1, when a drawing of the same name with ".svg" lies beside it, the drawing rendered at
// the picture's size times the ratio (a pixmap of that ratio, sharp where a scaled-up bitmap
// would be blurred); otherwise the picture itself. Only regular files of picture size are
// read. A null pixmap when neither can be read.
QPixmap loadPicture(const QString& path, qreal devicePixelRatio);

// The program's icon from its picture, with larger sizes rendered from the drawing beside it.
QIcon loadIcon(const QString& path);

} // namespace tavik
