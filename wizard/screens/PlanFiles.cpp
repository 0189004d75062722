#include "PlanFiles.h"

#include "Dialogs.h"
#include "FilePlaces.h"
#include "TipSlider.h"
#include "Wizard.h"
#include "WizardScreen.h"
#include "frmChoice.h"
#include "frmIrrigationInfo.h"
#include "frmMain.h"
#include "frmSoilInfo.h"
#include "frmWaterLevel.h"
#include "model/Notifier.h"
#include "plan/FileNames.h"
#include "plan/OutputFile.h"
#include "plan/Plan.h"
#include "plan/SeasonCommands.h"
#include "state/NumberText.h"
#include "state/SprinklerPackage.h"
#include "state/WizardState.h"

#include <QCheckBox>
#include <QDate>
#include <QFileInfo>
#include <QPushButton>
#include <QScopedValueRollback>
#include <cmath>

namespace tavik {

namespace {

// The user moves a slider's thumb to a position: what the screen does for a drag.
void moveThumb(TipSlider* slider, int position) {
    slider->setSliderPosition(position);
    slider->triggerAction(QAbstractSlider::SliderMove);
}

void clickNext(QWidget& screen) {
    if (auto* next = screen.findChild<QPushButton*>(QStringLiteral("cmdNext"))) {
        next->click();
    }
}

// The crop as a plan names it: by name where no other offered row has that name, otherwise
// by its row.
std::variant<std::string, int> cropOf(const CropTable& crops, std::int16_t row) {
    const QString name = QString::fromStdString(crops.text(row, CropColumn::Name));
    int same = 0;
    for (const std::int16_t other : crops.offeredRows()) {
        same += QString::fromStdString(crops.text(other, CropColumn::Name))
                            .compare(name, Qt::CaseInsensitive) == 0
                    ? 1
                    : 0;
    }
    if (same == 1 && !name.trimmed().isEmpty()) {
        return name.toStdString();
    }
    return static_cast<int>(row);
}

} // namespace

PlanFiles::PlanFiles(Wizard& wizard) : QObject(&wizard), wizard_(wizard) {}

ScenarioParse PlanFiles::current() const {
    ScenarioParse parse;
    const mType& state = wizard_.state();
    if (state.CropRow == 0) {
        parse.problem = "No crop is chosen yet: choose one before the plan is saved.";
        return parse;
    }
    Scenario scenario;
    scenario.crop = cropOf(state.CropData, state.CropRow);
    scenario.targetYield = static_cast<int>(std::lround(state.TargetYield));

    scenario.sprinklerPackage = wizard_.choice().packageTicked();
    if (const frmIrrigationInfo* package = wizard_.madeIrrigationInfo();
        package != nullptr && scenario.sprinklerPackage) {
        const std::vector<double> amounts = package->amounts();
        const SprinklerFit fit = fitSprinklerPackage(amounts);
        if (!fit.law) {
            parse.problem = "The sprinkler package cannot be kept in the plan: " + fit.problem;
            return parse;
        }
        scenario.amounts = amounts;
    }

    if (const frmSoilInfo* soil = wizard_.madeSoilInfo()) {
        scenario.depth = soil->depth();
        scenario.siltClay = soil->siltClay();
        scenario.deepRipped = soil->deepRipped();
        // The water levels belong to the layers they were planned for.
        if (const frmWaterLevel* levels = wizard_.madeWaterLevel();
            levels != nullptr && levels->rows() == soil->layerRows() && levels->rows() > 0) {
            for (Stage stage : kStages) {
                std::vector<int> positions;
                for (int row = 0; row < levels->rows(); ++row) {
                    positions.push_back(levels->slider(row, stage)->value());
                }
                scenario.waterLevels[static_cast<std::size_t>(stage)] = std::move(positions);
            }
        }
    }

    if (const frmMain* result = wizard_.madeResult()) {
        scenario.cycle = result->cycle();
        if (const auto date = result->plantingDate()) {
            scenario.plantingDate = date->toString(Qt::ISODate).toStdString();
        }
    }
    scenario.field = field_;
    scenario.season = season_;
    parse.scenario = std::move(scenario);
    return parse;
}

bool PlanFiles::modified() const {
    const ScenarioParse now = current();
    return !now.scenario || scenarioJson(*now.scenario) != saved_;
}

void PlanFiles::tell(const std::string& text) const {
    wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, text);
}

bool PlanFiles::openChosen(QWidget& from) {
    if (!mayLeave(from)) {
        return false;
    }
    const auto path = wizard_.files().chooseOpenFile(&from, QString::fromLatin1(kFilters));
    return path && open(*path, from);
}

bool PlanFiles::open(const QString& path, QWidget& from) {
    const std::string file = shownPath(path);
    const auto refuse = [&](const std::string& problem) {
        tell("The plan file \"" + file + "\" cannot be opened: " + problem);
        return false;
    };
    std::string text;
    if (const auto problem = readScenarioFile(path, text)) {
        return refuse(*problem);
    }
    const ScenarioParse parse = parseScenario(text);
    if (!parse.scenario) {
        return refuse(parse.problem);
    }
    // The whole walk is tried first, off the screens: a plan that the crop table or the soil
    // refuses leaves every screen as it was.
    const PlanOutcome trial = runPlan(wizard_.state().CropData, *parse.scenario, TimeStamp{});
    if (!trial.result) {
        return refuse(trial.problem);
    }
    if (!apply(*parse.scenario, trial.result->state.CropRow, from)) {
        return false;
    }
    field_ = parse.scenario->field;
    season_ = parse.scenario->season;
    path_ = QFileInfo(path).absoluteFilePath();
    const ScenarioParse opened = current();
    saved_ = opened.scenario ? scenarioJson(*opened.scenario) : std::string();
    refreshTitles();
    emit fieldChanged();
    emit seasonChanged();
    return true;
}

bool PlanFiles::apply(const Scenario& scenario, int cropRow, QWidget& from) {
    const QScopedValueRollback<bool> applying(applying_, true);

    // The crop screen: the crop, its yield, the package box; then Next, as a user goes on.
    frmChoice& choice = wizard_.choice();
    if (&from != &choice) {
        wizard_.move(from, choice);
    }
    choice.chooseCrop(cropRow - 2);
    if (scenario.targetYield) {
        choice.findChild<TipSlider*>(QStringLiteral("sldTargetYield"))
            ->setValue(*scenario.targetYield);
    }
    choice.findChild<QCheckBox*>(QStringLiteral("chkPackage"))
        ->setChecked(scenario.sprinklerPackage);
    if (!scenario.sprinklerPackage) {
        // No package: no speed law, as on a fresh start (one fitted before would otherwise
        // still rate the running speeds).
        wizard_.state().SpeedCoefficient = 0;
        wizard_.state().SpeedExponent = 0;
    }
    clickNext(choice);
    if (scenario.sprinklerPackage) {
        frmIrrigationInfo& package = wizard_.irrigationInfo();
        if (!package.isVisible()) {
            return false;
        }
        package.setAmounts(scenario.amounts);
        clickNext(package);
    }

    frmSoilInfo& soil = wizard_.soilInfo();
    if (!soil.isVisible()) {
        return false;
    }
    moveThumb(soil.findChild<TipSlider*>(QStringLiteral("sldSoilDepth")),
              scenario.depth.value_or(kFreshSoilDepth));
    // What the plan leaves out takes the fresh screens' values, whatever was entered before.
    for (int i = 0; i < soil.layerRows(); ++i) {
        if (auto* layer = soil.findChild<TipSlider*>(QStringLiteral("sldLayer_%1").arg(i))) {
            const auto at = static_cast<std::size_t>(i);
            moveThumb(layer, scenario.siltClay && at < scenario.siltClay->size()
                                 ? (*scenario.siltClay)[at]
                                 : kFreshSiltClay);
        }
    }
    soil.setDeepRipped(scenario.deepRipped);
    clickNext(soil);

    frmWaterLevel& levels = wizard_.waterLevel();
    if (!levels.isVisible()) {
        return false;
    }
    for (Stage stage : kStages) {
        const auto& positions = scenario.waterLevels[static_cast<std::size_t>(stage)];
        for (int row = 0; row < levels.rows(); ++row) {
            const auto at = static_cast<std::size_t>(row);
            moveThumb(levels.slider(row, stage), positions && at < positions->size()
                                                     ? (*positions)[at]
                                                     : WaterLevelModel::kFirstSelection);
        }
    }
    clickNext(levels);

    frmMain& result = wizard_.result();
    if (!result.isVisible()) {
        return false;
    }
    result.setCycle(scenario.cycle);
    result.setPlantingDate(scenario.plantingDate
                               ? std::optional<QDate>(QDate::fromString(
                                     QString::fromStdString(*scenario.plantingDate), Qt::ISODate))
                               : std::nullopt);
    return true;
}

bool PlanFiles::save(QWidget& from) {
    if (path_.isEmpty()) {
        return saveAs(from);
    }
    return saveTo(path_);
}

bool PlanFiles::saveAs(QWidget& from) {
    const auto path = wizard_.files().chooseSaveFile(&from, QString::fromLatin1(kFilters),
                                                     QString::fromLatin1(kSuffix));
    return path && saveTo(*path);
}

bool PlanFiles::saveTo(const QString& path) {
    ScenarioParse now = current();
    if (!now.scenario) {
        tell(now.problem);
        return false;
    }
    // The season record is kept as it was read; a planting date or a soil changed on the
    // screens may no longer fit it, and a plan that would not open again is not written.
    if (now.scenario->season) {
        const PlanOutcome trial = runPlan(wizard_.state().CropData, *now.scenario, TimeStamp{});
        if (!trial.result) {
            tell("The plan could not be saved: its season record does not fit the plan as the "
                 "screens now give it (" +
                 printableText(trial.problem) +
                 "); change the planting date or the soil back to save it.");
            return false;
        }
    }
    giveFieldIdentity(*now.scenario);
    const std::string json = scenarioJson(*now.scenario);
    if (const auto problem = replaceFileContents(path, json)) {
        tell("The plan could not be saved as \"" + printableText(path.toStdString()) +
             "\": " + *problem);
        return false;
    }
    path_ = QFileInfo(path).absoluteFilePath();
    field_ = now.scenario->field;
    saved_ = json;
    refreshTitles();
    return true;
}

bool PlanFiles::unsaved() const {
    return path_.isEmpty() ? reachedResult_ : modified();
}

PlanFiles::Leave PlanFiles::askBeforeLeaving(QWidget& from) {
    if (!unsaved()) {
        return Leave::Go;
    }
    switch (wizard_.dialogs().askToSaveChanges(
        &from, QString::fromStdString(wizard_.state().AppTitle),
        path_.isEmpty() ? QString() : QFileInfo(path_).fileName())) {
    case Dialogs::Changes::Save:
        // A plan without a file asks for one; a cancelled name cancels the leaving.
        return save(from) ? Leave::Go : Leave::Stay;
    case Dialogs::Changes::Discard:
        return Leave::Discarded;
    case Dialogs::Changes::Cancel:
        break;
    }
    return Leave::Stay;
}

bool PlanFiles::mayLeave(QWidget& from) {
    return askBeforeLeaving(from) != Leave::Stay;
}

bool PlanFiles::mayBeginAnother(QWidget& from) {
    const Leave leave = askBeforeLeaving(from);
    if (leave == Leave::Discarded) {
        // The file stays as it was saved; what the screens hold is no longer its plan.
        path_.clear();
        saved_.clear();
        field_.reset();
        season_.reset();
        reachedResult_ = false;
        refreshTitles();
        emit fieldChanged();
        emit seasonChanged();
    }
    return leave != Leave::Stay;
}

void PlanFiles::refreshTitles() {
    const bool changed = !path_.isEmpty() && modified();
    for (WizardScreen* screen : wizard_.madeScreens()) {
        // The field's name, when the plan has one, names the plan before its file.
        const QString file = QFileInfo(path_).fileName();
        const QString named = field_ && field_->name
                                  ? QString::fromStdString(*field_->name) + QStringLiteral(" (") +
                                        file + QStringLiteral(")")
                                  : file;
        screen->setWindowTitle(path_.isEmpty() ? screen->caption()
                                               : screen->caption() + QStringLiteral(" - ") + named +
                                                     QStringLiteral("[*]"));
        screen->setWindowModified(changed);
    }
}

void PlanFiles::setField(std::optional<FieldIdentity> field) {
    field_ = std::move(field);
    refreshTitles();
    emit fieldChanged();
}

void PlanFiles::setSeason(std::optional<SeasonRecord> season) {
    season_ = std::move(season);
    inputChanged();
    emit seasonChanged();
}

void PlanFiles::inputChanged() {
    if (!applying_ && !path_.isEmpty()) {
        refreshTitles();
    }
}

} // namespace tavik
