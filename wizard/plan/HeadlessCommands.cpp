#include "HeadlessCommands.h"

#include "OutputFile.h"
#include "Plan.h"
#include "PlanOutput.h"
#include "TimeStamp.h"
#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"

#include <QFile>
#include <QFileInfo>
#include <ostream>

namespace tavik {

namespace {

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
    if (report.error) {
        context.err << "tavik " << command << ": " << *report.error << '\n';
        return std::nullopt;
    }
    if (report.leftOut && nameUnusableRows) {
        context.err << "tavik " << command << ": " << *report.leftOut << '\n';
    }
    return std::move(state.CropData);
}

} // namespace

int runCropsCommand(const QStringList& arguments, const HeadlessContext& context) {
    QString workbook = defaultWorkbookPath(context.programFolder);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--workbook")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                context.err << "tavik crops: --workbook needs a file name\n";
                return kExitBadInput;
            }
            workbook = arguments[++i];
        } else {
            context.err << "tavik crops: unknown argument \""
                        << printableText(arguments[i].toStdString())
                        << "\" (usage: tavik crops [--workbook FILE])\n";
            return kExitBadInput;
        }
    }

    const auto table = loadCrops(workbook, context, "crops", true);
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

} // namespace tavik

namespace tavik {

int runPlanCommand(const QStringList& arguments, const HeadlessContext& context) {
    constexpr const char* kUsage = "usage: tavik plan SCENARIO.json [--workbook FILE] [--format "
                                   "text|rtf|json|csv] [--output FILE]";
    QString scenarioPath;
    QString workbook = defaultWorkbookPath(context.programFolder);
    QString format = QStringLiteral("text");
    QString output;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const bool takesValue = argument == QLatin1String("--workbook") ||
                                argument == QLatin1String("--format") ||
                                argument == QLatin1String("--output");
        if (takesValue) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                context.err << "tavik plan: " << printableText(argument.toStdString())
                            << " needs a value\n"
                            << kUsage << '\n';
                return kExitBadInput;
            }
            QString& target = argument == QLatin1String("--workbook") ? workbook
                              : argument == QLatin1String("--format") ? format
                                                                      : output;
            target = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--")) || !scenarioPath.isEmpty()) {
            context.err << "tavik plan: unknown argument \""
                        << printableText(argument.toStdString()) << "\"\n"
                        << kUsage << '\n';
            return kExitBadInput;
        } else {
            scenarioPath = argument;
        }
    }
    if (scenarioPath.isEmpty()) {
        context.err << "tavik plan: give a scenario file\n" << kUsage << '\n';
        return kExitBadInput;
    }
    if (format != QLatin1String("text") && format != QLatin1String("rtf") &&
        format != QLatin1String("json") && format != QLatin1String("csv")) {
        context.err << "tavik plan: --format must be text, rtf, json or csv, not \""
                    << printableText(format.toStdString()) << "\"\n";
        return kExitBadInput;
    }

    const std::string shownScenario = printableText(scenarioPath.toStdString());
    std::string scenarioText;
    if (const auto problem = readScenarioFile(scenarioPath, scenarioText)) {
        context.err << "tavik plan: the scenario file \"" << shownScenario
                    << "\" cannot be read: " << *problem << '\n';
        return kExitBadInput;
    }
    const ScenarioParse parse = parseScenario(scenarioText);
    if (!parse.scenario) {
        context.err << "tavik plan: " << shownScenario << ": " << printableText(parse.problem)
                    << '\n';
        return kExitBadInput;
    }
    // Refuse an output that cannot be a file before any work is done.
    if (!output.isEmpty()) {
        const QFileInfo target(output);
        if (target.exists() && !target.isFile()) {
            context.err << "tavik plan: --output \"" << printableText(output.toStdString())
                        << "\" is not a regular file (a folder, a device or a pipe is never "
                           "replaced)\n";
            return kExitBadInput;
        }
    }

    const auto crops = loadCrops(workbook, context, "plan", false);
    if (!crops) {
        return kExitWorkbook;
    }
    const PlanOutcome outcome = runPlan(*crops, *parse.scenario, currentTimeStamp());
    if (!outcome.result) {
        context.err << "tavik plan: " << shownScenario << ": " << printableText(outcome.problem)
                    << '\n';
        return kExitBadInput;
    }
    const std::string text = format == QLatin1String("rtf")    ? planRtf(*outcome.result)
                             : format == QLatin1String("json") ? planJson(*outcome.result)
                             : format == QLatin1String("csv")  ? planCsv(*outcome.result)
                                                               : planText(*outcome.result);
    if (output.isEmpty()) {
        if (const auto problem = writeToStream(context.out, text)) {
            context.err << "tavik plan: the " << format.toStdString()
                        << " output cannot be written to standard output: " << *problem << '\n';
            return kExitBadInput;
        }
        return kExitOk;
    }
    if (const auto problem = replaceFileContents(output, text)) {
        context.err << "tavik plan: --output \"" << printableText(output.toStdString())
                    << "\" cannot be written (it is left as it was): " << *problem << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

} // namespace tavik
