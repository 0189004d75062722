#include "Batch.h"

#include "Compare.h"
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
    std::optional<PlanResult> plan; // kept for the drawn formats
    bool refused = false;
};

// The file's name as the summary shows it: undecodable bytes escaped.
std::string shownFileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return hasUndecodableBytes(name) ? printableText(fileNameBytes(name)) : name.toStdString();
}

// A text cell of the summary. A spreadsheet takes a cell that begins with = + - @ (or a tab
// or a carriage return) for a formula and runs it; a quote mark in front keeps it text.
std::string textCell(const std::string& text) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string::npos) {
        return csvField(text);
    }
    std::string quoted = "\"'";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

constexpr const char* kSummaryHeading =
    "file,crop,target_yield_kg_ha,pawc_mm,cycle,irrigations,season_total_mm,peak_rate_mm,"
    "beyond_capacity_days,error,output\n";

// A field's line: its figures rounded as they are read (water to 0.1 mm, yields to whole
// kg/ha), and its output's name; a refused field has its error instead.
std::string summaryLine(const Field& field, const PlanResult* plan, const std::string& error) {
    std::string line = textCell(shownFileName(field.scenario)) + ",";
    if (plan != nullptr) {
        const CycleFigures figures =
            cycleFigures(plan->schedule, plan->engine.Cycle(), plan->sprinklerPackage);
        line += textCell(plan->cropName) + "," +
                std::to_string(std::lround(static_cast<double>(plan->state.TargetYield))) + "," +
                oneDecimalText(static_cast<double>(plan->state.ProfilePAWC)) + "," +
                std::to_string(figures.cycle) + "," + std::to_string(figures.irrigations) + "," +
                oneDecimalText(figures.seasonTotal) + "," + oneDecimalText(figures.peakRate) + "," +
                std::to_string(figures.beyondCapacityDays) + ",," +
                textCell(field.outputName.toStdString());
    } else {
        line += ",,,,,,,," + textCell(printableText(error)) + ",";
    }
    return line + "\n";
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
    const std::string summaryBytes = fileNameBytes(summaryPath);
    const std::string shownSummary = "the summary \"" + shownPath(summaryPath) + "\"";
    struct stat previous {};
    const bool hadSummary = ::lstat(summaryBytes.c_str(), &previous) == 0;
    if (hadSummary && !S_ISREG(previous.st_mode) && !S_ISLNK(previous.st_mode)) {
        result.problem = shownSummary + " is not a regular file (a folder, a device or a pipe "
                                        "is never replaced)";
        return result;
    }
    std::error_code made;
    std::filesystem::create_directories(fileNameBytes(request.outputFolder), made);
    if (made) {
        result.problem = "the output folder \"" + shownPath(request.outputFolder) +
                         "\" cannot be made: " + made.message();
        return result;
    }
    // The summary of an earlier run goes first (a link of that name itself, never what it
    // points to): a folder with a summary is a batch that ran to its end.
    if (hadSummary && ::unlink(summaryBytes.c_str()) != 0 && errno != ENOENT) {
        result.problem = "the summary of an earlier run, \"" + shownPath(summaryPath) +
                         "\", cannot be removed: " + std::strerror(errno);
        return result;
    }
    const TimeStamp stamp = currentTimeStamp();
    const std::string utcStamp = currentUtcStamp();
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());

    // The summary is written as the fields are planned, and takes its place (whole) at the
    // end.
    FileInFolder summary(summaryPath);
    const auto summaryFailed = [&shownSummary, &result](const std::string& reason) {
        result.problem = shownSummary + " cannot be written: " + reason;
        return result;
    };
    if (auto problem = summary.open()) {
        return summaryFailed(*problem);
    }
    if (auto problem = summary.write(kSummaryHeading)) {
        return summaryFailed(*problem);
    }
    const auto started = std::chrono::steady_clock::now();
    bool progressShown = false;
    const std::size_t count = request.scenarios.size();
    std::vector<Field> slice;
    const std::size_t sliceSize = isDrawnFormat(request.format) ? kDrawnSlice : kSlice;
    for (std::size_t first = 0; first < count; first += sliceSize) {
        const std::size_t end = std::min(count, first + sliceSize);
        slice.assign(end - first, Field{});
        for (std::size_t i = first; i < end; ++i) {
            Field& field = slice[i - first];
            field.scenario = request.scenarios[i];
            field.outputName = names.names[i];
            if (!field.outputName.isEmpty()) {
                field.output = QDir(request.outputFolder).filePath(field.outputName);
            }
        }
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
        for (Field& field : slice) {
            if (field.plan) {
                const std::string bytes = context.draw(*field.plan, request.drawn);
                const auto problem =
                    bytes.empty() ? std::optional<std::string>("it could not be drawn")
                                  : replaceFileInFolder(field.output, bytes, Durability::Deferred);
                if (problem) {
                    field.refused = true;
                    field.summary = summaryLine(field, nullptr,
                                                "the output \"" + shownPath(field.output) +
                                                    "\" cannot be written: " + *problem);
                }
                field.plan.reset();
            }
            if (auto problem = summary.write(field.summary)) {
                return summaryFailed(*problem);
            }
            ++(field.refused ? result.refused : result.planned);
        }
        // Progress, once the run has taken more than a second, on a terminal only.
        if (request.progress &&
            std::chrono::steady_clock::now() - started > std::chrono::seconds(1)) {
            context.err << "\rtavik plan: " << end << " of " << count << " fields ("
                        << (100 * end / count) << " %)" << std::flush;
            progressShown = true;
        }
    }
    if (progressShown) {
        context.err << '\n';
    }
    // The fields' outputs reach the disk together, before the summary that lists them.
    if (const auto problem = syncFolderToDisk(request.outputFolder)) {
        result.problem = "the outputs cannot be written to the disk: " + *problem;
        return result;
    }
    if (auto problem = summary.commit(Durability::Synced)) {
        return summaryFailed(*problem);
    }
    return result;
}

} // namespace tavik
