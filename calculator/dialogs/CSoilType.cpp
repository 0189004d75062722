#include "CSoilType.h"

#include "DialogUnits.h"
#include "Pictures.h"
#include "TextNumbers.h"
#include "UserDialogs.h"
#include "engine/SoilType.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace tavikcalc {

namespace {

constexpr int kMinDepth = 0;
constexpr int kMaxDepth = 2000;

} // namespace

QString CSoilType::controlName(int id) {
    return id == 1 ? QStringLiteral("IDOK") : QStringLiteral("id%1").arg(id);
}

CSoilType::CSoilType(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("CSoilType"));
    setWindowTitle(QStringLiteral("Dialog"));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    const DialogUnits units(font());
    setFixedSize(units.rect(0, 0, 173, 109).size());

    auto* depthCaption = new QLabel(QStringLiteral("Soil depth  [mm]"), this);
    units.place(depthCaption, 7, 10, 51, 8);
    depthEdit_ = new QLineEdit(this);
    depthCaption->setBuddy(depthEdit_);
    depthEdit_->setObjectName(controlName(IDC_DEPTH));
    units.place(depthEdit_, 83, 7, 40, 14);

    soilGroup_ = new QButtonGroup(this);
    const struct {
        int id;
        const char* caption;
        int top;
        int width;
    } radios[] = {{IDC_SAND, "Sand", 26, 33},
                  {IDC_SANDY_LOAM, "Sandy - Loam", 37, 59},
                  {IDC_CLAY, "Sand Clay Loam to Clay", 49, 91}};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(radios[i].caption), this);
        radio->setObjectName(controlName(radios[i].id));
        units.place(radio, 17, radios[i].top, radios[i].width, 10);
        soilGroup_->addButton(radio, i);
    }

    auto* pawcCaption = new QLabel(QStringLiteral("Plant Available Water Capacity :"), this);
    units.place(pawcCaption, 21, 67, 102, 11);
    pawcLabel_ = new QLabel(QStringLiteral("0"), this);
    pawcLabel_->setObjectName(controlName(IDC_PAWC));
    units.place(pawcLabel_, 125, 67, 41, 11);
    for (QLabel* label : {depthCaption, pawcCaption, pawcLabel_}) {
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(controlName(1));
    ok->setDefault(true);
    units.place(ok, 61, 88, 50, 14);

    connect(soilGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        soilClass = id;
        compute();
    });
    connect(depthEdit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        depth = textAsInteger(text);
        compute();
    });
    connect(ok, &QPushButton::clicked, this, &CSoilType::OnOK);
}

void CSoilType::setCrop(const CropRecord& crop) {
    soil = crop.soil;
    maxYield = crop.maxYield;
    referenceDepth = crop.referenceDepth;
}

void CSoilType::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CSoilType::OnInitDialog() {
    if (QAbstractButton* radio = soilGroup_->button(soilClass)) {
        radio->setChecked(true);
    }
    depthEdit_->setText(QString::number(depth));
    compute();
    depthEdit_->setFocus();
    depthEdit_->selectAll();
}

void CSoilType::compute() {
    if (soilClass < 0 || soilClass > 2) {
        return;
    }
    CropRecord crop;
    crop.soil = soil;
    crop.maxYield = maxYield;
    crop.referenceDepth = referenceDepth;
    const double value = soilTypePawc(crop, static_cast<SoilClass>(soilClass), yieldTarget, depth);
    pawcLabel_->setText(QString::fromStdString(soilTypePawcText(value)));
}

void CSoilType::OnOK() {
    compute();
    if (soilGroup_->checkedId() >= 0) {
        soilClass = soilGroup_->checkedId();
    }
    const std::optional<int> value = readInteger(depthEdit_->text());
    if (!value) {
        dialogs_.message(this, QStringLiteral("Please enter an integer."),
                         MessageIcon::Exclamation);
    } else if (*value < kMinDepth || *value > kMaxDepth) {
        dialogs_.message(this,
                         QStringLiteral("Please enter an integer between %1 and %2.")
                             .arg(kMinDepth)
                             .arg(kMaxDepth),
                         MessageIcon::Exclamation);
    } else {
        depth = *value;
        const double shown = textAsNumber(pawcLabel_->text()); // the value as shown, one decimal
        const std::string shallow =
            soilClass >= 0 && soilClass <= 2
                ? tooShallowProblem(cropEntry.toStdString(), static_cast<SoilClass>(soilClass),
                                    depth, shown)
                : std::string();
        if (shallow.empty()) {
            pawc = shown;
            accept();
            return;
        }
        dialogs_.message(this,
                         QString::fromStdString(shallow) +
                             QStringLiteral("\nPlease enter a greater soil depth, or choose "
                                            "another soil."),
                         MessageIcon::Exclamation);
    }
    depthEdit_->setFocus();
    depthEdit_->selectAll();
}

} // namespace tavikcalc
