#pragma once

#include "CSplashWnd.h"
#include "CommandLine.h"

#include <QStringList>
#include <memory>

namespace tavikcalc {

class CTavikDlg;
class UserDialogs;

// The program's start: the command line read, the main dialog run modally; the program ends
// when the dialog closes. While the splash window is up it sees every key and mouse press
// first (CSplashWnd's filter).
class CTavikApp {
public:
    // `arguments`: the command line after the program's name.
    explicit CTavikApp(const QStringList& arguments);

    const CTavipCommandLineInfo& commandLine() const { return commandLine_; }
    double area() const { return area_; }
    SplashState& splash() { return splash_; }

    // The main dialog for this command line, asking the user through `dialogs`.
    std::unique_ptr<CTavikDlg> createDialog(UserDialogs& dialogs);

    // Runs the main dialog with the platform's message boxes and print dialog until it
    // closes. The program's exit status.
    int InitInstance();

private:
    CTavipCommandLineInfo commandLine_;
    double area_ = 0;
    SplashState splash_;
};

} // namespace tavikcalc
