#pragma once

#include <QString>

namespace tavik {

class Notifier;
struct mType;

struct StartUpOptions {
    QString programFolder; // where the pictures (and, unless workbook says, SampleData.xls) lie
    QString readerProgram; // the workbook reader (tavik-workbook)
    bool splash = true;    // open with the animated splash screen
    QString planFile = {}; // a plan to open at the start (then no splash)
    QString workbook = {}; // the crop workbook; empty: the one in programFolder
};

// Start-up: opens the workbook beside the program into state.CropWorkbook. When it cannot be
// read the user is told (naming the path and the problem) and false is returned: the program
// then ends without a screen.
bool Main(mType& state, Notifier& notifier, const StartUpOptions& options);

// The whole wizard: Main, the crop table, the splash (or straight the crop screen), the
// event loop. Returns the exit status.
int runWizard(const StartUpOptions& options);

} // namespace tavik
