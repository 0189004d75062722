#include "frmChoice.h"

#include "CropPicture.h"
#include "TipSlider.h"
#include "Twips.h"
#include "Wizard.h"
#include "frmIrrigationInfo.h"
#include "frmSoilInfo.h"
#include "model/Notifier.h"
#include "state/NumberText.h"
#include "state/WizardState.h"
#include "workbook/CropWorkbook.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QToolButton>
#include <array>
#include <cmath>

namespace tavik {

namespace {

// Designed places of the eleven crop buttons (left, top), by option index.
constexpr std::array<std::array<int, 2>, 11> kOptionPlaces{{{480, 720},
                                                            {480, 2640},
                                                            {480, 4560},
                                                            {480, 6480},
                                                            {480, 8400},
                                                            {3360, 720},
                                                            {3360, 2640},
                                                            {3360, 4560},
                                                            {3360, 6480},
                                                            {3360, 8400},
                                                            {6240, 720}}};
// The darkest button face on which the black and red captions stay readable.
constexpr int kLeastFaceLightness = 160;

// A crop's picture button, which marks the focus inside its edge so that a keyboard user
// sees where it is (the style draws no focus mark on a tool button).
class CropOption : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void paintEvent(QPaintEvent* event) override {
        QToolButton::paintEvent(event);
        if (!hasFocus()) {
            return;
        }
        QStylePainter painter(this);
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        focus.backgroundColor = palette().color(QPalette::Button);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
    // The captions are black, and red for the chosen crop, whatever the desktop's theme: under
    // a dark one (at start or switched to later) the button keeps a light face so that both
    // stay readable.
    void changeEvent(QEvent* event) override {
        QToolButton::changeEvent(event);
        if (event->type() == QEvent::PaletteChange &&
            palette().color(QPalette::Button).lightness() < kLeastFaceLightness) {
            QPalette light = palette();
            light.setColor(QPalette::Button, QColor(240, 240, 240));
            setPalette(light);
        }
    }
};

// The crop buttons in the designed tab order: by rows of the two columns, the eleventh last.
constexpr std::array<int, 11> kOptionTabOrder{8, 9, 7, 4, 5, 6, 0, 3, 2, 1, 10};

constexpr int kOptionWidth = 2295;
constexpr int kOptionHeight = 1575;
constexpr int kOptionGap = 350;

QString number(long value) {
    return QString::number(value);
}

} // namespace

frmChoice::frmChoice(Wizard& wizard)
    : WizardScreen(wizard, QStringLiteral("frmChoice"), QStringLiteral("TAVIK+ (Crop choice)"),
                   13440, 10740),
      sldTargetYield_(new TipSlider(Qt::Horizontal, client())),
      lblTargetyield_(new QLabel(client())), lblmin_(new QLabel(client())),
      lblMax_(new QLabel(client())),
      Label1_(new QLabel(QStringLiteral("Target Yield (Kg/ha)"), client())),
      chkPackage_(
          new QCheckBox(QStringLiteral("Sprinkle Package information is available"), client())),
      cmdNext_(new QPushButton(QStringLiteral("&Next"), client())) {
    for (int i = 0; i < static_cast<int>(kOptionPlaces.size()); ++i) {
        createOption(i)->setText(QStringLiteral("Option1"));
    }

    sldTargetYield_->setObjectName(QStringLiteral("sldTargetYield"));
    sldTargetYield_->setAccessibleName(QStringLiteral("Target yield (kg/ha)"));
    sldTargetYield_->setRange(0, 10);
    sldTargetYield_->setValue(0);
    sldTargetYield_->setSingleStep(1000);
    sldTargetYield_->setPageStep(1000);
    sldTargetYield_->setTickPosition(QSlider::TicksBelow);
    place(sldTargetYield_, 8760, 1080, 1815, 495);
    connect(sldTargetYield_, &QSlider::valueChanged, this, &frmChoice::sliderChanged);
    connect(sldTargetYield_, &TipSlider::scrolled, this, &frmChoice::sliderScrolled);

    lblTargetyield_->setObjectName(QStringLiteral("lblTargetyield"));
    lblTargetyield_->setFont(QFont(QStringLiteral("MS Sans Serif"), 12));
    place(lblTargetyield_, 10800, 1080, 1335 + 300, 495);
    lblmin_->setObjectName(QStringLiteral("lblmin"));
    lblMax_->setObjectName(QStringLiteral("lblMax"));
    placeAutoSized(lblmin_, 8880, 1560);
    placeAutoSized(lblMax_, 10320, 1560);
    Label1_->setObjectName(QStringLiteral("Label1"));
    place(Label1_, 9000, 720, 1575 + 300, 255);

    chkPackage_->setObjectName(QStringLiteral("chkPackage"));
    place(chkPackage_, 9120, 2880, 4200, 975);
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    place(cmdNext_, 9120, 9840, 975, 495);
    connect(cmdNext_, &QPushButton::clicked, this, &frmChoice::next);
    addHelpMenu();
}

QToolButton* frmChoice::createOption(int index) {
    auto* button = new CropOption(client());
    button->setObjectName(QStringLiteral("Option1_%1").arg(index));
    button->setProperty("index", index);
    button->setCheckable(true);
    button->setAutoExclusive(true);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(112, 77));
    button->setFocusPolicy(Qt::StrongFocus);
    QFont bold = button->font();
    bold.setBold(true);
    button->setFont(bold);
    if (index < static_cast<int>(kOptionPlaces.size())) {
        const auto [left, top] = kOptionPlaces[static_cast<std::size_t>(index)];
        place(button, left, top, kOptionWidth, kOptionHeight);
    } else {
        // A crop beyond the designed eleven goes directly under the one before it.
        const QToolButton* above = options_.back();
        const QRect r = above->geometry();
        button->setGeometry(r.left(), r.top() + r.height() + twips(kOptionGap), r.width(),
                            r.height());
        button->show();
        growClientFor(button);
    }
    button->installEventFilter(this);
    connect(button, &QToolButton::clicked, this, [this, index] { chooseCrop(index); });
    options_.push_back(button);
    return button;
}

void frmChoice::growClientFor(QWidget* widget) {
    const int bottom = widget->geometry().bottom() + twips(360);
    if (bottom > client()->height()) {
        client()->setFixedHeight(bottom);
        adjustSize();
    }
}

bool frmChoice::load() {
    mType& state = wizard_.state();
    const QString& path = wizard_.workbookPath();
    const CropTableReport report = loadCropTable(state, path);
    state.AppTitle = kAppTitle;
    if (report.problem) {
        wizard_.notifier().notifyWithDetails(Notifier::Icon::Critical, state.AppTitle,
                                             *report.problem, report.details);
        return false;
    }
    if (report.leftOut) {
        wizard_.notifier().notifyWithDetails(Notifier::Icon::Warning, state.AppTitle,
                                             *report.leftOut, report.details);
    }
    const CropTable& crops = state.CropData;
    // Rows below the last usable one (a used range of many blank rows) get no button at all.
    const int lastRow = crops.offeredRows().empty() ? 1 : crops.offeredRows().back();
    for (int r = 2; r <= lastRow; ++r) {
        const int index = r - 2;
        QToolButton* button =
            index < optionCount() ? options_[static_cast<std::size_t>(index)] : createOption(index);
        const QString name = QString::fromStdString(crops.text(r, CropColumn::Name));
        button->setText(name);
        button->setToolTip(name);
        // A crop row that cannot be used is not offered.
        const bool offered = crops.isOffered(r);
        button->setIcon(offered ? QIcon(loadCropPicture(wizard_.programFolder(),
                                                        crops.cell(r, CropColumn::Picture),
                                                        button->devicePixelRatioF()))
                                : QIcon());
        paintCaption(button, Qt::black);
        button->setVisible(offered);
    }
    // Buttons that no usable row reaches are not offered either.
    for (int index = std::max(0, lastRow - 1); index < optionCount(); ++index) {
        options_[static_cast<std::size_t>(index)]->hide();
    }
    OptionBackColor_ = option(1) != nullptr ? option(1)->palette().color(QPalette::Button)
                                            : palette().color(QPalette::Button);

    // The tab order as designed: the crop buttons by rows of the two columns, Next, the
    // slider, the check box and last the eleventh crop.
    QList<QWidget*> order;
    for (std::size_t i = 0; i + 1 < kOptionTabOrder.size(); ++i) {
        order.append(options_[static_cast<std::size_t>(kOptionTabOrder[i])]);
    }
    order << cmdNext_ << sldTargetYield_ << chkPackage_
          << options_[static_cast<std::size_t>(kOptionTabOrder.back())];
    for (int index = 11; index < optionCount(); ++index) {
        order.append(options_[static_cast<std::size_t>(index)]);
    }
    for (qsizetype i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
    for (QWidget* first : order) {
        if (first->isVisibleTo(this)) {
            first->setFocus();
            break;
        }
    }
    return true;
}

QToolButton* frmChoice::option(int index) const {
    return index >= 0 && index < optionCount() ? options_[static_cast<std::size_t>(index)]
                                               : nullptr;
}

bool frmChoice::packageTicked() const {
    return chkPackage_->isChecked();
}

void frmChoice::paintCaption(QToolButton* button, const QColor& color) {
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, color);
    button->setPalette(palette);
}

void frmChoice::chooseCrop(int index) {
    QToolButton* button = option(index);
    mType& state = wizard_.state();
    if (button == nullptr || !state.CropData.isOffered(index + 2)) {
        return;
    }
    button->setChecked(true);
    paintCaption(button, QColor(255, 0, 0));
    state.CropRow = static_cast<std::int16_t>(index + 2);
    const CropTable& crops = state.CropData;
    const auto R = static_cast<float>(crops.number(state.CropRow, CropColumn::RecommendedYield));
    const auto sliderEnd = [](double yield) {
        return static_cast<int>(std::nearbyint(yield));
    };
    const int minimum = sliderEnd(crops.number(state.CropRow, CropColumn::MinYield));
    const int maximum = sliderEnd(crops.number(state.CropRow, CropColumn::MaxYield));
    // The order keeps the range valid on the way: up first when the yields rise.
    if (static_cast<double>(R) > sldTargetYield_->minimum()) {
        sldTargetYield_->setMaximum(maximum);
        lblMax_->setText(number(sldTargetYield_->maximum()));
        sldTargetYield_->setMinimum(minimum);
        lblmin_->setText(number(sldTargetYield_->minimum()));
    } else {
        sldTargetYield_->setMinimum(minimum);
        lblmin_->setText(number(sldTargetYield_->minimum()));
        sldTargetYield_->setMaximum(maximum);
        lblMax_->setText(number(sldTargetYield_->maximum()));
    }
    lblmin_->adjustSize();
    lblMax_->adjustSize();
    sldTargetYield_->setValue(static_cast<int>(std::nearbyint(R)));
    sldTargetYield_->setToolTip(
        QStringLiteral("Recommended yield value (%1Kg/ha), but you can change it")
            .arg(QString::fromStdString(plainText(R))));
    lblTargetyield_->setText(number(sldTargetYield_->value()) + QStringLiteral("kg/ha"));
}

void frmChoice::sliderChanged(int value) {
    wizard_.state().TargetYield = static_cast<float>(value);
    sldTargetYield_->setToolTip(number(value) + QStringLiteral(" Kg/ha"));
}

void frmChoice::sliderScrolled(int position) {
    sldTargetYield_->setDragTipText(number(position) + QStringLiteral("kg/ha"));
    lblTargetyield_->setText(number(position) + QStringLiteral("kg/ha"));
}

bool frmChoice::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (auto* button = qobject_cast<QToolButton*>(watched)) {
            // The red caption follows the focus; the crop stays chosen.
            QPalette palette = button->palette();
            palette.setColor(QPalette::Button, OptionBackColor_);
            palette.setColor(QPalette::ButtonText, Qt::black);
            button->setPalette(palette);
        }
    }
    return WizardScreen::eventFilter(watched, event);
}

void frmChoice::next() {
    mType& state = wizard_.state();
    if (state.CropRow == 0) {
        wizard_.notifier().notify(
            Notifier::Icon::Information, state.AppTitle,
            "Please choose a crop first: click the picture of the crop to plan.");
        // The crops take the focus: Space chooses the one that has it.
        for (int index : kOptionTabOrder) {
            if (QToolButton* crop = option(index); crop != nullptr && crop->isVisibleTo(this)) {
                crop->setFocus(Qt::OtherFocusReason);
                break;
            }
        }
        return;
    }
    if (packageTicked()) {
        wizard_.move(*this, wizard_.irrigationInfo());
    } else {
        wizard_.move(*this, wizard_.soilInfo());
    }
}

} // namespace tavik
