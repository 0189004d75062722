// Temporary stand-in for the season's outputs while they are written elsewhere.
#include "Season.h"

namespace tavik {

SeasonPlan seasonPlanOf(const PlanResult&) {
    return {};
}
void balancePlanSeason(PlanResult& plan, const std::string& today) {
    if (!plan.season || !plan.plantingDate) {
        return;
    }
    plan.seasonBalance.emplace();
    plan.seasonBalance->todayDay = dayAfterPlanting(*plan.plantingDate, today).value_or(0);
}
std::string seasonJsonObject(const PlanResult&) {
    return "{}";
}
std::string seasonText(const PlanResult& plan) {
    return "season of " + plan.cropName + " day " + std::to_string(plan.seasonBalance->todayDay) +
           " rain " + std::to_string(plan.seasonDays.rain.size()) + "\n";
}
std::string seasonCsv(const PlanResult& plan) {
    return "day\n" + std::to_string(plan.seasonBalance->todayDay) + "\n";
}
std::string seasonJson(const PlanResult& plan) {
    return "{\"todayDay\": " + std::to_string(plan.seasonBalance->todayDay) + "}\n";
}
std::string adviserListText(std::vector<AdviserLine> lines) {
    std::string text;
    for (const AdviserLine& line : lines) {
        text += line.file + "\t" + (line.plan ? line.plan->cropName : line.problem) + "\n";
    }
    return text;
}
std::string adviserListCsv(std::vector<AdviserLine> lines) {
    return "file\n" + adviserListText(std::move(lines));
}

} // namespace tavik
