#include "frmSoilInfo.h"

#include "TipSlider.h"
#include "Twips.h"
#include "Wizard.h"
#include "frmChoice.h"
#include "frmIrrigationInfo.h"
#include "frmWaterLevel.h"
#include "model/Notifier.h"
#include "model/cProfile.h"
#include "plan/Scenario.h"
#include "state/NumberText.h"
#include "state/SoilInfo.h"
#include "state/WizardState.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

constexpr double kRowStep = 615; // one layer slider's height

// Replaces a text box's text the program's way, keeping the cursor where the user had it.
void rewrite(QLineEdit* box, const QString& text) {
    if (box->text() == text) {
        return;
    }
    const int cursor = box->cursorPosition();
    box->setText(text);
    box->setCursorPosition(std::min(cursor, static_cast<int>(text.size())));
}

// The number at the start of a typed text, rounded (halves to even) into a slider's range.
int typedValue(const QLineEdit* box, const TipSlider* slider) {
    const double typed = std::nearbyint(leadingNumber(box->text().toStdString()));
    return static_cast<int>(std::clamp(typed, static_cast<double>(slider->minimum()),
                                       static_cast<double>(slider->maximum())));
}

} // namespace

frmSoilInfo::frmSoilInfo(Wizard& wizard)
    : WizardScreen(wizard, QStringLiteral("frmSoilInfo"),
                   QStringLiteral("TAVIK+ (Soil information)"), 15240, 10605),
      sldSoilDepth_(new TipSlider(Qt::Vertical, client())), txtsoilDepth_(new QLineEdit(client())),
      lblDisplay_(new QLabel(QStringLiteral("Select the Silt + Clay % for each layer"), client())),
      Label2_(new QLabel(QStringLiteral("0%"), client())),
      Label3_(new QLabel(QStringLiteral("100%"), client())),
      chkDeepRipped_(new QCheckBox(QStringLiteral("Deep ripped before Planting"), client())),
      cmdBack_(new QPushButton(QStringLiteral("&Back "), client())),
      cmdNext_(new QPushButton(QStringLiteral("&Next"), client())) {
    auto* label1 = new QLabel(QStringLiteral("Select soil Depth "), client());
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);
    place(label1, 240, 4800, 1275, 660);

    sldSoilDepth_->setObjectName(QStringLiteral("sldSoilDepth"));
    sldSoilDepth_->setAccessibleName(QStringLiteral("Soil depth (mm)"));
    sldSoilDepth_->setRange(0, 2000);
    sldSoilDepth_->setInvertedAppearance(true); // 0 at the top, 2000 at the bottom
    sldSoilDepth_->setInvertedControls(true);
    sldSoilDepth_->setSingleStep(10);
    sldSoilDepth_->setPageStep(200);
    sldSoilDepth_->setTickPosition(QSlider::TicksBothSides);
    sldSoilDepth_->setTickInterval(200);
    sldSoilDepth_->setValue(567);
    place(sldSoilDepth_, 1680, 1560, 675, 6495);
    connect(sldSoilDepth_, &TipSlider::scrolled, this, [this](int) { depthLayout(); });
    connect(sldSoilDepth_, &TipSlider::hovered, this, [this] {
        sldSoilDepth_->setToolTip(QString::number(sldSoilDepth_->sliderPosition()) +
                                  QStringLiteral("mm"));
    });
    auto* label4 = new QLabel(QStringLiteral("0 mm"), client());
    label4->setObjectName(QStringLiteral("Label4"));
    placeAutoSized(label4, 2400, 1680);
    auto* label5 = new QLabel(QStringLiteral("2000 mm"), client());
    label5->setObjectName(QStringLiteral("Label5"));
    placeAutoSized(label5, 2400, 7800);

    txtsoilDepth_->setObjectName(QStringLiteral("txtsoilDepth"));
    txtsoilDepth_->setAccessibleName(QStringLiteral("Soil depth (mm)"));
    place(txtsoilDepth_, 2520, 4800, 1095, 495);
    connect(txtsoilDepth_, &QLineEdit::textEdited, this, &frmSoilInfo::depthTyped);

    lblDisplay_->setObjectName(QStringLiteral("lblDisplay"));
    place(lblDisplay_, 4680, 1560, 3495 + 600, 375);
    Label2_->setObjectName(QStringLiteral("Label2"));
    placeAutoSized(Label2_, 6240, 2160);
    Label3_->setObjectName(QStringLiteral("Label3"));
    placeAutoSized(Label3_, 7560, 2160);

    chkDeepRipped_->setObjectName(QStringLiteral("chkDeepRipped"));
    place(chkDeepRipped_, 5160, 480, 2295 + 600, 615);
    cmdBack_->setObjectName(QStringLiteral("cmdBack"));
    place(cmdBack_, 6780, 9840, 855, 495);
    connect(cmdBack_, &QPushButton::clicked, this, &frmSoilInfo::back);
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    place(cmdNext_, 9120, 9840, 855, 495);
    connect(cmdNext_, &QPushButton::clicked, this, &frmSoilInfo::next);

    rows_.push_back(createRow(0));
    depthLayout();
    addHelpMenu();
}

int frmSoilInfo::depth() const {
    return sldSoilDepth_->sliderPosition();
}

std::vector<int> frmSoilInfo::siltClay() const {
    std::vector<int> values;
    for (const LayerRow& row : rows_) {
        values.push_back(row.slider->value());
    }
    return values;
}

bool frmSoilInfo::deepRipped() const {
    return chkDeepRipped_->isChecked();
}

void frmSoilInfo::setDeepRipped(bool ripped) {
    chkDeepRipped_->setChecked(ripped);
}

frmSoilInfo::LayerRow frmSoilInfo::createRow(int index) {
    LayerRow row{new QLabel(client()), new TipSlider(Qt::Horizontal, client()),
                 new QLineEdit(client()), QStringLiteral("300")};
    row.label->setObjectName(QStringLiteral("lblLayer_%1").arg(index));
    row.slider->setObjectName(QStringLiteral("sldLayer_%1").arg(index));
    row.text->setObjectName(QStringLiteral("txtLayer_%1").arg(index));
    row.label->setText(QStringLiteral("0 - 300 mm"));
    nameForScreenReaders(row);
    row.slider->setRange(1, 100);
    row.slider->setSingleStep(1);
    row.slider->setPageStep(1);
    row.slider->setTickPosition(QSlider::TicksBelow);
    row.slider->setTickInterval(15);
    row.slider->setValue(kFreshSiltClay);
    const double down = index * kRowStep;
    // Wide enough for the deepest caption ("1800 -  2000 mm"), ending at the slider.
    place(row.label, 4560, 2520 + down, 1620, 375);
    row.label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    place(row.slider, 6240, 2400 + down, 1695, 615);
    place(row.text, 8040, 2520 + down, 495 + 90, 375);
    connect(row.slider, &TipSlider::scrolled, this,
            [this, index](int position) { layerScrolled(index, position); });
    connect(row.slider, &QSlider::valueChanged, this, [this, index](int value) {
        SavedSiltClay_[static_cast<std::size_t>(index)] = static_cast<float>(value);
    });
    connect(row.slider, &TipSlider::hovered, this, [this, index] {
        TipSlider* slider = rows_[static_cast<std::size_t>(index)].slider;
        slider->setDragTipText(QString::number(slider->sliderPosition()) + QStringLiteral(" %"));
        slider->setToolTip(slider->dragTipText());
    });
    connect(row.text, &QLineEdit::textEdited, this, [this, index] { layerTyped(index); });
    return row;
}

void frmSoilInfo::nameForScreenReaders(const LayerRow& row) {
    const QString name = QStringLiteral("Silt + clay (%) of the layer ") + row.label->text();
    row.slider->setAccessibleName(name);
    row.text->setAccessibleName(name);
}

void frmSoilInfo::destroyRow(LayerRow& row) {
    delete row.label;
    delete row.slider;
    delete row.text;
}

void frmSoilInfo::showRow(const LayerRow& row, bool visible) {
    row.label->setVisible(visible);
    row.slider->setVisible(visible);
    row.text->setVisible(visible);
}

void frmSoilInfo::layerScrolled(int index, int position) {
    const LayerRow& row = rows_[static_cast<std::size_t>(index)];
    const QString text = QString::number(position) + QStringLiteral("%");
    rewrite(row.text, text);
    row.slider->setDragTipText(text);
}

void frmSoilInfo::layerTyped(int index) {
    const LayerRow& row = rows_[static_cast<std::size_t>(index)];
    const int value = typedValue(row.text, row.slider);
    row.slider->setValue(value);
    row.slider->setSliderPosition(value);
    layerScrolled(index, value);
}

void frmSoilInfo::depthTyped() {
    const int value = typedValue(txtsoilDepth_, sldSoilDepth_);
    sldSoilDepth_->setSliderPosition(value);
    sldSoilDepth_->setValue(value);
    depthLayout();
}

void frmSoilInfo::depthLayout() {
    mType& state = wizard_.state();
    const int d = sldSoilDepth_->sliderPosition();
    const DepthLayout layout =
        applySoilDepth(state, static_cast<std::int16_t>(d), &wizard_.notifier());
    rewrite(txtsoilDepth_, QString::number(d) + QStringLiteral("mm"));

    lblDisplay_->hide();
    Label2_->hide();
    Label3_->hide();
    showRow(rows_[0], false);
    rewrite(rows_[0].text, QString::number(rows_[0].slider->value()) + QStringLiteral("%"));
    for (std::size_t i = 1; i < rows_.size(); ++i) {
        SavedSiltClay_[i] = static_cast<float>(rows_[i].slider->value());
        destroyRow(rows_[i]);
    }
    rows_.resize(1);

    const int n = layout.layers;
    if (n >= 1) {
        lblDisplay_->show();
        Label2_->show();
        Label3_->show();
        showRow(rows_[0], true);
        rows_[0].label->setText(QString::fromStdString(layout.captions[0]));
        nameForScreenReaders(rows_[0]);
    }
    for (int i = 1; i <= n - 1 && i < static_cast<int>(SavedSiltClay_.size()); ++i) {
        LayerRow row = createRow(i);
        // A layer keeps the value it last had, whatever depths came between (typing 1200
        // passes through 1, 12 and 120, which have no deeper layers); a layer never shown
        // before starts fresh.
        const int start =
            i <= std::max(PreviousLastRow_, DeepestRowShown_)
                ? static_cast<int>(std::nearbyint(SavedSiltClay_[static_cast<std::size_t>(i)]))
                : kFreshSiltClay;
        row.slider->setValue(start);
        row.label->setText(QString::fromStdString(layout.captions[static_cast<std::size_t>(i)]));
        nameForScreenReaders(row);
        row.tag = QString::fromStdString(layout.tags[static_cast<std::size_t>(i)]);
        row.text->setText(QString::number(row.slider->value()) + QStringLiteral("%"));
        showRow(row, true);
        rows_.push_back(row);
    }
    PreviousLastRow_ = n >= 2 ? n - 1 : 0;
    DeepestRowShown_ = std::max(DeepestRowShown_, PreviousLastRow_);
    sldSoilDepth_->setDragTipText(QString::number(d) + QStringLiteral(" mm"));
    orderTabs();
}

void frmSoilInfo::orderTabs() {
    // Down the screen: the depth (slider, then its box), Deep ripped, each layer from the top
    // (slider, then its box), Back and Next. Rows made anew go to their place in the order.
    std::vector<QWidget*> order{sldSoilDepth_, txtsoilDepth_, chkDeepRipped_};
    for (const LayerRow& row : rows_) {
        order.push_back(row.slider);
        order.push_back(row.text);
    }
    order.push_back(cmdBack_);
    order.push_back(cmdNext_);
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void frmSoilInfo::next() {
    FromSoilInfo = true;
    mType& state = wizard_.state();
    const int d = depth();
    const RootZoneResult result = computeSoilPawc(state, static_cast<std::int16_t>(d), siltClay(),
                                                  chkDeepRipped_->isChecked());
    if (result.outcome != RootZoneResult::Outcome::Ok) {
        wizard_.notifier().notify(Notifier::Icon::Information, state.AppTitle,
                                  soilPawcMessage(result));
        // The box the message names first takes the focus: the depth when there is no layer,
        // the top layer's silt + clay when the PAWC comes out as zero.
        QLineEdit* named = nullptr;
        if (result.outcome == RootZoneResult::Outcome::NoLayers) {
            named = txtsoilDepth_;
        } else if (result.outcome == RootZoneResult::Outcome::ZeroPawc) {
            named = rows_.front().text;
        }
        if (named != nullptr) {
            named->setFocus(Qt::OtherFocusReason);
            named->selectAll();
        }
        return;
    }
    wizard_.move(*this, wizard_.waterLevel());
}

void frmSoilInfo::back() {
    if (wizard_.choice().packageTicked()) {
        wizard_.move(*this, wizard_.irrigationInfo());
    } else {
        wizard_.move(*this, wizard_.choice());
    }
}

} // namespace tavik
