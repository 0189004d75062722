#include "HeadlessCommands.h"

#include "Batch.h"
#include "Calendar.h"
#include "Compare.h"
#include "FileNames.h"
#include "OutputFile.h"
#include "Plan.h"
#include "PlanOutput.h"
#include "RainImport.h"
#include "Season.h"
#include "SeasonCommands.h"
#include "TimeStamp.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "workbook/CropWorkbook.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <atomic>
#include <ostream>
#include <sys/stat.h>
#include <thread>
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

// The day a season is shown as of: --today, else the system's date.
std::string todayOf(const CommandRequest& request) {
    return request.today.isEmpty() ? QDate::currentDate().toString(Qt::ISODate).toStdString()
                                   : request.today.toStdString();
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
    // The season as of a day: json, ics and the field sheet always show it, csv when --today
    // asks for it.
    PlanResult plan = std::move(*outcome.result);
    const bool showsSeason = request.format == OutputFormat::Json ||
                             request.format == OutputFormat::Ics ||
                             request.format == OutputFormat::Pdf ||
                             (request.format == OutputFormat::Csv && !request.today.isEmpty());
    if (plan.season && showsSeason) {
        balancePlanSeason(plan, todayOf(request));
    }
    const std::string format(formatName(request.format));
    std::string text;
    if (isDrawnFormat(request.format)) {
        text = context.draw(plan, drawn);
        if (text.empty()) {
            context.err << "tavik plan: the " << format << " output could not be drawn\n";
            return kExitBadInput;
        }
    } else {
        text = planInFormat(plan, request.format, currentUtcStamp());
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

namespace {

// The entries the options give, read and checked on their own.
std::optional<std::string> optionEntries(const CommandRequest& request, SeasonEntries& entries) {
    if (!request.rain.isEmpty()) {
        SeasonAmount entry;
        if (auto problem = readAmountEntry(request.rain, "--rain", kMaxRainMm, entry)) {
            return problem;
        }
        entries.rain.push_back(entry);
    }
    if (!request.irrigated.isEmpty()) {
        SeasonAmount entry;
        if (auto problem =
                readAmountEntry(request.irrigated, "--irrigated", kMaxIrrigationMm, entry)) {
            return problem;
        }
        entries.irrigations.push_back(entry);
    }
    if (!request.reading.isEmpty()) {
        SeasonReading entry;
        if (auto problem = readReadingEntry(request.reading, entry)) {
            return problem;
        }
        entries.readings.push_back(entry);
    }
    return std::nullopt;
}

// The station's rain file, its lines read and their dates checked against the plan's season.
std::optional<std::string> importedRain(const QString& path, const PlanResult& plan,
                                        std::vector<SeasonAmount>& rain) {
    const std::string shown = "--import-rain \"" + shownPath(path) + "\"";
    std::string text;
    if (const auto problem = readSmallFile(path, text, kMaxRainFileBytes, "a rain file")) {
        return shown + " cannot be read: " + *problem;
    }
    RainImport import = parseRainCsv(text, QLocale::system().dateFormat(QLocale::ShortFormat));
    if (!import.problem.empty()) {
        return shown + ": " + import.problem + "; nothing is imported";
    }
    if (import.rain.empty()) {
        return shown + ": it holds no day of rain below its heading; nothing is imported";
    }
    if (!plan.plantingDate) {
        return std::string("\"plantingDate\" is missing: a season record needs the planting "
                           "date (YYYY-MM-DD)");
    }
    const int count = plan.engine.WaterDemand().Count();
    for (std::size_t i = 0; i < import.rain.size(); ++i) {
        const int day = dayAfterPlanting(*plan.plantingDate, import.rain[i].date).value_or(0);
        if (day < 1 || day > count) {
            return shown + ": line " + std::to_string(import.lines[i]) + ": " +
                   import.rain[i].date +
                   (day < 1 ? " is not after the planting date " + *plan.plantingDate
                            : " is after the season's last day " +
                                  dateAfter(*plan.plantingDate, count).value_or("")) +
                   "; nothing is imported";
        }
    }
    rain = std::move(import.rain);
    return std::nullopt;
}

// Records the options' entries into the plan file: the whole plan with them is checked
// first, and the file is replaced whole; a refused entry leaves it as it was.
int recordIntoPlan(const CommandRequest& request, const CropTable& crops,
                   const HeadlessContext& context) {
    const QString& path = request.files.front();
    const std::string shown = shownPath(path);
    const auto fail = [&](const std::string& problem) {
        context.err << "tavik season: " << shown << ": " << printableText(problem)
                    << " (the plan file is left as it was)\n";
        return kExitBadInput;
    };
    auto scenario = readScenario(path, "season", context);
    if (!scenario) {
        return kExitBadInput;
    }
    const PlanOutcome before = runPlan(crops, *scenario, currentTimeStamp());
    if (!before.result) {
        return fail(before.problem);
    }
    if (!scenario->plantingDate) {
        return fail("\"plantingDate\" is missing: a season record needs the planting date "
                    "(YYYY-MM-DD)");
    }
    SeasonEntries entries;
    if (auto problem = optionEntries(request, entries)) {
        return fail(*problem);
    }
    if (!request.importRain.isEmpty()) {
        if (!entries.rain.empty()) {
            return fail("give the rain either by --rain or by --import-rain");
        }
        if (auto problem = importedRain(request.importRain, *before.result, entries.rain)) {
            return fail(*problem);
        }
    }
    if (!scenario->season) {
        scenario->season.emplace();
    }
    const std::vector<std::string> replaced = recordEntries(*scenario->season, entries);
    giveFieldIdentity(*scenario);
    // What is written is what is read back: the file's own reader and the plan check it.
    const std::string text = scenarioJson(*scenario);
    const ScenarioParse reread = parseScenario(text);
    if (!reread.scenario) {
        return fail(reread.problem);
    }
    const PlanOutcome after = runPlan(crops, *reread.scenario, currentTimeStamp());
    if (!after.result) {
        return fail(after.problem);
    }
    if (const auto problem = replaceFileContents(path, text)) {
        context.err << "tavik season: " << shown
                    << " cannot be written (it is left as it was): " << *problem << '\n';
        return kExitBadInput;
    }
    std::string said;
    if (!request.importRain.isEmpty()) {
        said += "imported " + std::to_string(entries.rain.size()) + " days of rain into " + shown +
                ", " + std::to_string(replaced.size()) +
                " of them replacing the rain recorded before\n";
    } else {
        for (const SeasonAmount& entry : entries.rain) {
            said += "recorded into " + shown + ": rain on " + entry.date + ", " +
                    shortestText(entry.mm) + " mm\n";
        }
        for (const SeasonAmount& entry : entries.irrigations) {
            said += "recorded into " + shown + ": irrigation on " + entry.date + ", " +
                    shortestText(entry.mm) + " mm\n";
        }
        for (const SeasonReading& entry : entries.readings) {
            said += "recorded into " + shown + ": soil reading on " + entry.date + "\n";
        }
        for (const std::string& line : replaced) {
            said += "replaced: " + line + "\n";
        }
    }
    static_cast<void>(writeToStream(context.out, said));
    return kExitOk;
}

// The season of one plan as of a day.
int showSeason(const CommandRequest& request, const CropTable& crops,
               const HeadlessContext& context) {
    const std::string shown = shownPath(request.files.front());
    const auto scenario = readScenario(request.files.front(), "season", context);
    if (!scenario) {
        return kExitBadInput;
    }
    PlanOutcome outcome = runPlan(crops, *scenario, currentTimeStamp());
    if (!outcome.result) {
        context.err << "tavik season: " << shown << ": " << printableText(outcome.problem) << '\n';
        return kExitBadInput;
    }
    PlanResult& plan = *outcome.result;
    if (!plan.season) {
        context.err << "tavik season: " << shown
                    << ": the plan has no season record (\"season\"): record the rain, an "
                       "irrigation or a soil reading first (--rain DATE=MM)\n";
        return kExitBadInput;
    }
    balancePlanSeason(plan, todayOf(request));
    const std::string text = request.format == OutputFormat::Csv    ? seasonCsv(plan)
                             : request.format == OutputFormat::Json ? seasonJson(plan)
                                                                    : seasonText(plan);
    return writeOutput(text, {}, "season", "the season", context);
}

// A plan kept for the adviser's list: what its line shows (the crop, the field, the planting
// date, the package, the balance's totals, next irrigation and the soil today), without the
// crop table, the schedule, the charts and the season's other days: ten thousand fields are
// held at once.
PlanResult keptForList(PlanResult& plan) {
    PlanResult kept;
    kept.cropName = std::move(plan.cropName);
    kept.plantingDate = std::move(plan.plantingDate);
    kept.field = std::move(plan.field);
    kept.sprinklerPackage = plan.sprinklerPackage;
    kept.depth = plan.depth;
    kept.layers = plan.layers;
    if (plan.seasonBalance) {
        SeasonBalance& balance = *plan.seasonBalance;
        // The soil today: the season's day the list shows (its first or last outside it).
        if (!balance.days.empty()) {
            const auto today = static_cast<std::size_t>(
                std::clamp(balance.todayDay, 1, static_cast<int>(balance.days.size())));
            std::vector<SeasonDay> days{std::move(balance.days[today - 1])};
            balance.days = std::move(days);
        }
        kept.seasonBalance = std::move(balance);
    }
    return kept;
}

// The adviser's list: every field of the folder with a season, balanced as of the day.
int adviserList(const CommandRequest& request, const CropTable& crops,
                const HeadlessContext& context) {
    if (!isFolder(request.batch)) {
        context.err << "tavik season: --batch \"" << shownPath(request.batch)
                    << "\" is not a folder\n";
        return kExitBadInput;
    }
    const std::vector<QString> files = scenariosInFolder(request.batch);
    const std::string today = todayOf(request);
    const TimeStamp stamp = currentTimeStamp();
    std::vector<AdviserLine> lines(files.size());
    std::vector<char> listed(files.size(), 0);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < files.size(); i = next++) {
            AdviserLine& line = lines[i];
            const QString name = QFileInfo(files[i]).fileName();
            line.file = printableText(fileNameBytes(name));
            try {
                std::string text;
                if (const auto problem = readScenarioFile(files[i], text)) {
                    line.problem = "the plan file cannot be read: " + *problem;
                    listed[i] = 1;
                    continue;
                }
                const ScenarioParse parse = parseScenario(text);
                if (!parse.scenario) {
                    line.problem = printableText(parse.problem);
                    listed[i] = 1;
                    continue;
                }
                if (!parse.scenario->season) {
                    continue; // a plan without a season is no field of the list
                }
                PlanOutcome outcome = runPlan(crops, *parse.scenario, stamp);
                listed[i] = 1;
                if (!outcome.result) {
                    line.problem = printableText(outcome.problem);
                    continue;
                }
                balancePlanSeason(*outcome.result, today);
                line.plan = keptForList(*outcome.result);
            } catch (const std::exception& error) {
                line.plan.reset();
                line.problem = std::string("it could not be planned: ") + error.what();
                listed[i] = 1;
            }
        }
    };
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::min<std::size_t>(threads, files.size()); ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break;
        }
    }
    work();
    for (std::thread& worker : pool) {
        worker.join();
    }
    std::vector<AdviserLine> shownLines;
    bool unread = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (listed[i] != 0) {
            unread = unread || !lines[i].plan;
            shownLines.push_back(std::move(lines[i]));
        }
    }
    lines.clear();
    if (shownLines.empty()) {
        context.err << "tavik season: --batch \"" << shownPath(request.batch)
                    << "\" holds no plan with a season record (*.json, *.tavikplan)\n";
        return kExitBadInput;
    }
    const std::string text = request.format == OutputFormat::Csv
                                 ? adviserListCsv(std::move(shownLines))
                                 : adviserListText(std::move(shownLines));
    const int status = writeOutput(text, {}, "season", "the adviser's list", context);
    return status == kExitOk && unread ? kExitSomeRefused : status;
}

} // namespace

int runSeasonCommand(const CommandRequest& request, const HeadlessContext& context) {
    const auto crops = loadCrops(workbookOf(request, context), context, "season", false);
    if (!crops) {
        return kExitWorkbook;
    }
    if (!request.batch.isEmpty()) {
        return adviserList(request, *crops, context);
    }
    return request.records() ? recordIntoPlan(request, *crops, context)
                             : showSeason(request, *crops, context);
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
    case Command::Season:
        return runSeasonCommand(request, context);
    case Command::Wizard:
    case Command::Workbook:
        break;
    }
    context.err << "tavik: this command is not run here\n";
    return kExitBadInput;
}

} // namespace tavik
