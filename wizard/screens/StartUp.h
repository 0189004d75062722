#pragma once

#include <QString>
#include <memory>

class QWidget;

namespace tavik {

class Notifier;
struct mType;

struct StartUpOptions {
    QString programFolder; // where SampleData.xls and the pictures lie
    QString readerProgram; // the program that implements `workbook FILE`
};

// Start-up: opens the workbook beside the program into state.CropWorkbook. When it cannot be
// read the user is told (naming the path and the problem) and false is returned: the program
// then ends without a screen.
bool Main(mType& state, Notifier& notifier, const StartUpOptions& options);

// The first screen: loads the crop table from the opened workbook (telling the user about
// rows that cannot be used) and returns the window to show, or nothing when no crop can be
// offered (the user has been told why).
std::unique_ptr<QWidget> createFirstScreen(mType& state, Notifier& notifier,
                                           const StartUpOptions& options);

// The whole wizard: Main, the first screen, the event loop. Returns the exit status.
int runWizard(const StartUpOptions& options);

} // namespace tavik
