#pragma once

#include "RecordingDialogs.h"
#include "TestSupport.h"
#include "model/Notifier.h"
#include "screens/Wizard.h"
#include "screens/frmChoice.h"
#include "state/CropTable.h"
#include "state/WizardState.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace tavik::test {

// A wizard on a crop table of CSV rows (the shipped one by default), with the program folder
// of the source tree (pictures and logo).
class WizardFixture : public testing::Test {
protected:
    void startWizard(const CsvRows& rows = shippedCropCsv()) {
        state_.CropWorkbook = sheetFromCsv(rows);
        wizard_ = std::make_unique<Wizard>(state_, notifier_,
                                           sourcePath(QStringLiteral("wizard/resources")));
        loaded_ = wizard_->choice().load();
    }
    template <typename T = QWidget>
    T* find(QWidget& screen, const QString& name) {
        T* widget = screen.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void click(QWidget& screen, const QString& name) {
        find<QAbstractButton>(screen, name)->click();
    }
    QString text(QWidget& screen, const QString& name) {
        if (auto* label = screen.findChild<QLabel*>(name)) {
            return label->text();
        }
        return find<QLineEdit>(screen, name)->text();
    }

    mType state_;
    RecordingNotifier notifier_;
    std::unique_ptr<Wizard> wizard_;
    bool loaded_ = false;
};

// A wizard as the program starts it, on the shipped crops.
struct Session {
    Session() {
        state.CropWorkbook = sheetFromCsv(shippedCropCsv());
        wizard = std::make_unique<Wizard>(state, notifier,
                                          sourcePath(QStringLiteral("wizard/resources")));
        wizard->setDialogs(dialogs);
        loaded = wizard->choice().load();
        wizard->choice().show();
    }
    ~Session() { wizard->exit(); }
    mType state;
    RecordingNotifier notifier;
    RecordingDialogs dialogs;
    std::unique_ptr<Wizard> wizard;
    bool loaded = false;
};

} // namespace tavik::test
