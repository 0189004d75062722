#pragma once

#include "plan/Scenario.h"

#include <QObject>
#include <QString>
#include <string>

class QWidget;

namespace tavik {

class Wizard;

// A field's plan kept in a file: every input of every screen, as a scenario of `tavik plan`
// (the same JSON, so that either reads what the other wrote). Opening one fills the screens
// as a user would, so that every figure is worked out again; saving replaces the file only
// when all of it was written.
class PlanFiles : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kSuffix = "tavikplan";
    static constexpr const char* kFilters =
        "Plans (*.tavikplan);;Scenarios (*.json);;All files (*)";

    explicit PlanFiles(Wizard& wizard);

    // What the screens hold, as a scenario; the problem instead when a field holds nothing a
    // plan can keep (no crop chosen, an amount of the sprinkler package that is no amount).
    ScenarioParse current() const;

    // The File menu's commands, from the screen shown. Each tells the user what went wrong
    // and returns whether it did its job; a cancelled dialog does nothing and says nothing.
    bool openChosen(QWidget& from);
    bool open(const QString& path, QWidget& from);
    bool save(QWidget& from);
    bool saveAs(QWidget& from);

    // The plan's file; empty until one is opened or saved.
    const QString& path() const { return path_; }
    // Whether the screens hold other inputs than the plan's file.
    bool modified() const;
    // Whether leaving the plan now would lose work: changes to a plan that has a file, or a
    // plan without a file that has reached the result screen.
    bool unsaved() const;
    // Before the plan's work is left (another plan, the end of the program): with unsaved
    // work, asks whether to save it (a plan without a file is then given one). Whether the
    // caller may go on.
    bool mayLeave(QWidget& from);
    // Before another crop is begun: as mayLeave, and a plan whose work is discarded is a plan
    // without a file from then on, so that its next save asks for a name instead of writing
    // over the file it came from. The screens keep what they hold.
    bool mayBeginAnother(QWidget& from);
    // The result screen has been shown for the plan on the screens.
    void resultReached() { reachedResult_ = true; }
    // Every screen's title: its own caption, and once there is a plan file the file's name,
    // marked while there are unsaved changes.
    void refreshTitles();

    // What the screens do not hold in controls of their own: the field's identity and the
    // season record. Setting one marks the plan changed and tells the screens.
    const std::optional<FieldIdentity>& field() const { return field_; }
    void setField(std::optional<FieldIdentity> field);
    const std::optional<SeasonRecord>& season() const { return season_; }
    void setSeason(std::optional<SeasonRecord> season);

signals:
    // The field or the season record changed: set, opened with a plan, or discarded.
    void fieldChanged();
    void seasonChanged();

public slots:
    // An input of a screen changed: the mark of unsaved changes follows.
    void inputChanged();

private:
    bool saveTo(const QString& path);
    enum class Leave { Go, Discarded, Stay };
    Leave askBeforeLeaving(QWidget& from);
    bool apply(const Scenario& scenario, int cropRow, QWidget& from);
    void tell(const std::string& text) const;

    Wizard& wizard_;
    QString path_;
    std::string saved_; // the scenario last opened or saved, as JSON
    // What the screens do not edit, kept as the file gave it: the field and the season.
    std::optional<FieldIdentity> field_;
    std::optional<SeasonRecord> season_;
    bool applying_ = false;
    bool reachedResult_ = false;
};

} // namespace tavik
