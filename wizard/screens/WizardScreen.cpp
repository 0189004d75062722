#include "WizardScreen.h"

#include "Twips.h"
#include "Wizard.h"

#include <QCloseEvent>
#include <QMenuBar>

namespace tavik {

WizardScreen::WizardScreen(Wizard& wizard, const QString& name, const QString& caption,
                           double clientWidth, double clientHeight)
    : wizard_(wizard), client_(new QWidget(this)) {
    setObjectName(name);
    setWindowTitle(caption);
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("mnuFile"));
    exit_ = fileMenu_->addAction(QStringLiteral("&Exit"));
    exit_->setObjectName(QStringLiteral("mnuFileExit"));
    connect(exit_, &QAction::triggered, this, [this] { wizard_.exit(); });
    client_->setFixedSize(twipsSize(clientWidth, clientHeight));
    setCentralWidget(client_);
    setWindowIcon(wizard.icon());
}

void WizardScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    wizard_.exit();
}

} // namespace tavik
