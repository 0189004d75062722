#include "SeasonTab.h"

#include "FilePlaces.h"
#include "PlanFiles.h"
#include "RainImportDialog.h"
#include "SoilReadingDialog.h"
#include "Wizard.h"
#include "model/Notifier.h"
#include "plan/RainImport.h"
#include "plan/Season.h"
#include "plan/SeasonCommands.h"
#include "plan/SeasonJson.h"
#include "plan/TimeStamp.h"
#include "printing/SeasonChart.h"
#include "state/NumberText.h"
#include "state/WizardState.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace tavik {

// One change of the season record: the record before and after it.
class SeasonRecordChange : public QUndoCommand {
public:
    SeasonRecordChange(SeasonTab& tab, SeasonRecord before, SeasonRecord after, const QString& what)
        : QUndoCommand(what), tab_(tab), before_(std::move(before)), after_(std::move(after)) {}
    void redo() override { tab_.setRecord(after_); }
    void undo() override { tab_.setRecord(before_); }

private:
    SeasonTab& tab_;
    SeasonRecord before_;
    SeasonRecord after_;
};

namespace {

QString shortDate(const QDate& date) {
    return QLocale().toString(date, QLocale::ShortFormat);
}

// What was typed, as it can be shown in a message: no control characters, not too long.
QString typedText(const QString& text) {
    return QString::fromStdString(printableText(text.trimmed().toStdString(), 24));
}

// The planned water content of every layer on a day: straight lines between the stages'
// levels, as the planned profile water runs.
std::vector<double> plannedLevels(const PlanResult& plan, int day) {
    const SeasonPlan season = seasonPlanOf(plan);
    std::vector<double> levels;
    for (int row = 0; row < plan.waterLevels.LayerCount(); ++row) {
        const auto at = [&](std::size_t stage) {
            return plan.waterLevels.selection(row, kStages[stage]) / 1000.0;
        };
        double level = at(3);
        for (std::size_t s = 0; s + 1 < season.stageDays.size(); ++s) {
            const int d0 = season.stageDays[s];
            const int d1 = season.stageDays[s + 1];
            if (day <= d1 || s + 2 == season.stageDays.size()) {
                level = d1 == d0 ? at(s + 1)
                                 : at(s) + (at(s + 1) - at(s)) * std::clamp(day - d0, 0, d1 - d0) /
                                               (d1 - d0);
                break;
            }
        }
        levels.push_back(std::round(level * 1000) / 1000);
    }
    return levels;
}

} // namespace

SeasonTab::SeasonTab(Wizard& wizard, QWidget* parent)
    : QWidget(parent), wizard_(wizard), lblNextIrrigation_(new QLabel(this)),
      dtpSeasonToday_(new QDateEdit(this)),
      chkSeasonAllDays_(new QCheckBox(QStringLiteral("&All days"), this)),
      cmdAppliedAsAdvised_(new QPushButton(QStringLiteral("Applied as a&dvised"), this)),
      cmdSoilReading_(new QPushButton(QStringLiteral("Soil &reading\u2026"), this)),
      cmdImportRain_(new QPushButton(QStringLiteral("&Import rain\u2026"), this)),
      splitter_(new QSplitter(Qt::Vertical, this)), tblSeasonLog_(new QTableView),
      model_(new SeasonLogModel(this)), lblSeasonProblem_(new QLabel), chtSeason_(new QCustomPlot),
      undo_(new QUndoStack(this)) {
    setObjectName(QStringLiteral("SeasonTab"));
    setUpControls();
    setUpShortcuts();
    connect(&wizard_.plans(), &PlanFiles::seasonChanged, this, [this] {
        // A record opened, discarded or set from elsewhere starts a new history.
        if (!recording_) {
            undo_->clear();
        }
        planChanged();
    });
}

SeasonTab::~SeasonTab() {
    // An editor closed as the tab goes commits nothing.
    disconnect(model_, nullptr, this, nullptr);
    disconnect(&wizard_.plans(), nullptr, this, nullptr);
}

void SeasonTab::setUpControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    lblNextIrrigation_->setObjectName(QStringLiteral("lblNextIrrigation"));
    lblNextIrrigation_->setTextFormat(Qt::PlainText);
    lblNextIrrigation_->setWordWrap(true);
    lblNextIrrigation_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = lblNextIrrigation_->font();
    large.setBold(true);
    large.setPointSizeF(large.pointSizeF() * 1.3);
    lblNextIrrigation_->setFont(large);
    layout->addWidget(lblNextIrrigation_);

    // Today and the filter on one row, the buttons on the next: the box is narrow at the
    // designed size.
    auto* dates = new QHBoxLayout;
    auto* todayLabel = new QLabel(QStringLiteral("&Today:"), this);
    todayLabel->setBuddy(dtpSeasonToday_);
    dtpSeasonToday_->setObjectName(QStringLiteral("dtpSeasonToday"));
    dtpSeasonToday_->setAccessibleName(QStringLiteral("Today"));
    dtpSeasonToday_->setCalendarPopup(true);
    dtpSeasonToday_->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    dtpSeasonToday_->setDate(QDate::currentDate());
    chkSeasonAllDays_->setObjectName(QStringLiteral("chkSeasonAllDays"));
    chkSeasonAllDays_->setToolTip(QStringLiteral("Show every day of the season"));
    dates->addWidget(todayLabel);
    dates->addWidget(dtpSeasonToday_);
    dates->addSpacing(12);
    dates->addWidget(chkSeasonAllDays_);
    dates->addStretch();
    layout->addLayout(dates);

    auto* buttons = new QHBoxLayout;
    cmdAppliedAsAdvised_->setObjectName(QStringLiteral("cmdAppliedAsAdvised"));
    cmdAppliedAsAdvised_->setToolTip(
        QStringLiteral("Log the advised irrigation of the selected day (or of the next one)"));
    cmdSoilReading_->setObjectName(QStringLiteral("cmdSoilReading"));
    cmdImportRain_->setObjectName(QStringLiteral("cmdImportRain"));
    for (QPushButton* button : {cmdAppliedAsAdvised_, cmdSoilReading_, cmdImportRain_}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    layout->addLayout(buttons);

    auto* log = new QWidget;
    auto* logLayout = new QVBoxLayout(log);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logLayout->setSpacing(2);
    tblSeasonLog_->setObjectName(QStringLiteral("tblSeasonLog"));
    tblSeasonLog_->setAccessibleName(QStringLiteral("Season log"));
    tblSeasonLog_->setModel(model_);
    tblSeasonLog_->verticalHeader()->hide();
    tblSeasonLog_->verticalHeader()->setDefaultSectionSize(tblSeasonLog_->fontMetrics().height() +
                                                           6);
    tblSeasonLog_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblSeasonLog_->setSelectionMode(QAbstractItemView::SingleSelection);
    tblSeasonLog_->setEditTriggers(QAbstractItemView::DoubleClicked |
                                   QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    // Tab leaves the table for the next control; the arrows move between its cells.
    tblSeasonLog_->setTabKeyNavigation(false);
    lblSeasonProblem_->setObjectName(QStringLiteral("lblSeasonProblem"));
    lblSeasonProblem_->setTextFormat(Qt::PlainText);
    lblSeasonProblem_->setWordWrap(true);
    lblSeasonProblem_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblSeasonProblem_->hide();
    logLayout->addWidget(tblSeasonLog_, 1);
    logLayout->addWidget(lblSeasonProblem_);
    colourProblem();

    chtSeason_->setObjectName(QStringLiteral("chtSeason"));
    chtSeason_->setAccessibleName(QStringLiteral("Season chart"));
    chtSeason_->setMouseTracking(true);
    chtSeason_->setMinimumHeight(120);
    connect(chtSeason_, &QCustomPlot::mouseMove, this, [this](QMouseEvent* event) {
        chtSeason_->setToolTip(plan_ ? seasonChartTip(*chtSeason_, *plan_, event->pos())
                                     : QString());
    });
    splitter_->setObjectName(QStringLiteral("splSeason"));
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(log);
    splitter_->addWidget(chtSeason_);
    splitter_->setStretchFactor(0, 3);
    splitter_->setStretchFactor(1, 2);
    layout->addWidget(splitter_, 1);

    setTabOrder(dtpSeasonToday_, chkSeasonAllDays_);
    setTabOrder(chkSeasonAllDays_, cmdAppliedAsAdvised_);
    setTabOrder(cmdAppliedAsAdvised_, cmdSoilReading_);
    setTabOrder(cmdSoilReading_, cmdImportRain_);
    setTabOrder(cmdImportRain_, tblSeasonLog_);

    connect(dtpSeasonToday_, &QDateEdit::dateChanged, this, [this] {
        stale_ = true;
        if (isVisible()) {
            replan();
        }
    });
    connect(chkSeasonAllDays_, &QCheckBox::toggled, this, [this] { refreshShown(); });
    connect(cmdAppliedAsAdvised_, &QPushButton::clicked, this, &SeasonTab::applyAsAdvised);
    connect(cmdSoilReading_, &QPushButton::clicked, this, [this] { soilReading(); });
    connect(cmdImportRain_, &QPushButton::clicked, this, [this] { importRain(); });
    connect(model_, &SeasonLogModel::entryTyped, this, &SeasonTab::typeEntry);
    connect(tblSeasonLog_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SeasonTab::updateButtons);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        connect(tblSeasonLog_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &SeasonTab::updateButtons, Qt::UniqueConnection);
    });
}

void SeasonTab::setUpShortcuts() {
    // The result screen's Edit menu stays as it is; the log's own undo and redo keys work
    // while the tab has the focus.
    const std::pair<QKeySequence, bool> keys[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_Z), true},
        {QKeySequence(Qt::CTRL | Qt::Key_Y), false},
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), false},
    };
    for (const auto& [sequence, undo] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        if (undo) {
            connect(shortcut, &QShortcut::activated, undo_, &QUndoStack::undo);
        } else {
            connect(shortcut, &QShortcut::activated, undo_, &QUndoStack::redo);
        }
    }
}

QDate SeasonTab::today() const {
    return dtpSeasonToday_->date();
}

void SeasonTab::setToday(const QDate& date) {
    dtpSeasonToday_->setDate(date);
}

QString SeasonTab::problem() const {
    return lblSeasonProblem_->isHidden() ? QString() : lblSeasonProblem_->text();
}

QString SeasonTab::nextIrrigation() const {
    return lblNextIrrigation_->text();
}

void SeasonTab::planChanged() {
    if (!wizard_.plans().season()) {
        plan_.reset();
        planProblem_.clear();
        stale_ = false;
        refreshShown();
        return;
    }
    // What the screens change comes in bursts (a plan opened sets the cycle, the planting
    // date and the record in turn): one re-plan for all of it, before the screen is drawn.
    stale_ = true;
    if (isVisible() && !replanQueued_) {
        replanQueued_ = true;
        QTimer::singleShot(0, this, [this] {
            replanQueued_ = false;
            if (stale_ && isVisible()) {
                replan();
            }
        });
    }
}

void SeasonTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!splitter_->property("placed").toBool()) {
        // The table three fifths, the chart the rest, whatever either asks for to start.
        const int height = std::max(splitter_->height(), 5);
        splitter_->setSizes({height * 3 / 5, height - height * 3 / 5});
        splitter_->setProperty("placed", true);
    }
    if (stale_) {
        replan();
    }
}

void SeasonTab::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        colourProblem();
    }
}

void SeasonTab::replan() {
    stale_ = false;
    plan_.reset();
    planProblem_.clear();
    if (wizard_.plans().season()) {
        const ScenarioParse scenario = wizard_.plans().current();
        if (!scenario.scenario) {
            planProblem_ = QString::fromStdString(scenario.problem);
        } else {
            PlanOutcome outcome =
                runPlan(wizard_.state().CropData, *scenario.scenario, currentTimeStamp());
            if (!outcome.result) {
                planProblem_ = QString::fromStdString(printableText(outcome.problem));
            } else {
                balancePlanSeason(*outcome.result, today().toString(Qt::ISODate).toStdString());
                if (outcome.result->seasonBalance) {
                    plan_ = std::move(outcome.result);
                } else {
                    planProblem_ = QStringLiteral("The season needs a planting date.");
                }
            }
        }
    }
    refreshShown();
}

void SeasonTab::refreshShown() {
    // The cell being worked on stays current when the rows change.
    const QModelIndex current = tblSeasonLog_->currentIndex();
    const int day = current.isValid() ? model_->dayOf(current.row()) : -1;
    const bool hadFocus = tblSeasonLog_->hasFocus();
    model_->show(plan(), chkSeasonAllDays_->isChecked());
    if (day >= 0 && !tblSeasonLog_->currentIndex().isValid() && model_->rowCount() > 0) {
        int row = model_->rowOf(day);
        for (int r = 0; row < 0 && r < model_->rowCount(); ++r) {
            row = model_->dayOf(r) > day ? r : row;
        }
        row = row < 0 ? model_->rowCount() - 1 : row;
        tblSeasonLog_->setCurrentIndex(model_->index(row, current.column()));
        if (hadFocus) {
            tblSeasonLog_->setFocus(Qt::OtherFocusReason);
        }
    }
    showNextIrrigation();
    if (plan_) {
        drawSeasonChart(*chtSeason_, *plan_);
    } else {
        chtSeason_->clearPlottables();
        chtSeason_->clearItems();
        chtSeason_->replot();
    }
    if (!planProblem_.isEmpty()) {
        showProblem(planProblem_ +
                    QStringLiteral(" The season log is kept as it is; change the plan back to "
                                   "see it again."));
    } else if (plan_ && !lblSeasonProblem_->isHidden() &&
               lblSeasonProblem_->property("plan").toBool()) {
        showProblem({});
    }
    lblSeasonProblem_->setProperty("plan", !planProblem_.isEmpty());
    tblSeasonLog_->setEnabled(plan_.has_value());
    updateButtons();
}

void SeasonTab::showNextIrrigation() {
    if (!plan_) {
        lblNextIrrigation_->setText(
            planProblem_.isEmpty()
                ? QString()
                : QStringLiteral("The season log does not fit the plan as it now is."));
        return;
    }
    const SeasonBalance& balance = *plan_->seasonBalance;
    QString text;
    if (balance.todayDay > static_cast<int>(balance.days.size())) {
        text = QStringLiteral("The season has ended: its last day was %1.")
                   .arg(QString::fromStdString(
                       seasonDateText(*plan_, static_cast<int>(balance.days.size()))));
    } else if (balance.next && balance.next->amount == 0.0) {
        text = QString::fromStdString(nextIrrigationHeading(*plan_)) +
               QStringLiteral(": Skip: the soil is wetter than planned");
    } else {
        text = QString::fromStdString(nextIrrigationText(*plan_));
    }
    lblNextIrrigation_->setText(text);
}

void SeasonTab::showProblem(const QString& problem) {
    lblSeasonProblem_->setText(problem);
    lblSeasonProblem_->setVisible(!problem.isEmpty());
    lblSeasonProblem_->setProperty("plan", false);
}

void SeasonTab::colourProblem() {
    // A red that reads on the window's own colour, light or dark.
    const bool dark = this->palette().color(QPalette::Window).lightnessF() < 0.5F;
    QPalette palette; // only the text's colour is the label's own
    palette.setColor(QPalette::WindowText, dark ? QColor(0xff, 0x9e, 0x9e) : QColor(0xa8, 0, 0));
    lblSeasonProblem_->setPalette(palette);
}

void SeasonTab::typeEntry(int day, SeasonLogModel::Column column, const QString& text) {
    if (!plan_ || !wizard_.plans().season()) {
        return;
    }
    model_->clearProblems();
    const bool rain = column == SeasonLogModel::Rain;
    const QDate date = model_->dateOf(day);
    const QString named =
        (rain ? QStringLiteral("Rain on ") : QStringLiteral("Irrigation on ")) + shortDate(date);
    const std::string iso = date.toString(Qt::ISODate).toStdString();
    SeasonRecord after = *wizard_.plans().season();
    std::vector<SeasonAmount>& list = rain ? after.rain : after.irrigations;
    if (text.trimmed().isEmpty()) {
        const auto gone = std::remove_if(list.begin(), list.end(),
                                         [&](const SeasonAmount& a) { return a.date == iso; });
        if (gone != list.end()) {
            list.erase(gone, list.end());
            change(std::move(after), named + QStringLiteral(" removed"));
        }
        return;
    }
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool number = false;
    const double mm = locale.toDouble(text.trimmed(), &number);
    const double most = rain ? kMaxRainMm : kMaxIrrigationMm;
    QString problem;
    if (!number || !std::isfinite(mm)) {
        problem = QStringLiteral("%1: \"%2\" is not an amount in mm").arg(named, typedText(text));
    } else if (mm < 0) {
        problem = QStringLiteral("%1: %2 mm is less than 0 mm").arg(named, typedText(text));
    } else if (mm > most) {
        problem = QStringLiteral("%1: %2 mm is more than %3 mm")
                      .arg(named, typedText(text), QLocale().toString(most));
    }
    if (!problem.isEmpty()) {
        model_->setProblem(day, column, problem);
        showProblem(problem);
        return;
    }
    SeasonEntries entries;
    (rain ? entries.rain : entries.irrigations).push_back(SeasonAmount{iso, mm});
    recordEntries(after, entries);
    change(std::move(after), named);
}

void SeasonTab::change(SeasonRecord after, const QString& what) {
    const auto& before = wizard_.plans().season();
    if (!before) {
        return;
    }
    model_->clearProblems();
    showProblem({});
    undo_->push(new SeasonRecordChange(*this, *before, std::move(after), what));
}

void SeasonTab::setRecord(const SeasonRecord& record) {
    recording_ = true;
    wizard_.plans().setSeason(record);
    recording_ = false;
    if (isVisible()) {
        replan(); // an entry shows at once
    }
}

int SeasonTab::selectedDay() const {
    const QModelIndexList rows = tblSeasonLog_->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : model_->dayOf(rows.front().row());
}

int SeasonTab::advisedDay() const {
    if (!plan_) {
        return -1;
    }
    const int selected = selectedDay();
    if (selected < 0) {
        return plan_->seasonBalance->next ? plan_->seasonBalance->next->day : -1;
    }
    const SeasonDay* day = model_->seasonDay(model_->rowOf(selected));
    return day && day->advised ? selected : -1;
}

void SeasonTab::updateButtons() {
    cmdAppliedAsAdvised_->setEnabled(advisedDay() > 0);
    cmdSoilReading_->setEnabled(plan_.has_value());
    cmdImportRain_->setEnabled(plan_.has_value());
}

void SeasonTab::applyAsAdvised() {
    const int day = advisedDay();
    if (day < 1 || static_cast<std::size_t>(day) > plan_->seasonBalance->days.size()) {
        return;
    }
    const SeasonDay& advised = plan_->seasonBalance->days[static_cast<std::size_t>(day - 1)];
    if (!advised.advised) {
        return;
    }
    // The amount as the farmer is shown it: to a tenth of a millimetre.
    const double mm = std::round(*advised.advised * 10) / 10;
    SeasonRecord after = *wizard_.plans().season();
    SeasonEntries entries;
    entries.irrigations.push_back(
        SeasonAmount{model_->dateOf(day).toString(Qt::ISODate).toStdString(), mm});
    recordEntries(after, entries);
    change(
        std::move(after),
        QStringLiteral("Irrigation on %1 applied as advised").arg(shortDate(model_->dateOf(day))));
}

std::optional<std::string> SeasonTab::trialProblem(const SeasonRecord& record) const {
    ScenarioParse scenario = wizard_.plans().current();
    if (!scenario.scenario) {
        return scenario.problem;
    }
    scenario.scenario->season = record;
    const PlanOutcome trial = runPlan(wizard_.state().CropData, *scenario.scenario, TimeStamp{});
    if (!trial.result) {
        return printableText(trial.problem);
    }
    return std::nullopt;
}

SoilReadingDialog* SeasonTab::soilReading() {
    if (!plan_) {
        return nullptr;
    }
    const int count = static_cast<int>(plan_->seasonBalance->days.size());
    const int selected = selectedDay();
    const int day = selected >= 0 ? selected : std::clamp(plan_->seasonBalance->todayDay, 0, count);
    const QDate date = model_->dateOf(day);
    const std::string iso = date.toString(Qt::ISODate).toStdString();
    std::vector<double> start = plannedLevels(*plan_, day);
    for (const SeasonReading& reading : wizard_.plans().season()->readings) {
        if (reading.date == iso) {
            start = reading.waterLevels;
        }
    }
    auto* dialog = new SoilReadingDialog(*plan_, date, start, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &SoilReadingDialog::readingChosen, this, &SeasonTab::recordReading);
    dialog->open();
    return dialog;
}

void SeasonTab::recordReading(const SeasonReading& reading) {
    if (!wizard_.plans().season()) {
        return;
    }
    SeasonRecord after = *wizard_.plans().season();
    SeasonEntries entries;
    entries.readings.push_back(reading);
    recordEntries(after, entries);
    const QDate date = QDate::fromString(QString::fromStdString(reading.date), Qt::ISODate);
    if (const auto problem = trialProblem(after)) {
        showProblem(QStringLiteral("The soil reading cannot be recorded: ") +
                    QString::fromStdString(*problem));
        return;
    }
    change(std::move(after), QStringLiteral("Soil reading on %1").arg(shortDate(date)));
}

RainImportDialog* SeasonTab::importRain() {
    if (!plan_) {
        return nullptr;
    }
    const auto path = wizard_.files().chooseOpenFile(
        this, QStringLiteral("Rain files (*.csv *.txt);;All files (*)"));
    if (!path) {
        return nullptr;
    }
    const auto refuse = [&](const QString& why) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle,
                                  "The rain file \"" + printableText(path->toStdString()) +
                                      "\" cannot be imported: " + why.toStdString());
        return nullptr;
    };
    // A station's file is small and ordinary: anything else is refused unread.
    const QFileInfo info(*path);
    if (!info.exists()) {
        return refuse(QStringLiteral("it does not exist."));
    }
    if (!info.isFile()) {
        return refuse(QStringLiteral("it is not a file (a folder, a pipe or a device)."));
    }
    if (info.size() > kMaxRainFileBytes) {
        return refuse(QStringLiteral("it is larger than %1 MB; a station's rain file is smaller.")
                          .arg(kMaxRainFileBytes / (1024 * 1024)));
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refuse(file.errorString() + QLatin1Char('.'));
    }
    const QByteArray bytes = file.read(kMaxRainFileBytes + 1);
    if (bytes.size() > kMaxRainFileBytes) {
        return refuse(QStringLiteral("it is larger than %1 MB; a station's rain file is smaller.")
                          .arg(kMaxRainFileBytes / (1024 * 1024)));
    }
    const RainImport parsed =
        parseRainCsv(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())),
                     QLocale().dateFormat(QLocale::ShortFormat));

    std::string problem = parsed.problem;
    std::vector<RainImportDialog::Row> rows;
    SeasonRecord after = *wizard_.plans().season();
    const int count = static_cast<int>(plan_->seasonBalance->days.size());
    for (std::size_t i = 0; i < parsed.rain.size(); ++i) {
        const SeasonAmount& rain = parsed.rain[i];
        const QDate date = QDate::fromString(QString::fromStdString(rain.date), Qt::ISODate);
        RainImportDialog::Row row{shortDate(date), SeasonLogModel::figure(rain.mm), {}};
        for (const SeasonAmount& recorded : after.rain) {
            if (recorded.date == rain.date) {
                row.replaces = SeasonLogModel::figure(recorded.mm);
            }
        }
        rows.push_back(row);
        const auto day = dayAfterPlanting(*plan_->plantingDate, rain.date);
        if (problem.empty() && (!day || *day < 1 || *day > count)) {
            problem = "line " + std::to_string(i < parsed.lines.size() ? parsed.lines[i] : 0) +
                      ": " + shortDate(date).toStdString() + " is outside the season (" +
                      shortDate(model_->dateOf(1)).toStdString() + " to " +
                      shortDate(model_->dateOf(count)).toStdString() + ")";
        }
    }
    if (problem.empty()) {
        SeasonEntries entries;
        entries.rain = parsed.rain;
        recordEntries(after, entries);
        problem = trialProblem(after).value_or(std::string());
    }
    auto* dialog = new RainImportDialog(info.fileName(), rows,
                                        QString::fromStdString(printableText(problem)), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, rain = parsed.rain, name = info.fileName()] {
        if (!wizard_.plans().season()) {
            return;
        }
        SeasonRecord imported = *wizard_.plans().season();
        SeasonEntries entries;
        entries.rain = rain;
        recordEntries(imported, entries);
        change(std::move(imported), QStringLiteral("Rain imported from %1").arg(name));
    });
    dialog->open();
    return dialog;
}

} // namespace tavik
