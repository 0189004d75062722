#pragma once

#include <QMainWindow>

class QAction;
class QMenu;

namespace tavik {

class Wizard;

// A screen of the wizard: a fixed-size window with the designed client area and a File menu
// whose first items open and save plans and whose Exit ends the program. Closing the window
// with its own close button ends the run too, so that no hidden screen is left behind; both
// ask first about unsaved changes to a plan.
class WizardScreen : public QMainWindow {
    Q_OBJECT
public:
    WizardScreen(Wizard& wizard, const QString& name, const QString& caption, double clientWidth,
                 double clientHeight);

    // The client area that controls are placed on, in the designed coordinates.
    QWidget* client() const { return client_; }
    QMenu* fileMenu() const { return fileMenu_; }
    QAction* exitAction() const { return exit_; }
    // The separator after the plan's items, before the screen's own.
    QAction* planItemsEnd() const { return planItemsEnd_; }
    // Help > "Using TAVIK+" (F1 anywhere on the screen): the manual at this screen's page.
    QAction* helpAction() const { return helpUsing_; }
    // The screen's own title, without the plan's file name.
    const QString& caption() const { return caption_; }

protected:
    // A Help menu after the File menu, holding "Using TAVIK+", for screens without one.
    void addHelpMenu();
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    Wizard& wizard_;

private:
    QWidget* client_;
    QMenu* fileMenu_;
    QAction* exit_;
    QAction* planItemsEnd_;
    QAction* helpUsing_;
    QString caption_;
};

} // namespace tavik
