#include "Wizard.h"

#include "WaterLevelPlaceholder.h"
#include "frmChoice.h"
#include "frmIrrigationInfo.h"
#include "frmSoilInfo.h"
#include "frmSplash.h"

#include <QApplication>
#include <QDir>

namespace tavik {

Wizard::Wizard(mType& state, Notifier& notifier, QString programFolder)
    : state_(state), notifier_(notifier), programFolder_(std::move(programFolder)) {}

Wizard::~Wizard() = default;

QIcon Wizard::icon() const {
    return QIcon(QDir(programFolder_).filePath(QStringLiteral("logo.png")));
}

frmChoice& Wizard::choice() {
    if (!choice_) {
        choice_ = std::make_unique<frmChoice>(*this);
    }
    return *choice_;
}

frmIrrigationInfo& Wizard::irrigationInfo() {
    if (!irrigationInfo_) {
        irrigationInfo_ = std::make_unique<frmIrrigationInfo>(*this);
    }
    return *irrigationInfo_;
}

frmSoilInfo& Wizard::soilInfo() {
    if (!soilInfo_) {
        soilInfo_ = std::make_unique<frmSoilInfo>(*this);
    }
    return *soilInfo_;
}

QWidget& Wizard::waterLevel() {
    if (!waterLevel_) {
        waterLevel_ = std::make_unique<WaterLevelPlaceholder>(*this);
    }
    return *waterLevel_;
}

frmSplash& Wizard::splash() {
    if (!splash_) {
        splash_ = std::make_unique<frmSplash>(*this);
    }
    return *splash_;
}

void Wizard::move(QWidget& from, QWidget& to) {
    to.show();
    to.raise();
    to.activateWindow();
    from.hide();
}

void Wizard::exit() {
    if (exited_) {
        return;
    }
    exited_ = true;
    for (QWidget* screen :
         std::initializer_list<QWidget*>{choice_.get(), irrigationInfo_.get(), soilInfo_.get(),
                                         waterLevel_.get(), splash_.get()}) {
        if (screen != nullptr) {
            screen->hide();
        }
    }
    QCoreApplication::quit();
}

} // namespace tavik
