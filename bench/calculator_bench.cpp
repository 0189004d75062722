// The calculator as a user feels it: Calculate with the overhead report for every crop at its
// guideline yield (PAWC 80 mm, reserve 25 mm, cycle 7 days), and the flood report.

#include "engine/CTavik.h"
#include "report/Reports.h"

#include <benchmark/benchmark.h>

namespace {

tavikcalc::ReportValues valuesFor(const tavikcalc::CTavik& calculator) {
    tavikcalc::ReportValues values;
    values.yieldTarget = calculator.record().guidelineYield;
    values.pawc = 80;
    return values;
}

void BM_CalculateWithOverheadReport(benchmark::State& state) {
    tavikcalc::CTavik calculator;
    calculator.SetCrop(static_cast<int>(state.range(0)));
    tavikcalc::ReportValues values = valuesFor(calculator);
    for (auto _ : state) {
        const auto report = tavikcalc::OverheadReport(calculator, values);
        benchmark::DoNotOptimize(report.text.data());
    }
    state.SetLabel(calculator.record().name);
}
BENCHMARK(BM_CalculateWithOverheadReport)->DenseRange(0, 9)->Unit(benchmark::kMicrosecond);

void BM_CalculateWithFloodReport(benchmark::State& state) {
    tavikcalc::CTavik calculator;
    calculator.SetCrop(static_cast<int>(state.range(0)));
    tavikcalc::ReportValues values = valuesFor(calculator);
    values.area = 1;
    values.streamFlow = 150;
    for (auto _ : state) {
        const auto report = tavikcalc::FloodReport(calculator, values);
        benchmark::DoNotOptimize(report.text.data());
    }
    state.SetLabel(calculator.record().name);
}
BENCHMARK(BM_CalculateWithFloodReport)->Arg(0)->Arg(7)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
