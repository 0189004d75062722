#pragma once

#include <QIcon>
#include <QPixmap>

namespace tavikcalc {

// The pictures built into the program: bitmap 131 (520 × 317, the splash window and the
// About box) and 132 (239 × 56, the main dialog's banner); a null pixmap for another number.
QPixmap loadBitmap(int id);

// Icon 128, the windows' icon, in its small and large sizes.
QIcon applicationIcon();

} // namespace tavikcalc
