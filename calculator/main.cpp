// tavikcalc: the irrigation calculator. For now only its headless report.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "report/HeadlessReport.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << tavikcalc::reportUsage();
        return tavikcalc::kExitOk;
    }
    if (tavikcalc::asksForReport(arguments)) {
        return tavikcalc::runReportCommand(arguments, std::cout, std::cerr);
    }
    std::cerr << "tavikcalc: the dialog is not built yet; only the headless report works.\n"
              << tavikcalc::reportUsage();
    return tavikcalc::kExitBadInput;
}
