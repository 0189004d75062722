#include "frmIrrigationInfo.h"

#include "Twips.h"
#include "Wizard.h"
#include "frmChoice.h"
#include "frmSoilInfo.h"
#include "model/Notifier.h"
#include "state/NumberText.h"
#include "state/SprinklerPackage.h"
#include "state/WizardState.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace tavik {

namespace {

constexpr double kFirstRowTop = 1320;
constexpr double kRowStep = 360;

} // namespace

frmIrrigationInfo::frmIrrigationInfo(Wizard& wizard)
    : WizardScreen(wizard, QStringLiteral("frmIrrigationInfo"),
                   QStringLiteral("TAVIK+ [Irrigation (center Pivot) setting]"), 15240, 10605),
      cmdShowGraph_(new QPushButton(QStringLiteral("Show Graph"), client())),
      cmdBack_(new QPushButton(QStringLiteral("&Back"), client())),
      cmdNext_(new QPushButton(QStringLiteral("&Next"), client())),
      MSChart1_(new QCustomPlot(client())) {
    auto* title = new QLabel(QStringLiteral("Sprinkler package "), client());
    title->setObjectName(QStringLiteral("lblTitle_1"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setPointSize(12);
    title->setFont(titleFont);
    placeAutoSized(title, 480, 240);
    auto* subtitle = new QLabel(QStringLiteral("(Relationship between irrigation water application "
                                               "rate and running speed of the system)"),
                                client());
    subtitle->setObjectName(QStringLiteral("lblTitle_0"));
    subtitle->adjustSize();
    subtitle->move(title->geometry().right() + 8,
                   title->y() + (title->height() - subtitle->height()) / 2);

    auto* speedHeader = new QLabel(QStringLiteral("Running speed (Percentage)"), client());
    speedHeader->setObjectName(QStringLiteral("Label2"));
    speedHeader->setWordWrap(true);
    speedHeader->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    place(speedHeader, 1080, 720, 1800, 540);
    auto* amountHeader = new QLabel(QStringLiteral("Irrigation water amount (mm)"), client());
    amountHeader->setObjectName(QStringLiteral("Label3"));
    amountHeader->setWordWrap(true);
    amountHeader->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    place(amountHeader, 3000, 720, 1815, 540);

    for (std::size_t i = 0; i < kSprinklerRows; ++i) {
        const double top = kFirstRowTop + kRowStep * static_cast<double>(i);
        auto* caption = new QLabel(QString::fromLatin1(kSpeedCaptions[i]), client());
        caption->setObjectName(QStringLiteral("label1_%1").arg(i));
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        place(caption, 1440, top, 1200, 375);
        auto* box = new QLineEdit(QString::fromLatin1(kDefaultAmountTexts[i]), client());
        box->setObjectName(QStringLiteral("txtWaterAmount_%1").arg(i));
        // A screen reader names the box by its speed.
        box->setAccessibleName(QStringLiteral("Water amount (mm) at %1 running speed")
                                   .arg(QString::fromLatin1(kSpeedCaptions[i]).trimmed()));
        place(box, 3000, top, 1815, 375);
        box->installEventFilter(this);
        label1_.push_back(caption);
        txtWaterAmount_.push_back(box);
        if (i > 0) {
            setTabOrder(txtWaterAmount_[i - 1], box);
        }
    }

    cmdShowGraph_->setObjectName(QStringLiteral("cmdShowGraph"));
    place(cmdShowGraph_, 3000, 9480, 1815, 495);
    connect(cmdShowGraph_, &QPushButton::clicked, this, &frmIrrigationInfo::ShowChart);
    cmdBack_->setObjectName(QStringLiteral("cmdBack"));
    place(cmdBack_, 6780, 9840, 855, 495);
    connect(cmdBack_, &QPushButton::clicked, this,
            [this] { wizard_.move(*this, wizard_.choice()); });
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    place(cmdNext_, 9120, 9840, 855, 495);
    connect(cmdNext_, &QPushButton::clicked, this, &frmIrrigationInfo::next);
    setTabOrder(txtWaterAmount_.back(), cmdShowGraph_);
    setTabOrder(cmdShowGraph_, cmdBack_);
    setTabOrder(cmdBack_, cmdNext_);

    // The scatter chart of running speed against amount, shown on request.
    MSChart1_->setObjectName(QStringLiteral("MSChart1"));
    MSChart1_->setAccessibleName(QStringLiteral("Sprinkler package chart"));
    place(MSChart1_, 5400, 1320, 9480, 7935);
    MSChart1_->setBackground(Qt::white);
    MSChart1_->xAxis->setLabel(QStringLiteral("Amount of water (mm)"));
    MSChart1_->yAxis->setLabel(QStringLiteral("Running Speed (%)"));
    series_ = MSChart1_->addGraph();
    series_->setName(QStringLiteral("Series 1"));
    series_->setLineStyle(QCPGraph::lsNone);
    series_->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, Qt::black, Qt::black, 7));
    MSChart1_->setMouseTracking(true);
    connect(MSChart1_, &QCustomPlot::mouseMove, this,
            [this](QMouseEvent* event) { MSChart1_->setToolTip(chartTip(event->pos())); });
    MSChart1_->hide();
    addHelpMenu();
}

void frmIrrigationInfo::showEvent(QShowEvent* event) {
    WizardScreen::showEvent(event);
    if (!loaded_) {
        // The first showing: the whole table in view, the first amount ready to be typed over.
        loaded_ = true;
        setWindowState(windowState() | Qt::WindowMaximized);
        txtWaterAmount_[0]->setFocus();
        txtWaterAmount_[0]->selectAll();
    }
}

std::vector<double> frmIrrigationInfo::amounts() const {
    std::vector<double> values;
    for (const QLineEdit* box : txtWaterAmount_) {
        values.push_back(leadingNumber(box->text().toStdString()));
    }
    return values;
}

void frmIrrigationInfo::setAmounts(const std::optional<std::vector<double>>& amounts) {
    for (std::size_t i = 0; i < kSprinklerRows; ++i) {
        txtWaterAmount_[i]->setText(amounts && i < amounts->size()
                                        ? QString::fromStdString(shortestText((*amounts)[i]))
                                        : QString::fromLatin1(kDefaultAmountTexts[i]));
    }
}

void frmIrrigationInfo::ShowChart() {
    QVector<double> amount;
    QVector<double> speed;
    const std::vector<double> speeds = sprinklerSpeeds();
    const std::vector<double> typed = amounts();
    for (std::size_t r = 0; r < kSprinklerRows; ++r) {
        amount.append(typed[r]);
        speed.append(speeds[r]);
    }
    series_->setData(amount, speed, true);
    series_->rescaleAxes();
    MSChart1_->xAxis->scaleRange(1.1, MSChart1_->xAxis->range().center());
    MSChart1_->yAxis->scaleRange(1.1, MSChart1_->yAxis->range().center());
    MSChart1_->replot();
    MSChart1_->show();
}

QString frmIrrigationInfo::chartTip(const QPoint& position) const {
    constexpr double kNear = 6.0; // pixels
    for (auto it = series_->data()->constBegin(); it != series_->data()->constEnd(); ++it) {
        const double x = MSChart1_->xAxis->coordToPixel(it->key);
        const double y = MSChart1_->yAxis->coordToPixel(it->value);
        if (std::hypot(x - position.x(), y - position.y()) <= kNear) {
            return QString::fromStdString(hashDotHashPicture(it->key));
        }
    }
    return {};
}

bool frmIrrigationInfo::FitSpeedLaw() {
    const SprinklerFit fit = fitSprinklerPackage(amounts());
    if (!fit.law) {
        wizard_.notifier().notify(Notifier::Icon::Warning, wizard_.state().AppTitle, fit.problem);
        // The box the message names takes the focus, its text ready to be typed over.
        if (fit.row && *fit.row < txtWaterAmount_.size()) {
            txtWaterAmount_[*fit.row]->setFocus(Qt::OtherFocusReason);
            txtWaterAmount_[*fit.row]->selectAll();
        }
        return false;
    }
    wizard_.state().SpeedCoefficient = fit.law->SpeedCoefficient;
    wizard_.state().SpeedExponent = fit.law->SpeedExponent;
    return true;
}

void frmIrrigationInfo::next() {
    if (FitSpeedLaw()) {
        wizard_.move(*this, wizard_.soilInfo());
    }
}

bool frmIrrigationInfo::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box == nullptr) {
        return WizardScreen::eventFilter(watched, event);
    }
    if (event->type() == QEvent::FocusIn) {
        QTimer::singleShot(0, box, &QLineEdit::selectAll);
    } else if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Backspace) {
            return false;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Down the table; from the last amount to Next.
            const auto at = std::find(txtWaterAmount_.begin(), txtWaterAmount_.end(), box);
            if (at + 1 != txtWaterAmount_.end()) {
                (*(at + 1))->setFocus(Qt::TabFocusReason);
            } else {
                cmdNext_->setFocus(Qt::TabFocusReason);
            }
            return true;
        }
        const QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint()) {
            // Keys that type nothing (arrows, Delete, Tab, the editing shortcuts) keep their
            // usual meaning; the amounts are read by their leading number when used.
            return false;
        }
        const QChar c = text.at(0);
        return !((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.'));
    }
    return WizardScreen::eventFilter(watched, event);
}

} // namespace tavik
