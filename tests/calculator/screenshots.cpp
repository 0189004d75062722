// Draws the calculator's windows offscreen for the README (`make screenshots`): the main
// dialog's input and output views, the soil type dialog, the splash window and the About box.
// With a second argument, prints the report to that PDF file too; the options are those of
// appearance::ScreenshotOptions.

#include "../common/Appearance.h"
#include "CalcGuiSupport.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CSoilType.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <iostream>

using tavikcalc::CTavikDlg;

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const auto options = appearance::ScreenshotOptions::parse(QApplication::arguments());
    options.apply();
    bool ok = true;

    // Wheat on a 1 m sandy soil, with the PAWC the soil type dialog gives.
    tavikcalc::test::DialogDriver main;
    if (!main.open()) {
        std::cerr << "the dialog did not become active\n";
        return 1;
    }
    main.chooseCrop(0);
    main.dialogs.modalScript = [&](QDialog& dialog) {
        ok = options.save(dialog, QStringLiteral("calculator-soil-type")) && ok;
        dialog.findChild<QAbstractButton*>(QStringLiteral("IDOK"))->click();
    };
    main.click(CTavikDlg::IDC_SOIL_PROFILE);
    main.dialogs.modalScript = nullptr;
    main.dialog->activateWindow();
    ok = options.save(*main.dialog, QStringLiteral("calculator-input")) && ok;
    main.click(CTavikDlg::IDC_CALCULATE);
    ok = options.save(*main.dialog, QStringLiteral("calculator-output")) && ok;
    if (!options.pdf.isEmpty()) {
        main.dialogs.pdf = QFileInfo(options.pdf).absoluteFilePath();
        main.click(CTavikDlg::IDC_PRINT);
    }

    tavikcalc::SplashState splash;
    tavikcalc::CSplashWnd::ShowSplashScreen(splash, main.dialog.get());
    if (splash.window) {
        ok = options.save(*splash.window, QStringLiteral("calculator-splash")) && ok;
        splash.window->HideSplashScreen();
    } else {
        ok = false;
    }

    tavikcalc::CAboutDlg about(main.dialog.get());
    ok = options.save(about, QStringLiteral("calculator-about")) && ok;

    for (const auto& message : main.dialogs.messages) {
        std::cerr << "message: " << message.text.toStdString() << '\n';
        ok = false;
    }
    return ok ? 0 : 1;
}
