#include "frmHelp.h"

#include "Wizard.h"
#include "frmSoilInfo.h"
#include "frmWaterLevel.h"
#include "model/SoilLayers.h"
#include "state/WizardState.h"

#include <QDesktopServices>
#include <QFile>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <cmath>

// The pages are compiled into the library; a static library's resources are registered by
// hand, once, before the first page is read.
static void registerHelpResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)registered;
}

namespace tavik {

namespace {

QUrl pageUrl(const QString& page) {
    return QUrl(QStringLiteral("qrc") + QString::fromLatin1(kHelpRoot) + page);
}

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    registerHelpResources();
    setObjectName(QStringLiteral("txtHelp"));
    setAccessibleName(QStringLiteral("Manual"));
    // Links are followed here, so that none leaves the manual unasked.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { follow(link); });
    QFile css(QString::fromLatin1(kHelpRoot) + QStringLiteral("help.css"));
    if (css.open(QIODevice::ReadOnly)) {
        document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));
    }
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    QVariant resource = QTextBrowser::loadResource(type, name);
    if (type == QTextDocument::HtmlResource && resource.typeId() == QMetaType::QByteArray) {
        return withSoilFigures(QString::fromUtf8(resource.toByteArray()), name.fileName(), soil_);
    }
    return resource;
}

bool HelpBrowser::follow(const QUrl& link) {
    const QUrl target = source().resolved(link);
    const QString scheme = target.scheme();
    if (scheme == QLatin1String("qrc") &&
        target.path().startsWith(QString::fromLatin1(kHelpRoot).mid(1))) {
        if (target.adjusted(QUrl::RemoveFragment) == source().adjusted(QUrl::RemoveFragment)) {
            scrollToAnchor(target.fragment());
        } else if (QFile::exists(QLatin1Char(':') + target.path())) {
            setSource(target);
        } else {
            return false;
        }
        return true;
    }
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https")) {
        return QDesktopServices::openUrl(target);
    }
    return false;
}

frmHelp::frmHelp()
    : QWidget(nullptr, Qt::Window), txtHelp_(new HelpBrowser(this)),
      cmdHome_(new QPushButton(QStringLiteral("&Contents"), this)),
      cmdBack_(new QPushButton(QStringLiteral("&Back"), this)),
      cmdForward_(new QPushButton(QStringLiteral("&Forward"), this)),
      cmdClose_(new QPushButton(QStringLiteral("C&lose"), this)) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Using TAVIK+"));
    setAttribute(Qt::WA_DeleteOnClose);
    cmdHome_->setObjectName(QStringLiteral("cmdHelpHome"));
    cmdBack_->setObjectName(QStringLiteral("cmdHelpBack"));
    cmdForward_->setObjectName(QStringLiteral("cmdHelpForward"));
    cmdClose_->setObjectName(QStringLiteral("cmdHelpClose"));
    cmdBack_->setEnabled(false);
    cmdForward_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHome_);
    buttons->addWidget(cmdBack_);
    buttons->addWidget(cmdForward_);
    buttons->addStretch(1);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(txtHelp_, 1);
    resize(720, 640);

    connect(cmdHome_, &QPushButton::clicked, this,
            [this] { txtHelp_->setSource(pageUrl(QString::fromLatin1(kHelpContents))); });
    connect(cmdBack_, &QPushButton::clicked, txtHelp_, &QTextBrowser::backward);
    connect(cmdForward_, &QPushButton::clicked, txtHelp_, &QTextBrowser::forward);
    connect(txtHelp_, &QTextBrowser::backwardAvailable, cmdBack_, &QWidget::setEnabled);
    connect(txtHelp_, &QTextBrowser::forwardAvailable, cmdForward_, &QWidget::setEnabled);
    connect(cmdClose_, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void frmHelp::showPage(const QString& page, const std::optional<SoilFigures>& soil) {
    txtHelp_->setSoilFigures(soil);
    const QUrl url =
        pageUrl(helpPages().contains(page) ? page : QString::fromLatin1(kHelpContents));
    if (txtHelp_->source() == url) {
        txtHelp_->reload(); // the soil may have changed since it was shown
    } else {
        txtHelp_->setSource(url);
    }
}

QString frmHelp::page() const {
    return txtHelp_->source().fileName();
}

std::optional<SoilFigures> soilFiguresOf(Wizard& wizard) {
    const frmSoilInfo* soil = wizard.madeSoilInfo();
    const frmWaterLevel* levels = wizard.madeWaterLevel();
    // The water level screen rebuilds from every Next that gave a PAWC: until it has, or
    // after a Next that gave none, the figures would mix two soils.
    if (soil == nullptr || levels == nullptr || soil->FromSoilInfo) {
        return std::nullopt;
    }
    const WaterLevelModel& model = levels->model();
    const float pawc = wizard.state().ProfilePAWC;
    const int layers = model.LayerCount();
    if (layers <= 0 || !(pawc > 0)) {
        return std::nullopt;
    }
    SoilFigures figures;
    figures.layers = layers;
    figures.depthMm =
        static_cast<int>(std::lround(static_cast<double>(kLayerThicknessMm) * (layers - 1) +
                                     static_cast<double>(model.thickness(layers - 1))));
    figures.pawcMm = pawc;
    figures.lowerMm = model.ProfileLowerMm();
    figures.upperMm = model.ProfileUpperMm();
    return figures;
}

} // namespace tavik
