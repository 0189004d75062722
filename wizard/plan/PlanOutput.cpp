#include "PlanOutput.h"

#include "Calendar.h"
#include "ICalendar.h"
#include "Json.h"
#include "engine/RichText.h"
#include "model/cProfile.h"
#include "state/NumberText.h"

namespace tavik {

namespace {

template <typename Read>
Json perLayer(std::int16_t layers, Read read) {
    Json::Array values;
    for (std::int16_t i = 1; i <= layers; ++i) {
        values.emplace_back(read(i));
    }
    return Json(std::move(values));
}

// Values of layers 1..n from a 1-based array that may be shorter.
Json layerValues(const std::vector<float>& values, std::int16_t layers) {
    return perLayer(layers, [&values](std::int16_t i) {
        const auto at = static_cast<std::size_t>(i);
        return at < values.size() ? values[at] : 0.0F;
    });
}

template <typename Value>
Json byStage(Value value) {
    Json::Object object;
    for (Stage stage : kStages) {
        object.emplace_back(stageKey(stage), value(stage));
    }
    return Json(std::move(object));
}

Json optionalNumber(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json chart(const PlanResult& plan) {
    return Json::Object{{"labels", Json::array(plan.individualChart.labels)},
                        {"individual", Json::array(plan.individualChart.values)},
                        {"cumulative", Json::array(plan.cumulativeChart.values)}};
}

} // namespace

std::string planText(const PlanResult& plan) {
    return plan.schedule.report.text;
}

std::string planRtf(const PlanResult& plan) {
    return toRtf(scheduleRichText(plan.schedule.report));
}

std::string planJson(const PlanResult& plan) {
    const mType& state = plan.state;
    const cProfile& profile = *state.SoilProfile;
    const std::int16_t n = plan.layers;
    const WaterLevelModel& levels = plan.waterLevels;
    const cWaterDemand& demand = plan.engine.WaterDemand();

    Json::Array irrigations;
    for (const IrrigationDay& day : plan.schedule.irrigations) {
        Json::Object irrigation{
            {"day", Json(static_cast<int>(day.day))},
            {"amount", day.amount},
            {"cumulative", day.cumulative},
            {"speed", optionalNumber(day.speed)},
            {"beyondCapacity", day.beyondCapacity},
            {"passes", day.passes ? Json(*day.passes) : Json(nullptr)},
            {"passSpeed", optionalNumber(day.passSpeed)},
        };
        // With a planting date, each irrigation's calendar date too.
        if (const auto date = irrigationDate(plan, day)) {
            irrigation.emplace_back("date", *date);
        }
        irrigations.emplace_back(std::move(irrigation));
    }
    const std::vector<double> daily = demand.dailyDemands();
    const std::vector<double> cumulative = demand.cumulativeDemands();

    Json::Array nominal;
    for (Stage stage : kStages) {
        nominal.emplace_back(levels.nominalClass(stage));
    }

    Json::Object root{
        {"crop",
         Json::Object{{"row", Json(static_cast<int>(state.CropRow))}, {"name", plan.cropName}}},
        {"targetYield", state.TargetYield},
        {"soil",
         Json::Object{
             {"layers", Json(static_cast<int>(n))},
             {"bottomLayerThickness", state.BottomLayerThickness},
             {"rootLayers", Json(static_cast<int>(plan.rootZone.RootLayers))},
             {"dryingPasses", plan.rootZone.dryingPasses},
             {"profilePAWC", state.ProfilePAWC},
             {"dul", perLayer(n, [&](std::int16_t i) { return profile.DUL(i); })},
             {"theta1500Pa", perLayer(n, [&](std::int16_t i) { return profile.Theta1500Pa(i); })},
             {"cval", perLayer(n, [&](std::int16_t i) { return profile.Cval(i); })},
             {"actualTheta", perLayer(n, [&](std::int16_t i) { return profile.ActualTheta(i); })},
             {"fsr", perLayer(n, [&](std::int16_t i) { return profile.FSRvalue(i); })},
             {"rootDensity", layerValues(plan.rootZone.RootDensity, n)},
             {"waterAtEnd", layerValues(plan.rootZone.LayerWater, n)},
         }},
        {"waterLevels",
         Json::Object{
             {"stageTotals", byStage([&](Stage s) { return Json(levels.stageTotal(s)); })},
             {"gaugeValues", byStage([&](Stage s) { return Json(levels.dial(s).Value()); })},
             {"nominalClasses", Json(std::move(nominal))},
             {"layerClasses", byStage([&](Stage s) {
                  Json::Array classes;
                  for (int r = 0; r < levels.LayerCount(); ++r) {
                      classes.emplace_back(levels.layerClass(r, s));
                  }
                  return Json(std::move(classes));
              })},
             {"storageChangeEarly", state.StorageChangeEarly},
             {"storageChangePeak", state.StorageChangePeak},
             {"storageChangeLate", state.StorageChangeLate},
         }},
        {"sprinkler", Json::Object{{"speedCoefficient", state.SpeedCoefficient},
                                   {"speedExponent", state.SpeedExponent}}},
        {"schedule",
         Json::Object{
             {"cycle", Json(static_cast<int>(plan.engine.Cycle()))},
             {"count", Json(static_cast<int>(demand.Count()))},
             {"dailyDemand", Json::array(daily)},
             {"cumulativeDemand", Json::array(cumulative)},
             {"peakRate", plan.schedule.PeakRate},
             {"beyondCapacity", plan.schedule.BeyondCapacity},
             {"irrigations", Json(std::move(irrigations))},
             {"chart", chart(plan)},
         }},
        {"report", plan.schedule.report.text},
    };
    if (plan.plantingDate) {
        root.emplace_back("plantingDate", *plan.plantingDate);
    }
    return Json(std::move(root)).dump();
}

std::optional<std::string> irrigationDate(const PlanResult& plan, const IrrigationDay& day) {
    return plan.plantingDate ? dateAfter(*plan.plantingDate, day.day) : std::nullopt;
}

std::string planCsv(const PlanResult& plan) {
    // With a planting date, a last column holds each irrigation's calendar date.
    std::string csv = "day,amount_mm,cumulative_mm,speed_percent,beyond_capacity,passes,"
                      "pass_speed_percent";
    csv += plan.plantingDate ? ",date\n" : "\n";
    const auto number = [](const std::optional<double>& value) {
        return value ? shortestText(*value) : std::string();
    };
    for (const IrrigationDay& day : plan.schedule.irrigations) {
        csv += std::to_string(day.day) + "," + shortestText(day.amount) + "," +
               shortestText(day.cumulative) + "," + number(day.speed) + "," +
               (day.beyondCapacity ? "true" : "false") + "," +
               (day.passes ? std::to_string(*day.passes) : std::string()) + "," +
               number(day.passSpeed);
        if (const auto date = irrigationDate(plan, day)) {
            csv += "," + *date;
        }
        csv += "\n";
    }
    return csv;
}

std::string planInFormat(const PlanResult& plan, OutputFormat format, const std::string& stampUtc) {
    switch (format) {
    case OutputFormat::Rtf:
        return planRtf(plan);
    case OutputFormat::Json:
        return planJson(plan);
    case OutputFormat::Csv:
        return planCsv(plan);
    case OutputFormat::Ics:
        return planICalendar(plan, stampUtc);
    default:
        return planText(plan);
    }
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

} // namespace tavik
