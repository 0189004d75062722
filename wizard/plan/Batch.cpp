#include "Batch.h"

#include "Compare.h"
#include "OutputFile.h"
#include "Plan.h"
#include "PlanOutput.h"
#include "TimeStamp.h"
#include "state/NumberText.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <ostream>
#include <set>
#include <stdexcept>
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

std::string extensionOf(const QString& format) {
    return format == QLatin1String("text") ? "txt" : format.toStdString();
}

struct Field {
    QString scenario;
    QString output;
    std::string summary;            // its summary line
    std::optional<PlanResult> plan; // kept for the drawn formats
    bool refused = false;
};

std::string summaryLine(const QString& file, const PlanResult* plan, const std::string& error) {
    std::string line = csvField(QFileInfo(file).fileName().toStdString()) + ",";
    if (plan != nullptr) {
        const CycleFigures figures =
            cycleFigures(plan->schedule, plan->engine.Cycle(), plan->sprinklerPackage);
        line += csvField(plan->cropName) + "," +
                shortestText(static_cast<double>(plan->state.TargetYield)) + "," +
                shortestText(static_cast<double>(plan->state.ProfilePAWC)) + "," +
                std::to_string(figures.cycle) + "," + std::to_string(figures.irrigations) + "," +
                shortestText(figures.seasonTotal) + "," + shortestText(figures.peakRate) + "," +
                std::to_string(figures.beyondCapacityDays) + ",";
    } else {
        line += ",,,,,,,,";
    }
    return line + csvField(printableText(error)) + "\n";
}

// One field through the pipeline: read, checked, planned, its output made and written.
void planField(Field& field, const CropTable& crops, const BatchRequest& request,
               const TimeStamp& stamp, const std::string& utcStamp) {
    const auto refuse = [&field](const std::string& error) {
        field.refused = true;
        field.summary = summaryLine(field.scenario, nullptr, error);
    };
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
    const QString& format = request.format;
    if (format == QLatin1String("ics") && !parse.scenario->plantingDate) {
        refuse("a calendar (ics) needs the planting date: \"plantingDate\" is not given");
        return;
    }
    PlanOutcome outcome = runPlan(crops, *parse.scenario, stamp);
    if (!outcome.result) {
        refuse(outcome.problem);
        return;
    }
    const PlanResult& plan = *outcome.result;
    field.summary = summaryLine(field.scenario, &plan, {});
    if (isDrawnFormat(format)) {
        field.plan = std::move(outcome.result); // drawn by the main thread
        return;
    }
    const std::string bytes = planInFormat(plan, format.toStdString(), utcStamp);
    if (const auto problem = replaceFileContents(field.output, bytes, Durability::Deferred)) {
        refuse("the output \"" + field.output.toStdString() + "\" cannot be written: " + *problem);
    }
}

// "name.json" gives "name.<ext>"; a name met before (or the summary's) gets "-2", "-3", ….
std::vector<QString> outputNames(const BatchRequest& request) {
    const QString extension = QString::fromStdString(extensionOf(request.format));
    std::set<QString> taken{QString::fromLatin1(kSummaryFileName)};
    std::vector<QString> names;
    const QDir folder(request.outputFolder);
    for (const QString& scenario : request.scenarios) {
        const QString base = QFileInfo(scenario).completeBaseName();
        QString name = base + QLatin1Char('.') + extension;
        for (int n = 2; taken.count(name) != 0; ++n) {
            name = base + QLatin1Char('-') + QString::number(n) + QLatin1Char('.') + extension;
        }
        taken.insert(name);
        names.push_back(folder.filePath(name));
    }
    return names;
}

} // namespace

std::vector<QString> scenariosInFolder(const QString& folder) {
    // One entry at a time: a listing of the whole folder at once holds far more per file
    // than its name, which a folder of a hundred thousand fields would feel.
    std::vector<QString> paths;
    QDirIterator entries(folder, {QStringLiteral("*.json"), QStringLiteral("*.tavikplan")},
                         QDir::Files);
    while (entries.hasNext()) {
        paths.push_back(entries.next());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

BatchResult runBatch(const BatchRequest& request, const CropTable& crops,
                     const HeadlessContext& context) {
    BatchResult result;
    if (!QDir().mkpath(request.outputFolder)) {
        result.problem = "the output folder \"" +
                         printableText(request.outputFolder.toStdString()) + "\" cannot be made";
        return result;
    }
    const std::vector<QString> outputs = outputNames(request);
    const TimeStamp stamp = currentTimeStamp();
    const std::string utcStamp = currentUtcStamp();
    const unsigned threads = std::max(1U, std::thread::hardware_concurrency());

    // The summary is written as the fields are planned, and takes its place (whole) at the
    // end: a folder with a summary is a batch that ran to its end.
    QSaveFile summary(QDir(request.outputFolder).filePath(QString::fromLatin1(kSummaryFileName)));
    const auto summaryFailed = [&summary, &result] {
        result.problem = "the summary \"" + printableText(summary.fileName().toStdString()) +
                         "\" cannot be written: " + summary.errorString().toStdString();
        summary.cancelWriting();
        return result;
    };
    const auto write = [&summary](const std::string& text) {
        return summary.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size());
    };
    if (!summary.open(QIODevice::WriteOnly) ||
        !write("file,crop,target_yield_kg_ha,pawc_mm,cycle,irrigations,season_total_mm,"
               "peak_rate_mm,beyond_capacity_days,error\n")) {
        return summaryFailed();
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
            slice[i - first].scenario = request.scenarios[i];
            slice[i - first].output = outputs[i];
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
                    slice[i].summary =
                        summaryLine(slice[i].scenario, nullptr,
                                    std::string("it could not be planned: ") + error.what());
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
                                  : replaceFileContents(field.output, bytes, Durability::Deferred);
                if (problem) {
                    field.refused = true;
                    field.summary = summaryLine(field.scenario, nullptr,
                                                "the output \"" + field.output.toStdString() +
                                                    "\" cannot be written: " + *problem);
                }
                field.plan.reset();
            }
            if (!write(field.summary)) {
                return summaryFailed();
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
        summary.cancelWriting();
        return result;
    }
    if (!summary.flush() || summary.error() != QFileDevice::NoError ||
        ::fsync(summary.handle()) != 0 || !summary.commit()) {
        return summaryFailed();
    }
    return result;
}

} // namespace tavik
