// tavik: the irrigation scheduling wizard, and its headless commands.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// This program needs QtCore only: it runs the commands that draw nothing itself, and hands
// the wizard and the drawn outputs to tavik-gui in its place (the same process, arguments and
// standard streams). Workbooks are read by tavik-workbook, in a process of its own.

#include "plan/CommandLine.h"
#include "plan/FileNames.h"
#include "plan/HeadlessCommands.h"
#include "plan/Programs.h"
#include "state/NumberText.h"
#include "workbook/UsedRangeCsv.h"
#include "workbook/WorkbookReader.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <clocale>
#include <iostream>

namespace {

// `tavik workbook FILE`: the used range as the wizard reads it, as CSV.
int readWorkbook(const char* file, const QString& reader) {
    if (!QFileInfo(reader).isExecutable()) {
        std::cerr << "tavik workbook: the workbook reader \"" << tavik::shownPath(reader)
                  << "\" cannot be started: it is missing or not executable\n";
        return tavik::kExitWorkbook;
    }
    tavik::WorkbookReaderOptions options;
    options.readerProgram = reader;
    const tavik::WorkbookReadResult read =
        tavik::readWorkbook(tavik::fileNameFromBytes(file), options);
    if (!read.sheet) {
        std::cerr << "tavik workbook: \"" << tavik::printableText(file) << "\": " << read.problem
                  << '\n';
        return tavik::kExitWorkbook;
    }
    std::cout << tavik::formatUsedRangeCsv(*read.sheet) << std::flush;
    return std::cout ? tavik::kExitOk : tavik::kExitWorkbook;
}

// The wizard, or a drawn output: tavik-gui, with the same arguments.
int runDrawing(char* argv[]) {
    const QString program = tavik::helperProgram(tavik::runningProgramFolder(), tavik::kGuiProgram);
    const std::string problem = tavik::replaceProcess(program, argv);
    std::cerr << "tavik: the program of the wizard and the drawn outputs, \""
              << tavik::shownPath(program) << "\", cannot be started: " << problem << '\n';
    return tavik::kExitMissingProgram;
}

} // namespace

int main(int argc, char* argv[]) {
    const tavik::CommandRequest request = tavik::parseCommandLine(argc, argv);
    if (tavik::needsDrawing(request)) {
        return runDrawing(argv);
    }
    const QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // numbers in files and reports use a decimal point
    const QString folder = QCoreApplication::applicationDirPath();
    const QString reader = tavik::helperProgram(folder, tavik::kWorkbookReaderProgram);
    if (!request.refused() && request.command == tavik::Command::Workbook) {
        return readWorkbook(argv[2], reader);
    }
    const tavik::HeadlessContext context{folder, reader, std::cout, std::cerr};
    return tavik::runHeadlessCommand(request, context, TAVIK_VERSION);
}
