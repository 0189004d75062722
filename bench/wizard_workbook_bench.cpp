// Start-up cost of the crop workbook: the whole read through the child process, and the
// parts the wizard's own process does (parse the used range, fill and check the table).

#include "state/WizardState.h"
#include "workbook/CropWorkbook.h"
#include "workbook/SheetAnswer.h"
#include "workbook/WorkbookReader.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {

const QString kWorkbook = QStringLiteral(TAVIK_SOURCE_DIR "/wizard/resources/SampleData.xls");

tavik::WorkbookReaderOptions options() {
    tavik::WorkbookReaderOptions o;
    o.readerProgram = QStringLiteral(TAVIK_WORKBOOK_READER);
    return o;
}

void BM_ReadShippedWorkbookInChildProcess(benchmark::State& state) {
    for (auto _ : state) {
        auto result = tavik::readWorkbook(kWorkbook, options());
        if (!result.sheet) {
            state.SkipWithError(result.problem.c_str());
            return;
        }
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ReadShippedWorkbookInChildProcess)->Unit(benchmark::kMillisecond);

void BM_ParseAndLoadCropTable(benchmark::State& state) {
    auto read = tavik::readWorkbook(kWorkbook, options());
    if (!read.sheet) {
        state.SkipWithError(read.problem.c_str());
        return;
    }
    const std::string answer = tavik::formatSheetAnswer(*read.sheet);
    for (auto _ : state) {
        std::string error;
        tavik::mType wizard;
        wizard.CropWorkbook = tavik::parseSheetAnswer(answer, error);
        auto loaded = tavik::loadCropData(wizard);
        benchmark::DoNotOptimize(loaded);
        benchmark::DoNotOptimize(wizard.CropData);
    }
}
BENCHMARK(BM_ParseAndLoadCropTable)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
