#include "frmMain.h"

#include "CompareCycles.h"
#include "Dialogs.h"
#include "FilePlaces.h"
#include "GrowingPlaces.h"
#include "PlanExportMenu.h"
#include "PlanFiles.h"
#include "ProblemLabel.h"
#include "SeasonTab.h"
#include "TipSlider.h"
#include "Twips.h"
#include "Wizard.h"
#include "frmAbout.h"
#include "frmChoice.h"
#include "frmWaterLevel.h"
#include "model/Notifier.h"
#include "plan/Calendar.h"
#include "plan/IrrigationTable.h"
#include "plan/OutputFile.h"
#include "plan/Plan.h"
#include "plan/TimeStamp.h"
#include "printing/PrintToFile.h"
#include "printing/Printing.h"
#include "printing/RichTextBox.h"
#include "printing/ScheduleChart.h"
#include "state/NumberText.h"
#include "state/WizardState.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTableWidget>
#include <QTextEdit>
#include <QValidator>
#include <cmath>
#include <cstdio>
#include <qcustomplot.h>
#include <stdexcept>

namespace tavik {

frmMain::frmMain(Wizard& wizard)
    : WizardScreen(wizard, QStringLiteral("frmMain"), QStringLiteral("TAVIK+"), 15240, 10710),
      rtxtDisplay_(new QTextEdit(client())), sldCycle_(new TipSlider(Qt::Horizontal, client())),
      lblCycle_(new QLabel(client())),
      optIndividual_(new QRadioButton(QStringLiteral("Individual application"))),
      optCumulative_(new QRadioButton(QStringLiteral("Cumulative application"))),
      MSChart1_(new QCustomPlot(client())),
      chkPlantingDate_(new QCheckBox(QStringLiteral("Planting date"), client())),
      dtpPlantingDate_(new QDateEdit(client())), tabView_(new QTabBar(client())),
      tblCalendar_(new QTableWidget(client())), exports_(new PlanExportMenu(wizard, *this)) {
    setUpReportBox();
    setUpCycleSlider();
    setUpChart();
    setUpButtons();
    setUpPlantingDate();
    setUpMenus();
    setUpFieldIdentity();
    setUpSeasonLog();
    growWithWindow();
}

// The Season tab goes first: an entry still being typed is not recorded into a plan whose
// screen is going. Nor does a control that loses its focus as the window closes reach this
// screen any more (a field's area being left, for one).
frmMain::~frmMain() {
    delete seasonTab_;
    for (QObject* control : findChildren<QObject*>()) {
        control->disconnect(this);
    }
}

// The report box: the message title, the box's font and its layout for the printer.
void frmMain::setUpReportBox() {
    wizard_.state().AppTitle = kAppTitle;
    rtxtDisplay_->setObjectName(QStringLiteral("rtxtDisplay"));
    rtxtDisplay_->setAccessibleName(QStringLiteral("Scheduling result"));
    // Tab goes on to the next control: a tab typed into the report would end up in the saved
    // and printed schedule.
    rtxtDisplay_->setTabChangesFocus(true);
    // The reports of the nine cycles stay laid out: going back to a cycle is immediate.
    reports_ = std::make_unique<RichTextDocuments>(*rtxtDisplay_, 9);
    place(rtxtDisplay_, 240, 600, 5415, 7575);
    const QFont arial(QStringLiteral("Arial"), 10);
    rtxtDisplay_->document()->setDefaultFont(arial);
    rtxtDisplay_->setCurrentFont(arial);
    {
        QPrinter printer;
        SetPrintLayout(*rtxtDisplay_, printer, 360, 360, 360, 360);
    }
}

// The irrigation cycle slider, which reruns the schedule as it moves.
void frmMain::setUpCycleSlider() {
    auto* label4 = new QLabel(QStringLiteral("Irrigation cycle (days)"), client());
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setWordWrap(true);
    place(label4, 6120, 600, 1380, 615);
    sldCycle_->setObjectName(QStringLiteral("sldCycle"));
    sldCycle_->setAccessibleName(QStringLiteral("Irrigation cycle (days)"));
    sldCycle_->setRange(2, 10);
    sldCycle_->setSingleStep(1);
    sldCycle_->setPageStep(1);
    sldCycle_->setTickPosition(QSlider::TicksBelow);
    sldCycle_->setTickInterval(1);
    sldCycle_->setValue(5);
    place(sldCycle_, 7560, 600, 1335, 615);
    lblCycle_->setObjectName(QStringLiteral("lblCycle"));
    lblCycle_->setText(QStringLiteral("5days"));
    place(lblCycle_, 8880, 720, 735, 375);
    connect(sldCycle_, &QSlider::valueChanged, this, [this] { ComputeSchedule(); });
    connect(sldCycle_, &TipSlider::scrolled, this, &frmMain::cycleScrolled);
    connect(sldCycle_, &TipSlider::hovered, this, [this] {
        sldCycle_->setDragTipText(QString::number(sldCycle_->sliderPosition()) +
                                  QStringLiteral(" days"));
        sldCycle_->setToolTip(sldCycle_->dragTipText());
    });
}

// The chart with its choice of individual or cumulative bars.
void frmMain::setUpChart() {
    auto* display = new QGroupBox(QStringLiteral("Graph Display"), client());
    display->setObjectName(QStringLiteral("fraGraphDisplay"));
    place(display, 10200, 480, 2535 + 300, 1095);
    optCumulative_->setParent(display);
    optCumulative_->setObjectName(QStringLiteral("optCumulative"));
    placeAutoSized(optCumulative_, 120, 300);
    optIndividual_->setParent(display);
    optIndividual_->setObjectName(QStringLiteral("optIndividual"));
    placeAutoSized(optIndividual_, 120, 660);
    optIndividual_->setChecked(true);
    connect(optIndividual_, &QRadioButton::clicked, this, &frmMain::DrawChart);
    connect(optCumulative_, &QRadioButton::clicked, this, &frmMain::DrawChart);

    // The schedule chart: black bars on white, one per possible irrigation day.
    MSChart1_->setObjectName(QStringLiteral("MSChart1"));
    MSChart1_->setAccessibleName(QStringLiteral("TAVIK+ Irrigation schedule chart"));
    place(MSChart1_, 5760, 1800, 7095 + 2000, 6375 + 1200);
    bars_ = setUpScheduleChart(*MSChart1_);
    MSChart1_->setMouseTracking(true);
    connect(MSChart1_, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* event) { MSChart1_->setToolTip(chartTip(event->pos())); });
}

// Back to the water levels, or on to another crop.
void frmMain::setUpButtons() {
    auto* back = new QPushButton(QStringLiteral("&Back "), client());
    back->setObjectName(QStringLiteral("cmdBack"));
    place(back, 6780, 9840, 855, 495);
    connect(back, &QPushButton::clicked, this,
            [this] { wizard_.move(*this, wizard_.waterLevel()); });
    auto* another = new QPushButton(QStringLiteral("Another crop"), client());
    another->setObjectName(QStringLiteral("cmdAnotherCrop"));
    place(another, 9120, 9840, 1095 + 300, 495);
    connect(another, &QPushButton::clicked, this, [this] {
        if (wizard_.plans().mayBeginAnother(*this)) {
            wizard_.move(*this, wizard_.choice());
        }
    });
}

void frmMain::setUpPlantingDate() {
    // The planting date, off until ticked; with one, a tab above the report box switches
    // between the report and the schedule's calendar.
    chkPlantingDate_->setObjectName(QStringLiteral("chkPlantingDate"));
    placeAutoSized(chkPlantingDate_, 240, 8400);
    dtpPlantingDate_->setObjectName(QStringLiteral("dtpPlantingDate"));
    dtpPlantingDate_->setAccessibleName(QStringLiteral("Planting date"));
    dtpPlantingDate_->setCalendarPopup(true);
    dtpPlantingDate_->setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat));
    dtpPlantingDate_->setDate(QDate::currentDate());
    dtpPlantingDate_->setEnabled(false);
    place(dtpPlantingDate_, 2040, 8340, 1800, 375);
    connect(chkPlantingDate_, &QCheckBox::toggled, this, [this](bool on) {
        dtpPlantingDate_->setEnabled(on);
        plantingDateChanged();
    });
    connect(dtpPlantingDate_, &QDateEdit::dateChanged, this, [this] { plantingDateChanged(); });
    tabView_->setObjectName(QStringLiteral("tabResultView"));
    tabView_->addTab(QStringLiteral("Report"));
    tabView_->addTab(QStringLiteral("Calendar"));
    tabView_->setDrawBase(false);
    place(tabView_, 240, 180, 5415, 420);
    tabView_->hide();
    tblCalendar_->setObjectName(QStringLiteral("tblCalendar"));
    tblCalendar_->setAccessibleName(QStringLiteral("Irrigation calendar"));
    tblCalendar_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblCalendar_->verticalHeader()->hide();
    tblCalendar_->verticalHeader()->setDefaultSectionSize(tblCalendar_->fontMetrics().height() + 6);
    tblCalendar_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    place(tblCalendar_, 240, 600, 5415, 7575);
    tblCalendar_->hide();
    connect(tabView_, &QTabBar::currentChanged, this, [this](int tab) {
        tblCalendar_->setVisible(tab == 1);
        rtxtDisplay_->setVisible(tab != 1 && tab != 2);
        if (seasonTab_) {
            seasonTab_->setVisible(tab == 2);
        }
    });
}

void frmMain::setUpMenus() {
    // Menus: File (save, print, print chart, exit), Edit (disabled), Help.
    QMenu* file = fileMenu();
    QAction* exit = exitAction();
    const auto addBefore = [file, exit, this](const QString& text, const QString& name, auto slot) {
        auto* action = new QAction(text, this);
        action->setObjectName(name);
        file->insertAction(exit, action);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    // Export, with the plan's items: the plan as a field sheet, a table, a chart, a calendar.
    file->insertMenu(planItemsEnd(), exports_->menu());
    auto* compare = new QAction(QStringLiteral("Compare c&ycles\u2026"), this);
    compare->setObjectName(QStringLiteral("mnuFileCompareCycles"));
    file->insertAction(planItemsEnd(), compare);
    connect(compare, &QAction::triggered, this, [this] { compareCycles(); });
    addBefore(QStringLiteral("&Save schedule"), QStringLiteral("mnuFileSave"),
              [this] { saveSchedule(); });
    addBefore(QStringLiteral("&Print Schedule"), QStringLiteral("mnuFilePrint"),
              [this] { printSchedule(); });
    addBefore(QStringLiteral("Print &Chart"), QStringLiteral("mnuFilePrintchart"),
              [this] { printChart(); });
    mnuEdit_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    const std::pair<const char*, QKeySequence> edits[] = {
        {"Cut", QKeySequence::Cut}, {"Copy", QKeySequence::Copy}, {"Paste", QKeySequence::Paste}};
    for (const auto& [text, keys] : edits) {
        QAction* action = mnuEdit_->addAction(QString::fromLatin1(text));
        action->setObjectName(QStringLiteral("mnuEdit") + QString::fromLatin1(text));
        action->setShortcut(keys);
    }
    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("mnuHelp"));
    // The manual first, apart from the items about the program.
    help->addAction(helpAction());
    help->addSeparator();
    QAction* list = help->addAction(QStringLiteral("List of contributors"));
    list->setObjectName(QStringLiteral("mnuHelpList"));
    connect(list, &QAction::triggered, this, [this] {
        // Closing the list makes this screen the active one again: the schedule is rerun.
        connect(&wizard_.contributors(), &QDialog::finished, this, &frmMain::ComputeSchedule,
                Qt::UniqueConnection);
    });
    QAction* about = help->addAction(QStringLiteral("About TAVIK++"));
    about->setObjectName(QStringLiteral("mnuHelpAbout"));
    connect(about, &QAction::triggered, this, [this] {
        connect(&wizard_.about(), &QDialog::finished, this, &frmMain::ComputeSchedule,
                Qt::UniqueConnection);
    });
}

void frmMain::growWithWindow() {
    // The window can be made larger than designed: the report box (with the calendar) takes
    // half of the extra width, wide enough then for the columns of a split schedule, the chart
    // the other half, both all of the extra height; the controls above the chart stay with it,
    // the planting date under the box, and the buttons under the middle of the chart.
    constexpr double kBox = 0.5;
    auto* places = new GrowingPlaces(*client());
    const std::pair<const char*, GrowingPlaces::Shares> shares[] = {
        {"rtxtDisplay", {0, 0, kBox, 1}},
        {"tblCalendar", {0, 0, kBox, 1}},
        {"tabResultView", {0, 0, kBox, 0}},
        {"chkPlantingDate", {0, 1, 0, 0}},
        {"dtpPlantingDate", {0, 1, 0, 0}},
        {"Label4", {kBox, 0, 0, 0}},
        {"sldCycle", {kBox, 0, 0, 0}},
        {"lblCycle", {kBox, 0, 0, 0}},
        {"fraGraphDisplay", {kBox, 0, 0, 0}},
        {"MSChart1", {kBox, 0, 1 - kBox, 1}},
        {"cmdBack", {kBox + (1 - kBox) / 2, 1, 0, 0}},
        {"cmdAnotherCrop", {kBox + (1 - kBox) / 2, 1, 0, 0}},
        {"lblField", {0, 1, 0, 0}},
        {"txtFieldName", {0, 1, 0, 0}},
        {"lblFieldArea", {0, 1, 0, 0}},
        {"txtFieldArea", {0, 1, 0, 0}},
        {"lblFieldProblem", {0, 1, 0, 0}},
        {"chkSeasonLog", {0, 1, 0, 0}},
        {"SeasonTab", {0, 0, kBox, 1}},
    };
    for (const auto& [name, share] : shares) {
        if (auto* control =
                client()->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly)) {
            places->follow(control, share);
        }
    }
}

void frmMain::showEvent(QShowEvent* event) {
    WizardScreen::showEvent(event);
    // Every showing runs the schedule again with what the earlier screens now hold.
    mnuEdit_->setEnabled(false);
    ComputeSchedule();
    cycleScrolled(sldCycle_->value());
}

void frmMain::cycleScrolled(int position) {
    sldCycle_->setDragTipText(QString::number(position) + QStringLiteral(" days"));
    lblCycle_->setText(QString::number(position) + QStringLiteral("days"));
}

void frmMain::ComputeSchedule() {
    mType& state = wizard_.state();
    const ScheduleInputs in =
        scheduleInputs(state, wizard_.waterLevel().model(), wizard_.choice().packageTicked(),
                       sldCycle_->value(), currentTimeStamp());
    ++runs_;
    try {
        const ScheduleRun& run = engine_.ComputeSchedule(in);
        if (const auto figure = engine_.nonFiniteFigure()) {
            throw std::range_error(*figure + " does not come out as a finite number; check "
                                             "the crop's row of the workbook");
        }
        if (const auto implausible = engine_.implausibleFigure()) {
            throw std::range_error(*implausible);
        }
        reports_->show(scheduleRichText(run.report));
        irrigations_ = run.irrigations;
        // Dates are written with four-digit years: no planting date is offered whose season
        // would run past the last of them.
        dtpPlantingDate_->setMaximumDate(
            QDate::fromString(QString::fromStdString(latestPlantingDate(
                                  lastDatedDay(engine_.WaterDemand().Count(), run.irrigations))),
                              Qt::ISODate));
        refused_ = false;
    } catch (const std::exception& error) {
        // Nothing of a refused schedule is shown: no report, no calendar, no bars.
        reports_->clear();
        irrigations_.clear();
        refused_ = true;
        fillCalendar();
        DrawChart();
        wizard_.notifier().notify(Notifier::Icon::Warning, state.AppTitle,
                                  std::string("The schedule cannot be computed for this crop: ") +
                                      error.what());
        return;
    }
    fillCalendar();
    DrawChart();
    if (seasonTab_) {
        seasonTab_->planChanged();
    }
}

int frmMain::cycle() const {
    return sldCycle_->value();
}

void frmMain::setCycle(int days) {
    sldCycle_->setSliderPosition(days);
    sldCycle_->triggerAction(QAbstractSlider::SliderMove);
}

std::optional<QDate> frmMain::plantingDate() const {
    if (!chkPlantingDate_->isChecked()) {
        return std::nullopt;
    }
    return dtpPlantingDate_->date();
}

void frmMain::setPlantingDate(const std::optional<QDate>& date) {
    if (date && date->isValid()) {
        dtpPlantingDate_->setDate(*date);
    }
    chkPlantingDate_->setChecked(date.has_value());
}

CompareCycles* frmMain::compareCycles() {
    const ScenarioParse scenario = wizard_.plans().current();
    if (!scenario.scenario) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle,
                                  scenario.problem);
        return nullptr;
    }
    const ComparisonOutcome outcome =
        tavik::compareCycles(wizard_.state().CropData, *scenario.scenario, currentTimeStamp());
    if (!outcome.comparison) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle,
                                  "The cycles cannot be compared: " + outcome.problem);
        return nullptr;
    }
    delete findChild<CompareCycles*>(); // one comparison at a time, of the plan as it is now
    auto* dialog = new CompareCycles(*outcome.comparison, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CompareCycles::cycleChosen, this, &frmMain::setCycle);
    dialog->open();
    return dialog;
}

QDate frmMain::seasonToday() const {
    return seasonTab_->today();
}

bool frmMain::individualChart() const {
    return optIndividual_->isChecked();
}

void frmMain::plantingDateChanged() {
    const bool dated = plantingDate().has_value();
    exports_->plantingDateChanged(dated);
    tabView_->setVisible(dated);
    if (!dated) {
        tabView_->setCurrentIndex(0);
    }
    fillCalendar();
    if (seasonTab_) {
        chkSeasonLog_->setEnabled(dated);
        seasonTab_->planChanged();
    }
}

void frmMain::fillCalendar() {
    const auto date = plantingDate();
    if (!date) {
        tblCalendar_->clear();
        tblCalendar_->setRowCount(0);
        tblCalendar_->setColumnCount(0);
        return;
    }
    const std::vector<IrrigationColumn> columns =
        shownIrrigationColumns(true, wizard_.choice().packageTicked());
    QStringList headings;
    for (const IrrigationColumn& column : columns) {
        headings << QString::fromUtf8(column.heading);
    }
    tblCalendar_->setColumnCount(static_cast<int>(headings.size()));
    tblCalendar_->setHorizontalHeaderLabels(headings);
    tblCalendar_->setRowCount(static_cast<int>(irrigations_.size()));
    const QLocale locale;
    for (std::size_t i = 0; i < irrigations_.size(); ++i) {
        const IrrigationDay& day = irrigations_[i];
        const QString dateText = locale.toString(date->addDays(day.day), QLocale::ShortFormat);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const IrrigationField field = columns[c].field;
            auto* item = new QTableWidgetItem(shownIrrigationCell(field, day, dateText));
            item->setTextAlignment((isFigure(field) ? Qt::AlignRight : Qt::AlignLeft) |
                                   Qt::AlignVCenter);
            tblCalendar_->setItem(static_cast<int>(i), static_cast<int>(c), item);
        }
    }
}

void frmMain::DrawChart() {
    const ScheduleChart chart =
        refused_ ? ScheduleChart{} : engine_.chartBars(optIndividual_->isChecked());
    chartDays_.assign(chart.labels.begin(), chart.labels.end());
    drawScheduleChart(*MSChart1_, *bars_, chart);
}

QString frmMain::chartTip(const QPoint& position) const {
    const double key = MSChart1_->xAxis->pixelToCoord(position.x());
    const double value = MSChart1_->yAxis->pixelToCoord(position.y());
    for (auto it = bars_->data()->constBegin(); it != bars_->data()->constEnd(); ++it) {
        if (std::abs(key - it->key) <= bars_->width() / 2 && value >= 0 && value <= it->value) {
            std::array<char, 40> text{};
            std::snprintf(text.data(), text.size(), "%.15g", it->value);
            QString tip = QString::fromLatin1(text.data()) + QStringLiteral(" mm ");
            // With a planting date, the bar's date too.
            const auto bar = static_cast<std::size_t>(std::lround(it->key)) - 1;
            if (const auto date = plantingDate(); date && bar < chartDays_.size()) {
                tip += QStringLiteral("on ") +
                       QLocale().toString(date->addDays(chartDays_[bar]), QLocale::ShortFormat);
            }
            return tip;
        }
    }
    return {};
}

bool frmMain::boxIsEmpty() {
    if (!rtxtDisplay_->document()->isEmpty()) {
        return false;
    }
    wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, kEmptyBoxMessage);
    rtxtDisplay_->setFocus(Qt::OtherFocusReason);
    return true;
}

bool frmMain::saveSchedule() {
    if (boxIsEmpty()) {
        return false;
    }
    const auto path = wizard_.files().chooseSaveFile(
        this, QStringLiteral("All files (*.*);;Text _Files (*.txt);;Word_Document(*.doc)"),
        QStringLiteral("txt"));
    if (!path) {
        return false; // cancelled: nothing written, nothing said
    }
    // The whole box, as a Rich Text Format document, replacing the file only when all of it
    // was written.
    const std::string rtf = toRtf(richTextOf(*rtxtDisplay_));
    if (const auto problem = replaceFileContents(*path, rtf)) {
        const std::string file = printableText(path->toStdString());
        const QDir folder = QFileInfo(*path).absoluteDir();
        if (!folder.exists()) {
            // A path that cannot be found has the screen's own message, and the reason below.
            wizard_.notifier().notify(
                Notifier::Icon::None, wizard_.state().AppTitle,
                std::string(kPathErrorMessage) + "\n\n\"" + file + "\": the folder \"" +
                    printableText(folder.path().toStdString()) + "\" does not exist.");
        } else {
            wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle,
                                      "The schedule could not be saved as \"" + file +
                                          "\": " + *problem);
        }
        return false;
    }
    return true;
}

int frmMain::printSchedule() {
    if (boxIsEmpty()) {
        return 0;
    }
    QPrinter printer;
    if (!wizard_.files().choosePrinter(printer, this)) {
        return 0;
    }
    int pages = 0;
    if (const auto problem = printChecked(printer, [&] {
            // The irrigation table's figures under their headings, and no line of it wrapped.
            SetPrintTable(*rtxtDisplay_, tableUnderItsHeading(*rtxtDisplay_->document(), printer));
            pages = PrintRichText(*rtxtDisplay_, printer, 1440, 1440, 1440, 1440);
            return pages > 0;
        })) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, *problem);
        return 0;
    }
    return pages;
}

bool frmMain::printChart() {
    QPrinter printer;
    if (!wizard_.files().choosePrinter(printer, this)) {
        return false;
    }
    // The chart goes by way of the clipboard as a picture, and is drawn at its own size
    // 1000 twips from the corner of the printable area.
    const QPixmap drawn = MSChart1_->toPixmap();
    QApplication::clipboard()->setPixmap(drawn);
    QPixmap picture = QApplication::clipboard()->pixmap();
    if (picture.isNull()) {
        picture = drawn; // a clipboard that keeps no picture (no desktop session owns it)
    }
    printer.setFullPage(false);
    if (picture.isNull()) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle,
                                  "The chart could not be printed: it has no picture to print.");
        return false;
    }
    const auto problem = printChecked(printer, [&] {
        QPainter painter;
        if (!painter.begin(&printer)) {
            return false;
        }
        const double scale = printer.resolution() / 96.0; // screen pixels to printer dots
        const double offset = 1000.0 / 1440.0 * printer.resolution();
        painter.drawPixmap(
            QRectF(offset, offset, picture.width() * scale, picture.height() * scale), picture,
            QRectF(picture.rect()));
        return painter.end();
    });
    if (problem) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, *problem);
        return false;
    }
    return true;
}

// ---- The field's identity ------------------------------------------------------------------

namespace {

// A field's name holds no line break, tab or other control character (the plan file refuses
// them).
class FieldNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (const QChar c : input) {
            if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
                c == QChar::ParagraphSeparator) {
                return Invalid;
            }
        }
        return Acceptable;
    }
};

// The area kept in the plan, as the row shows it.
QString areaText(const std::optional<FieldIdentity>& field) {
    if (!field || !field->area) {
        return {};
    }
    return QLocale().toString(*field->area, 'g', QLocale::FloatingPointShortest);
}

bool emptyField(const FieldIdentity& field) {
    return !field.name && !field.area && !field.id;
}

} // namespace

void frmMain::setUpFieldIdentity() {
    auto* label = new QLabel(QStringLiteral("F&ield"), client());
    label->setObjectName(QStringLiteral("lblField"));
    placeAutoSized(label, 240, 9420);
    txtFieldName_ = new QLineEdit(client());
    txtFieldName_->setObjectName(QStringLiteral("txtFieldName"));
    txtFieldName_->setAccessibleName(QStringLiteral("Field name"));
    txtFieldName_->setMaxLength(kMaxFieldNameLength);
    txtFieldName_->setValidator(new FieldNameValidator(txtFieldName_));
    txtFieldName_->setPlaceholderText(QStringLiteral("Name of the field"));
    label->setBuddy(txtFieldName_);
    place(txtFieldName_, 2040, 9360, 1680, 375);
    auto* areaLabel = new QLabel(QStringLiteral("A&rea (ha)"), client());
    areaLabel->setObjectName(QStringLiteral("lblFieldArea"));
    placeAutoSized(areaLabel, 3840, 9420);
    txtFieldArea_ = new QLineEdit(client());
    txtFieldArea_->setObjectName(QStringLiteral("txtFieldArea"));
    txtFieldArea_->setAccessibleName(QStringLiteral("Field area in hectares"));
    txtFieldArea_->setMaxLength(24);
    areaLabel->setBuddy(txtFieldArea_);
    place(txtFieldArea_, 4860, 9360, 795, 375);
    auto* problem = new ProblemLabel(client());
    problem->setProblem(true);
    lblFieldProblem_ = problem;
    lblFieldProblem_->setObjectName(QStringLiteral("lblFieldProblem"));
    lblFieldProblem_->setTextFormat(Qt::PlainText); // it quotes what was typed
    place(lblFieldProblem_, 240, 9780, 5415, 300);

    connect(txtFieldName_, &QLineEdit::textEdited, this, &frmMain::fieldNameEdited);
    connect(txtFieldArea_, &QLineEdit::textEdited, this, &frmMain::fieldAreaEdited);
    // Leaving a bad area shows the area kept again; the message stays until the next edit.
    connect(txtFieldArea_, &QLineEdit::editingFinished, this, [this] {
        if (!lblFieldProblem_->text().isEmpty()) {
            txtFieldArea_->setText(areaText(wizard_.plans().field()));
        }
    });
    connect(&wizard_.plans(), &PlanFiles::fieldChanged, this, &frmMain::showField);
    showField();
}

void frmMain::showField() {
    if (keepingField_) {
        return;
    }
    const auto& field = wizard_.plans().field();
    txtFieldName_->setText(field && field->name ? QString::fromStdString(*field->name) : QString());
    txtFieldArea_->setText(areaText(field));
    lblFieldProblem_->clear();
}

void frmMain::keepField(const std::optional<FieldIdentity>& field) {
    const auto& now = wizard_.plans().field();
    const bool same =
        field.has_value() == now.has_value() &&
        (!field || (field->name == now->name && field->area == now->area && field->id == now->id));
    if (same) {
        return;
    }
    keepingField_ = true;
    wizard_.plans().setField(field);
    keepingField_ = false;
}

void frmMain::fieldNameEdited(const QString& text) {
    FieldIdentity field = wizard_.plans().field().value_or(FieldIdentity{});
    const QString name = text.trimmed();
    if (name.isEmpty()) {
        field.name.reset();
    } else {
        field.name = name.toStdString();
    }
    keepField(emptyField(field) ? std::nullopt : std::optional<FieldIdentity>(field));
}

void frmMain::fieldAreaEdited(const QString& text) {
    FieldIdentity field = wizard_.plans().field().value_or(FieldIdentity{});
    const QString typed = text.trimmed();
    if (typed.isEmpty()) {
        field.area.reset();
    } else {
        bool ok = false;
        const double area = QLocale().toDouble(typed, &ok);
        if (!ok || !std::isfinite(area) || !(area > 0.0)) {
            lblFieldProblem_->setText(
                QStringLiteral("The area must be a number of hectares greater than 0, e.g. %1; "
                               "\"%2\" is not kept.")
                    .arg(QLocale().toString(12.5), typed.left(30)));
            return;
        }
        field.area = area;
    }
    lblFieldProblem_->clear();
    keepField(emptyField(field) ? std::nullopt : std::optional<FieldIdentity>(field));
}

// The season log: off until ticked, and only with a planting date. Ticked, the plan gets a
// record and the Season tab shows it.
void frmMain::setUpSeasonLog() {
    chkSeasonLog_ = new QCheckBox(QStringLiteral("Keep a season log"), client());
    chkSeasonLog_->setObjectName(QStringLiteral("chkSeasonLog"));
    chkSeasonLog_->setEnabled(false);
    placeAutoSized(chkSeasonLog_, 240, 8880);
    seasonTab_ = new SeasonTab(wizard_, client());
    place(seasonTab_, 240, 600, 5415, 7575);
    seasonTab_->hide();
    connect(chkSeasonLog_, &QCheckBox::toggled, this, &frmMain::seasonLogTicked);
    connect(&wizard_.plans(), &PlanFiles::seasonChanged, this, &frmMain::seasonRecordChanged);
}

void frmMain::seasonLogTicked(bool on) {
    PlanFiles& plans = wizard_.plans();
    if (on == plans.season().has_value()) {
        return;
    }
    if (on) {
        plans.setSeason(SeasonRecord{});
        return;
    }
    const SeasonRecord& record = *plans.season();
    const std::size_t entries =
        record.rain.size() + record.irrigations.size() + record.readings.size();
    if ((entries > 0 || record.effectiveRain) &&
        !wizard_.dialogs().askToRemoveSeasonLog(
            this, QString::fromStdString(wizard_.state().AppTitle), static_cast<int>(entries))) {
        const QSignalBlocker blocked(chkSeasonLog_);
        chkSeasonLog_->setChecked(true);
        return;
    }
    plans.setSeason(std::nullopt);
}

void frmMain::seasonRecordChanged() {
    const bool kept = wizard_.plans().season().has_value();
    {
        const QSignalBlocker blocked(chkSeasonLog_);
        chkSeasonLog_->setChecked(kept);
    }
    if (kept && tabView_->count() == 2) {
        tabView_->addTab(QStringLiteral("Season"));
        if (plantingDate()) {
            tabView_->setCurrentIndex(2);
        }
    } else if (!kept && tabView_->count() == 3) {
        if (tabView_->currentIndex() == 2) {
            tabView_->setCurrentIndex(0);
        }
        tabView_->removeTab(2);
    }
}

} // namespace tavik
