#include "Wizard.h"

#include "CropPicture.h"
#include "Dialogs.h"
#include "FilePlaces.h"
#include "PlanFiles.h"
#include "WindowPlacement.h"
#include "frmAbout.h"
#include "frmChoice.h"
#include "frmHelp.h"
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

Wizard::~Wizard() {
    // The manual's window has no parent to take it along.
    delete help_.data();
}

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

frmHelp& Wizard::help(const QString& page) {
    if (help_.isNull()) {
        help_ = new frmHelp;
        help_->setWindowIcon(icon());
    }
    help_->showPage(page, soilFiguresOf(*this));
    help_->show();
    help_->raise();
    help_->activateWindow();
    return *help_;
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

QMargins Wizard::expectedFrame(const QWidget& window) const {
    if (const QMargins margins = frameMargins(window); !margins.isNull()) {
        return margins;
    }
    const QMargins guess = guessedFrameMargins(window);
    return guess.isNull() || seenFrame_.isNull() ? guess : seenFrame_;
}

void Wizard::move(QWidget& from, QWidget& to) {
    // The next screen's frame goes where the last one's was (or around the same middle, coming
    // from the splash; to the top left corner of the screen's room, coming from a maximised
    // screen), with all of it, or at least its title bar, inside the room. A maximised screen
    // stays so.
    if (from.isVisible() && !(to.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QRect room = from.screen()->availableGeometry();
        sizeForShowing(to);
        const QMargins margins = expectedFrame(to);
        const QRect was = from.geometry().marginsAdded(expectedFrame(from));
        QRect next(QPoint(0, 0), to.size().grownBy(margins));
        if (&from == splash_.get()) {
            next.moveCenter(was.center());
        } else if (from.isMaximized()) {
            next.moveTopLeft(room.topLeft());
        } else {
            next.moveTopLeft(was.topLeft());
        }
        placeFrame(to, fitInside(next, room).topLeft(), margins);
    }
    showPlaced(to);
    from.hide();
    watchInputs(to, *plans_);
    if (&to == result_.get()) {
        plans_->resultReached();
    }
    plans_->refreshTitles();
}

void Wizard::showFirst(QWidget& window) {
    if (!(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const QScreen* screen = window.screen();
        const QRect room = screen->availableGeometry();
        sizeForShowing(window);
        const QMargins margins = expectedFrame(window);
        QRect frame(QPoint(0, 0), window.size().grownBy(margins));
        frame.moveCenter(room.center());
        placeFrame(window, fitInside(frame, room).topLeft(), margins);
    }
    showPlaced(window);
}

void Wizard::showPlaced(QWidget& window) {
    window.show();
    window.raise();
    window.activateWindow();
    // The frame is known only once the window manager has put it around the window: if it is
    // not the one expected, the window is moved inside the room then.
    fitWhenFramed(window, [this](const QMargins& margins) { seenFrame_ = margins; });
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
    for (QWidget* box :
         std::initializer_list<QWidget*>{about_.data(), contributors_.data(), help_.data()}) {
        if (box != nullptr) {
            box->close();
        }
    }
    QCoreApplication::quit();
}

} // namespace tavik
