// tavik-gui: the wizard of tavik, and the outputs of `tavik plan` that are drawn.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// tavik runs this program in its place, with the same arguments, for what needs the toolkit's
// screens or painting.

#include "plan/CommandLine.h"
#include "plan/FileNames.h"
#include "plan/HeadlessCommands.h"
#include "plan/Programs.h"
#include "printing/PlanExports.h"
#include "screens/StartUp.h"
#include "workbook/CropWorkbook.h"

#include <QApplication>
#include <QCoreApplication>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace {

constexpr const char* kNoDisplay =
    "tavik: there is no display to show the wizard on; start it on a desktop, or plan "
    "without one: tavik plan SCENARIO.json (see --help)\n";

bool isSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// The wizard needs a display. Without one the toolkit would abort; say so and end instead.
void needDisplay() {
    if (!isSet("QT_QPA_PLATFORM") && !isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY")) {
        std::cerr << kNoDisplay;
        std::exit(tavik::kExitBadInput);
    }
    // A display that is named but cannot be reached ends in a fatal message of the toolkit.
    qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtFatalMsg) {
                std::cerr << kNoDisplay;
                _exit(tavik::kExitBadInput);
            }
            std::cerr << qFormatLogMessage(type, context, message).toStdString() << '\n';
        });
}

int runHeadless(int argc, char* argv[], const tavik::CommandRequest& request) {
    // Drawing needs the toolkit's painting and fonts but no screen: the offscreen platform,
    // whatever display there may be. The other outputs need no platform at all.
    const bool drawing = tavik::needsDrawing(request);
    std::unique_ptr<QCoreApplication> app;
    if (drawing) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The toolkit's notes about the session (no runtime folder for a root user, say) are
        // not the command's to report; what goes wrong in drawing is reported by the command.
        qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
                if (type == QtCriticalMsg || type == QtFatalMsg) {
                    std::cerr << qFormatLogMessage(type, context, message).toStdString() << '\n';
                }
            });
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    std::setlocale(LC_NUMERIC, "C"); // numbers in files and reports use a decimal point
    const QString folder = QCoreApplication::applicationDirPath();
    tavik::HeadlessContext context{tavik::mainProgramFolder(folder),
                                   tavik::helperProgram(folder, tavik::kWorkbookReaderProgram),
                                   std::cout, std::cerr};
    if (drawing) {
        context.draw = tavik::drawPlanOutput;
    }
    return tavik::runHeadlessCommand(request, context, TAVIK_VERSION);
}

} // namespace

int main(int argc, char* argv[]) {
    const tavik::CommandRequest request = tavik::parseCommandLine(argc, argv);
    if (request.refused() || request.command != tavik::Command::Wizard) {
        return runHeadless(argc, argv, request);
    }
    needDisplay();
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    std::setlocale(LC_NUMERIC, "C"); // numbers in reports and charts use a decimal point
    QApplication::setApplicationName(QStringLiteral("tavik"));
    const QString folder = QApplication::applicationDirPath();
    const QString programFolder = tavik::mainProgramFolder(folder);
    tavik::StartUpOptions options;
    options.programFolder = tavik::dataFolder(programFolder);
    options.workbook = tavik::findWorkbook(programFolder);
    options.readerProgram = tavik::helperProgram(folder, tavik::kWorkbookReaderProgram);
    options.splash = request.splash;
    options.planFile = request.planFile;
    return tavik::runWizard(options);
}
