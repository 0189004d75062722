#pragma once

#include <QIcon>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace tavik {

class Notifier;
struct mType;
class frmAbout;
class frmHelp;
class frmChoice;
class frmListofContributors;
class frmIrrigationInfo;
class frmSoilInfo;
class frmSplash;
class frmWaterLevel;
class frmMain;
class Dialogs;
class FilePlaces;
class PlanFiles;
class WizardScreen;

// The wizard's screens and the moves between them. Each screen is created on first use and
// afterwards only shown and hidden, so that it keeps what the user entered.
class Wizard : public QObject {
    Q_OBJECT
public:
    Wizard(mType& state, Notifier& notifier, QString programFolder);
    ~Wizard() override;

    mType& state() { return state_; }
    Notifier& notifier() { return notifier_; }
    const QString& programFolder() const { return programFolder_; }
    // The crop workbook read at the start: the program folder's unless set.
    const QString& workbookPath() const { return workbookPath_; }
    void setWorkbookPath(const QString& path) { workbookPath_ = path; }
    QIcon icon() const;

    frmChoice& choice();
    frmIrrigationInfo& irrigationInfo();
    frmSoilInfo& soilInfo();
    frmWaterLevel& waterLevel();
    frmMain& result();
    frmSplash& splash();
    // The screens made so far, or null: a screen not made yet holds nothing a user entered.
    const frmIrrigationInfo* madeIrrigationInfo() const { return irrigationInfo_.get(); }
    const frmSoilInfo* madeSoilInfo() const { return soilInfo_.get(); }
    const frmWaterLevel* madeWaterLevel() const { return waterLevel_.get(); }
    const frmMain* madeResult() const { return result_.get(); }
    std::vector<WizardScreen*> madeScreens() const;

    // The plan files: open, save, and the mark of unsaved changes.
    PlanFiles& plans() { return *plans_; }

    // The print and save dialogs the screens open; tests put their own in.
    Dialogs& dialogs() { return *dialogs_; }
    void setDialogs(Dialogs& dialogs) { dialogs_ = &dialogs; }
    // The file dialogs, opened in the plan's folder with a name from the plan.
    FilePlaces& files() { return *files_; }
    // The About box and the contributors list: created when asked for, closed by their
    // buttons; asking again while one is open brings that one forward.
    frmAbout& about();
    frmListofContributors& contributors();
    // The manual, at a page (helpPageOf a screen's name) with the soil's figures as they are
    // now: one window, brought forward when asked again.
    frmHelp& help(const QString& page);

    // Shows the target screen and hides the current one. The target opens where the current
    // one was (the middle, coming from the splash), inside the screen's available area.
    void move(QWidget& from, QWidget& to);
    // Shows the first window of a run in the middle of the screen's available area.
    void showFirst(QWidget& window);
    // Ends the program: every screen closes without questions.
    void exit();
    // The user ends the program from a screen (Exit, the close button): asks first about
    // unsaved changes to a plan; whether it ended.
    bool requestExit(QWidget& from);
    bool exited() const { return exited_; }

private:
    // The window manager's frame of a window: the one it has, else the one the screens were
    // seen to get, else a guess.
    QMargins expectedFrame(const QWidget& window) const;
    void showPlaced(QWidget& window);

    mType& state_;
    Notifier& notifier_;
    QString programFolder_;
    QString workbookPath_;
    std::unique_ptr<frmChoice> choice_;
    std::unique_ptr<frmIrrigationInfo> irrigationInfo_;
    std::unique_ptr<frmSoilInfo> soilInfo_;
    std::unique_ptr<frmWaterLevel> waterLevel_;
    std::unique_ptr<frmMain> result_;
    std::unique_ptr<Dialogs> platformDialogs_;
    Dialogs* dialogs_;
    std::unique_ptr<frmSplash> splash_;
    QPointer<frmAbout> about_;
    QPointer<frmListofContributors> contributors_;
    QPointer<frmHelp> help_;
    bool exited_ = false;
    PlanFiles* plans_;
    std::unique_ptr<FilePlaces> files_;
    QMargins seenFrame_;
};

} // namespace tavik
