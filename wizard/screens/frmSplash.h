#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace tavik {

class Wizard;

// The opening screen: the product name slides down and grows, a "+" grows beside it and
// warms in colour, and after six seconds the crop choice screen takes over. A click skips
// the rest of the animation.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    explicit frmSplash(Wizard& wizard);

    QLabel* productName() const { return lblProductName_; }
    QLabel* plus() const { return label1_; }
    QTimer* timer(int number) const;
    bool handedOver() const { return handedOver_; }

    // The timers' steps, public so that the animation can be stepped without waiting.
    void Timer1Tick();
    void Timer2Tick();
    void Timer3Tick();
    void Timer4Tick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void placePlus();
    void handOver();

    Wizard& wizard_;
    QFrame* Frame1_;
    QLabel* lblProductName_;
    QLabel* label1_;
    QLabel* lblVersion_;
    QTimer* timers_[4];
    // Geometry in twips, as the animation steps it.
    double productTop_ = 100;
    int productFontSize_ = 4;
    double plusWidth_ = 10;
    double plusHeight_ = 40;
    long plusColour_ = 0; // a colour as one integer: red + 256 × green + 65536 × blue
    bool started_ = false;
    bool handedOver_ = false;
};

// "Version 1.0.0": the program's three-part version.
QString versionText();

} // namespace tavik
