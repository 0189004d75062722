#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>

class QWidget;

namespace tavik {

class Notifier;
struct mType;
class frmChoice;
class frmIrrigationInfo;
class frmSoilInfo;
class frmSplash;
class WaterLevelPlaceholder;

// The wizard's screens and the moves between them. Each screen is created on first use and
// afterwards only shown and hidden, so that it keeps what the user entered.
class Wizard : public QObject {
    Q_OBJECT
public:
    Wizard(mType& state, Notifier& notifier, QString programFolder);
    ~Wizard() override;

    mType& state() { return state_; }
    Notifier& notifier() { return notifier_; }
    const QString& programFolder() const { return programFolder_; }
    QIcon icon() const;

    frmChoice& choice();
    frmIrrigationInfo& irrigationInfo();
    frmSoilInfo& soilInfo();
    QWidget& waterLevel();
    frmSplash& splash();

    // Shows the target screen and hides the current one.
    void move(QWidget& from, QWidget& to);
    // Ends the program: every screen closes without questions.
    void exit();
    bool exited() const { return exited_; }

private:
    mType& state_;
    Notifier& notifier_;
    QString programFolder_;
    std::unique_ptr<frmChoice> choice_;
    std::unique_ptr<frmIrrigationInfo> irrigationInfo_;
    std::unique_ptr<frmSoilInfo> soilInfo_;
    std::unique_ptr<WaterLevelPlaceholder> waterLevel_;
    std::unique_ptr<frmSplash> splash_;
    bool exited_ = false;
};

} // namespace tavik
