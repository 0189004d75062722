#include "CAboutDlg.h"

#include "DialogUnits.h"
#include "Pictures.h"

#include <QLabel>
#include <QPushButton>

namespace tavikcalc {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("About Tavik"));
    setFont(dialogFont());
    const DialogUnits units(font());

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture"));
    const QPixmap bitmap = loadBitmap(131);
    picture->setPixmap(bitmap);
    picture->setGeometry(QRect(QPoint(0, 0), bitmap.deviceIndependentSize().toSize()));

    // The box is the picture, which was drawn to the box's designed size; the OK button keeps
    // its place on it whatever the font makes of the dialog units.
    const QSize designed = units.rect(0, 0, 347, 195).size();
    const QSize box = bitmap.isNull() ? designed : picture->size();
    setFixedSize(box);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    const QRect button = units.rect(273, 158, 50, 14);
    ok->setGeometry(QRect(QPoint(button.x() * box.width() / designed.width(),
                                 button.y() * box.height() / designed.height()),
                          button.size()));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

} // namespace tavikcalc
