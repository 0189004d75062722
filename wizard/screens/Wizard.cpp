#include "Wizard.h"

#include "CropPicture.h"
#include "Dialogs.h"
#include "FilePlaces.h"
#include "PlanFiles.h"
#include "frmAbout.h"
#include "frmChoice.h"
#include "frmIrrigationInfo.h"
#include "frmMain.h"
#include "frmSoilInfo.h"
#include "frmSplash.h"
#include "frmWaterLevel.h"
#include "workbook/CropWorkbook.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <algorithm>

namespace tavik {

Wizard::Wizard(mType& state, Notifier& notifier, QString programFolder)
    : state_(state), notifier_(notifier), programFolder_(std::move(programFolder)),
      workbookPath_(defaultWorkbookPath(programFolder_)),
      platformDialogs_(std::make_unique<QtDialogs>()), dialogs_(platformDialogs_.get()),
      plans_(new PlanFiles(*this)), files_(std::make_unique<FilePlaces>(*this)) {}

Wizard::~Wizard() = default;

QIcon Wizard::icon() const {
    return loadIcon(QDir(programFolder_).filePath(QStringLiteral("logo.png")));
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

frmWaterLevel& Wizard::waterLevel() {
    if (!waterLevel_) {
        waterLevel_ = std::make_unique<frmWaterLevel>(*this);
    }
    return *waterLevel_;
}

frmMain& Wizard::result() {
    if (!result_) {
        result_ = std::make_unique<frmMain>(*this);
    }
    return *result_;
}

frmSplash& Wizard::splash() {
    if (!splash_) {
        splash_ = std::make_unique<frmSplash>(*this);
    }
    return *splash_;
}

frmAbout& Wizard::about() {
    if (about_.isNull()) {
        about_ = new frmAbout(*this, &frmAbout::startSystemInformation);
    }
    about_->show();
    about_->raise();
    return *about_;
}

frmListofContributors& Wizard::contributors() {
    if (contributors_.isNull()) {
        contributors_ = new frmListofContributors(*this);
    }
    contributors_->show();
    contributors_->raise();
    return *contributors_;
}

std::vector<WizardScreen*> Wizard::madeScreens() const {
    std::vector<WizardScreen*> screens;
    for (WizardScreen* screen :
         std::initializer_list<WizardScreen*>{choice_.get(), irrigationInfo_.get(), soilInfo_.get(),
                                              waterLevel_.get(), result_.get()}) {
        if (screen != nullptr) {
            screens.push_back(screen);
        }
    }
    return screens;
}

namespace {

// Every input of a screen tells the plan files when it changes (rows made since included).
template <typename Input, typename Signal>
void watch(QWidget& screen, Signal changed, PlanFiles& plans) {
    for (auto* input : screen.findChildren<Input*>()) {
        QObject::connect(input, changed, &plans, &PlanFiles::inputChanged, Qt::UniqueConnection);
    }
}

void watchInputs(QWidget& screen, PlanFiles& plans) {
    watch<QAbstractSlider>(screen, &QAbstractSlider::valueChanged, plans);
    watch<QAbstractButton>(screen, &QAbstractButton::toggled, plans);
    watch<QLineEdit>(screen, &QLineEdit::textChanged, plans);
    watch<QDateEdit>(screen, &QDateEdit::dateChanged, plans);
}

} // namespace

bool Wizard::requestExit(QWidget& from) {
    if (!plans_->mayLeave(from)) {
        return false;
    }
    exit();
    return true;
}

void Wizard::move(QWidget& from, QWidget& to) {
    // A wizard's next screen opens where the last one was: the same top-left corner (the
    // middle, coming from the splash), kept on that screen. A maximised screen stays so.
    if (from.isVisible() && !to.isMaximized() && !(to.windowState() & Qt::WindowMaximized)) {
        const QRect was = from.frameGeometry();
        QRect next(QPoint(0, 0), to.frameGeometry().size());
        if (&from == splash_.get()) {
            next.moveCenter(was.center());
        } else if (from.isMaximized()) {
            next.moveTopLeft(from.screen()->availableGeometry().topLeft());
        } else {
            next.moveTopLeft(was.topLeft());
        }
        const QRect room = from.screen()->availableGeometry();
        next.moveLeft(
            std::max(room.left(), std::min(next.left(), room.right() - next.width() + 1)));
        next.moveTop(std::max(room.top(), std::min(next.top(), room.bottom() - next.height() + 1)));
        to.move(next.topLeft());
    }
    to.show();
    to.raise();
    to.activateWindow();
    from.hide();
    watchInputs(to, *plans_);
    if (&to == result_.get()) {
        plans_->resultReached();
    }
    plans_->refreshTitles();
}

void Wizard::exit() {
    if (exited_) {
        return;
    }
    exited_ = true;
    for (QWidget* screen :
         std::initializer_list<QWidget*>{choice_.get(), irrigationInfo_.get(), soilInfo_.get(),
                                         waterLevel_.get(), result_.get(), splash_.get()}) {
        if (screen != nullptr) {
            screen->hide();
        }
    }
    for (QWidget* box : std::initializer_list<QWidget*>{about_.data(), contributors_.data()}) {
        if (box != nullptr) {
            box->close();
        }
    }
    QCoreApplication::quit();
}

} // namespace tavik
