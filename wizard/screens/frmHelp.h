#pragma once

#include "HelpPages.h"

#include <QTextBrowser>
#include <QWidget>
#include <optional>

class QPushButton;

namespace tavik {

class Wizard;

// The manual's text: pages from the program's resources, the soil's figures filled in as a
// page is loaded.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit HelpBrowser(QWidget* parent);

    void setSoilFigures(const std::optional<SoilFigures>& soil) { soil_ = soil; }
    QVariant loadResource(int type, const QUrl& name) override;

    // Follows a link: a page of the manual opens here, an http(s) address in the desktop's
    // browser; anything else (files, programs, mail) is refused. Whether it was followed.
    bool follow(const QUrl& link);

private:
    std::optional<SoilFigures> soil_;
};

// The manual, "Using TAVIK+": a window of its own beside the screens, with Contents, Back
// and Forward, opened at the page of the screen it was asked from.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    frmHelp();

    // Shows the page (a name from helpPages()) with the soil's figures as they are now.
    void showPage(const QString& page, const std::optional<SoilFigures>& soil);
    // The page shown: its name, such as "soil.html".
    QString page() const;
    HelpBrowser& browser() { return *txtHelp_; }

private:
    HelpBrowser* txtHelp_;
    QPushButton* cmdHome_;
    QPushButton* cmdBack_;
    QPushButton* cmdForward_;
    QPushButton* cmdClose_;
};

// The soil that the wizard's screens last worked out; none before the soil screen's Next
// has given a PAWC (or while its figures are not those of the soil water level screen).
std::optional<SoilFigures> soilFiguresOf(Wizard& wizard);

} // namespace tavik
