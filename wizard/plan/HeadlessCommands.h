#pragma once

#include "CommandLine.h"

#include <QString>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tavik {

// Exit statuses of the headless commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitWorkbook = 3;
// Several fields planned, some of them refused (each says why in the summary).
inline constexpr int kExitSomeRefused = 1;
// A program of tavik's own is missing (as a shell says of a command it cannot find).
inline constexpr int kExitMissingProgram = 127;

struct PlanResult;

// What a drawn output of `tavik plan` is to be: the format (pdf, png or svg), the chart
// image's size in pixels, and which of the chart's two views it shows.
struct DrawnOutput {
    OutputFormat format = OutputFormat::Pdf;
    int width = 0;
    int height = 0;
    bool cumulative = false;
};
// Draws an output; its bytes, or empty when it could not be made.
using DrawOutput = std::function<std::string(const PlanResult&, const DrawnOutput&)>;

struct HeadlessContext {
    QString programFolder; // the program's own folder (the workbook is found from it)
    QString readerProgram; // the workbook reader (tavik-workbook)
    std::ostream& out;
    std::ostream& err;
    // The drawn outputs need the toolkit's painting, which the caller supplies; without it
    // they are refused.
    DrawOutput draw = {};
};

// `tavik crops [--workbook FILE]`: one line per usable crop: worksheet row, name, minimum,
// maximum and recommended yield, separated by tabs. Rows that cannot be used are named on
// standard error.
int runCropsCommand(const CommandRequest& request, const HeadlessContext& context);

// `tavik plan SCENARIO.json`: runs the scenario through the wizard's computations and writes
// the schedule report (text), the document the result screen saves (rtf), every figure
// (json), the irrigation table (csv), the irrigation days as calendar events (ics, with a
// planting date), the field sheet (pdf) or the chart (png, svg).
//
// Several scenario files, or `--batch FOLDER` (its *.json and *.tavikplan files), with
// `--output-dir FOLDER`: one output per field in that folder and a summary.csv of them all;
// exit status 1 when any field was refused.
int runPlanCommand(const CommandRequest& request, const HeadlessContext& context);

// `tavik compare SCENARIO.json`: the scenario planned at every irrigation cycle from 2 to 10
// days, side by side.
int runCompareCommand(const CommandRequest& request, const HeadlessContext& context);

// `tavik season FIELD.tavikplan`: the plan's season as of --today (text, csv or json);
// with --rain, --irrigated, --reading or --import-rain, the entries recorded into the plan
// file; with --batch FOLDER, the adviser's list of the folder's fields with a season (exit
// status 1 when a field cannot be read).
int runSeasonCommand(const CommandRequest& request, const HeadlessContext& context);

// A request that opens no window: its refusal, --help, --version, crops, plan or compare.
// The version is the program's, as --version shows it.
int runHeadlessCommand(const CommandRequest& request, const HeadlessContext& context,
                       std::string_view version);

} // namespace tavik
