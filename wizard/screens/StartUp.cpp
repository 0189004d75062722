#include "StartUp.h"

#include "CropListWindow.h"
#include "MessageBoxNotifier.h"
#include "state/WizardState.h"
#include "workbook/CropWorkbook.h"

#include <QApplication>

namespace tavik {

namespace {
constexpr int kExitWorkbook = 3;
} // namespace

bool Main(mType& state, Notifier& notifier, const StartUpOptions& options) {
    WorkbookReaderOptions reader;
    reader.readerProgram = options.readerProgram;
    const QString path = defaultWorkbookPath(options.programFolder);
    if (const auto error = openCropWorkbook(state, path, reader)) {
        notifier.notify(Notifier::Icon::Critical, kAppTitle, *error);
        return false;
    }
    return true;
}

std::unique_ptr<QWidget> createFirstScreen(mType& state, Notifier& notifier,
                                           const StartUpOptions& options) {
    const QString path = defaultWorkbookPath(options.programFolder);
    const CropTableReport report = loadCropTable(state, path);
    state.AppTitle = kAppTitle;
    if (report.error) {
        notifier.notify(Notifier::Icon::Critical, state.AppTitle, *report.error);
        return nullptr;
    }
    if (report.leftOut) {
        notifier.notify(Notifier::Icon::Warning, state.AppTitle, *report.leftOut);
    }
    return std::make_unique<CropListWindow>(state, options.programFolder, path);
}

int runWizard(const StartUpOptions& options) {
    mType state;
    MessageBoxNotifier notifier;
    if (!Main(state, notifier, options)) {
        return kExitWorkbook;
    }
    const std::unique_ptr<QWidget> first = createFirstScreen(state, notifier, options);
    if (!first) {
        return kExitWorkbook;
    }
    first->show();
    return QApplication::exec();
}

} // namespace tavik
