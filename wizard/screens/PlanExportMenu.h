#pragma once

#include "plan/Plan.h"

#include <QObject>
#include <QString>
#include <optional>
#include <string_view>

class QAction;
class QMenu;

namespace tavik {

class Wizard;
class frmMain;

// The result screen's File > Export: the plan on the screens as a field sheet (PDF), the
// irrigation table (CSV), the chart (PNG or SVG) and the irrigation days as calendar events
// (iCalendar, with a planting date). Each export runs the screens' plan exactly as
// `tavik plan` runs a scenario and writes what its format of `tavik plan` writes.
class PlanExportMenu : public QObject {
    Q_OBJECT
public:
    PlanExportMenu(Wizard& wizard, frmMain& screen);

    QMenu* menu() const { return menu_; }

    // Each returns whether a file was written; a cancelled dialog does nothing and says
    // nothing, a failure is told.
    bool exportFieldSheet();
    bool exportTable();
    bool exportChartImage();
    bool exportCalendar();

    // The calendar needs a planting date.
    void plantingDateChanged(bool dated);

private:
    std::optional<PlanResult> plan();
    bool write(const QString& path, std::string_view bytes, const char* what);
    void tell(const std::string& text);

    Wizard& wizard_;
    frmMain& screen_;
    QMenu* menu_;
    QAction* calendar_;
};

} // namespace tavik
