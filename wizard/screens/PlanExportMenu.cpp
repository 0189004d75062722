#include "PlanExportMenu.h"

#include "Dialogs.h"
#include "FilePlaces.h"
#include "PlanFiles.h"
#include "Wizard.h"
#include "frmMain.h"
#include "model/Notifier.h"
#include "plan/ICalendar.h"
#include "plan/OutputFile.h"
#include "plan/PlanOutput.h"
#include "plan/Season.h"
#include "plan/TimeStamp.h"
#include "printing/PlanExports.h"
#include "state/NumberText.h"

#include <QFileInfo>
#include <QMenu>

namespace tavik {

PlanExportMenu::PlanExportMenu(Wizard& wizard, frmMain& screen)
    : QObject(&screen), wizard_(wizard), screen_(screen),
      menu_(new QMenu(QStringLiteral("E&xport"), &screen)) {
    menu_->setObjectName(QStringLiteral("mnuFileExport"));
    const auto item = [this](const QString& text, const QString& name,
                             bool (PlanExportMenu::*run)()) {
        QAction* action = menu_->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, run] { (this->*run)(); });
        return action;
    };
    item(QStringLiteral("&Field sheet (PDF)\u2026"), QStringLiteral("mnuExportFieldSheet"),
         &PlanExportMenu::exportFieldSheet);
    item(QStringLiteral("Irrigation &table (CSV)\u2026"), QStringLiteral("mnuExportTable"),
         &PlanExportMenu::exportTable);
    item(QStringLiteral("C&hart image (PNG, SVG)\u2026"), QStringLiteral("mnuExportChart"),
         &PlanExportMenu::exportChartImage);
    calendar_ = item(QStringLiteral("&Calendar (iCalendar)\u2026"),
                     QStringLiteral("mnuExportCalendar"), &PlanExportMenu::exportCalendar);
    calendar_->setEnabled(false);
    calendar_->setToolTip(QStringLiteral("Set a planting date to export the calendar"));
    menu_->setToolTipsVisible(true);
}

void PlanExportMenu::plantingDateChanged(bool dated) {
    calendar_->setEnabled(dated);
}

void PlanExportMenu::tell(const std::string& text) {
    wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, text);
}

std::optional<PlanResult> PlanExportMenu::plan() {
    const ScenarioParse scenario = wizard_.plans().current();
    if (!scenario.scenario) {
        tell(scenario.problem);
        return std::nullopt;
    }
    PlanOutcome outcome = runPlan(wizard_.state().CropData, *scenario.scenario, currentTimeStamp());
    if (!outcome.result) {
        tell("The plan cannot be exported: " + outcome.problem);
        return std::nullopt;
    }
    // A season log is exported as of the Season tab's today: advised amounts for the days to
    // come, the season on the field sheet.
    balancePlanSeason(*outcome.result, screen_.seasonToday().toString(Qt::ISODate).toStdString());
    return std::move(outcome.result);
}

bool PlanExportMenu::write(const QString& path, std::string_view bytes, const char* what) {
    const std::string file = printableText(path.toStdString());
    if (bytes.empty()) {
        tell(std::string("The ") + what + " could not be saved as \"" + file +
             "\": it could not be drawn. Nothing was written.");
        return false;
    }
    if (const auto problem = replaceFileContents(path, bytes)) {
        tell(std::string("The ") + what + " could not be saved as \"" + file + "\": " + *problem);
        return false;
    }
    return true;
}

bool PlanExportMenu::exportFieldSheet() {
    const auto path = wizard_.files().chooseSaveFile(
        &screen_, QStringLiteral("PDF documents (*.pdf);;All files (*)"), QStringLiteral("pdf"));
    if (!path) {
        return false;
    }
    const auto result = plan();
    if (!result) {
        return false;
    }
    return write(*path, drawPlanOutput(*result, DrawnOutput{OutputFormat::Pdf}), "field sheet");
}

bool PlanExportMenu::exportTable() {
    const auto path = wizard_.files().chooseSaveFile(
        &screen_, QStringLiteral("CSV tables (*.csv);;All files (*)"), QStringLiteral("csv"));
    if (!path) {
        return false;
    }
    const auto result = plan();
    return result && write(*path, planCsv(*result), "irrigation table");
}

bool PlanExportMenu::exportChartImage() {
    const auto path = wizard_.files().chooseSaveFile(
        &screen_, QStringLiteral("PNG images (*.png);;SVG drawings (*.svg);;All files (*)"),
        QStringLiteral("png"));
    if (!path) {
        return false;
    }
    const auto size = wizard_.dialogs().chooseImageSize(&screen_, kDefaultChartImageSize);
    if (!size) {
        return false;
    }
    if (!isChartImageSize(*size)) {
        tell("A chart image is " + std::to_string(kMinChartImageSide) + " to " +
             std::to_string(kMaxChartImageSide) + " pixels wide and high, not " +
             std::to_string(size->width()) + " × " + std::to_string(size->height()) + ".");
        return false;
    }
    const auto result = plan();
    if (!result) {
        return false;
    }
    // The chart as the screen shows it; a name ending ".svg" gives a drawing, any other a PNG.
    const bool drawing =
        QFileInfo(*path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0;
    const DrawnOutput image{drawing ? OutputFormat::Svg : OutputFormat::Png, size->width(),
                            size->height(), !screen_.individualChart()};
    return write(*path, drawPlanOutput(*result, image), "chart image");
}

bool PlanExportMenu::exportCalendar() {
    if (!screen_.plantingDate()) {
        tell("The calendar needs a planting date: tick \"Planting date\" and set it first.");
        return false;
    }
    const auto path = wizard_.files().chooseSaveFile(
        &screen_, QStringLiteral("iCalendar files (*.ics);;All files (*)"), QStringLiteral("ics"));
    if (!path) {
        return false;
    }
    const auto result = plan();
    return result && write(*path, planICalendar(*result, currentUtcStamp()), "calendar");
}

} // namespace tavik
