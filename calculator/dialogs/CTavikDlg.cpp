#include "CTavikDlg.h"

#include "CAboutDlg.h"
#include "CSoilType.h"
#include "CSplashWnd.h"
#include "DialogUnits.h"
#include "Pictures.h"
#include "ReportPrinter.h"
#include "TextNumbers.h"
#include "UserDialogs.h"
#include "report/Reports.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <cmath>

namespace tavikcalc {

namespace {

constexpr int kSoilDialogDepth = 1000; // mm

// A group box without a caption: an etched frame whose top line runs half a line below the
// box's top edge, so that a radio button placed on that edge sits on the line as a caption
// would.
class GroupFrame : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect frame = rect().adjusted(0, fontMetrics().height() / 2, -2, -2);
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(frame);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(frame.translated(1, 1));
    }
};

// Enables or disables a field together with its caption.
void enable(const std::initializer_list<QWidget*>& widgets, bool enabled) {
    for (QWidget* widget : widgets) {
        widget->setEnabled(enabled);
    }
}

} // namespace

void DialogNotifier::message(const std::string& text) {
    dialogs_.message(parent_, QString::fromStdString(text), MessageIcon::Exclamation);
}

QString CTavikDlg::controlName(int id) {
    return QStringLiteral("id%1").arg(id);
}

CTavikDlg::CTavikDlg(double commandLineArea, UserDialogs& dialogs, SplashState& splash,
                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs), splash_(splash), notifier_(dialogs, this),
      areaFlag_(commandLineArea > 0 ? 1 : 0), area_(commandLineArea), calculator_(&notifier_) {
    setObjectName(QStringLiteral("CTavikDlg"));
    setWindowTitle(QStringLiteral("Tavik"));
    setWindowIcon(applicationIcon());
    setFont(dialogFont());
    createControls();

    // Initialisation: the radio groups and the cycle to the controls; the About item.
    methodGroup_->button(method_)->setChecked(true);
    periodGroup_->button(periodChoice_)->setChecked(true);
    viewGroup_->button(view_)->setChecked(true);
    cycleEdit_->setText(cFormat("%u", static_cast<unsigned>(cycle_)));
    // The reserve the report uses from the start, shown so that the box and the figure agree.
    reserveEdit_->setText(cFormat("%g", reserve_));
    if (area_ > 0) {
        areaEdit_->setText(QString::number(area_, 'g', QLocale::FloatingPointShortest));
    }
    aboutAction_ = new QAction(QStringLiteral("&About Tavik..."), this);
    aboutAction_->setObjectName(QStringLiteral("aboutAction"));
    aboutAction_->setShortcut(QKeySequence::HelpContents); // F1
    aboutAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(aboutAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(aboutAction_, &QAction::triggered, this, &CTavikDlg::OnAbout);

    // The handlers.
    connect(crop_, &QComboBox::currentIndexChanged, this, &CTavikDlg::OnSelchangeCrop);
    for (QLineEdit* edit : {yield_, pawcEdit_, reserveEdit_, cycleEdit_}) {
        edit->installEventFilter(this);
    }
    connect(streamFlowEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { streamFlow_ = textAsNumber(text); });
    connect(lagEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { calculator_.setDefaultLag(textAsInteger(text)); });
    connect(areaEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { area_ = textAsNumber(text); });
    connect(control<QPushButton>(IDC_SOIL_PROFILE), &QPushButton::clicked, this,
            &CTavikDlg::OnSoilProfile);
    connect(control<QRadioButton>(IDC_OVERHEAD), &QRadioButton::clicked, this,
            &CTavikDlg::OnOverhead);
    connect(control<QRadioButton>(IDC_FLOOD), &QRadioButton::clicked, this, &CTavikDlg::OnFlood);
    connect(control<QRadioButton>(IDC_PERIOD_12), &QRadioButton::clicked, this, [this] {
        periodHours_ = 12;
        periodChoice_ = 0;
    });
    connect(control<QRadioButton>(IDC_PERIOD_24), &QRadioButton::clicked, this, [this] {
        periodHours_ = 24;
        periodChoice_ = 1;
    });
    connect(control<QPushButton>(IDC_CALCULATE), &QPushButton::clicked, this,
            &CTavikDlg::OnCalculate);
    connect(control<QPushButton>(IDC_INPUT_VIEW), &QPushButton::clicked, this,
            &CTavikDlg::showInputView);
    connect(control<QPushButton>(IDC_OUTPUT_VIEW), &QPushButton::clicked, this,
            &CTavikDlg::showOutputView);
    connect(control<QPushButton>(IDC_PRINT), &QPushButton::clicked, this, &CTavikDlg::OnPrint);
}

CTavikDlg::~CTavikDlg() {
    for (QLineEdit* edit : {yield_, pawcEdit_, reserveEdit_, cycleEdit_}) {
        edit->removeEventFilter(this);
    }
}

// Makes the dialog's controls at their places in dialog units, each named by its number.
// Controls take the focus by Tab in the order they are made.
class ControlFactory {
public:
    ControlFactory(QWidget* dialog, const DialogUnits& units) : dialog_(dialog), units_(units) {}

    const DialogUnits& units() const { return units_; }

    QLabel* label(int id, const QString& caption, int x, int y, int w, int h) const {
        auto* l = new QLabel(caption, dialog_);
        if (id != 0) {
            l->setObjectName(CTavikDlg::controlName(id));
        }
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->setWordWrap(true);
        units_.place(l, x, y, w, h);
        return l;
    }
    QLineEdit* edit(int id, int x, int y, int w, int h) const {
        auto* e = new QLineEdit(dialog_);
        e->setObjectName(CTavikDlg::controlName(id));
        units_.place(e, x, y, w, h);
        return e;
    }
    QRadioButton* radio(int id, const QString& caption, int x, int y, int w, int h) const {
        auto* r = new QRadioButton(caption, dialog_);
        r->setObjectName(CTavikDlg::controlName(id));
        r->setAutoExclusive(false); // each pair has its own group
        r->setAutoFillBackground(true);
        units_.place(r, x, y, w, h);
        return r;
    }
    QPushButton* button(int id, const QString& caption, int x, int y, int w, int h) const {
        auto* b = new QPushButton(caption, dialog_);
        b->setObjectName(CTavikDlg::controlName(id));
        // No button is the default: Enter is OK, or presses the button that has the focus
        // (keyPressEvent).
        b->setAutoDefault(false);
        units_.place(b, x, y, w, h);
        return b;
    }
    QWidget* group(const QString& name, int x, int y, int w, int h) const {
        auto* frame = new GroupFrame(dialog_);
        frame->setObjectName(name);
        units_.place(frame, x, y, w, h);
        return frame;
    }

private:
    QWidget* dialog_;
    const DialogUnits& units_;
};

void CTavikDlg::createControls() {
    const DialogUnits units(font());
    setFixedSize(units.rect(0, 0, 400, 260).size());
    const ControlFactory make(this, units);
    createCropFields(make);
    createSoilWaterFields(make);
    createOverheadGroup(make);
    createFloodGroup(make);
    createPicture(make);
    createButtons(make);
    createReportBox(make);
}

void CTavikDlg::createCropFields(const ControlFactory& make) {
    QLabel* cropCaption = make.label(0, QStringLiteral("Type of crop"), 7, 29, 41, 8);
    crop_ = new QComboBox(this);
    cropCaption->setBuddy(crop_); // a screen reader names a field by its caption
    crop_->setObjectName(controlName(IDC_CROP));
    crop_->setEditable(true);
    crop_->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string_view entry : cropListEntries()) {
        crop_->addItem(QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    crop_->setMaxVisibleItems(kCropCount);
    // The wheel changes the crop only once the list has the focus: turning it on the way
    // past would change the crop and reset the typed yield unseen.
    crop_->setFocusPolicy(Qt::StrongFocus);
    crop_->installEventFilter(this);
    crop_->setCurrentIndex(-1);
    make.units().place(crop_, 53, 27, 169, 14);

    QLabel* yieldCaption = make.label(
        0, QStringLiteral("Seed yield target [kg/ha]  guideline yield = "), 265, 27, 84, 17);
    guideline_ = make.label(IDC_GUIDELINE, QStringLiteral("0"), 323, 35, 30, 8);
    yield_ = make.edit(IDC_YIELD, 354, 27, 39, 14);
    yield_->setAccessibleName(QStringLiteral("Seed yield target [kg/ha]"));
    yieldCaption->setBuddy(yield_);
    yield_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), yield_));
}

void CTavikDlg::createSoilWaterFields(const ControlFactory& make) {
    make.button(IDC_SOIL_PROFILE, QStringLiteral("Specify soil profile"), 314, 47, 79, 14);
    make.label(0, QStringLiteral("or enter profile available water capacity if known [mm] "), 253,
               65, 92, 18)
        ->setBuddy(pawcEdit_ = make.edit(IDC_PAWC, 354, 67, 39, 14));
    make.label(0, QStringLiteral("Required rain storage capacity to be reserved [mm]"), 253, 87, 95,
               18)
        ->setBuddy(reserveEdit_ = make.edit(IDC_RESERVE, 354, 88, 39, 14));
    cropWater_ = make.label(IDC_CROP_WATER, QStringLiteral("(Summer crop xxx;  Winter crop xxx)"),
                            253, 107, 113, 8);
}

void CTavikDlg::createOverheadGroup(const ControlFactory& make) {
    make.group(QStringLiteral("overheadGroup"), 7, 45, 215, 27);
    methodGroup_ = new QButtonGroup(this);
    methodGroup_->addButton(
        make.radio(IDC_OVERHEAD, QStringLiteral("Overhead Irrigation"), 15, 45, 76, 10), Overhead);
    make.label(IDC_CYCLE_CAPTION, QStringLiteral("Irrigation cycle needed [days]"), 24, 58, 93, 8)
        ->setBuddy(cycleEdit_ = make.edit(IDC_CYCLE, 176, 54, 40, 14));
}

// The flood irrigation group, built hidden; only its frame and its radio button are enabled.
void CTavikDlg::createFloodGroup(const ControlFactory& make) {
    QWidget* floodGroup = make.group(QStringLiteral("floodGroup"), 7, 76, 215, 77);
    QWidget* flood[] = {
        floodGroup,
        make.radio(IDC_FLOOD, QStringLiteral("Flood Irrigation"), 15, 76, 62, 10),
        make.label(IDC_FLOW_CAPTION, QStringLiteral("Stream flow m³/h (150 = standard stream)"), 24,
                   91, 130, 8),
        streamFlowEdit_ = make.edit(IDC_STREAM_FLOW, 176, 86, 40, 14),
        make.label(IDC_LAG_CAPTION,
                   QStringLiteral("Lag (No. of days for first irrigation after planting)"), 24, 108,
                   148, 8),
        lagEdit_ = make.edit(IDC_LAG, 176, 104, 40, 14),
        make.label(IDC_AREA_CAPTION, QStringLiteral("Area to be irrigated [ha]"), 24, 125, 74, 8),
        areaEdit_ = make.edit(IDC_AREA, 176, 123, 40, 14),
        make.label(IDC_PERIOD_CAPTION, QStringLiteral("Length of irrigation period [hr]"), 24, 141,
                   92, 8),
        make.radio(IDC_PERIOD_12, QStringLiteral("12"), 159, 140, 24, 10),
        make.radio(IDC_PERIOD_24, QStringLiteral("24"), 192, 140, 24, 10),
    };
    for (const auto& [caption, field] : {std::pair{IDC_FLOW_CAPTION, streamFlowEdit_},
                                         {IDC_LAG_CAPTION, lagEdit_},
                                         {IDC_AREA_CAPTION, areaEdit_}}) {
        control<QLabel>(caption)->setBuddy(field);
    }
    for (QWidget* widget : flood) {
        widget->hide();
        widget->setEnabled(widget->objectName() == controlName(IDC_FLOOD) || widget == floodGroup);
    }
    methodGroup_->addButton(control<QRadioButton>(IDC_FLOOD), Flood);
    periodGroup_ = new QButtonGroup(this);
    periodGroup_->addButton(control<QRadioButton>(IDC_PERIOD_12), 0);
    periodGroup_->addButton(control<QRadioButton>(IDC_PERIOD_24), 1);
}

// Bitmap 132 at its own size, over the hidden flood group.
void CTavikDlg::createPicture(const ControlFactory& make) {
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("picture132"));
    const QPixmap banner = loadBitmap(132);
    picture->setPixmap(banner);
    picture->setAccessibleName(QStringLiteral("Tavik"));
    const QRect place = make.units().rect(30, 97, 159, 34);
    picture->setGeometry(QRect(
        place.topLeft(), banner.isNull() ? place.size() : banner.deviceIndependentSize().toSize()));
}

// Calculate; the two views' buttons and Print along the top, over a rule.
void CTavikDlg::createButtons(const ControlFactory& make) {
    make.button(IDC_CALCULATE, QStringLiteral("Calculate"), 268, 133, 50, 14);
    viewGroup_ = new QButtonGroup(this);
    int id = InputView;
    for (const auto& [viewId, caption, x, width] :
         {std::tuple{IDC_INPUT_VIEW, "Input details", 7, 54},
          std::tuple{IDC_OUTPUT_VIEW, "Output details", 61, 59}}) {
        QPushButton* push = make.button(viewId, QString::fromLatin1(caption), x, 2, width, 14);
        push->setCheckable(true);
        viewGroup_->addButton(push, id++);
    }
    make.button(IDC_PRINT, QStringLiteral("Print"), 343, 2, 50, 14);
    auto* rule = new QFrame(this);
    rule->setObjectName(QStringLiteral("rule"));
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    const QRect ruleRect = make.units().rect(7, 18, 386, 1);
    rule->setGeometry(ruleRect.x(), ruleRect.y(), ruleRect.width(), 2);
}

// The report box: the programme in a fixed-pitch font; Tab moves on from it.
void CTavikDlg::createReportBox(const ControlFactory& make) {
    report_ = new QPlainTextEdit(this);
    report_->setObjectName(controlName(IDC_REPORT));
    report_->setAccessibleName(QStringLiteral("Water application programme"));
    report_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    report_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    report_->setTabChangesFocus(true);
    reportFont_.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono")});
    reportFont_.setStyleHint(QFont::TypeWriter);
    reportFont_.setFixedPitch(true);
    reportFont_.setPixelSize(11);
    report_->setFont(reportFont_);
    report_->setTabStopDistance(make.units().x(32));
    make.units().place(report_, 7, 158, 386, 95);
}

QString CTavikDlg::reportText() const {
    QString text = report_->toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

void CTavikDlg::message(const QString& text, MessageIcon icon) {
    dialogs_.message(this, text, icon);
}

void CTavikDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!created_) {
        created_ = true;
        CSplashWnd::ShowSplashScreen(splash_, this);
    }
}

// The crop list and the wheel; the fields that act when they lose the focus. Not when a menu of
// their own takes it: the user has not left the field then.
bool CTavikDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == crop_ && event->type() == QEvent::Wheel && !crop_->hasFocus()) {
        return true; // the wheel passing over the list leaves the crop as it is
    }
    if (event->type() == QEvent::FocusOut && !inFocusHandler_ &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        inFocusHandler_ = true; // a message box taking the focus does not start another round
        if (watched == yield_) {
            OnKillfocusYield();
        } else if (watched == pawcEdit_) {
            OnKillfocusPawc();
        } else if (watched == reserveEdit_) {
            OnKillfocusReserve();
        } else if (watched == cycleEdit_) {
            OnKillfocusCycle();
        }
        inFocusHandler_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

// Enter presses the push button that has the focus; anywhere else it is OK. Escape cancels.
void CTavikDlg::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (button != nullptr && !button->isCheckable()) {
            button->click();
        } else {
            OnOK();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

void CTavikDlg::OnOK() {
    if (!cycleAccepted()) {
        return;
    }
    method_ = methodGroup_->checkedId();
    periodChoice_ = periodGroup_->checkedId();
    view_ = viewGroup_->checkedId();
    accept();
}

bool CTavikDlg::cycleAccepted() {
    const std::optional<unsigned> value = readUnsigned(cycleEdit_->text());
    if (!value) {
        refuse(cycleEdit_, QStringLiteral("Please enter a positive integer."));
        return false;
    }
    if (*value < kMinCycle || *value > kMaxCycle) {
        message(QStringLiteral("Please enter an integer between %1 and %2.")
                    .arg(kMinCycle)
                    .arg(kMaxCycle),
                MessageIcon::Exclamation);
        cycleEdit_->setFocus();
        cycleEdit_->selectAll();
        return false;
    }
    cycle_ = static_cast<std::int32_t>(*value);
    return true;
}

void CTavikDlg::OnSelchangeCrop() {
    cropIndex_ = crop_->currentIndex();
    if (!calculator_.SetCrop(cropIndex_)) {
        return; // "Unable to initialize data": the previous row stays
    }
    loadedCrop_ = cropIndex_;
    const CropRecord& crop = calculator_.record();
    const QString guideline = cFormat("%.0lf", crop.guidelineYield);
    guideline_->setText(guideline);
    yield_->setText(guideline);
    OnKillfocusYield();
    lagEdit_->setText(cFormat("%d", crop.defaultLag));
}

void CTavikDlg::OnKillfocusYield() {
    yieldTarget_ = textAsNumber(yield_->text());
    // Before a crop is chosen there is no maximum to hold the target to.
    if (calculator_.hasCrop() && yieldTarget_ > calculator_.record().maxYield) {
        const double maxYield = calculator_.record().maxYield;
        message(cFormat("Maximum yield for this particular type of crop is %.0lf\nYield will be "
                        "set to the maximum yield",
                        maxYield),
                MessageIcon::Exclamation);
        yieldTarget_ = maxYield;
    }
    yield_->setText(cFormat("%.0lf", yieldTarget_));
}

void CTavikDlg::OnKillfocusPawc() {
    pawc_ = textAsNumber(pawcEdit_->text());
    updateCropWater();
}

// Half the PAWC is what a summer crop may use, three quarters of that a winter crop; whole
// millimetres, the fractions dropped.
void CTavikDlg::updateCropWater() {
    const double summer = std::trunc(pawc_ * 0.5) + 0.0; // + 0.0: no "-0"
    const double winter = std::trunc(summer * 0.75) + 0.0;
    cropWater_->setText(cFormat("(Summer Crop %.0f  Winter Crop %.0f)", summer, winter));
}

void CTavikDlg::OnKillfocusReserve() {
    reserve_ = textAsNumber(reserveEdit_->text());
}

void CTavikDlg::OnKillfocusCycle() {
    cycle_ = textAsInteger(cycleEdit_->text());
    if (cycle_ == 0) {
        cycle_ = 1;
    }
    cycleEdit_->setText(cFormat("%d", cycle_));
}

void CTavikDlg::OnSoilProfile() {
    if (!calculator_.hasCrop()) {
        refuse(crop_, QStringLiteral("Please choose the type of crop first: the soil's water "
                                     "capacity depends on it."));
        return;
    }
    CSoilType soil(dialogs_, this);
    soil.setCrop(calculator_.record());
    const std::string_view entry = cropListEntries()[static_cast<std::size_t>(loadedCrop_)];
    soil.cropEntry = QString::fromUtf8(entry.data(), static_cast<qsizetype>(entry.size()));
    soil.yieldTarget = yieldTarget_;
    soil.soilClass = static_cast<std::int32_t>(SoilClass::Sand);
    soil.depth = kSoilDialogDepth;
    if (dialogs_.runModal(soil) == QDialog::Accepted) {
        pawc_ = soil.pawc;
        pawcEdit_->setText(cFormat("%.1lf", pawc_));
        updateCropWater();
    }
}

void CTavikDlg::enableMethodControls() {
    const bool overhead = method_ == Overhead;
    enable({cycleEdit_, control(IDC_CYCLE_CAPTION)}, overhead);
    enable({streamFlowEdit_, control(IDC_FLOW_CAPTION), lagEdit_, control(IDC_LAG_CAPTION),
            areaEdit_, control(IDC_AREA_CAPTION), control(IDC_PERIOD_12), control(IDC_PERIOD_24),
            control(IDC_PERIOD_CAPTION)},
           !overhead);
}

void CTavikDlg::OnOverhead() {
    method_ = Overhead;
    enableMethodControls();
}

void CTavikDlg::OnFlood() {
    method_ = Flood;
    enableMethodControls();
}

void CTavikDlg::refuse(QWidget* field, const QString& text) {
    message(text, MessageIcon::Exclamation);
    if (field->isVisible() && field->isEnabled()) {
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->selectAll();
        }
    }
}

bool CTavikDlg::tooLarge(double value, double high, QWidget* field, const QString& name,
                         const QString& unit) {
    if (value <= high) {
        return false;
    }
    refuse(field, QStringLiteral("%1: the number is too large to calculate with; please enter "
                                 "at most %2 %3.")
                      .arg(name)
                      .arg(high)
                      .arg(unit));
    return true;
}

// In the order of the fields on the screen: the crop, the method's cycle, the soil water, then
// the flood irrigation fields. The report writers refuse the same values; these messages name
// the field and put the focus in it.
bool CTavikDlg::readyToCalculate() {
    if (!calculator_.hasCrop()) {
        refuse(crop_, QStringLiteral("Please choose the type of crop first."));
        return false;
    }
    if (method_ == Overhead && !cycleAccepted()) {
        return false;
    }
    const QString pawc = QStringLiteral("Profile available water capacity [mm]");
    if (!(pawc_ > 0)) {
        // An empty box, or a soil that holds no water: there would be nothing to plan with.
        refuse(pawcEdit_, pawc + QStringLiteral(": please enter the profile's available water "
                                                "capacity, more than 0 mm, or specify the soil "
                                                "profile."));
        return false;
    }
    if (tooLarge(pawc_, kMaxPawc, pawcEdit_, pawc, QStringLiteral("mm"))) {
        return false;
    }
    const QString reserve = QStringLiteral("Required rain storage capacity to be reserved [mm]");
    if (reserve_ < 0) {
        refuse(reserveEdit_, reserve + QStringLiteral(": please enter 0 mm or more."));
        return false;
    }
    if (tooLarge(reserve_, kMaxReserve, reserveEdit_, reserve, QStringLiteral("mm"))) {
        return false;
    }
    const QString area = QStringLiteral("Area to be irrigated [ha]");
    const auto areaAccepted = [&] {
        if (!(area_ > 0)) {
            refuse(areaEdit_, area + QStringLiteral(": please enter the area to be irrigated, "
                                                    "more than 0 ha."));
            return false;
        }
        return !tooLarge(area_, kMaxArea, areaEdit_, area, QStringLiteral("ha"));
    };
    if (method_ == Overhead) {
        return !areaFlag_ || areaAccepted(); // the volumes of the area on the command line
    }
    if (calculator_.record().defaultLag < 1) {
        refuse(lagEdit_, QStringLiteral("Lag (No. of days for first irrigation after planting): "
                                        "the lag must be at least 1 day."));
        return false;
    }
    if (!areaAccepted()) {
        return false;
    }
    const QString flow = QStringLiteral("Stream flow m³/h");
    if (!(streamFlow_ > 0)) {
        refuse(streamFlowEdit_, flow + QStringLiteral(": please enter the stream flow, more than "
                                                      "0 m³/h (150 is a standard stream)."));
        return false;
    }
    return !tooLarge(streamFlow_, kMaxStreamFlow, streamFlowEdit_, flow, QStringLiteral("m³/h"));
}

void CTavikDlg::OnCalculate() {
    if (!readyToCalculate()) {
        return;
    }
    ReportValues values;
    values.yieldTarget = yieldTarget_;
    values.pawc = pawc_;
    values.reserve = reserve_;
    values.usableWater = usableWater_;
    values.cycle = cycle_;
    values.areaFlag = areaFlag_ != 0;
    values.area = area_;
    values.streamFlow = streamFlow_;
    values.periodHours = periodHours_;
    const ReportOutcome report = method_ == Overhead ? OverheadReport(calculator_, values)
                                                     : FloodReport(calculator_, values);
    if (!report.ok()) {
        message(QString::fromStdString(report.problem), MessageIcon::Exclamation);
        return;
    }
    usableWater_ = values.usableWater;
    report_->setPlainText(QString::fromStdString(report.text));
    viewGroup_->button(OutputView)->setChecked(true);
    showOutputView();
}

void CTavikDlg::showOutputView() {
    if (view_ == OutputView) {
        return;
    }
    view_ = OutputView;
    if (layoutOffset_ == 0) {
        const QWidget* inputButton = control(IDC_INPUT_VIEW);
        layoutOffset_ = report_->y() - (crop_->y() + inputButton->y() + inputButton->height()) / 2;
    }
    QRect box = report_->geometry();
    box.setTop(box.top() - layoutOffset_);
    report_->setGeometry(box);
    report_->raise();
    for (int id : {IDC_AREA,         IDC_AREA_CAPTION, IDC_CALCULATE,      IDC_CROP,
                   IDC_CROP_WATER,   IDC_GUIDELINE,    IDC_CYCLE,          IDC_CYCLE_CAPTION,
                   IDC_PERIOD_12,    IDC_PERIOD_24,    IDC_PERIOD_CAPTION, IDC_OVERHEAD,
                   IDC_FLOOD,        IDC_LAG,          IDC_LAG_CAPTION,    IDC_PAWC,
                   IDC_SOIL_PROFILE, IDC_RESERVE,      IDC_STREAM_FLOW,    IDC_FLOW_CAPTION,
                   IDC_YIELD}) {
        control(id)->setEnabled(false);
    }
}

void CTavikDlg::showInputView() {
    if (view_ == InputView) {
        return;
    }
    view_ = InputView;
    QRect box = report_->geometry();
    box.setTop(box.top() + layoutOffset_);
    report_->setGeometry(box);
    enableMethodControls();
    for (int id : {IDC_CALCULATE, IDC_CROP, IDC_CROP_WATER, IDC_GUIDELINE, IDC_OVERHEAD, IDC_FLOOD,
                   IDC_PAWC, IDC_SOIL_PROFILE, IDC_RESERVE, IDC_YIELD}) {
        control(id)->setEnabled(true);
    }
}

void CTavikDlg::OnPrint() {
    const QString text = report_->toPlainText();
    if (text.isEmpty()) {
        message(QStringLiteral("There is no report to print yet: press Calculate first."),
                MessageIcon::Exclamation);
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString());
    if (!dialogs_.choosePrinter(printer, this)) {
        return;
    }
    const PrintOutcome outcome = printReportText(printer, text);
    if (!outcome.ok()) {
        message(outcome.problem, MessageIcon::Exclamation);
    }
}

void CTavikDlg::OnAbout() {
    CAboutDlg about(this);
    dialogs_.runModal(about);
}

} // namespace tavikcalc
