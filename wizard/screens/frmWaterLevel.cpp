#include "frmWaterLevel.h"

#include "Dialogs.h"
#include "FilePlaces.h"
#include "TipSlider.h"
#include "Twips.h"
#include "Wizard.h"
#include "cGauge.h"
#include "frmMain.h"
#include "frmSoilInfo.h"
#include "plan/TimeStamp.h"
#include "printing/PrintToFile.h"
#include "printing/Printing.h"
#include "printing/RichTextBox.h"
#include "state/SoilInfo.h"
#include "state/WizardState.h"

#include <QApplication>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTextEdit>
#include <cmath>

namespace tavik {

namespace {

struct StageDesign {
    const char* frame;
    const char* caption;
    double left;
    const char* slider;
    const char* layerCaption;
    const char* level;
    const char* heading;
    const char* headingText;
    const char* picture;
    double dialLeft;
    const char* middle;
    const char* end;
    const char* water;
    const char* nominal;
};

// By stage: season start, peak start, peak end, season end.
constexpr std::array<StageDesign, 4> kDesign{{
    {"fraStart", "At the start of season", 120, "sldLayerStart", "lblLayerStart", "lblStartLevel",
     "Label5", "At the start of Season (Whole profile)", "picStartLevel", 840, "lblgaugeMiddle",
     "lblgaugeEnd", "lblGaugeValue", "Label7"},
    {"Frame1", "At the start of Peak demand", 3960, "sldLayerPeakStart", "lblLayerStartPeak",
     "lblStartPeakLevel", "Label17", "At the start of peak demand (whole profile)", "picPeakStart",
     4800, "lblGaugePSM", "lblGaugePSE", "lblPeakStart", "lblPSNominal"},
    {"Frame2", "At the end of peak demand", 7800, "sldLayerPeakEnd", "lblLayerEndPeak",
     "lblEndPeakLevel", "Label23", "At the end of peak demand (Whole profile)", "picPeakEnd", 8640,
     "lblGaugePEM", "lblGaugePEE", "lblPeakEnd", "lblPENominal"},
    {"fraEnd", "At the end of season", 11640, "sldLayerEnd", "lblLayerEnd", "lblEndLevel", "Label6",
     "At the end of season (whole profile)", "picTargetedEnd", 12360, "lblGMiddle", "lblGEnd",
     "lblGValue", "Label8"},
}};

constexpr double kRowStep = 615;
// The printed table, in points from the left margin (Arial 10): the layer captions, then a
// column per stage wide enough for its heading, with room for a value.
constexpr double kPrintFirstColumn = 96;
constexpr double kPrintColumnPitch = 95;
constexpr double kPrintValueRoom = 40;
// Every frame's rows alike, in twips: the caption up to the slider, wide enough for the
// deepest one ("1800 -  2000 mm"), the slider, then the class word clear of it.
constexpr double kRowSliderLeft = 1560;
constexpr double kRowSliderWidth = 1095;
const char* const kHeadings[] = {"      Start of Season", "      Start of Peak",
                                 "      End of Peak", "End of Season"};

QLabel* newLabel(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

} // namespace

frmWaterLevel::frmWaterLevel(Wizard& wizard)
    : WizardScreen(wizard, QStringLiteral("frmWaterLevel"),
                   QStringLiteral("TAVIK+ (Soil water level)"), 15480, 10605),
      rtxtWaterlevel_(new QTextEdit(client())),
      cmdBack_(new QPushButton(QStringLiteral("&Back"), client())),
      cmdNext_(new QPushButton(QStringLiteral("&Next"), client())) {
    auto* heading =
        newLabel(client(), QStringLiteral("lblDisplay"),
                 QStringLiteral("Select soil water content at different growth stages "
                                "(Measured/targeted volumetric soil water content (mm/mm))"));
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    place(heading, 120, 480, 15000, 375);

    QFont frameFont(QStringLiteral("Arial"), 12);
    frameFont.setBold(true);
    // The controls inside the frames keep the screen's plain font, not the frame captions'.
    QFont bodyFont(QApplication::font().family(), 8);
    bodyFont.setBold(false);
    for (std::size_t s = 0; s < 4; ++s) {
        const StageDesign& d = kDesign[s];
        auto* frame = new QGroupBox(QString::fromLatin1(d.caption), client());
        frame->setObjectName(QString::fromLatin1(d.frame));
        frame->setFont(frameFont);
        place(frame, d.left, 1080, 3615, 6015);
        frames_[s] = frame;
        // The scale of the sliders above their ends.
        auto* zero = newLabel(frame, QStringLiteral("scaleStart%1").arg(s), QStringLiteral("0"));
        zero->setFont(bodyFont);
        placeAutoSized(zero, kRowSliderLeft + 60, 360);
        auto* half = newLabel(frame, QStringLiteral("scaleEnd%1").arg(s), QStringLiteral("0.5"));
        half->setFont(bodyFont);
        placeAutoSized(half, kRowSliderLeft + kRowSliderWidth - 300, 360);

        auto* stageHeading =
            newLabel(client(), QString::fromLatin1(d.heading), QString::fromLatin1(d.headingText));
        stageHeading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        stageHeading->setFont(bodyFont);
        place(stageHeading, d.dialLeft - 700, 7140, 3590, 300);
        auto* dial = new cGauge(client());
        dial->setObjectName(QString::fromLatin1(d.picture));
        dial->setAccessibleName(QString::fromLatin1(d.headingText));
        dial->setFace(cGauge::loadDialFace(wizard.programFolder(), devicePixelRatioF()));
        place(dial, d.dialLeft, 7680, 2190, 1095);
        gauges_[s] = dial;
        auto* start = newLabel(client(), QStringLiteral("dialStart%1").arg(s), QStringLiteral("0"));
        placeAutoSized(start, d.dialLeft - 180, 8520);
        middleLabels_[s] = newLabel(client(), QString::fromLatin1(d.middle));
        endLabels_[s] = newLabel(client(), QString::fromLatin1(d.end));
        waterLabels_[s] = newLabel(client(), QString::fromLatin1(d.water));
        waterLabels_[s]->setAlignment(Qt::AlignHCenter);
        QFont waterFont = bodyFont;
        waterFont.setBold(true);
        waterLabels_[s]->setFont(waterFont);
        place(waterLabels_[s], d.dialLeft, 8820, 2190, 300);
        nominalLabels_[s] = newLabel(client(), QString::fromLatin1(d.nominal));
        nominalLabels_[s]->setAlignment(Qt::AlignHCenter);
        place(nominalLabels_[s], d.dialLeft, 9120, 2190, 300);
    }
    for (int line = 0; line < 3; ++line) {
        auto* separator = new QFrame(client());
        separator->setObjectName(QStringLiteral("Line%1").arg(line));
        separator->setFrameShape(QFrame::VLine);
        separator->setFrameShadow(QFrame::Sunken);
        place(separator, kDesign[static_cast<std::size_t>(line) + 1].left - 120, 1080, 120, 6015);
    }

    rtxtWaterlevel_->setObjectName(QStringLiteral("rtxtWaterlevel"));
    rtxtWaterlevel_->hide(); // holds what the print command prints
    // The printed table's columns under their headings: a value stop per stage, and between
    // two of them a stop that a heading passes and a value does not (a heading is followed by
    // one tab, a value by two).
    std::vector<double> stops;
    for (int stage = 0; stage < 4; ++stage) {
        stops.push_back(kPrintFirstColumn + kPrintColumnPitch * stage);
        if (stage < 3) {
            stops.push_back(kPrintFirstColumn + kPrintColumnPitch * stage + kPrintValueRoom);
        }
    }
    SetPrintTabStops(*rtxtWaterlevel_, stops);

    cmdBack_->setObjectName(QStringLiteral("cmdBack"));
    place(cmdBack_, 6780, 9840, 855, 495);
    connect(cmdBack_, &QPushButton::clicked, this,
            [this] { wizard_.move(*this, wizard_.soilInfo()); });
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    place(cmdNext_, 9120, 9840, 855, 495);
    connect(cmdNext_, &QPushButton::clicked, this,
            [this] { wizard_.move(*this, wizard_.result()); });

    QAction* print = fileMenu()->addAction(QStringLiteral("&Print water level selection"));
    print->setObjectName(QStringLiteral("mnuFilePrint"));
    connect(print, &QAction::triggered, this, [this] { printSelection(); });
    addHelpMenu();
}

void frmWaterLevel::showEvent(QShowEvent* event) {
    WizardScreen::showEvent(event);
    // Reached through the soil screen's Next: rebuild from the (possibly new) profile.
    // Coming back from the result screen keeps every selection.
    if (!loaded_ || wizard_.soilInfo().FromSoilInfo) {
        wizard_.soilInfo().FromSoilInfo = false;
        load();
    }
}

void frmWaterLevel::load() {
    loaded_ = true;
    QFont arial(QStringLiteral("Arial"), 10);
    rtxtWaterlevel_->setCurrentFont(arial);
    rtxtWaterlevel_->document()->setDefaultFont(arial);
    QPrinter printer;
    SetPrintLayout(*rtxtWaterlevel_, printer, 360, 360, 360, 360);

    mType& state = wizard_.state();
    const int depth = wizard_.soilInfo().depth();
    model_.build(*state.SoilProfile, static_cast<std::int16_t>(depth), state.BottomLayerThickness);
    for (std::size_t s = 0; s < 4; ++s) {
        gauges_[s]->Setup(0, model_.dialMaximum());
        middleLabels_[s]->setText(QString::number(model_.dialMiddle()));
        endLabels_[s]->setText(QString::number(model_.dialMaximum()));
        const double dialLeft = kDesign[s].dialLeft;
        middleLabels_[s]->adjustSize();
        middleLabels_[s]->move(gauges_[s]->x() +
                                   (gauges_[s]->width() - middleLabels_[s]->width()) / 2,
                               gauges_[s]->y() - middleLabels_[s]->height());
        placeAutoSized(endLabels_[s], dialLeft + 2190 - 60, 8520);
    }
    BuildLayerRows();
}

frmWaterLevel::Row frmWaterLevel::createRow(int index) {
    Row row;
    QFont bodyFont(QApplication::font().family(), 8);
    bodyFont.setBold(false);
    for (std::size_t s = 0; s < 4; ++s) {
        const StageDesign& d = kDesign[s];
        QGroupBox* frame = frames_[s];
        const auto stage = static_cast<Stage>(s);
        StageRow& r = row.stages[s];
        r.caption = newLabel(
            frame, QStringLiteral("%1_%2").arg(QString::fromLatin1(d.layerCaption)).arg(index));
        r.caption->setFont(bodyFont);
        r.slider = new TipSlider(Qt::Horizontal, frame);
        r.slider->setObjectName(
            QStringLiteral("%1_%2").arg(QString::fromLatin1(d.slider)).arg(index));
        r.slider->setRange(0, WaterLevelModel::kMaxSelection);
        r.slider->setSingleStep(1);
        r.slider->setPageStep(stage == Stage::SeasonStart ? 1 : 5);
        r.slider->setTickPosition(QSlider::TicksBelow);
        r.slider->setTickInterval(100);
        r.level =
            newLabel(frame, QStringLiteral("%1_%2").arg(QString::fromLatin1(d.level)).arg(index));
        r.level->setFont(bodyFont);
        const double down = index * kRowStep;
        place(r.caption, 60, 720 + down, kRowSliderLeft - 60, 300);
        place(r.slider, kRowSliderLeft, 600 + down, kRowSliderWidth, 615);
        place(r.level, kRowSliderLeft + kRowSliderWidth + 60, 720 + down, 900, 300);
        connect(r.slider, &TipSlider::scrolled, this, [this, index, stage](int position) {
            model_.select(index, stage, position);
            refresh(index, stage);
            refreshWholeProfile();
        });
        TipSlider* slider = r.slider;
        connect(slider, &QSlider::valueChanged, slider,
                [slider] { slider->setToolTip(slider->dragTipText()); });
        connect(slider, &TipSlider::hovered, slider,
                [slider] { slider->setToolTip(slider->dragTipText()); });
        r.caption->show();
        r.slider->show();
        r.level->show();
    }
    return row;
}

void frmWaterLevel::BuildLayerRows() {
    for (Row& row : rows_) {
        for (StageRow& r : row.stages) {
            delete r.caption;
            delete r.slider;
            delete r.level;
        }
    }
    rows_.clear();
    const int n = model_.LayerCount();
    const int depth = wizard_.soilInfo().depth();
    // Captions as the soil screen lays the depth out; one layer keeps "0 - 300 mm".
    const DepthLayout layout = depthLayout(static_cast<std::int16_t>(depth));
    for (int r = 0; r < n; ++r) {
        Row row = createRow(r);
        const QString caption =
            n >= 2 ? QString::fromStdString(layout.captions[static_cast<std::size_t>(r)])
                   : QStringLiteral("0 - 300 mm");
        for (std::size_t s = 0; s < 4; ++s) {
            row.stages[s].caption->setText(caption);
            // A screen reader names each slider by its stage and layer.
            row.stages[s].slider->setAccessibleName(QString::fromLatin1(kDesign[s].caption) +
                                                    QStringLiteral(": soil water (mm/mm) of the "
                                                                   "layer ") +
                                                    caption);
            row.stages[s].slider->setValue(model_.selection(r, static_cast<Stage>(s)));
        }
        rows_.push_back(row);
    }
    for (int r = 0; r < n; ++r) {
        for (Stage stage : kStages) {
            refresh(r, stage);
        }
    }
    refreshWholeProfile();
}

TipSlider* frmWaterLevel::slider(int row, Stage stage) const {
    return rows_.at(static_cast<std::size_t>(row)).stages[static_cast<std::size_t>(stage)].slider;
}

void frmWaterLevel::refresh(int row, Stage stage) {
    const StageRow& r =
        rows_.at(static_cast<std::size_t>(row)).stages[static_cast<std::size_t>(stage)];
    r.level->setText(QString::fromStdString(model_.layerClass(row, stage)));
    r.slider->setDragTipText(QString::fromStdString(model_.sliderText(row, stage)));
}

void frmWaterLevel::refreshWholeProfile() {
    // The stored-water changes between the stages go to the schedule.
    mType& state = wizard_.state();
    state.StorageChangeEarly = model_.StorageChangeEarly();
    state.StorageChangePeak = model_.StorageChangePeak();
    state.StorageChangeLate = model_.StorageChangeLate();
    for (Stage stage : kStages) {
        const auto s = static_cast<std::size_t>(stage);
        gauges_[s]->setValue(model_.dial(stage).Value());
        waterLabels_[s]->setText(QString::fromStdString(model_.waterText(stage)));
        nominalLabels_[s]->setText(QString::fromStdString(model_.nominalClass(stage)));
    }
    // The season-start dial tells its value when the pointer rests on it.
    gauges_[0]->setToolTip(QString::number(gauges_[0]->Value()));
}

RichText frmWaterLevel::BuildSelectionText() const {
    const TimeStamp stamp = currentTimeStamp();
    std::string text = "Volumetric soil water Content selection (mm/mm) \r\n\r\n";
    text += std::string("Layers\t") + kHeadings[0] + "\t" + kHeadings[1] + "\t" + kHeadings[2] +
            "\t" + kHeadings[3] + "\r\n";
    for (int r = 0; r < rows(); ++r) {
        const Row& row = rows_[static_cast<std::size_t>(r)];
        text += row.stages[0].caption->text().toStdString();
        const auto tip = [&row](Stage stage) {
            return row.stages[static_cast<std::size_t>(stage)].slider->dragTipText().toStdString();
        };
        text += "\t" + tip(Stage::SeasonStart) + "\t\t" + tip(Stage::PeakStart) + "\t\t" +
                tip(Stage::PeakEnd) + "\t\t" + tip(Stage::SeasonEnd) + "\r\n";
    }
    text += "\r\n" + stamp.date + " (" + stamp.time + ")";
    // The title in bold, underlined, 12 points: "Volumetric soil water Content selection".
    return titledRichText(std::move(text), 0, 39);
}

int frmWaterLevel::printSelection() {
    showRichText(*rtxtWaterlevel_, BuildSelectionText());
    QPrinter printer;
    if (!wizard_.files().choosePrinter(printer, this)) {
        return 0;
    }
    int pages = 0;
    if (const auto problem = printChecked(printer, [&] {
            pages = PrintRichText(*rtxtWaterlevel_, printer, 1440, 1440, 1440, 1440);
            return pages > 0;
        })) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, *problem);
        return 0;
    }
    return pages;
}

} // namespace tavik
