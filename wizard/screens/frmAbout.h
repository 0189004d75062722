#pragma once

#include <QDialog>
#include <functional>

namespace tavik {

class Wizard;

// The About box: title, version, what the program is and who made it, and a button that
// opens the system's information viewer.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // startViewer starts the system-information viewer and says whether it did.
    frmAbout(Wizard& wizard, std::function<bool()> startViewer);

    // Starts the first system-information viewer installed here; false when there is none
    // or it cannot be started.
    static bool startSystemInformation();

private:
    void showSystemInformation();

    Wizard& wizard_;
    std::function<bool()> startViewer_;
};

// The research reports the water-balance model rests on.
class frmListofContributors : public QDialog {
    Q_OBJECT
public:
    explicit frmListofContributors(Wizard& wizard);
};

} // namespace tavik
