// tavikcalc: the irrigation calculator, and its headless report.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dialogs/CTavikApp.h"
#include "report/HeadlessReport.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kNoDisplay =
    "tavikcalc: there is no display to show the calculator on; start it on a desktop, or "
    "write the report without one: tavikcalc --report overhead --crop 0..9 (see --help)\n";

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// The dialog needs a display. Without one the toolkit would abort; say so and end instead.
void needDisplay() {
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        std::cerr << kNoDisplay;
        std::exit(tavikcalc::kExitBadInput);
    }
    // A display that is named but cannot be reached ends in a fatal message of the toolkit.
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtFatalMsg) {
                std::cerr << kNoDisplay;
                _exit(tavikcalc::kExitBadInput);
            }
            std::cerr << qFormatLogMessage(type, context, message).toStdString() << '\n';
        });
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << "usage: tavikcalc [/wish] [A<area>]\n"
                     "  the calculator's dialog; /wish (any case) leaves the splash window out,\n"
                     "  A followed by hectares (A12.5) gives the overhead report in m³\n"
                  << tavikcalc::reportUsage()
                  << "usage: tavikcalc --help | --version\n  this text, or the version\n";
        return tavikcalc::kExitOk;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        std::cout << "tavikcalc " TAVIK_VERSION "\n";
        return tavikcalc::kExitOk;
    }
    if (tavikcalc::asksForReport(arguments)) {
        return tavikcalc::runReportCommand(arguments, std::cout, std::cerr);
    }
    needDisplay();
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    std::setlocale(LC_NUMERIC, "C"); // the report is formatted with a decimal point
    QApplication::setApplicationName(QStringLiteral("tavikcalc"));
    tavikcalc::CTavikApp calculator(QApplication::arguments().mid(1));
    return calculator.InitInstance();
}
