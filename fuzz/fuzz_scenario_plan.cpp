// A scenario file of any content: its parse, then the plan on the shipped crop table and the
// four outputs. Whatever the scenario, a plan of a shipped crop must not fail on the crop's
// figures, and a plan that runs must keep its promises.

#include "PlanChecks.h"
#include "ShippedCrops.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "workbook/SheetAnswer.h"

namespace {

using tavik::fuzz::require;

const tavik::CropTable& shippedCrops() {
    static const tavik::CropTable table = [] {
        std::string error;
        const auto sheet = tavik::parseSheetAnswer(tavik::fuzz::kShippedCrops, error);
        require(sheet.has_value(), "the shipped crop table's answer reads");
        tavik::CropTable crops;
        const auto loaded = crops.load(*sheet);
        require(!loaded.problem && loaded.rowProblems.empty() && !crops.offeredRows().empty(),
                "every shipped crop row is offered");
        return crops;
    }();
    return table;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tavik::CropTable& crops = shippedCrops();
    const tavik::ScenarioParse parse =
        tavik::parseScenario(std::string(reinterpret_cast<const char*>(data), size));
    if (!parse.scenario) {
        require(!parse.problem.empty(), "a refused scenario says why");
        return 0;
    }
    static const tavik::TimeStamp stamp{"2024/03/01", "09:30:00"};
    const tavik::PlanOutcome outcome = tavik::runPlan(crops, *parse.scenario, stamp);
    if (!outcome.result) {
        require(!outcome.problem.empty(), "a refused plan says why");
        const auto* name = std::get_if<std::string>(&parse.scenario->crop);
        // The refusal echoes the name as the user reads it: escaped and cut short.
        const std::string echoed =
            name ? tavik::printableText(*name, tavik::kMaxCropNameLength) : std::string();
        // A refusal that names the package's amounts blames the scenario, not the crop.
        const bool amounts =
            outcome.problem.find("\"sprinklerPackage.amounts\"") != std::string::npos;
        require(amounts || !tavik::fuzz::blamesCropFigures(outcome.problem,
                                                           {name ? *name : std::string(), echoed}),
                "a shipped crop plans without a failure of its figures", outcome.problem);
        require(outcome.problem.rfind("the schedule is implausible: ", 0) != 0,
                "no plan of a shipped crop is implausible", outcome.problem);
        return 0;
    }
    tavik::fuzz::requireSoundPlan(*outcome.result);
    return 0;
}
