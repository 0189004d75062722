#include "Batch.h"

#include "Compare.h"
#include "Csv.h"
#include "FileNames.h"
#include "OutputFile.h"
#include "Plan.h"
#include "PlanOutput.h"
#include "TimeStamp.h"
#include "state/NumberText.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace tavik {

namespace {

// Fields are planned in slices: the workers plan a slice while nothing else runs, then its
// summary lines (and, for the drawn formats, its pictures) are written in order. A slice
// bounds what is held at once, whatever the number of fields: summary lines only, or for
// the drawn formats whole plans, which are far larger.
constexpr std::size_t kSlice = 1024;
constexpr std::size_t kDrawnSlice = 64;

struct Field {
    QString scenario;
    QString output;                 // its path
    QString outputName;             // its name in the output folder
    std::string summary;            // its summary line
    std::string fieldName;          // the field's name, when its plan names it
    std::optional<PlanResult> plan; // kept for the drawn formats
    bool refused = false;
};

// The file's name as the summary shows it: undecodable bytes escaped.
std::string shownFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return hasUndecodableBytes(name) ? printableText(fileNameBytes(name)) : name.toStdString();
}

constexpr const char* kSummaryHeading =
    "file,crop,target_yield_kg_ha,pawc_mm,cycle,irrigations,season_total_mm,peak_rate_mm,"
    "beyond_capacity_days,error,output\n";

// A field's line: its figures rounded as they are read (water to 0.1 mm, yields to whole
// kg/ha), and its output's name; a refused field has its error instead.
std::string summaryLine(const Field& field, const PlanResult* plan, const std::string& error) {
    CsvLine line;
    line.add(csvTextCell(shownFileName(field.scenario)));
    if (plan == nullptr) {
        for (int empty = 0; empty < 8; ++empty) {
            line.add({});
        }
        return std::move(line.add(csvTextCell(printableText(error))).add({})).end();
    }
    const CycleFigures figures =
        cycleFigures(plan->schedule, plan->engine.Cycle(), plan->sprinklerPackage);
    line.add(csvTextCell(plan->cropName))
        .add(std::to_string(std::lround(static_cast<double>(plan->state.TargetYield))))
        .add(oneDecimalText(static_cast<double>(plan->state.ProfilePAWC)))
        .add(std::to_string(figures.cycle))
        .add(std::to_string(figures.irrigations))
        .add(oneDecimalText(figures.seasonTotal))
        .add(oneDecimalText(figures.peakRate))
        .add(std::to_string(figures.beyondCapacityDays))
        .add({})
        .add(csvTextCell(field.outputName.toStdString()));
    return std::move(line).end();
}

// One field through the pipeline: read, checked, planned, its output made and written.
void planField(Field& field, const CropTable& crops, const BatchRequest& request,
               const TimeStamp& stamp, const std::string& utcStamp) {
    const auto refuse = [&field](const std::string& error) {
        field.refused = true;
        field.summary = summaryLine(field, nullptr, error);
    };
    if (field.outputName.isEmpty()) {
        refuse("its file name is not UTF-8 text, and its output is named after it: rename the "
               "file");
        return;
    }
    std::string text;
    if (const auto problem = readScenarioFile(field.scenario, text)) {
        refuse("the scenario file cannot be read: " + *problem);
        return;
    }
    const ScenarioParse parse = parseScenario(text);
    if (!parse.scenario) {
        refuse(parse.problem);
        return;
    }
    if (parse.scenario->field && parse.scenario->field->name) {
        field.fieldName = printableText(*parse.scenario->field->name);
    }
    const OutputFormat format = request.format;
    if (lacksPlantingDate(format, *parse.scenario)) {
        refuse("a calendar (ics) needs the planting date: \"plantingDate\" is not given");
        return;
    }
    PlanOutcome outcome = runPlan(crops, *parse.scenario, stamp);
    if (!outcome.result) {
        refuse(outcome.problem);
        return;
    }
    const PlanResult& plan = *outcome.result;
    field.summary = summaryLine(field, &plan, {});
    if (isDrawnFormat(format)) {
        field.plan = std::move(outcome.result); // drawn by the main thread
        return;
    }
    const std::string bytes = planInFormat(plan, format, utcStamp);
    if (const auto problem = replaceFileInFolder(field.output, bytes, Durability::Deferred)) {
        refuse("the output \"" + shownPath(field.output) + "\" cannot be written: " + *problem);
    }
}

// Files by what they are, not by how their path is spelt: a link, "./" or a hard link to a
// file is that file.
using FileIdentity = std::pair<dev_t, ino_t>;
std::optional<FileIdentity> identityOf(const QString& path) {
    struct stat file {};
    if (::stat(fileNameBytes(path).c_str(), &file) != 0) {
        return std::nullopt;
    }
    return FileIdentity{file.st_dev, file.st_ino};
}

struct OutputNames {
    std::vector<QString> names; // per scenario; empty for a name that is not UTF-8 text
    std::string problem;        // an output would replace one of the inputs
};

// "name.json" gives "name.<ext>"; a name met before (or the summary's) gets "-2", "-3", …,
// never the name of one of the batch's own scenarios. An output that would replace a scenario
// of the batch under its own name refuses the whole batch, before anything is written.
OutputNames outputNames(const BatchRequest& request) {
    OutputNames result;
    std::map<FileIdentity, QString> inputs;
    for (const QString& scenario : request.scenarios) {
        if (const auto identity = identityOf(scenario)) {
            inputs.emplace(*identity, scenario);
        }
    }
    const QDir folder(request.outputFolder);
    const auto inputAt = [&](const QString& name) -> const QString* {
        const auto identity = inputs.empty() ? std::nullopt : identityOf(folder.filePath(name));
        const auto found = identity ? inputs.find(*identity) : inputs.end();
        return found == inputs.end() ? nullptr : &found->second;
    };
    const auto wouldReplace = [&](const QString& name, const QString& input, const char* what) {
        result.problem = std::string(what) + " \"" + shownPath(folder.filePath(name)) +
                         "\" would replace the scenario \"" + shownPath(input) +
                         "\" of this batch: give another --output-dir";
        return result;
    };
    const QString summary = QString::fromLatin1(kSummaryFileName);
    if (const QString* input = inputAt(summary)) {
        return wouldReplace(summary, *input, "the summary");
    }
    const QString extension =
        QString::fromLatin1(fileExtension(request.format).data(),
                            static_cast<qsizetype>(fileExtension(request.format).size()));
    std::set<QString> taken{summary};
    for (const QString& scenario : request.scenarios) {
        const QString base = QFileInfo(scenario).completeBaseName();
        if (hasUndecodableBytes(base)) {
            result.names.emplace_back();
            continue;
        }
        QString name = base + QLatin1Char('.') + extension;
        if (const QString* input = inputAt(name)) {
            return wouldReplace(name, *input, "the output");
        }
        for (int n = 2; taken.count(name) != 0 || inputAt(name) != nullptr; ++n) {
            name = base + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + extension;
        }
        taken.insert(name);
        result.names.push_back(name);
    }
    return result;
}

// A name of a folder listing that reads as a scenario's: not hidden, ending in .json or
// .tavikplan in any case.
bool scenarioName(std::string_view name) {
    const auto endsWith = [&name](std::string_view ending) {
        if (name.size() <= ending.size()) {
            return false;
        }
        const std::string_view end = name.substr(name.size() - ending.size());
        return std::equal(end.begin(), end.end(), ending.begin(), [](char a, char b) {
            return (a >= 'A' && a <= 'Z' ? static_cast<char>(a + ('a' - 'A')) : a) == b;
        });
    };
    return !name.empty() && name.front() != '.' && (endsWith(".json") || endsWith(".tavikplan"));
}

} // namespace

std::vector<QString> scenariosInFolder(const QString& folder) {
    // One entry at a time: a listing of the whole folder at once holds far more per file
    // than its name, which a folder of a hundred thousand fields would feel. Every entry with
    // a scenario's name but a folder is listed, whatever it is and however its name is
    // written: one that cannot be planned gets its line in the summary saying why.
    std::vector<QString> paths;
    std::string prefix = fileNameBytes(folder);
    DIR* listing = ::opendir(prefix.c_str());
    if (listing == nullptr) {
        return paths;
    }
    if (!prefix.ends_with('/')) {
        prefix += '/';
    }
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name = entry->d_name;
        if (!scenarioName(name)) {
            continue;
        }
        const std::string path = prefix + std::string(name);
        bool isFolder = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat file {};
            isFolder = ::stat(path.c_str(), &file) == 0 && S_ISDIR(file.st_mode);
        }
        if (!isFolder) {
            paths.push_back(fileNameFromBytes(path));
        }
    }
    ::closedir(listing);
    std::sort(paths.begin(), paths.end());
    return paths;
}

namespace {

// The summary's place made ready, before anything is written: a summary of that name that is
// no regular file (or link) refuses the batch, the output folder is made, and the summary of
// an earlier run goes (a link of that name itself, never what it points to): a folder with a
// summary is a batch that ran to its end. The reason when one of them failed.
std::optional<std::string> prepareOutputFolder(const BatchRequest& request,
                                               const QString& summaryPath) {
    const std::string summaryBytes = fileNameBytes(summaryPath);
    struct stat previous {};
    const bool hadSummary = ::lstat(summaryBytes.c_str(), &previous) == 0;
    if (hadSummary && !S_ISREG(previous.st_mode) && !S_ISLNK(previous.st_mode)) {
        return "the summary \"" + shownPath(summaryPath) +
               "\" is not a regular file (a folder, a device or a pipe is never replaced)";
    }
    std::error_code made;
    std::filesystem::create_directories(fileNameBytes(request.outputFolder), made);
    if (made) {
        return "the output folder \"" + shownPath(request.outputFolder) +
               "\" cannot be made: " + made.message();
    }
    if (hadSummary && ::unlink(summaryBytes.c_str()) != 0 && errno != ENOENT) {
        return "the summary of an earlier run, \"" + shownPath(summaryPath) +
               "\", cannot be removed: " + std::strerror(errno);
    }
    return std::nullopt;
}

// The fields first..end of the batch, with their scenarios and output paths.
void fillSlice(std::vector<Field>& slice, const BatchRequest& request, const OutputNames& names,
               std::size_t first, std::size_t end) {
    slice.assign(end - first, Field{});
    for (std::size_t i = first; i < end; ++i) {
        Field& field = slice[i - first];
        field.scenario = request.scenarios[i];
        field.outputName = names.names[i];
        if (!field.outputName.isEmpty()) {
            field.output = QDir(request.outputFolder).filePath(field.outputName);
        }
    }
}

// The slice's fields planned on every processor; this thread works with the others.
void planSlice(std::vector<Field>& slice, const CropTable& crops, const BatchRequest& request,
               const TimeStamp& stamp, const std::string& utcStamp) {
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < slice.size(); i = next++) {
            // Whatever goes wrong with one field (memory, say) is that field's alone.
            try {
                planField(slice[i], crops, request, stamp, utcStamp);
            } catch (const std::exception& error) {
                slice[i].refused = true;
                slice[i].plan.reset();
                slice[i].summary = summaryLine(
                    slice[i], nullptr, std::string("it could not be planned: ") + error.what());
            }
        }
    };
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::min<std::size_t>(threads, slice.size()); ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error&) {
            break; // no more threads to be had: the ones there (and this one) do the work
        }
    }
    work();
    for (std::thread& worker : pool) {
        worker.join();
    }
}

// A field of a drawn format drawn (by this, the main thread) and written; a field whose
// picture cannot be drawn or written becomes a refused one.
void writeDrawnOutput(Field& field, const BatchRequest& request, const HeadlessContext& context) {
    const std::string bytes = context.draw(*field.plan, request.drawn);
    const auto problem = bytes.empty()
                             ? std::optional<std::string>("it could not be drawn")
                             : replaceFileInFolder(field.output, bytes, Durability::Deferred);
    if (problem) {
        field.refused = true;
        field.summary = summaryLine(field, nullptr,
                                    "the output \"" + shownPath(field.output) +
                                        "\" cannot be written: " + *problem);
    }
    field.plan.reset();
}

// The summary of a batch, written as the fields are planned; it takes its place (whole) at
// the end.
class Summary {
public:
    explicit Summary(const QString& path)
        : file_(path), shown_("the summary \"" + shownPath(path) + "\"") {}

    std::optional<std::string> open() {
        if (auto problem = file_.open()) {
            return failed(*problem);
        }
        return std::nullopt;
    }
    // The lines are held until the end: a column of the fields' names is added only when a
    // field of the batch has one, so that a batch of plans without names writes the summary
    // it always wrote.
    void add(std::string line, std::string fieldName) {
        named_ = named_ || !fieldName.empty();
        lines_.push_back({std::move(line), std::move(fieldName)});
    }
    std::optional<std::string> commit() {
        const auto withName = [this](std::string_view line, std::string_view cell) {
            if (!named_) {
                return std::string(line);
            }
            return std::string(line.substr(0, line.size() - 1)) + "," + std::string(cell) + "\n";
        };
        auto problem = file_.write(withName(kSummaryHeading, "field"));
        for (std::size_t i = 0; !problem && i < lines_.size(); ++i) {
            problem = file_.write(withName(lines_[i].first, csvTextCell(lines_[i].second)));
        }
        if (!problem) {
            problem = file_.commit(Durability::Synced);
        }
        return problem ? failed(*problem) : std::nullopt;
    }

private:
    std::optional<std::string> failed(const std::string& reason) const {
        return shown_ + " cannot be written: " + reason;
    }
    FileInFolder file_;
    std::string shown_;
    std::vector<std::pair<std::string, std::string>> lines_; // line, field name
    bool named_ = false;
};

// Progress on standard error, once the run has taken more than a second; whether it was
// shown.
bool showProgress(const BatchRequest& request, const HeadlessContext& context,
                  std::chrono::steady_clock::time_point started, std::size_t done,
                  std::size_t count) {
    if (!request.progress ||
        std::chrono::steady_clock::now() - started <= std::chrono::seconds(1)) {
        return false;
    }
    context.err << "\rtavik plan: " << done << " of " << count << " fields ("
                << (100 * done / count) << " %)" << std::flush;
    return true;
}

} // namespace

BatchResult runBatch(const BatchRequest& request, const CropTable& crops,
                     const HeadlessContext& context) {
    BatchResult result;
    // Everything that would refuse the whole batch is found before anything is written.
    OutputNames names = outputNames(request);
    if (!names.problem.empty()) {
        result.problem = std::move(names.problem);
        return result;
    }
    const QString summaryPath =
        QDir(request.outputFolder).filePath(QString::fromLatin1(kSummaryFileName));
    if (auto problem = prepareOutputFolder(request, summaryPath)) {
        result.problem = std::move(*problem);
        return result;
    }
    const TimeStamp stamp = currentTimeStamp();
    const std::string utcStamp = currentUtcStamp();
    Summary summary(summaryPath);
    const auto failed = [&result](std::string problem) {
        result.problem = std::move(problem);
        return result;
    };
    if (auto problem = summary.open()) {
        return failed(std::move(*problem));
    }
    const auto started = std::chrono::steady_clock::now();
    bool progressShown = false;
    const std::size_t count = request.scenarios.size();
    std::vector<Field> slice;
    const std::size_t sliceSize = isDrawnFormat(request.format) ? kDrawnSlice : kSlice;
    for (std::size_t first = 0; first < count; first += sliceSize) {
        const std::size_t end = std::min(count, first + sliceSize);
        fillSlice(slice, request, names, first, end);
        planSlice(slice, crops, request, stamp, utcStamp);
        for (Field& field : slice) {
            if (field.plan) {
                writeDrawnOutput(field, request, context);
            }
            summary.add(std::move(field.summary), std::move(field.fieldName));
            ++(field.refused ? result.refused : result.planned);
        }
        progressShown = showProgress(request, context, started, end, count) || progressShown;
    }
    if (progressShown) {
        context.err << '\n';
    }
    // The fields' outputs reach the disk together, before the summary that lists them.
    if (const auto problem = syncFolderToDisk(request.outputFolder)) {
        return failed("the outputs cannot be written to the disk: " + *problem);
    }
    if (auto problem = summary.commit()) {
        return failed(std::move(*problem));
    }
    return result;
}

} // namespace tavik
