#include "StartUp.h"

#include "MessageBoxNotifier.h"
#include "PlanFiles.h"
#include "Wizard.h"
#include "frmChoice.h"
#include "frmSplash.h"
#include "state/WizardState.h"
#include "workbook/CropWorkbook.h"

#include <QApplication>
#include <QTimer>

namespace tavik {

namespace {
constexpr int kExitWorkbook = 3;
} // namespace

bool Main(mType& state, Notifier& notifier, const StartUpOptions& options) {
    WorkbookReaderOptions reader;
    reader.readerProgram = options.readerProgram;
    const QString path =
        options.workbook.isEmpty() ? defaultWorkbookPath(options.programFolder) : options.workbook;
    if (const auto error = openCropWorkbook(state, path, reader)) {
        notifier.notify(Notifier::Icon::Critical, kAppTitle, *error);
        return false;
    }
    return true;
}

int runWizard(const StartUpOptions& options) {
    mType state;
    MessageBoxNotifier notifier;
    if (!Main(state, notifier, options)) {
        return kExitWorkbook;
    }
    Wizard wizard(state, notifier, options.programFolder);
    if (!options.workbook.isEmpty()) {
        wizard.setWorkbookPath(options.workbook);
    }
    QApplication::setWindowIcon(wizard.icon());
    // The crop screen reads the crop table when it is created; a table without a single
    // usable crop ends the run before any screen shows.
    if (!wizard.choice().load()) {
        return kExitWorkbook;
    }
    if (!options.planFile.isEmpty()) {
        // The plan's result screen; the crop screen when the plan cannot be opened (the
        // message says why).
        wizard.showFirst(wizard.choice());
        wizard.plans().open(options.planFile, wizard.choice());
    } else if (options.splash) {
        wizard.showFirst(wizard.splash());
    } else {
        wizard.showFirst(wizard.choice());
    }
    // For timing the start: end as soon as the first screen has been shown and drawn.
    if (qEnvironmentVariableIsSet("TAVIK_QUIT_WHEN_SHOWN")) {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    }
    return QApplication::exec();
}

} // namespace tavik
