#include "Pictures.h"

namespace tavikcalc {

QPixmap loadBitmap(int id) {
    if (id != 131 && id != 132) {
        return {};
    }
    return QPixmap(QStringLiteral(":/tavikcalc/bitmap%1.png").arg(id));
}

QIcon applicationIcon() {
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addFile(QStringLiteral(":/tavikcalc/icon128-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace tavikcalc
