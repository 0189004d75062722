#include "HeadlessCommands.h"

#include "Batch.h"
#include "Compare.h"
#include "FileNames.h"
#include "OutputFile.h"
#include "Plan.h"
#include "PlanOutput.h"
#include "TimeStamp.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"

#include <QFileInfo>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tavik {

namespace {

// Whether a path (by its exact bytes) leads to something, and to a folder.
bool pathExists(const QString& path) {
    struct stat entry {};
    return ::stat(fileNameBytes(path).c_str(), &entry) == 0;
}
bool isFolder(const QString& path) {
    struct stat entry {};
    return ::stat(fileNameBytes(path).c_str(), &entry) == 0 && S_ISDIR(entry.st_mode);
}

// Opens the workbook and loads its crop table, or says why not.
std::optional<CropTable> loadCrops(const QString& workbook, const HeadlessContext& context,
                                   const char* command, bool nameUnusableRows) {
    mType state;
    WorkbookReaderOptions options;
    options.readerProgram = context.readerProgram;
    if (const auto error = openCropWorkbook(state, workbook, options)) {
        context.err << "tavik " << command << ": " << *error << '\n';
        return std::nullopt;
    }
    const CropTableReport report = loadCropTable(state, workbook, true);
    if (report.problem) {
        context.err << "tavik " << command << ": " << *report.problem << '\n';
        return std::nullopt;
    }
    if (report.leftOut && nameUnusableRows) {
        context.err << "tavik " << command << ": " << *report.leftOut << '\n';
    }
    return std::move(state.CropData);
}

// The crop workbook a request names, or the one the program finds.
QString workbookOf(const CommandRequest& request, const HeadlessContext& context) {
    return request.workbook.isEmpty() ? findWorkbook(context.programFolder) : request.workbook;
}

// The scenario of a file, or none when it cannot be read or is refused (and says why).
std::optional<Scenario> readScenario(const QString& path, const char* command,
                                     const HeadlessContext& context) {
    const std::string shown = shownPath(path);
    std::string text;
    if (const auto problem = readScenarioFile(path, text)) {
        context.err << "tavik " << command << ": the scenario file \"" << shown
                    << "\" cannot be read: " << *problem << '\n';
        return std::nullopt;
    }
    ScenarioParse parse = parseScenario(text);
    if (!parse.scenario) {
        context.err << "tavik " << command << ": " << shown << ": " << printableText(parse.problem)
                    << '\n';
    }
    return std::move(parse.scenario);
}

// Writes a command's output to standard output, or in place of the --output file (which is
// left as it was when that fails). `what` names the output in a message ("the comparison").
int writeOutput(const std::string& text, const QString& output, const char* command,
                const std::string& what, const HeadlessContext& context) {
    if (output.isEmpty()) {
        if (const auto problem = writeToStream(context.out, text)) {
            context.err << "tavik " << command << ": " << what
                        << " cannot be written to standard output: " << *problem << '\n';
            return kExitBadInput;
        }
        return kExitOk;
    }
    if (const auto problem = replaceFileContents(output, text)) {
        context.err << "tavik " << command << ": --output \"" << shownPath(output)
                    << "\" cannot be written (it is left as it was): " << *problem << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

// Several fields, or a folder of them, into a folder of outputs and a summary.
int runPlanBatch(const CommandRequest& read, const DrawnOutput& drawn,
                 const HeadlessContext& context) {
    BatchRequest request;
    for (const QString& path : read.files) {
        request.scenarios.push_back(path);
    }
    if (!read.batch.isEmpty()) {
        if (!isFolder(read.batch)) {
            context.err << "tavik plan: --batch \"" << shownPath(read.batch)
                        << "\" is not a folder\n";
            return kExitBadInput;
        }
        const std::vector<QString> found = scenariosInFolder(read.batch);
        request.scenarios.insert(request.scenarios.end(), found.begin(), found.end());
        if (found.empty()) {
            context.err << "tavik plan: --batch \"" << shownPath(read.batch)
                        << "\" holds no scenario (*.json, *.tavikplan)\n";
            return kExitBadInput;
        }
    }
    if (pathExists(read.outputFolder) && !isFolder(read.outputFolder)) {
        context.err << "tavik plan: --output-dir \"" << shownPath(read.outputFolder)
                    << "\" is not a folder\n";
        return kExitBadInput;
    }
    const auto crops = loadCrops(workbookOf(read, context), context, "plan", false);
    if (!crops) {
        return kExitWorkbook;
    }
    request.outputFolder = read.outputFolder;
    request.format = read.format;
    request.drawn = drawn;
    request.progress = ::isatty(STDERR_FILENO) == 1;
    const BatchResult result = runBatch(request, *crops, context);
    if (!result.problem.empty()) {
        context.err << "tavik plan: " << result.problem << '\n';
        return kExitBadInput;
    }
    if (result.refused > 0) {
        context.err << "tavik plan: " << result.refused << " of " << result.refused + result.planned
                    << " fields refused; their lines in the summary say why\n";
        return kExitSomeRefused;
    }
    return kExitOk;
}

// One field: its output to standard output or the --output file.
int runPlanField(const CommandRequest& request, const DrawnOutput& drawn,
                 const HeadlessContext& context) {
    const std::string shownScenario = shownPath(request.files.front());
    const auto scenario = readScenario(request.files.front(), "plan", context);
    if (!scenario) {
        return kExitBadInput;
    }
    if (lacksPlantingDate(request.format, *scenario)) {
        context.err << "tavik plan: " << shownScenario
                    << ": a calendar (--format ics) needs the planting date: give "
                       "\"plantingDate\" (YYYY-MM-DD) in the scenario\n";
        return kExitBadInput;
    }
    // Refuse an output that cannot be a file before any work is done.
    const QString& output = request.output;
    if (!output.isEmpty()) {
        const QFileInfo target(output);
        if (target.exists() && !target.isFile()) {
            context.err << "tavik plan: --output \"" << shownPath(output)
                        << "\" is not a regular file (a folder, a device or a pipe is never "
                           "replaced)\n";
            return kExitBadInput;
        }
    }

    const auto crops = loadCrops(workbookOf(request, context), context, "plan", false);
    if (!crops) {
        return kExitWorkbook;
    }
    const PlanOutcome outcome = runPlan(*crops, *scenario, currentTimeStamp());
    if (!outcome.result) {
        context.err << "tavik plan: " << shownScenario << ": " << printableText(outcome.problem)
                    << '\n';
        return kExitBadInput;
    }
    const std::string format(formatName(request.format));
    std::string text;
    if (isDrawnFormat(request.format)) {
        text = context.draw(*outcome.result, drawn);
        if (text.empty()) {
            context.err << "tavik plan: the " << format << " output could not be drawn\n";
            return kExitBadInput;
        }
    } else {
        text = planInFormat(*outcome.result, request.format, currentUtcStamp());
    }
    return writeOutput(text, output, "plan", "the " + format + " output", context);
}

} // namespace

int runCropsCommand(const CommandRequest& request, const HeadlessContext& context) {
    const auto table = loadCrops(workbookOf(request, context), context, "crops", true);
    if (!table) {
        return kExitWorkbook;
    }
    const CropTable& crops = *table;
    std::string lines;
    for (const std::int16_t row : crops.offeredRows()) {
        // Offered names hold no tab, line break or other control character.
        lines += std::to_string(row) + '\t' + crops.text(row, CropColumn::Name) + '\t' +
                 shortestText(crops.number(row, CropColumn::MinYield)) + '\t' +
                 shortestText(crops.number(row, CropColumn::MaxYield)) + '\t' +
                 shortestText(crops.number(row, CropColumn::RecommendedYield)) + '\n';
    }
    if (const auto problem = writeToStream(context.out, lines)) {
        context.err << "tavik crops: the list cannot be written to standard output: " << *problem
                    << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

int runPlanCommand(const CommandRequest& request, const HeadlessContext& context) {
    const DrawnOutput drawn{request.format, request.imageSize.width(), request.imageSize.height(),
                            request.cumulative};
    if (isDrawnFormat(request.format) && !context.draw) {
        context.err << "tavik plan: --format " << formatName(request.format)
                    << " cannot be drawn here (no painting)\n";
        return kExitBadInput;
    }
    return request.isBatch() ? runPlanBatch(request, drawn, context)
                             : runPlanField(request, drawn, context);
}

int runCompareCommand(const CommandRequest& request, const HeadlessContext& context) {
    const std::string shownScenario = shownPath(request.files.front());
    const auto scenario = readScenario(request.files.front(), "compare", context);
    if (!scenario) {
        return kExitBadInput;
    }
    const auto crops = loadCrops(workbookOf(request, context), context, "compare", false);
    if (!crops) {
        return kExitWorkbook;
    }
    const ComparisonOutcome outcome = compareCycles(*crops, *scenario, currentTimeStamp());
    if (!outcome.comparison) {
        context.err << "tavik compare: " << shownScenario << ": " << printableText(outcome.problem)
                    << '\n';
        return kExitBadInput;
    }
    const CycleComparison& comparison = *outcome.comparison;
    const std::string text = request.format == OutputFormat::Csv    ? comparisonCsv(comparison)
                             : request.format == OutputFormat::Json ? comparisonJson(comparison)
                                                                    : comparisonText(comparison);
    return writeOutput(text, request.output, "compare", "the comparison", context);
}

int runHeadlessCommand(const CommandRequest& request, const HeadlessContext& context,
                       std::string_view version) {
    if (request.refused()) {
        context.err << request.refusal;
        return kExitBadInput;
    }
    switch (request.command) {
    case Command::Help:
        context.out << helpText();
        return kExitOk;
    case Command::Version:
        context.out << "tavik " << version << '\n';
        return kExitOk;
    case Command::Crops:
        return runCropsCommand(request, context);
    case Command::Plan:
        return runPlanCommand(request, context);
    case Command::Compare:
        return runCompareCommand(request, context);
    case Command::Wizard:
    case Command::Workbook:
        break;
    }
    context.err << "tavik: this command is not run here\n";
    return kExitBadInput;
}

} // namespace tavik
