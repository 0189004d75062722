// tavik: the irrigation scheduling wizard, and its headless commands.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// This program needs QtCore only: it runs the commands that draw nothing itself, and hands
// the wizard and the drawn outputs to tavik-gui and a workbook to tavik-workbook, each in
// its place (the same process, arguments and standard streams).

#include "plan/CommandLine.h"
#include "plan/FileNames.h"
#include "plan/HeadlessCommands.h"
#include "plan/Programs.h"

#include <QCoreApplication>
#include <clocale>
#include <iostream>

namespace {

// `tavik workbook FILE`: the reader's own output and exit status.
int readWorkbook(char* file) {
    const QString reader =
        tavik::helperProgram(tavik::runningProgramFolder(), tavik::kWorkbookReaderProgram);
    std::string path = tavik::fileNameBytes(reader);
    char* const arguments[] = {path.data(), file, nullptr};
    const std::string problem = tavik::replaceProcess(reader, arguments);
    std::cerr << "tavik workbook: the workbook reader \"" << tavik::shownPath(reader)
              << "\" cannot be started: " << problem << '\n';
    return tavik::kExitWorkbook;
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
    if (!request.refused() && request.command == tavik::Command::Workbook) {
        return readWorkbook(argv[2]);
    }
    if (tavik::needsDrawing(request)) {
        return runDrawing(argv);
    }
    const QCoreApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C"); // numbers in files and reports use a decimal point
    const QString folder = QCoreApplication::applicationDirPath();
    const tavik::HeadlessContext context{
        folder, tavik::helperProgram(folder, tavik::kWorkbookReaderProgram), std::cout, std::cerr};
    return tavik::runHeadlessCommand(request, context, TAVIK_VERSION);
}
