#include "HeadlessCommands.h"

#include "Batch.h"
#include "Compare.h"
#include "FileNames.h"
#include "ICalendar.h"
#include "OutputFile.h"
#include "Plan.h"
#include "PlanOutput.h"
#include "TimeStamp.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
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

// An argument echoed in a message: escaped, and cut short as a crop name is.
std::string shownArgument(const QString& argument) {
    return printableText(fileNameBytes(argument), kMaxCropNameLength);
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
    QString workbook = findWorkbook(context.programFolder);
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--workbook")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                context.err << "tavik crops: --workbook needs a file name\n";
                return kExitBadInput;
            }
            workbook = arguments[++i];
        } else {
            context.err << "tavik crops: unknown argument \"" << shownArgument(arguments[i])
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

bool isDrawnFormat(const QString& format) {
    return format == QLatin1String("pdf") || format == QLatin1String("png") ||
           format == QLatin1String("svg");
}

namespace {

constexpr const char* kPlanUsage =
    "usage: tavik plan SCENARIO.json [--workbook FILE] [--format "
    "text|rtf|json|csv|ics|pdf|png|svg] [--size WIDTHxHEIGHT] [--chart individual|cumulative] "
    "[--output FILE]\n"
    "       tavik plan SCENARIO.json... | --batch FOLDER  --output-dir FOLDER [--format …]";

struct PlanArguments {
    QStringList scenarioPaths;
    QString batch;
    QString outputFolder;
    QString workbook;
    QString format = QStringLiteral("text");
    QString output;
    QString size;
    QString chart;
};

// The arguments, or the message that refuses them.
// "a, b or c"
std::string alternatives(const QStringList& words) {
    std::string text;
    for (qsizetype i = 0; i < words.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == words.size() ? " or " : ", ") + words[i].toStdString();
    }
    return text;
}

const QStringList kPlanFormats{"text", "rtf", "json", "csv", "ics", "pdf", "png", "svg"};

std::optional<std::string> readPlanArguments(const QStringList& arguments, PlanArguments& read,
                                             const QStringList& formats = kPlanFormats) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        QString* target = argument == QLatin1String("--workbook")     ? &read.workbook
                          : argument == QLatin1String("--format")     ? &read.format
                          : argument == QLatin1String("--output")     ? &read.output
                          : argument == QLatin1String("--size")       ? &read.size
                          : argument == QLatin1String("--chart")      ? &read.chart
                          : argument == QLatin1String("--batch")      ? &read.batch
                          : argument == QLatin1String("--output-dir") ? &read.outputFolder
                                                                      : nullptr;
        if (target != nullptr) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                return shownArgument(argument) + " needs a value\n" + kPlanUsage;
            }
            *target = arguments[++i];
        } else if (argument.startsWith(QLatin1String("--"))) {
            return "unknown argument \"" + shownArgument(argument) + "\"\n" + kPlanUsage;
        } else {
            read.scenarioPaths << argument;
        }
    }
    if (read.scenarioPaths.isEmpty() && read.batch.isEmpty()) {
        return std::string("give a scenario file\n") + kPlanUsage;
    }
    const bool many = read.scenarioPaths.size() > 1 || !read.batch.isEmpty();
    if (many && read.outputFolder.isEmpty()) {
        return std::string("several fields (or --batch) need --output-dir, the folder for "
                           "their outputs and the summary\n") +
               kPlanUsage;
    }
    if (!read.outputFolder.isEmpty() && !read.output.isEmpty()) {
        return "--output names one file; with --output-dir each field has its own";
    }
    if (!formats.contains(read.format)) {
        return "--format must be " + alternatives(formats) + ", not \"" +
               shownArgument(read.format) + "\"";
    }
    const bool image = read.format == QLatin1String("png") || read.format == QLatin1String("svg");
    if (!image && (!read.size.isEmpty() || !read.chart.isEmpty())) {
        return std::string(read.size.isEmpty() ? "--chart" : "--size") +
               " is for a chart image (--format png or svg)";
    }
    if (!read.chart.isEmpty() && read.chart != QLatin1String("individual") &&
        read.chart != QLatin1String("cumulative")) {
        return "--chart must be individual or cumulative, not \"" + shownArgument(read.chart) +
               "\"";
    }
    return std::nullopt;
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

// "1200x700": the size of a chart image in pixels.
std::optional<QSize> imageSize(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{3,4})x([0-9]{3,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const QSize size(match.captured(1).toInt(), match.captured(2).toInt());
    if (!isChartImageSize(size)) {
        return std::nullopt;
    }
    return size;
}

} // namespace

namespace {

// Several fields, or a folder of them, into a folder of outputs and a summary.
int runPlanBatch(const PlanArguments& read, const DrawnOutput& drawn,
                 const HeadlessContext& context) {
    BatchRequest request;
    for (const QString& path : read.scenarioPaths) {
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
    const auto crops = loadCrops(read.workbook, context, "plan", false);
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

} // namespace

int runPlanCommand(const QStringList& arguments, const HeadlessContext& context) {
    PlanArguments read;
    read.workbook = findWorkbook(context.programFolder);
    if (const auto problem = readPlanArguments(arguments, read)) {
        context.err << "tavik plan: " << *problem << '\n';
        return kExitBadInput;
    }
    const QString& format = read.format;
    const QString& output = read.output;
    QSize image = kDefaultChartImageSize;
    if (!read.size.isEmpty()) {
        const auto size = imageSize(read.size);
        if (!size) {
            context.err << "tavik plan: --size must be WIDTHxHEIGHT in pixels, each "
                        << kMinChartImageSide << ".." << kMaxChartImageSide << ", not \""
                        << shownArgument(read.size) << "\"\n";
            return kExitBadInput;
        }
        image = *size;
    }
    const DrawnOutput drawn{format.toStdString(), image.width(), image.height(),
                            read.chart == QLatin1String("cumulative")};
    if (isDrawnFormat(format) && !context.draw) {
        context.err << "tavik plan: --format " << drawn.format
                    << " cannot be drawn here (no painting)\n";
        return kExitBadInput;
    }
    if (!read.outputFolder.isEmpty()) {
        return runPlanBatch(read, drawn, context);
    }

    const std::string shownScenario = shownPath(read.scenarioPaths.front());
    const auto scenario = readScenario(read.scenarioPaths.front(), "plan", context);
    if (!scenario) {
        return kExitBadInput;
    }
    if (format == QLatin1String("ics") && !scenario->plantingDate) {
        context.err << "tavik plan: " << shownScenario
                    << ": a calendar (--format ics) needs the planting date: give "
                       "\"plantingDate\" (YYYY-MM-DD) in the scenario\n";
        return kExitBadInput;
    }
    // Refuse an output that cannot be a file before any work is done.
    if (!output.isEmpty()) {
        const QFileInfo target(output);
        if (target.exists() && !target.isFile()) {
            context.err << "tavik plan: --output \"" << shownPath(output)
                        << "\" is not a regular file (a folder, a device or a pipe is never "
                           "replaced)\n";
            return kExitBadInput;
        }
    }

    const auto crops = loadCrops(read.workbook, context, "plan", false);
    if (!crops) {
        return kExitWorkbook;
    }
    const PlanOutcome outcome = runPlan(*crops, *scenario, currentTimeStamp());
    if (!outcome.result) {
        context.err << "tavik plan: " << shownScenario << ": " << printableText(outcome.problem)
                    << '\n';
        return kExitBadInput;
    }
    const PlanResult& plan = *outcome.result;
    std::string text;
    if (isDrawnFormat(format)) {
        text = context.draw(plan, drawn);
        if (text.empty()) {
            context.err << "tavik plan: the " << drawn.format << " output could not be drawn\n";
            return kExitBadInput;
        }
    } else {
        text = planInFormat(plan, format.toStdString(), currentUtcStamp());
    }
    if (output.isEmpty()) {
        if (const auto problem = writeToStream(context.out, text)) {
            context.err << "tavik plan: the " << format.toStdString()
                        << " output cannot be written to standard output: " << *problem << '\n';
            return kExitBadInput;
        }
        return kExitOk;
    }
    if (const auto problem = replaceFileContents(output, text)) {
        context.err << "tavik plan: --output \"" << shownPath(output)
                    << "\" cannot be written (it is left as it was): " << *problem << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

int runCompareCommand(const QStringList& arguments, const HeadlessContext& context) {
    constexpr const char* kUsage =
        "usage: tavik compare SCENARIO.json [--workbook FILE] [--format text|csv|json] "
        "[--output FILE]";
    PlanArguments read;
    read.workbook = findWorkbook(context.programFolder);
    std::optional<std::string> problem = readPlanArguments(
        arguments, read, {QStringLiteral("text"), QStringLiteral("csv"), QStringLiteral("json")});
    if (!problem &&
        (read.scenarioPaths.size() != 1 || !read.batch.isEmpty() || !read.outputFolder.isEmpty() ||
         !read.size.isEmpty() || !read.chart.isEmpty())) {
        problem = "give one scenario file, and only the options below";
    }
    if (problem) {
        // The plan command's own usage is not this command's.
        context.err << "tavik compare: " << problem->substr(0, problem->find("\nusage:")) << '\n'
                    << kUsage << '\n';
        return kExitBadInput;
    }
    const std::string shownScenario = shownPath(read.scenarioPaths.front());
    const auto scenario = readScenario(read.scenarioPaths.front(), "compare", context);
    if (!scenario) {
        return kExitBadInput;
    }
    const auto crops = loadCrops(read.workbook, context, "compare", false);
    if (!crops) {
        return kExitWorkbook;
    }
    const ComparisonOutcome outcome = compareCycles(*crops, *scenario, currentTimeStamp());
    if (!outcome.comparison) {
        context.err << "tavik compare: " << shownScenario << ": " << printableText(outcome.problem)
                    << '\n';
        return kExitBadInput;
    }
    const std::string text =
        read.format == QLatin1String("csv")    ? comparisonCsv(*outcome.comparison)
        : read.format == QLatin1String("json") ? comparisonJson(*outcome.comparison)
                                               : comparisonText(*outcome.comparison);
    if (read.output.isEmpty()) {
        if (const auto failed = writeToStream(context.out, text)) {
            context.err << "tavik compare: the comparison cannot be written to standard output: "
                        << *failed << '\n';
            return kExitBadInput;
        }
    } else if (const auto failed = replaceFileContents(read.output, text)) {
        context.err << "tavik compare: --output \"" << shownPath(read.output)
                    << "\" cannot be written (it is left as it was): " << *failed << '\n';
        return kExitBadInput;
    }
    return kExitOk;
}

} // namespace tavik
