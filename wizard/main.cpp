// tavik: the irrigation scheduling wizard, and its headless commands.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "plan/FileNames.h"
#include "plan/HeadlessCommands.h"
#include "printing/PlanExports.h"
#include "screens/StartUp.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"
#include "workbook/FreexlSheet.h"

#include <QApplication>
#include <QCoreApplication>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <unistd.h>

namespace {

constexpr const char* kUsage = R"(usage:
  tavik                               the wizard
  tavik --no-splash                   the wizard, starting at the crop choice screen
  tavik PLAN.tavikplan                the wizard with a saved plan opened: its schedule shown
  tavik crops [--workbook FILE]       the crops of the workbook: row, name, minimum,
                                      maximum and recommended yield (kg/ha)
  tavik plan SCENARIO.json [--workbook FILE] [--format FORMAT] [--output FILE]
                                      the irrigation schedule of a scenario, as FORMAT:
                                        text  the report (the default)
                                        rtf   the saved report document
                                        json  every figure
                                        csv   the irrigation table
                                        ics   the irrigation days as calendar events (the
                                              scenario needs a "plantingDate")
                                        pdf   the field sheet: A4 pages to pin up
                                        png, svg  the chart, [--size WIDTHxHEIGHT] pixels
                                              (1200x700), [--chart individual|cumulative]
  tavik plan SCENARIO.json... --output-dir FOLDER [--format FORMAT] [--workbook FILE]
  tavik plan --batch FOLDER --output-dir FOLDER [--format FORMAT] [--workbook FILE]
                                      many fields: one output per scenario in the output
                                      folder, named after it, and summary.csv, a line per
                                      field; exit status 1 when any field was refused
  tavik compare SCENARIO.json [--workbook FILE] [--format text|csv|json] [--output FILE]
                                      the scenario at every irrigation cycle from 2 to 10
                                      days: irrigations, season total, peak rate, largest
                                      application, days beyond capacity, split days, last day
  tavik workbook FILE                 the used range of the workbook's first sheet as CSV
  tavik --help | --version            this text, or the version

The crop workbook SampleData.xls is read from the program's folder; else from
$XDG_DATA_HOME/tavik/ (normally ~/.local/share/tavik/, an edited copy of one's own); else
from the installed data folder (/usr/share/tavik/). --workbook FILE reads another.
)";

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

bool isPlanFile(const std::string& argument) {
    std::error_code error;
    return (!argument.empty() && argument[0] != '-' &&
            std::filesystem::is_regular_file(argument, error)) ||
           argument.ends_with(".tavikplan") || argument.ends_with(".json");
}

// Whether `tavik plan` is asked for an output that is drawn (a field sheet, a chart image).
bool asksForDrawing(int argc, char* argv[]) {
    for (int i = 2; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--format") == 0) {
            return tavik::isDrawnFormat(QString::fromLocal8Bit(argv[i + 1]));
        }
    }
    return false;
}

int runHeadless(int argc, char* argv[], bool drawing) {
    // Drawing needs the toolkit's painting and fonts but no screen: the offscreen platform,
    // whatever display there may be. The other outputs need no platform at all.
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
    tavik::HeadlessContext context{QCoreApplication::applicationDirPath(),
                                   QCoreApplication::applicationFilePath(), std::cout, std::cerr};
    if (drawing) {
        context.draw = tavik::drawPlanOutput;
    }
    // Arguments by their exact bytes: a file name that is not UTF-8 text is still that file.
    QStringList arguments;
    for (int i = 2; i < argc; ++i) {
        arguments << tavik::fileNameFromBytes(argv[i]);
    }
    if (std::strcmp(argv[1], "crops") == 0) {
        return tavik::runCropsCommand(arguments, context);
    }
    return std::strcmp(argv[1], "compare") == 0 ? tavik::runCompareCommand(arguments, context)
                                                : tavik::runPlanCommand(arguments, context);
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc >= 2) {
        const std::string command = argv[1];
        if (command == "workbook") {
            // The parse of a workbook, in its own process: no Qt needed.
            if (argc != 3) {
                std::cerr << "tavik workbook: give exactly one file\n" << kUsage;
                return tavik::kExitBadInput;
            }
            return tavik::runWorkbookCommand(argv[2]);
        }
        if (command == "crops" || command == "plan" || command == "compare") {
            return runHeadless(argc, argv, command == "plan" && asksForDrawing(argc, argv));
        }
        if ((command == "--help" || command == "-h") && argc == 2) {
            std::cout << kUsage;
            return tavik::kExitOk;
        }
        if (command == "--version" && argc == 2) {
            std::cout << "tavik " TAVIK_VERSION "\n";
            return tavik::kExitOk;
        }
        // A plan file to open (from a file manager, say): a file that is there, or a name
        // with a plan's extension (whose absence the wizard then reports). Anything else is
        // refused.
        if ((command != "--no-splash" && !isPlanFile(command)) || argc > 2) {
            std::cerr << "tavik: unknown command \""
                      << tavik::printableText(command, tavik::kMaxCropNameLength) << "\"\n"
                      << kUsage;
            return tavik::kExitBadInput;
        }
    }
    needDisplay();
    QApplication app(argc, argv);
    qInstallMessageHandler(nullptr);
    std::setlocale(LC_NUMERIC, "C"); // numbers in reports and charts use a decimal point
    QApplication::setApplicationName(QStringLiteral("tavik"));
    tavik::StartUpOptions options;
    options.programFolder = tavik::dataFolder(QApplication::applicationDirPath());
    options.workbook = tavik::findWorkbook(QApplication::applicationDirPath());
    options.readerProgram = QApplication::applicationFilePath();
    options.splash = argc < 2;
    if (argc == 2 && std::strcmp(argv[1], "--no-splash") != 0) {
        options.planFile = tavik::fileNameFromBytes(argv[1]);
    }
    return tavik::runWizard(options);
}
