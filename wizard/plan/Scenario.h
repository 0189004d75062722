#pragma once

#include "engine/SeasonBalance.h"

#include <QString>
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tavik {

// A field as an adviser describes it: the crop, the yield aimed at, the soil, the planned
// soil water, the sprinkler package and the irrigation cycle. Everything but the crop may
// be left out; the wizard's fresh screens then decide.
// Who the plan is for: the field's name and area, and an identity the program gives the
// plan once, so that its re-exported calendar events replace the earlier ones.
struct FieldIdentity {
    std::optional<std::string> name; // at most kMaxFieldNameLength characters
    std::optional<double> area;      // ha, above 0
    std::optional<std::string> id;
};
inline constexpr int kMaxFieldNameLength = 100;

struct Scenario {
    std::variant<std::string, int> crop;      // a name, or a worksheet row
    std::optional<int> targetYield;           // kg/ha
    std::optional<int> depth;                 // mm, 0..2000
    std::optional<std::vector<int>> siltClay; // % per layer, top first
    bool deepRipped = false;
    // Per stage (season start, peak start, peak end, season end): thousandths of mm/mm
    // per layer, top first.
    std::array<std::optional<std::vector<int>>, 4> waterLevels;
    bool sprinklerPackage = false;
    std::optional<std::vector<double>> amounts; // mm for the 22 running speeds
    int cycle = 5;                              // days
    // The day the crop is planted (ISO 8601, "YYYY-MM-DD"): the schedule's days after
    // planting then fall on calendar dates. None leaves the schedule in days.
    std::optional<std::string> plantingDate;
    std::optional<FieldIdentity> field;
    // What really happened in the season (needs the planting date).
    std::optional<SeasonRecord> season;
};

struct ScenarioParse {
    std::optional<Scenario> scenario;
    std::string problem; // names the key that is wrong
};

// What the soil screen shows when it first opens: the depth slider's start.
inline constexpr int kFreshSoilDepth = 567; // mm
// And the silt + clay every layer slider starts at.
inline constexpr int kFreshSiltClay = 20; // %

// A scenario is a small file; a larger one is refused before it is read.
inline constexpr long long kMaxScenarioBytes = 1024 * 1024;

// The refusal of a list of the scenario that must hold one value per soil layer but holds
// `given` values, naming its key ("soil.siltClay") and, when given, the profile's depth in mm;
// none when it holds one per layer.
std::optional<std::string> layerCountProblem(std::string_view key, std::size_t given, int layers,
                                             std::optional<int> profileDepth);

// Whether a text is a date written exactly YYYY-MM-DD.
bool isIsoDate(std::string_view text);

// Reads a scenario file into text, at most kMaxScenarioBytes of it; the reason when it
// cannot be read or is larger.
std::optional<std::string> readScenarioFile(const QString& path, std::string& text);

// Reads a small regular file into text, at most `maxBytes` of it (a pipe, a device or a
// folder is refused unread); the reason when it cannot be read or is larger. `what` names
// what such a file holds ("a scenario").
std::optional<std::string> readSmallFile(const QString& path, std::string& text, long long maxBytes,
                                         const std::string& what);

// Reads a scenario from JSON text. Unknown keys, wrong types, values off the controls'
// steps or outside their ranges are refused with a message naming the key. Checks that
// need the crop table or the layer count are made when the scenario is run.
ScenarioParse parseScenario(const std::string& jsonText);

// The scenario as JSON that parseScenario reads back to the same scenario: every key that is
// set, in the order of the scenario file's description.
std::string scenarioJson(const Scenario& scenario);

} // namespace tavik
