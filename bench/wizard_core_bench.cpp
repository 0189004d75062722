// The wizard's computations as a user feels them: the schedule with its report for every
// shipped crop and three cycles, the root-zone PAWC of the soil screen's Next, and a whole
// headless plan from scenario text to JSON text, and that plan's JSON text alone.

#include "plan/Plan.h"
#include "plan/PlanOutput.h"
#include "plan/Scenario.h"
#include "state/SoilInfo.h"
#include "state/WizardState.h"
#include "workbook/CropWorkbook.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <iostream>

namespace {

const tavik::CropTable& crops() {
    static const tavik::CropTable table = [] {
        const QString path = QStringLiteral(TAVIK_SOURCE_DIR "/wizard/resources/SampleData.xls");
        tavik::mType state;
        tavik::WorkbookReaderOptions options;
        options.readerProgram = QStringLiteral(TAVIK_WORKBOOK_READER);
        if (const auto error = tavik::openCropWorkbook(state, path, options)) {
            std::cerr << *error << '\n';
            std::exit(3);
        }
        tavik::loadCropTable(state, path);
        return state.CropData;
    }();
    return table;
}

const tavik::TimeStamp kStamp{"1/2/2026", "3:04:05 PM"};

// ComputeSchedule with its report, per crop row (argument 0) and cycle (argument 1).
void BM_ComputeScheduleWithReport(benchmark::State& state) {
    tavik::ScheduleInputs in;
    in.crops = &crops();
    in.CropRow = static_cast<std::int16_t>(state.range(0));
    in.TargetYield =
        static_cast<float>(crops().number(in.CropRow, tavik::CropColumn::RecommendedYield));
    in.cycle = static_cast<std::int16_t>(state.range(1));
    in.nominalClasses = {"Wet", "Dry", "Dry", "Very dry"};
    in.ProfilePAWC = 80.0F;
    in.date = kStamp.date;
    in.time = kStamp.time;
    tavik::ScheduleEngine engine;
    for (auto _ : state) {
        const auto& run = engine.ComputeSchedule(in);
        benchmark::DoNotOptimize(run.report.text.data());
    }
    state.SetLabel(crops().text(in.CropRow, tavik::CropColumn::Name));
}
BENCHMARK(BM_ComputeScheduleWithReport)
    ->ArgsProduct({benchmark::CreateDenseRange(2, 12, 1), {2, 5, 10}})
    ->Unit(benchmark::kMicrosecond);

// The soil screen's Next on the opening state and on a deep profile.
void BM_RootZonePawc(benchmark::State& state) {
    tavik::mType wizard;
    wizard.CropData = crops();
    wizard.CropRow = 2;
    wizard.TargetYield = 6000.0F;
    const auto depth = static_cast<std::int16_t>(state.range(0));
    const std::vector<int> siltClay(7, 20);
    for (auto _ : state) {
        tavik::applySoilDepth(wizard, depth, nullptr);
        auto result = tavik::computeSoilPawc(wizard, depth, siltClay, false);
        benchmark::DoNotOptimize(result.ProfilePAWC);
    }
}
BENCHMARK(BM_RootZonePawc)->Arg(567)->Arg(1500)->Unit(benchmark::kMicrosecond);

const std::string kWholePlanScenario = R"({
        "crop": "Maize", "targetYield": 12000, "cycle": 5,
        "soil": {"depth": 1200, "siltClay": [18, 20, 24, 26]},
        "waterLevels": {"SeasonStart": [0.2, 0.2, 0.21, 0.22], "PeakStart": [0.18, 0.19, 0.2, 0.21],
                        "PeakEnd": [0.16, 0.17, 0.19, 0.2], "SeasonEnd": [0.12, 0.13, 0.15, 0.17]},
        "sprinklerPackage": {}
    })";

void BM_WholePlanJsonToJson(benchmark::State& state) {
    for (auto _ : state) {
        const auto parse = tavik::parseScenario(kWholePlanScenario);
        const auto outcome = tavik::runPlan(crops(), *parse.scenario, kStamp);
        auto json = tavik::planJson(*outcome.result);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_WholePlanJsonToJson)->Unit(benchmark::kMicrosecond);

// The JSON text alone, of a plan already made.
void BM_PlanJsonText(benchmark::State& state) {
    const auto parse = tavik::parseScenario(kWholePlanScenario);
    const auto outcome = tavik::runPlan(crops(), *parse.scenario, kStamp);
    for (auto _ : state) {
        auto json = tavik::planJson(*outcome.result);
        benchmark::DoNotOptimize(json.data());
    }
}
BENCHMARK(BM_PlanJsonText)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
