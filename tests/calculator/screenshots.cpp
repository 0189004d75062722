// Draws the calculator's windows offscreen for the README (`make screenshots`): the main
// dialog's input and output views, the soil type dialog, the splash window and the About box.
// With a second argument, prints the report to that PDF file too.

#include "CalcGuiSupport.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CSoilType.h"

#include <QApplication>
#include <QDir>
#include <clocale>
#include <iostream>

namespace {

using tavikcalc::CTavikDlg;

bool save(QWidget& window, const QString& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name);
    if (!window.grab().save(path)) {
        std::cerr << "cannot write " << path.toStdString() << '\n';
        return false;
    }
    std::cout << path.toStdString() << '\n';
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    bool ok = true;

    // Wheat on a 1 m sandy soil, with the PAWC the soil type dialog gives.
    tavikcalc::test::DialogDriver main;
    if (!main.open()) {
        std::cerr << "the dialog did not become active\n";
        return 1;
    }
    main.chooseCrop(0);
    main.dialogs.modalScript = [&](QDialog& dialog) {
        ok = save(dialog, folder, QStringLiteral("calculator-soil-type.png")) && ok;
        dialog.findChild<QAbstractButton*>(QStringLiteral("IDOK"))->click();
    };
    main.click(CTavikDlg::IDC_SOIL_PROFILE);
    main.dialogs.modalScript = nullptr;
    main.dialog->activateWindow();
    ok = save(*main.dialog, folder, QStringLiteral("calculator-input.png")) && ok;
    main.click(CTavikDlg::IDC_CALCULATE);
    ok = save(*main.dialog, folder, QStringLiteral("calculator-output.png")) && ok;
    if (argc > 2) {
        main.dialogs.pdf = QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath();
        main.click(CTavikDlg::IDC_PRINT);
    }

    tavikcalc::SplashState splash;
    tavikcalc::CSplashWnd::ShowSplashScreen(splash, main.dialog.get());
    if (splash.window) {
        ok = save(*splash.window, folder, QStringLiteral("calculator-splash.png")) && ok;
        splash.window->HideSplashScreen();
    } else {
        ok = false;
    }

    tavikcalc::CAboutDlg about(main.dialog.get());
    ok = save(about, folder, QStringLiteral("calculator-about.png")) && ok;

    for (const auto& message : main.dialogs.messages) {
        std::cerr << "message: " << message.text.toStdString() << '\n';
        ok = false;
    }
    return ok ? 0 : 1;
}
