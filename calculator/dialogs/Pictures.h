#pragma once

#include <QIcon>
#include <QPixmap>

namespace tavikcalc {

// The pictures built into the program: bitmap 131 (520 × 317, the splash window and the
// About box) and 132 (239 × 56, the main dialog's banner); a null pixmap for another number.
// At a device pixel ratio above 1 (by default the application's) the picture is rendered from
// its drawing at that ratio: the same logical size, sharp on a high-density screen.
QPixmap loadBitmap(int id, qreal devicePixelRatio = 0);

// Icon 128, the windows' icon, in its small sizes and larger ones rendered from its drawing.
QIcon applicationIcon();

} // namespace tavikcalc
