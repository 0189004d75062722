#include "SoilReadingDialog.h"

#include "ProblemLabel.h"
#include "model/SoilLayers.h"
#include "model/cProfile.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <cmath>

namespace tavik {

namespace {

// A content typed into a layer's field, or why it is not one.
struct Typed {
    std::optional<double> value;
    QString problem;
};

Typed readContent(const QString& typed) {
    const QLocale locale;
    const QString text = typed.trimmed();
    const QString example = locale.toString(0.215, 'f', 3);
    if (text.isEmpty()) {
        return {std::nullopt, QStringLiteral("Type the water content, e.g. %1").arg(example)};
    }
    // Digits with at most one decimal separator: the locale's own.
    static const QRegularExpression digits(QStringLiteral("^[0-9]*([^0-9])?([0-9]*)$"));
    const QRegularExpressionMatch match = digits.match(text);
    if (!match.hasMatch() || text == match.captured(1) ||
        (match.hasCaptured(1) && match.captured(1) != locale.decimalPoint())) {
        return {std::nullopt, QStringLiteral("Not a number; type e.g. %1").arg(example)};
    }
    if (match.captured(2).size() > 3) {
        return {std::nullopt, QStringLiteral("At most three decimals")};
    }
    QString plain = text;
    plain.replace(locale.decimalPoint(), QStringLiteral("."));
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value)) {
        return {std::nullopt, QStringLiteral("Not a number; type e.g. %1").arg(example)};
    }
    if (value < 0 || value > kMaxReadingContent) {
        return {std::nullopt, QStringLiteral("Out of range: %1 to %2 mm/mm")
                                  .arg(locale.toString(0.0, 'f', 3),
                                       locale.toString(kMaxReadingContent, 'f', 3))};
    }
    return {value, QString()};
}

} // namespace

SoilReadingDialog::SoilReadingDialog(const PlanResult& plan, const QDate& date,
                                     const std::vector<double>& start, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("SoilReadingDialog"));
    setWindowTitle(QStringLiteral("Soil reading"));
    const QLocale locale;
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QStringLiteral("The water content of each soil layer as measured, in "
                                            "mm of water per mm of soil (top layer first)."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    auto* dateLabel = new QLabel(QStringLiteral("&Date"), this);
    date_ = new QDateEdit(this);
    date_->setObjectName(QStringLiteral("dtpReadingDate"));
    date_->setCalendarPopup(true);
    date_->setDisplayFormat(QStringLiteral("d MMM yyyy"));
    const QDate planting =
        plan.plantingDate
            ? QDate::fromString(QString::fromStdString(*plan.plantingDate), Qt::ISODate)
            : QDate();
    if (planting.isValid()) {
        date_->setDateRange(planting, planting.addDays(plan.engine.WaterDemand().Count()));
    } else {
        date_->setEnabled(false); // a reading needs the season's dates: none is taken
    }
    date_->setDate(date.isValid() ? date : planting);
    dateLabel->setBuddy(date_);
    grid->addWidget(dateLabel, 0, 0);
    grid->addWidget(date_, 0, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Depth"), this), 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("mm/mm"), this), 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Class"), this), 1, 3);
    const int layers = plan.waterLevels.LayerCount();
    for (int r = 0; r < layers; ++r) {
        Layer layer;
        const auto number = QString::number(r + 1);
        if (plan.state.SoilProfile) {
            const auto index = static_cast<std::int16_t>(r + 1);
            layer.thresholds = ClassThresholds::between(plan.state.SoilProfile->Theta1500Pa(index),
                                                        plan.state.SoilProfile->DUL(index));
        }
        auto* name = new QLabel(QStringLiteral("Layer &%1").arg(number), this);
        const int top = r * kLayerThicknessMm;
        const auto bottom = static_cast<long>(
            std::lround(top + static_cast<double>(plan.waterLevels.thickness(r))));
        auto* depth = new QLabel(QStringLiteral("%1 - %2 mm").arg(top).arg(bottom), this);
        depth->setObjectName(QStringLiteral("lblReadingDepth") + number);
        layer.edit = new QLineEdit(this);
        layer.edit->setObjectName(QStringLiteral("txtReadingLayer") + number);
        layer.edit->setAccessibleName(
            QStringLiteral("Water content of layer %1, %2").arg(number, depth->text()));
        layer.edit->setMaxLength(16);
        const auto at = static_cast<std::size_t>(r);
        if (at < start.size() && std::isfinite(start[at])) {
            layer.edit->setText(locale.toString(start[at], 'f', 3));
        }
        name->setBuddy(layer.edit);
        layer.status = new ProblemLabel(this);
        layer.status->setObjectName(QStringLiteral("lblReadingClass") + number);
        layer.status->setMinimumWidth(layer.status->fontMetrics().horizontalAdvance(
            QStringLiteral("Out of range: 0.000 to 0.500 mm/mm")));
        grid->addWidget(name, r + 2, 0);
        grid->addWidget(depth, r + 2, 1);
        grid->addWidget(layer.edit, r + 2, 2);
        grid->addWidget(layer.status, r + 2, 3);
        layers_.push_back(layer);
        connect(layer.edit, &QLineEdit::textChanged, this, &SoilReadingDialog::refresh);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("cmdReadingOk"));
    ok_->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cmdReadingCancel"));
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, [this] {
        if (complete()) {
            emit readingChosen(reading());
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    refresh();
    if (!layers_.empty()) {
        layers_.front().edit->setFocus();
    }
}

bool SoilReadingDialog::complete() const {
    if (layers_.empty() || !date_->isEnabled() || !date_->date().isValid()) {
        return false;
    }
    for (const Layer& layer : layers_) {
        if (!readContent(layer.edit->text()).value) {
            return false;
        }
    }
    return true;
}

void SoilReadingDialog::refresh() {
    for (Layer& layer : layers_) {
        const Typed typed = readContent(layer.edit->text());
        if (typed.value) {
            const auto word = layer.thresholds.classify(*typed.value);
            layer.status->setText(word ? QString::fromStdString(*word) : QString());
        } else {
            layer.status->setText(typed.problem);
        }
        layer.status->setProblem(!typed.value);
        layer.edit->setToolTip(typed.value ? QString() : typed.problem);
    }
    ok_->setEnabled(complete());
}

SeasonReading SoilReadingDialog::reading() const {
    SeasonReading reading;
    reading.date = date_->date().toString(Qt::ISODate).toStdString();
    for (const Layer& layer : layers_) {
        reading.waterLevels.push_back(readContent(layer.edit->text()).value.value_or(0.0));
    }
    return reading;
}

} // namespace tavik
