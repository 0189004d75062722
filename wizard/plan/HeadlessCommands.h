#pragma once

#include <QSize>
#include <QStringList>
#include <algorithm>
#include <functional>
#include <iosfwd>
#include <string>

namespace tavik {

// Exit statuses of the headless commands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitWorkbook = 3;
// Several fields planned, some of them refused (each says why in the summary).
inline constexpr int kExitSomeRefused = 1;

struct PlanResult;

// What a drawn output of `tavik plan` is to be: the format ("pdf", "png" or "svg"), the
// chart image's size in pixels, and which of the chart's two views it shows.
struct DrawnOutput {
    std::string format;
    int width = 0;
    int height = 0;
    bool cumulative = false;
};
// Draws an output; its bytes, or empty when it could not be made.
using DrawOutput = std::function<std::string(const PlanResult&, const DrawnOutput&)>;

// A chart image is this many pixels wide and high at least, and at most.
inline constexpr int kMinChartImageSide = 100;
inline constexpr int kMaxChartImageSide = 4000;
inline constexpr QSize kDefaultChartImageSize{1200, 700};
inline bool isChartImageSize(QSize size) {
    return std::min(size.width(), size.height()) >= kMinChartImageSide &&
           std::max(size.width(), size.height()) <= kMaxChartImageSide;
}

struct HeadlessContext {
    QString programFolder; // the program's own folder (the workbook is found from it)
    QString readerProgram; // the program that implements `workbook FILE`
    std::ostream& out;
    std::ostream& err;
    // The drawn outputs need the toolkit's painting, which the caller supplies; without it
    // they are refused.
    DrawOutput draw = {};
};

// `tavik crops [--workbook FILE]`: one line per usable crop: worksheet row, name, minimum,
// maximum and recommended yield, separated by tabs. Rows that cannot be used are named on
// standard error.
int runCropsCommand(const QStringList& arguments, const HeadlessContext& context);

// Whether a format of `tavik plan` is one that is drawn (pdf, png, svg).
bool isDrawnFormat(const QString& format);

// `tavik plan SCENARIO.json [--workbook FILE] [--format text|rtf|json|csv|ics|pdf|png|svg]
// [--size WIDTHxHEIGHT] [--chart individual|cumulative] [--output FILE]`: runs the scenario
// through the wizard's computations and writes the schedule report (text), the document the
// result screen saves (rtf), every figure (json), the irrigation table (csv), the irrigation
// days as calendar events (ics, with a planting date), the field sheet (pdf) or the chart
// (png, svg).
//
// Several scenario files, or `--batch FOLDER` (its *.json and *.tavikplan files), with
// `--output-dir FOLDER`: one output per field in that folder and a summary.csv of them all;
// exit status 1 when any field was refused.
int runPlanCommand(const QStringList& arguments, const HeadlessContext& context);

// `tavik compare SCENARIO.json [--workbook FILE] [--format text|csv|json] [--output FILE]`:
// the scenario planned at every irrigation cycle from 2 to 10 days, side by side.
int runCompareCommand(const QStringList& arguments, const HeadlessContext& context);

} // namespace tavik
