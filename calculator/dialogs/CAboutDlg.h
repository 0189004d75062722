#pragma once

#include <QDialog>

namespace tavikcalc {

// The About box: bitmap 131 in a window without a caption bar, and an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tavikcalc
