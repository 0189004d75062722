#include "WaterLevelPlaceholder.h"

#include "Twips.h"
#include "Wizard.h"
#include "frmSoilInfo.h"
#include "model/cProfile.h"
#include "state/NumberText.h"
#include "state/WizardState.h"

#include <QLabel>
#include <QPushButton>

namespace tavik {

WaterLevelPlaceholder::WaterLevelPlaceholder(Wizard& wizard)
    : WizardScreen(wizard, QStringLiteral("frmWaterLevel"),
                   QStringLiteral("TAVIK+ (Soil water level)"), 9000, 5400),
      lblSummary_(new QLabel(client())),
      cmdBack_(new QPushButton(QStringLiteral("&Back"), client())) {
    lblSummary_->setObjectName(QStringLiteral("lblSummary"));
    lblSummary_->setWordWrap(true);
    lblSummary_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(lblSummary_, 480, 480, 8040, 3840);
    cmdBack_->setObjectName(QStringLiteral("cmdBack"));
    place(cmdBack_, 480, 4560, 855, 495);
    connect(cmdBack_, &QPushButton::clicked, this,
            [this] { wizard_.move(*this, wizard_.soilInfo()); });
}

void WaterLevelPlaceholder::showEvent(QShowEvent* event) {
    WizardScreen::showEvent(event);
    const mType& state = wizard_.state();
    wizard_.soilInfo().FromSoilInfo = false;
    QString text =
        QStringLiteral("<p>The soil profile holds <b>%1 mm</b> of plant-available water "
                       "in the root zone of %2 (%3 kg/ha).</p>")
            .arg(QString::fromStdString(shortestText(static_cast<double>(state.ProfilePAWC))),
                 QString::fromStdString(state.CropData.text(state.CropRow, CropColumn::Name)),
                 QString::number(static_cast<double>(state.TargetYield)));
    text +=
        QStringLiteral("<p>Soil depth %1 mm in %2 layers; the deepest layer is %3 mm thick.</p>")
            .arg(wizard_.soilInfo().depth())
            .arg(state.SoilProfile ? state.SoilProfile->NumberOfLayers() : 0)
            .arg(static_cast<double>(state.BottomLayerThickness));
    text +=
        QStringLiteral("<p>Stored-water changes between the growth stages (planned on the next "
                       "screen): early %1 mm, peak %2 mm, late %3 mm. Sprinkler law: speed = %4 "
                       "× amount ^ %5.</p>")
            .arg(static_cast<double>(state.StorageChangeEarly))
            .arg(static_cast<double>(state.StorageChangePeak))
            .arg(static_cast<double>(state.StorageChangeLate))
            .arg(state.SpeedCoefficient)
            .arg(state.SpeedExponent);
    lblSummary_->setText(text);
}

} // namespace tavik
