#include "PlanOutput.h"

#include "Calendar.h"
#include "ICalendar.h"
#include "IrrigationTable.h"
#include "Json.h"
#include "SeasonJson.h"
#include "engine/RichText.h"
#include "model/cProfile.h"
#include "state/NumberText.h"

#include <array>

namespace tavik {

namespace {

using Layout = JsonWriter::Layout;

// A flat list of the values of layers 1..n.
template <typename Read>
void perLayer(JsonWriter& out, std::string_view name, std::int16_t layers, Read read) {
    out.key(name);
    out.beginArray(Layout::Flat);
    for (std::int16_t i = 1; i <= layers; ++i) {
        out.value(read(i));
    }
    out.endArray();
}

// Values of layers 1..n from a 1-based array that may be shorter.
void layerValues(JsonWriter& out, std::string_view name, const std::vector<float>& values,
                 std::int16_t layers) {
    perLayer(out, name, layers, [&values](std::int16_t i) {
        const auto at = static_cast<std::size_t>(i);
        return at < values.size() ? values[at] : 0.0F;
    });
}

// An object of one member per stage, each written by `write`.
template <typename Write>
void byStage(JsonWriter& out, std::string_view name, Write write) {
    out.key(name);
    out.beginObject();
    for (Stage stage : kStages) {
        out.key(stageKey(stage));
        write(stage);
    }
    out.endObject();
}

void irrigations(JsonWriter& out, const PlanResult& plan) {
    out.key("irrigations");
    out.beginArray(Layout::Nested);
    for (const IrrigationDay& day : plan.schedule.irrigations) {
        out.beginObject();
        out.member("day", static_cast<int>(day.day));
        out.member("amount", day.amount);
        out.member("cumulative", day.cumulative);
        optionalMember(out, "speed", day.speed);
        out.member("beyondCapacity", day.beyondCapacity);
        optionalMember(out, "passes", day.passes);
        optionalMember(out, "passSpeed", day.passSpeed);
        // With a planting date, each irrigation's calendar date too.
        if (const auto date = irrigationDate(plan, day)) {
            out.member("date", *date);
        }
        out.endObject();
    }
    out.endArray();
}

void soil(JsonWriter& out, const PlanResult& plan) {
    const mType& state = plan.state;
    const cProfile& profile = *state.SoilProfile;
    const std::int16_t n = plan.layers;
    out.key("soil");
    out.beginObject();
    out.member("layers", static_cast<int>(n));
    out.member("bottomLayerThickness", state.BottomLayerThickness);
    out.member("rootLayers", static_cast<int>(plan.rootZone.RootLayers));
    out.member("dryingPasses", plan.rootZone.dryingPasses);
    out.member("profilePAWC", state.ProfilePAWC);
    perLayer(out, "dul", n, [&](std::int16_t i) { return profile.DUL(i); });
    perLayer(out, "theta1500Pa", n, [&](std::int16_t i) { return profile.Theta1500Pa(i); });
    perLayer(out, "cval", n, [&](std::int16_t i) { return profile.Cval(i); });
    perLayer(out, "actualTheta", n, [&](std::int16_t i) { return profile.ActualTheta(i); });
    perLayer(out, "fsr", n, [&](std::int16_t i) { return profile.FSRvalue(i); });
    layerValues(out, "rootDensity", plan.rootZone.RootDensity, n);
    layerValues(out, "waterAtEnd", plan.rootZone.LayerWater, n);
    out.endObject();
}

void waterLevels(JsonWriter& out, const PlanResult& plan) {
    const WaterLevelModel& levels = plan.waterLevels;
    out.key("waterLevels");
    out.beginObject();
    byStage(out, "stageTotals", [&](Stage s) { out.value(levels.stageTotal(s)); });
    byStage(out, "gaugeValues", [&](Stage s) { out.value(levels.dial(s).Value()); });
    out.key("nominalClasses");
    out.beginArray(Layout::Flat);
    for (Stage stage : kStages) {
        out.value(levels.nominalClass(stage));
    }
    out.endArray();
    byStage(out, "layerClasses", [&](Stage s) {
        out.beginArray(Layout::Flat);
        for (int r = 0; r < levels.LayerCount(); ++r) {
            out.value(levels.layerClass(r, s));
        }
        out.endArray();
    });
    out.member("storageChangeEarly", plan.state.StorageChangeEarly);
    out.member("storageChangePeak", plan.state.StorageChangePeak);
    out.member("storageChangeLate", plan.state.StorageChangeLate);
    out.endObject();
}

void schedule(JsonWriter& out, const PlanResult& plan) {
    const cWaterDemand& demand = plan.engine.WaterDemand();
    out.key("schedule");
    out.beginObject();
    out.member("cycle", static_cast<int>(plan.engine.Cycle()));
    out.member("count", static_cast<int>(demand.Count()));
    out.flatArray("dailyDemand", demand.dailyDemands());
    out.flatArray("cumulativeDemand", demand.cumulativeDemands());
    out.member("peakRate", plan.schedule.PeakRate);
    out.member("beyondCapacity", plan.schedule.BeyondCapacity);
    irrigations(out, plan);
    out.key("chart");
    out.beginObject();
    out.flatArray("labels", plan.individualChart.labels);
    out.flatArray("individual", plan.individualChart.values);
    out.flatArray("cumulative", plan.cumulativeChart.values);
    out.endObject();
    out.endObject();
}

} // namespace

std::string planText(const PlanResult& plan) {
    return plan.schedule.report.text;
}

std::string planRtf(const PlanResult& plan) {
    return toRtf(scheduleRichText(plan.schedule.report));
}

std::string planJson(const PlanResult& plan) {
    std::string json;
    json.reserve(32 * 1024); // a deep profile's plan with its report is some 20 KB
    JsonWriter out(json);
    out.beginObject();
    out.key("crop");
    out.beginObject();
    out.member("row", static_cast<int>(plan.state.CropRow));
    out.member("name", plan.cropName);
    out.endObject();
    out.member("targetYield", plan.state.TargetYield);
    soil(out, plan);
    waterLevels(out, plan);
    out.key("sprinkler");
    out.beginObject();
    out.member("speedCoefficient", plan.state.SpeedCoefficient);
    out.member("speedExponent", plan.state.SpeedExponent);
    out.endObject();
    schedule(out, plan);
    out.member("report", plan.schedule.report.text);
    if (plan.plantingDate) {
        out.member("plantingDate", *plan.plantingDate);
    }
    if (plan.seasonBalance) {
        out.key("season");
        writeSeasonObject(out, plan);
    }
    out.endObject();
    out.end();
    return json;
}

std::optional<std::string> irrigationDate(const PlanResult& plan, const IrrigationDay& day) {
    return plan.plantingDate ? dateAfter(*plan.plantingDate, day.day) : std::nullopt;
}

namespace {

// The season's figures on an irrigation day, as columns after the irrigation table's.
constexpr std::array<const char*, 7> kSeasonCsvHeadings{
    "logged_mm",     "advised_mm",   "irrigation_mm", "planned_water_mm",
    "soil_water_mm", "deviation_mm", "soil_class"};

void addSeasonCells(CsvLine& line, const SeasonBalance& balance, int day) {
    if (day < 1 || day > static_cast<int>(balance.days.size())) {
        for (std::size_t i = 0; i < kSeasonCsvHeadings.size(); ++i) {
            line.add({});
        }
        return;
    }
    const SeasonDay& d = balance.days[static_cast<std::size_t>(day - 1)];
    line.add(d.logged ? shortestText(d.irrigation) : std::string())
        .add(d.advised ? shortestText(*d.advised) : std::string())
        .add(shortestText(d.irrigation))
        .add(shortestText(d.plannedWater))
        .add(shortestText(d.soilWater))
        .add(shortestText(d.deviation))
        .add(csvTextCell(d.soilClass));
}

std::string irrigationTableCsv(const PlanResult& plan, const SeasonBalance* season) {
    // With a planting date, a last column holds each irrigation's calendar date; with a
    // balanced season, the season's columns follow.
    const std::vector<IrrigationColumn> columns =
        csvIrrigationColumns(plan.plantingDate.has_value());
    CsvLine heading;
    for (const IrrigationColumn& column : columns) {
        heading.add(column.heading);
    }
    if (season) {
        for (const char* name : kSeasonCsvHeadings) {
            heading.add(name);
        }
    }
    std::string csv = std::move(heading).end();
    for (const IrrigationDay& day : plan.schedule.irrigations) {
        const auto date = irrigationDate(plan, day);
        CsvLine line;
        for (const IrrigationColumn& column : columns) {
            // A day whose date cannot be told has no date field at all.
            if (column.field != IrrigationField::Date || date) {
                line.add(csvIrrigationCell(column.field, day, date.value_or(std::string())));
            }
        }
        if (season) {
            addSeasonCells(line, *season, day.day);
        }
        csv += std::move(line).end();
    }
    return csv;
}

} // namespace

std::string planCsv(const PlanResult& plan) {
    return irrigationTableCsv(plan, plan.seasonBalance ? &*plan.seasonBalance : nullptr);
}

std::string plannedIrrigationCsv(const PlanResult& plan) {
    return irrigationTableCsv(plan, nullptr);
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

} // namespace tavik
