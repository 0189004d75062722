#include "WizardScreen.h"

#include "HelpPages.h"
#include "PlanFiles.h"
#include "Twips.h"
#include "Wizard.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace tavik {

WizardScreen::WizardScreen(Wizard& wizard, const QString& name, const QString& caption,
                           double clientWidth, double clientHeight)
    : wizard_(wizard), client_(new QWidget(this)), caption_(caption) {
    setObjectName(name);
    setWindowTitle(caption);
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    fileMenu_->setObjectName(QStringLiteral("mnuFile"));
    const auto planItem = [this](const QString& text, const QString& objectName,
                                 const QKeySequence& key, auto command) {
        QAction* action = fileMenu_->addAction(text);
        action->setObjectName(objectName);
        action->setShortcut(key);
        connect(action, &QAction::triggered, this, command);
    };
    planItem(QStringLiteral("&Open plan\u2026"), QStringLiteral("mnuFileOpenPlan"),
             QKeySequence(QKeySequence::Open), [this] { wizard_.plans().openChosen(*this); });
    planItem(QStringLiteral("Save p&lan"), QStringLiteral("mnuFileSavePlan"),
             QKeySequence(QKeySequence::Save), [this] { wizard_.plans().save(*this); });
    // Named outright: the desktop's own "save as" keys are none on many desktops.
    planItem(QStringLiteral("Save plan &as\u2026"), QStringLiteral("mnuFileSavePlanAs"),
             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
             [this] { wizard_.plans().saveAs(*this); });
    planItemsEnd_ = fileMenu_->addSeparator();
    exit_ = fileMenu_->addAction(QStringLiteral("&Exit"));
    exit_->setObjectName(QStringLiteral("mnuFileExit"));
    connect(exit_, &QAction::triggered, this, [this] { wizard_.requestExit(*this); });
    // The manual's key works on the screen whether or not a menu holds the item.
    helpUsing_ = new QAction(QStringLiteral("Using TAVIK+"), this);
    helpUsing_->setObjectName(QStringLiteral("mnuHelpUsing"));
    helpUsing_->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(helpUsing_);
    connect(helpUsing_, &QAction::triggered, this,
            [this] { wizard_.help(helpPageOf(objectName())); });
    client_->setFixedSize(twipsSize(clientWidth, clientHeight));
    setCentralWidget(client_);
    setWindowIcon(wizard.icon());
}

void WizardScreen::addHelpMenu() {
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    help->addAction(helpUsing_);
}

void WizardScreen::closeEvent(QCloseEvent* event) {
    if (wizard_.exited() || wizard_.requestExit(*this)) {
        event->accept();
    } else {
        event->ignore();
    }
}

void WizardScreen::keyPressEvent(QKeyEvent* event) {
    // Return and Enter press the push button that has the focus, as in a dialog (a screen's
    // buttons are not a dialog's, so they do not do it themselves).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget());
            button != nullptr && button->isEnabled() && button->isVisible()) {
            event->accept();
            button->click();
            return;
        }
    }
    QMainWindow::keyPressEvent(event);
}

} // namespace tavik
