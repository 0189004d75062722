#pragma once

#include <QStringList>
#include <iosfwd>

namespace tavik {

// Exit statuses of the headless commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitWorkbook = 3;

struct HeadlessContext {
    QString programFolder; // where the shipped workbook lies
    QString readerProgram; // the program that implements `workbook FILE`
    std::ostream& out;
    std::ostream& err;
};

// `tavik crops [--workbook FILE]`: one line per usable crop: worksheet row, name, minimum,
// maximum and recommended yield, separated by tabs. Rows that cannot be used are named on
// standard error.
int runCropsCommand(const QStringList& arguments, const HeadlessContext& context);

// `tavik plan SCENARIO.json [--workbook FILE] [--format text|rtf|json|csv] [--output FILE]`:
// runs the scenario through the wizard's computations and writes the schedule report (text),
// the document the result screen saves (rtf), every figure (json) or the irrigation table (csv).
int runPlanCommand(const QStringList& arguments, const HeadlessContext& context);

} // namespace tavik
