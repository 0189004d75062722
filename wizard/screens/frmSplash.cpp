#include "frmSplash.h"

#include "Twips.h"
#include "Wizard.h"
#include "frmChoice.h"

#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace tavik {

namespace {

constexpr double kFormWidth = 9000;
constexpr double kFormHeight = 5400;
constexpr double kProductLeft = 2100;

QLabel* label(QWidget* parent, const QString& name, const QString& text, const QString& family,
              int points, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont font(family, points);
    font.setBold(bold);
    l->setFont(font);
    return l;
}

} // namespace

QString versionText() {
    return QStringLiteral("Version %1.%2.%3")
        .arg(TAVIK_VERSION_MAJOR)
        .arg(TAVIK_VERSION_MINOR)
        .arg(TAVIK_VERSION_PATCH);
}

frmSplash::frmSplash(Wizard& wizard)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint), wizard_(wizard),
      Frame1_(new QFrame(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("TAVIK+"));
    setFixedSize(twipsSize(kFormWidth, kFormHeight));
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    Frame1_->setFrameShape(QFrame::Box);
    Frame1_->setLineWidth(2);
    Frame1_->setGeometry(rect());
    Frame1_->setAutoFillBackground(true);
    QPalette palette = Frame1_->palette();
    // A light panel with black text on it, whatever the desktop's theme.
    palette.setColor(QPalette::Window, QColor(246, 250, 252));
    palette.setColor(QPalette::WindowText, Qt::black);
    Frame1_->setPalette(palette);
    Frame1_->installEventFilter(this);

    auto* logo = new QLabel(Frame1_);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(wizard.icon().pixmap(96, 96));
    place(logo, 300, 300, 1440, 1440);

    lblProductName_ = label(Frame1_, QStringLiteral("lblProductName"), QStringLiteral("TAVIK"),
                            QStringLiteral("Arial"), productFontSize_, true);
    palette = lblProductName_->palette();
    palette.setColor(QPalette::WindowText, QColor(22, 79, 128));
    lblProductName_->setPalette(palette);
    label1_ = label(Frame1_, QStringLiteral("label1"), QStringLiteral("+"), QStringLiteral("Arial"),
                    24, true);
    label1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblVersion_ = label(Frame1_, QStringLiteral("lblVersion"), QStringLiteral("Beta"),
                        QStringLiteral("Arial"), 10);
    auto* institution = label(Frame1_, QStringLiteral("lblCompanyProduct"),
                              QStringLiteral("Institute for Soil, Climate and Water\n"
                                             "Department of Irrigation Science"),
                              QStringLiteral("Trebuchet MS"), 11);
    placeAutoSized(institution, 1920, 360);
    auto* contact = label(Frame1_, QStringLiteral("lblContact"),
                          QStringLiteral("Water-balance model: Irrigation Research Group\n"
                                         "irrigation.advice@example.org"),
                          QStringLiteral("Arial"), 8);
    placeAutoSized(contact, 480, 4500);
    const char* topics[] = {"Crop water demand", "Soil water storage", "Root water uptake",
                            "Centre pivot scheduling"};
    for (int i = 0; i < 4; ++i) {
        auto* topic = label(Frame1_, QStringLiteral("lblTopic_%1").arg(i),
                            QString::fromLatin1(topics[i]), QStringLiteral("Arial"), 8);
        placeAutoSized(topic, 6600, 3300 + 300.0 * i);
    }

    const int intervals[] = {100, 3600, 4000, 6000};
    for (int i = 0; i < 4; ++i) {
        timers_[i] = new QTimer(this);
        timers_[i]->setObjectName(QStringLiteral("Timer%1").arg(i + 1));
        timers_[i]->setInterval(intervals[i]);
        timers_[i]->setTimerType(Qt::PreciseTimer); // the "+" has 0.4 s to grow
    }
    connect(timers_[0], &QTimer::timeout, this, &frmSplash::Timer1Tick);
    connect(timers_[1], &QTimer::timeout, this, &frmSplash::Timer2Tick);
    connect(timers_[2], &QTimer::timeout, this, &frmSplash::Timer3Tick);
    connect(timers_[3], &QTimer::timeout, this, &frmSplash::Timer4Tick);

    // Load: the version, and the animation's starting state.
    lblVersion_->setText(versionText());
    placeAutoSized(lblVersion_, 480, 4080);
    lblProductName_->adjustSize();
    lblProductName_->move(twipsPoint(kProductLeft, productTop_));
    label1_->resize(twipsSize(plusWidth_, plusHeight_));
    placePlus();
}

QTimer* frmSplash::timer(int number) const {
    return timers_[number - 1];
}

void frmSplash::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!started_) {
        started_ = true;
        for (QTimer* t : timers_) {
            t->start();
        }
    }
}

void frmSplash::Timer1Tick() {
    productTop_ += 65;
    productFontSize_ += 2;
    QFont font = lblProductName_->font();
    font.setPointSize(productFontSize_);
    lblProductName_->setFont(font);
    lblProductName_->adjustSize();
    lblProductName_->move(twipsPoint(kProductLeft, productTop_));
}

void frmSplash::placePlus() {
    const double productLeft = toTwips(lblProductName_->x());
    const double productWidth = toTwips(lblProductName_->width());
    label1_->setGeometry(
        twipsRect(productWidth + productLeft - 150, productTop_ - 200, plusWidth_, plusHeight_));
}

void frmSplash::Timer2Tick() {
    timers_[0]->stop();
    timers_[1]->setInterval(10);
    placePlus();
    plusWidth_ += 10;
    plusHeight_ += 15;
    label1_->resize(twipsSize(plusWidth_, plusHeight_));
    if (plusHeight_ > 690) {
        timers_[1]->stop();
    }
}

void frmSplash::Timer3Tick() {
    timers_[1]->stop();
    timers_[2]->setInterval(30);
    plusColour_ += 5;
    QPalette palette = label1_->palette();
    palette.setColor(QPalette::WindowText, QColor(static_cast<int>(plusColour_ & 0xFF),
                                                  static_cast<int>((plusColour_ >> 8) & 0xFF),
                                                  static_cast<int>((plusColour_ >> 16) & 0xFF)));
    label1_->setPalette(palette);
    placePlus();
}

void frmSplash::Timer4Tick() {
    timers_[2]->stop();
    timers_[3]->stop();
    handOver();
}

void frmSplash::handOver() {
    if (handedOver_) {
        return;
    }
    handedOver_ = true;
    for (QTimer* t : timers_) {
        t->stop();
    }
    wizard_.move(*this, wizard_.choice());
}

bool frmSplash::eventFilter(QObject* watched, QEvent* event) {
    // A click skips the rest of the animation.
    if (watched == Frame1_ && event->type() == QEvent::MouseButtonPress) {
        handOver();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmSplash::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!handedOver_) {
        wizard_.exit();
    }
}

} // namespace tavik
