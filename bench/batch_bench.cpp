// Many fields in one command: N generated scenarios in a folder planned to JSON with their
// summary by `tavik plan --batch`, the wall time and the command's peak memory (resident
// set). The folder lies in the system's temporary folder (TMPDIR decides: a tmpfs such as
// /dev/shm leaves out the disk).

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

// Fields as an adviser's folder holds them: four crops, soils of one to four layers with
// their own silt + clay, every cycle.
void writeScenarios(const QString& folder, int count) {
    std::mt19937 random(20261208);
    const char* crops[] = {"Wheat", "Maize", "Potatoes (summer)", "Barley"};
    const int depths[] = {450, 600, 900, 1200};
    for (int i = 0; i < count; ++i) {
        const int depth = depths[random() % 4];
        const int layers = (depth - 150) / 300 + 1;
        std::string siltClay;
        for (int l = 0; l < layers; ++l) {
            siltClay += (l == 0 ? "" : ", ") + std::to_string(10 + random() % 30);
        }
        const std::string text = std::string(R"({"crop": ")") + crops[random() % 4] +
                                 R"(", "soil": {"depth": )" + std::to_string(depth) +
                                 R"(, "siltClay": [)" + siltClay + R"(]}, "cycle": )" +
                                 std::to_string(2 + random() % 9) + "}\n";
        QFile file(
            QDir(folder).filePath(QStringLiteral("field-%1.json").arg(i, 6, 10, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(text.data(), static_cast<qint64>(text.size())) !=
                static_cast<qint64>(text.size())) {
            std::abort();
        }
    }
}

// Runs the command; its exit status and its peak resident set in KiB.
std::pair<int, long> run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        return {-1, 0};
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) {
        return {-1, 0};
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss};
}

void BM_BatchToJson(benchmark::State& state) {
    const auto count = static_cast<int>(state.range(0));
    QTemporaryDir work;
    const QString in = work.filePath(QStringLiteral("in"));
    QDir().mkpath(in);
    writeScenarios(in, count);
    long peak = 0;
    int round = 0;
    double seconds = 0;
    for (auto _ : state) {
        const QString out = work.filePath(QStringLiteral("out%1").arg(round++));
        const auto started = std::chrono::steady_clock::now();
        const auto [status, memory] = run({TAVIK_EXECUTABLE, "plan", "--batch", in.toStdString(),
                                           "--output-dir", out.toStdString(), "--format", "json"});
        const double took =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        state.SetIterationTime(took);
        seconds += took;
        if (status != 0) {
            state.SkipWithError("tavik plan --batch failed");
            return;
        }
        peak = std::max(peak, memory);
        state.PauseTiming();
        QDir(out).removeRecursively();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = static_cast<double>(peak) / 1024.0;
    state.counters["us_per_field"] =
        seconds * 1e6 / static_cast<double>(count) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_BatchToJson)->Arg(1000)->Arg(10000)->Unit(benchmark::kSecond)->UseManualTime();
BENCHMARK(BM_BatchToJson)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond)->UseManualTime();

} // namespace

BENCHMARK_MAIN();
