// tavikcalc: the irrigation calculator, and its headless report.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "dialogs/CTavikApp.h"
#include "report/HeadlessReport.h"

#include <QApplication>
#include <clocale>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << "usage: tavikcalc [/wish] [A<area>]\n"
                     "  the calculator's dialog; /wish (any case) leaves the splash window out,\n"
                     "  A followed by hectares (A12.5) gives the overhead report in m³\n"
                  << tavikcalc::reportUsage();
        return tavikcalc::kExitOk;
    }
    if (tavikcalc::asksForReport(arguments)) {
        return tavikcalc::runReportCommand(arguments, std::cout, std::cerr);
    }
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // the report is formatted with a decimal point
    QApplication::setApplicationName(QStringLiteral("tavikcalc"));
    tavikcalc::CTavikApp calculator(QApplication::arguments().mid(1));
    return calculator.InitInstance();
}
