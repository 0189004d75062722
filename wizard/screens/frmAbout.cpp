#include "frmAbout.h"

#include "Twips.h"
#include "Wizard.h"
#include "frmSplash.h"
#include "model/Notifier.h"
#include "state/WizardState.h"

#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>

namespace tavik {

namespace {

QLabel* label(QWidget* parent, const QString& name, const QString& text) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(true);
    return l;
}

} // namespace

frmAbout::frmAbout(Wizard& wizard, std::function<bool()> startViewer)
    : QDialog(nullptr), wizard_(wizard), startViewer_(std::move(startViewer)) {
    const QString title = QStringLiteral("TAVIK+");
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About ") + title);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsSize(6900, 3900));

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(wizard.icon().pixmap(64, 64));
    place(logo, 240, 240, 1020, 1020);
    auto* lblTitle = label(this, QStringLiteral("lblTitle"), title);
    QFont big = lblTitle->font();
    big.setPointSize(14);
    big.setBold(true);
    lblTitle->setFont(big);
    place(lblTitle, 1440, 240, 5000, 420);
    place(label(this, QStringLiteral("lblVersion"), versionText()), 1440, 660, 5000, 300);
    place(label(this, QStringLiteral("lblDescription"),
                QStringLiteral(
                    "TAVIK+ is irrigation scheduling software developed by the Department "
                    "of Irrigation Science of the Institute for Soil, Climate and Water.")),
          1440, 1020, 5200, 780);
    place(label(this, QStringLiteral("Label1"),
                QStringLiteral("Water-balance model: Irrigation Research Group")),
          1440, 1860, 5200, 300);
    place(label(this, QStringLiteral("Label2"), QStringLiteral("Program: the TAVIK+ developers")),
          1440, 2160, 5200, 300);
    place(label(this, QStringLiteral("lblDisclaimer"), QStringLiteral("TAVIK+  ")), 240, 2700, 4200,
          300);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    place(ok, 5160, 2700, 1500, 375);
    connect(ok, &QPushButton::clicked, this, &QDialog::close);
    auto* info = new QPushButton(QStringLiteral("&System Info..."), this);
    info->setObjectName(QStringLiteral("cmdSysInfo"));
    place(info, 5160, 3180, 1500, 375);
    connect(info, &QPushButton::clicked, this, &frmAbout::showSystemInformation);
}

bool frmAbout::startSystemInformation() {
    for (const char* viewer : {"hardinfo2", "hardinfo", "kinfocenter", "gnome-system-monitor"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(viewer));
        if (!path.isEmpty() && QProcess::startDetached(path, {})) {
            return true;
        }
    }
    return false;
}

void frmAbout::showSystemInformation() {
    if (!startViewer_ || !startViewer_()) {
        wizard_.notifier().notify(Notifier::Icon::Information, wizard_.state().AppTitle,
                                  "System Information Is Unavailable At This Time");
    }
}

frmListofContributors::frmListofContributors(Wizard& wizard) : QDialog(nullptr) {
    setObjectName(QStringLiteral("frmListofContributors"));
    setWindowTitle(QStringLiteral("TAVIK+ (List of Contributors)"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(wizard.icon());
    setFixedSize(twipsSize(8400, 5400));
    const QFont times(QStringLiteral("Times New Roman"), 11);
    const QString entries[] = {
        QStringLiteral(
            "Irrigation Research Group (1996). A water-balance model for scheduling the "
            "irrigation of field crops from their yield targets. Research Report No. 386/1/96."),
        QStringLiteral(
            "Irrigation Research Group (1999). Root water uptake and the plant-available "
            "water capacity of layered soil profiles. Research Report No. 515/1/99."),
        QStringLiteral(
            "Irrigation Research Group (2001). Centre pivot sprinkler packages: application "
            "amount and running speed. Research Report No. 722/1/01."),
        QStringLiteral(
            "Soil Water Working Group (2003). Volumetric soil water targets at the growth "
            "stages of irrigated crops. Technical Report No. TT 194/03."),
        QStringLiteral(
            "The reports are freely available from the water research fund's publications "
            "office."),
    };
    for (int i = 0; i < 5; ++i) {
        auto* entry = label(this, QStringLiteral("Label%1").arg(i + 1), entries[i]);
        entry->setFont(times);
        place(entry, 720, 240 + 960.0 * i, 7440, 900);
    }
    // A bullet before every report entry (the line on where to find them has none).
    for (int i = 0; i < 4; ++i) {
        auto* bullet = new QRadioButton(this);
        bullet->setObjectName(QStringLiteral("Option%1").arg(i + 1));
        bullet->setChecked(true);
        bullet->setAutoExclusive(false);
        bullet->setFocusPolicy(Qt::NoFocus);
        bullet->setAttribute(Qt::WA_TransparentForMouseEvents);
        place(bullet, 300, 300 + 960.0 * i, 300, 300);
    }
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    place(close, 3600, 4920, 1200, 375);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
}

} // namespace tavik
