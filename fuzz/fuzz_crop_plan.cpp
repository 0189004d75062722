// A crop workbook of any content, as the workbook reader would hand it on: the crop table's
// load and checks, then whole plans for the first crops it offers. A crop row the checks let
// through must plan without a non-finite figure and without a refusal that blames its figures.
//
// Input: the reader's answer (workbook/SheetAnswer.h) up to its last "end" line; any bytes after
// it choose the plans' yield, soil depth and cycle.

#include "PlanChecks.h"
#include "workbook/SheetAnswer.h"

#include <algorithm>
#include <cmath>

namespace {

using tavik::fuzz::require;

constexpr std::size_t kRowsPerInput = 3;

void planAndCheck(const tavik::CropTable& crops, const tavik::Scenario& scenario) {
    static const tavik::TimeStamp stamp{"2024/03/01", "09:30:00"};
    const tavik::PlanOutcome outcome = tavik::runPlan(crops, scenario, stamp);
    if (outcome.result) {
        tavik::fuzz::requireSoundPlan(*outcome.result);
        return;
    }
    require(!outcome.problem.empty(), "a refused plan says why");
    const int* row = std::get_if<int>(&scenario.crop);
    const std::string name =
        row ? crops.text(*row, tavik::CropColumn::Name) : std::get<std::string>(scenario.crop);
    require(!tavik::fuzz::blamesCropFigures(outcome.problem, {name}),
            "an offered crop row plans without a failure of its figures", outcome.problem);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lastEnd = input.rfind(tavik::kSheetAnswerEnd);
    const std::size_t answerEnd =
        lastEnd == std::string_view::npos ? 0 : lastEnd + tavik::kSheetAnswerEnd.size();
    tavik::fuzz::Choices choices(data + answerEnd, size - answerEnd);

    std::string error;
    const auto sheet = tavik::parseSheetAnswer(input.substr(0, answerEnd), error);
    if (!sheet) {
        return 0;
    }
    tavik::CropTable crops;
    const tavik::CropTable::LoadResult loaded = crops.load(*sheet);
    if (loaded.problem) {
        require(crops.RowCount() == 0 && crops.offeredRows().empty(),
                "a table that cannot be loaded is left empty");
        return 0;
    }
    if (!loaded.rowProblems.empty()) {
        require(!tavik::describeCropProblems(loaded.rowProblems).empty(), "problems are described");
    }

    const auto& offered = crops.offeredRows();
    const std::size_t first = offered.empty() ? 0 : choices.byte() % offered.size();
    const std::size_t last = std::min(offered.size(), first + kRowsPerInput);
    for (std::size_t i = first; i < last; ++i) {
        const std::int16_t row = offered[i];

        // The crop chosen and every other screen left as it opens.
        tavik::Scenario fresh;
        fresh.crop = static_cast<int>(row);
        planAndCheck(crops, fresh);

        // The crop chosen by its name, with the sprinkler package, another cycle and, when
        // the input asks for them, another yield and soil depth.
        tavik::Scenario other;
        other.crop = crops.text(row, tavik::CropColumn::Name);
        other.sprinklerPackage = true;
        other.cycle = 2 + (choices.byte() + 5) % 9;
        if (const std::uint8_t share = choices.byte(); share != 0) {
            const double low = std::nearbyint(crops.number(row, tavik::CropColumn::MinYield));
            const double high = std::nearbyint(crops.number(row, tavik::CropColumn::MaxYield));
            other.targetYield = static_cast<int>(low + std::floor((high - low) * share / 255.0));
        }
        if (const std::uint8_t depth = choices.byte(); depth != 0) {
            other.depth = depth * 2000 / 255;
        }
        planAndCheck(crops, other);
    }
    return 0;
}
