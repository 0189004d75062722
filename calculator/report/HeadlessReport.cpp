#include "HeadlessReport.h"

#include "Reports.h"
#include "engine/SoilType.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <ostream>
#include <set>

namespace tavikcalc {

namespace {

constexpr int kMaxSoilDepth = 2000;
constexpr int kSoilDialogDepth = 1000;
constexpr const char* kUsageHint = "(tavikcalc --help lists the options and the crops)\n";

std::optional<double> readNumber(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || end != last || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> readInteger(const std::string& text) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') {
        ++first;
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc{} || end != last) {
        return std::nullopt;
    }
    return value;
}

RequestParse refuse(std::string problem) {
    return {std::nullopt, std::move(problem)};
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string whole(double value) {
    return std::to_string(static_cast<long long>(value));
}

// The dialog's message for a yield target above the crop's maximum.
std::string maximumYieldMessage(double maxYield) {
    char text[128];
    std::snprintf(text, sizeof text,
                  "Maximum yield for this particular type of crop is %.0lf\nYield will be set to "
                  "the maximum yield",
                  maxYield);
    return text;
}

class CollectingNotifier : public Notifier {
public:
    void message(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

// The crops are numbered from 0.
const std::string kLastCrop = std::to_string(kCropCount - 1);

// Where an option stands in the usage's synopsis.
enum class Place {
    Required, // as it is
    Optional, // in brackets of its own
    OrElse,   // in the brackets of the option before it, after a "|"
    Together, // in the brackets of the option before it, beside it
};

// Reads the value given to `option` into the request: "" when it is accepted, else the refusal.
using ValueReader = std::function<std::string(const std::string& option, const std::string& value,
                                              ReportRequest& request)>;

struct ReportOption {
    std::string name;  // "--cycle"
    std::string value; // the value as the synopsis names it
    Place place;
    std::string help;    // the help's text for it (lines after the first indented), or none
    std::string missing; // a required option's refusal when it is left out
    ValueReader read;
};

std::string mustBe(const std::string& option, const std::string& accepted,
                   const std::string& value) {
    return option + " must be " + accepted + ", not " + quoted(value);
}

// A number option taking any finite value from 0 to `high`.
ValueReader numberFrom0(double high, const std::string& accepted,
                        std::function<void(ReportRequest&, double)> store) {
    return [high, accepted, store](const std::string& option, const std::string& value,
                                   ReportRequest& request) {
        const auto read = readNumber(value);
        if (!read) {
            return option + " must be a number, not " + quoted(value);
        }
        if (!(*read >= 0 && *read <= high)) {
            return mustBe(option, accepted, value);
        }
        store(request, *read);
        return std::string();
    };
}

// A whole-number option from `low` to `high`.
ValueReader wholeNumber(int low, int high, const std::string& accepted,
                        std::function<void(ReportRequest&, int)> store) {
    return [low, high, accepted, store](const std::string& option, const std::string& value,
                                        ReportRequest& request) {
        const auto read = readInteger(value);
        if (!read || *read < low || *read > high) {
            return mustBe(option, accepted, value);
        }
        store(request, *read);
        return std::string();
    };
}

// An option naming one of a few words.
template <typename Value>
ValueReader oneOf(std::vector<std::pair<std::string, Value>> words, const std::string& accepted,
                  std::function<void(ReportRequest&, Value)> store) {
    return [words, accepted, store](const std::string& option, const std::string& value,
                                    ReportRequest& request) {
        for (const auto& [word, meaning] : words) {
            if (value == word) {
                store(request, meaning);
                return std::string();
            }
        }
        return mustBe(option, accepted, value);
    };
}

ValueReader readCrop() {
    return [](const std::string& option, const std::string& value, ReportRequest& request) {
        const auto crop = readInteger(value);
        if (!crop) {
            // The number itself is checked with the crop table, as the dialog does.
            return mustBe(option, "a crop number from 0 to " + kLastCrop, value);
        }
        request.crop = *crop;
        return std::string();
    };
}

// Every option of the headless report: the parser, the synopsis and the help follow from it.
const std::vector<ReportOption>& reportOptions() {
    static const ReportRequest defaults;
    static const std::vector<ReportOption> options = {
        {"--report", "overhead|flood", Place::Required, "", "--report overhead|flood is missing",
         oneOf<ReportMethod>({{"overhead", ReportMethod::Overhead}, {"flood", ReportMethod::Flood}},
                             "overhead or flood",
                             [](ReportRequest& r, ReportMethod m) { r.method = m; })},
        {"--crop", "0.." + kLastCrop, Place::Required, "",
         "--crop is missing: choose a crop from 0 to " + kLastCrop, readCrop()},
        {"--yield", "KG", Place::Optional,
         "yield target in kg/ha (default: the crop's guideline yield; above the\n"
         "crop's maximum it is set to the maximum)",
         "",
         numberFrom0(HUGE_VAL, "0 kg/ha or more",
                     [](ReportRequest& r, double v) { r.yieldTarget = v; })},
        {"--pawc", "MM", Place::Optional,
         "profile available water capacity, 0.." + whole(kMaxPawc) + " mm (default 0), or from", "",
         numberFrom0(kMaxPawc, "a water capacity from 0 to " + whole(kMaxPawc) + " mm",
                     [](ReportRequest& r, double v) { r.pawc = v; })},
        {"--soil", "sand|sandy-loam|clay", Place::OrElse, "the soil class (default sand) and", "",
         oneOf<SoilClass>({{"sand", SoilClass::Sand},
                           {"sandy-loam", SoilClass::SandyLoam},
                           {"clay", SoilClass::Clay}},
                          "sand, sandy-loam or clay",
                          [](ReportRequest& r, SoilClass c) { r.soil = c; })},
        {"--depth", "MM", Place::Together,
         "the soil depth, 0.." + std::to_string(kMaxSoilDepth) + " mm (default " +
             std::to_string(kSoilDialogDepth) +
             "), as the soil type dialog\n"
             "derives it; a soil too shallow to give the crop water is refused",
         "",
         wholeNumber(0, kMaxSoilDepth,
                     "a whole number of mm from 0 to " + std::to_string(kMaxSoilDepth),
                     [](ReportRequest& r, int v) { r.depth = v; })},
        {"--reserve", "MM", Place::Optional,
         "rain storage to hold in reserve, 0.." + whole(kMaxReserve) + " mm (default " +
             whole(defaults.reserve) + ")",
         "",
         numberFrom0(kMaxReserve, "a rain storage from 0 to " + whole(kMaxReserve) + " mm",
                     [](ReportRequest& r, double v) { r.reserve = v; })},
        {"--cycle", "DAYS", Place::Optional,
         "overhead irrigation cycle, " + std::to_string(kMinCycle) + ".." +
             std::to_string(kMaxCycle) + " days (default " + std::to_string(defaults.cycle) + ")",
         "",
         wholeNumber(kMinCycle, kMaxCycle,
                     "a whole number of days from " + std::to_string(kMinCycle) + " to " +
                         std::to_string(kMaxCycle),
                     [](ReportRequest& r, int v) { r.cycle = v; })},
        {"--area", "HA", Place::Optional,
         "hectares, 0.." + whole(kMaxArea) +
             ": overhead volumes in m³; a flood report needs\n"
             "more than 0",
         "",
         numberFrom0(kMaxArea, "from 0 to " + whole(kMaxArea) + " ha",
                     [](ReportRequest& r, double v) { r.area = v; })},
        {"--lag", "DAYS", Place::Optional,
         "days from planting to the first flood irrigation (default: the crop's)", "",
         wholeNumber(1, std::numeric_limits<int>::max(), "a whole number of days, 1 or more",
                     [](ReportRequest& r, int v) { r.lag = v; })},
        {"--flow", "M3H", Place::Optional,
         "stream flow, 0.." + whole(kMaxStreamFlow) +
             " m³/h (default 0); a flood report needs more\n"
             "than 0",
         "",
         numberFrom0(kMaxStreamFlow, "a stream flow from 0 to " + whole(kMaxStreamFlow) + " m³/h",
                     [](ReportRequest& r, double v) { r.streamFlow = v; })},
        {"--hours", "12|24", Place::Optional,
         "length of a flood irrigation period (default " + std::to_string(defaults.periodHours) +
             ")",
         "",
         oneOf<int>({{"12", 12}, {"24", 24}}, "12 or 24",
                    [](ReportRequest& r, int hours) { r.periodHours = hours; })},
    };
    return options;
}

const ReportOption* findOption(const std::string& name) {
    for (const ReportOption& option : reportOptions()) {
        if (option.name == name) {
            return &option;
        }
    }
    return nullptr;
}

// The synopsis's items: an option with its value, or a bracket of optional ones.
std::vector<std::string> synopsisItems() {
    std::vector<std::string> items;
    for (const ReportOption& option : reportOptions()) {
        const std::string item = option.name + " " + option.value;
        switch (option.place) {
        case Place::Required:
            items.push_back(item);
            break;
        case Place::Optional:
            items.push_back("[" + item + "]");
            break;
        case Place::OrElse:
            items.back().insert(items.back().size() - 1, " | " + item);
            break;
        case Place::Together:
            items.back().insert(items.back().size() - 1, " " + item);
            break;
        }
    }
    return items;
}

// The options' help: the name in a column of its own, the text beside it.
std::string optionsHelp() {
    constexpr std::size_t kTextColumn = 13;
    std::string text;
    for (const ReportOption& option : reportOptions()) {
        if (option.help.empty()) {
            continue;
        }
        std::string line = "  " + option.name;
        for (std::size_t start = 0; start <= option.help.size();) {
            std::size_t end = option.help.find('\n', start);
            if (end == std::string::npos) {
                end = option.help.size();
            }
            line.resize(kTextColumn, ' ');
            text += line + option.help.substr(start, end - start) + "\n";
            line.clear();
            start = end + 1;
        }
    }
    return text;
}

// Checks what concerns more than one option, once all of them are read.
std::string requestProblem(const ReportRequest& request, const std::set<std::string>& seen) {
    for (const ReportOption& option : reportOptions()) {
        if (option.place == Place::Required && seen.count(option.name) == 0) {
            return option.missing;
        }
    }
    if (request.pawc && (request.soil || request.depth)) {
        return "give either --pawc or --soil and --depth, not both";
    }
    if (request.method == ReportMethod::Flood && !(request.area && *request.area > 0)) {
        return "a flood report needs --area greater than 0 ha";
    }
    if (request.method == ReportMethod::Flood && !(request.streamFlow > 0)) {
        return "a flood report needs --flow greater than 0 m³/h (150 is a standard stream)";
    }
    return {};
}

// The dialog's values for the request, the soil's PAWC derived as the soil type dialog does;
// the yield clamped to the crop's maximum with the dialog's message on `err`. None, after
// saying why on `err`, for a soil too shallow to give the crop water.
std::optional<ReportValues> reportValues(const ReportRequest& request, const CropRecord& crop,
                                         std::ostream& err) {
    ReportValues values;
    values.yieldTarget = request.yieldTarget.value_or(crop.guidelineYield);
    if (values.yieldTarget > crop.maxYield) {
        err << maximumYieldMessage(crop.maxYield) << "\n";
        values.yieldTarget = crop.maxYield;
    }
    if (request.soil || request.depth) {
        const SoilClass soil = request.soil.value_or(SoilClass::Sand);
        const int depth = request.depth.value_or(kSoilDialogDepth);
        values.pawc = soilTypePawcAsShown(soilTypePawc(crop, soil, values.yieldTarget, depth));
        const std::string shallow = tooShallowProblem(
            cropListEntries()[static_cast<std::size_t>(request.crop)], soil, depth, values.pawc);
        if (!shallow.empty()) {
            err << "tavikcalc: --soil and --depth: " << shallow
                << " Give a greater --depth or another --soil.\n";
            return std::nullopt;
        }
    } else {
        values.pawc = request.pawc.value_or(0.0);
    }
    values.reserve = request.reserve;
    values.cycle = request.cycle;
    values.area = request.area.value_or(0.0);
    values.areaFlag = values.area > 0;
    values.streamFlow = request.streamFlow;
    values.periodHours = request.periodHours;
    return values;
}

// The report and one CR LF on `out`; false, after saying why on `err`, when it did not arrive.
bool writeReport(const std::string& report, std::ostream& out, std::ostream& err) {
    errno = 0;
    out << report << "\r\n";
    out.flush();
    if (!out) {
        // Standard output on a full disk or a closed pipe: the report did not arrive.
        err << "tavikcalc: the report cannot be written to standard output: "
            << (errno != 0 ? std::strerror(errno) : "the write failed") << "\n";
        return false;
    }
    return true;
}

} // namespace

bool asksForReport(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--report") != arguments.end();
}

const std::string& reportSynopsis() {
    static const std::string synopsis = [] {
        // Items are wrapped to lines of at most 80 columns, under the first one.
        constexpr std::size_t kWidth = 80;
        const std::string lead = "usage: tavikcalc ";
        std::string text;
        std::string line = lead;
        for (const std::string& item : synopsisItems()) {
            if (line.size() > lead.size() && line.size() + 1 + item.size() > kWidth) {
                text += line + "\n";
                line = std::string(lead.size(), ' ');
            } else if (line.size() > lead.size()) {
                line += ' ';
            }
            line += item;
        }
        return text + line + "\n";
    }();
    return synopsis;
}

const std::string& reportUsage() {
    static const std::string usage = [] {
        std::string text = reportSynopsis() + optionsHelp() + "crops:\n";
        for (int index = 0; index < kCropCount; ++index) {
            text += "  " + std::to_string(index) + "  " +
                    std::string(cropListEntries()[static_cast<std::size_t>(index)]) + "\n";
        }
        return text;
    }();
    return usage;
}

RequestParse parseReportRequest(const std::vector<std::string>& arguments) {
    ReportRequest request;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const ReportOption* option = findOption(arguments[i]);
        if (option == nullptr) {
            return refuse("unknown argument " + quoted(arguments[i]));
        }
        if (!seen.insert(option->name).second) {
            return refuse(option->name + " is given twice");
        }
        if (i + 1 >= arguments.size()) {
            return refuse(option->name + " needs a value");
        }
        std::string problem = option->read(option->name, arguments[++i], request);
        if (!problem.empty()) {
            return refuse(std::move(problem));
        }
    }
    std::string problem = requestProblem(request, seen);
    if (!problem.empty()) {
        return refuse(std::move(problem));
    }
    return {request, {}};
}

int runReportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err) {
    const RequestParse parse = parseReportRequest(arguments);
    if (!parse.request) {
        err << "tavikcalc: " << parse.problem << "\n" << kUsageHint;
        return kExitBadInput;
    }
    const ReportRequest& request = *parse.request;

    CollectingNotifier notifier;
    CTavik calculator(&notifier);
    if (!calculator.SetCrop(request.crop)) {
        err << "tavikcalc: --crop " << request.crop << ": " << notifier.messages.front()
            << " (the crops are 0 to " << kLastCrop << ")\n"
            << kUsageHint;
        return kExitBadInput;
    }
    if (request.lag) {
        calculator.setDefaultLag(*request.lag);
    }
    std::optional<ReportValues> values = reportValues(request, calculator.record(), err);
    if (!values) {
        return kExitBadInput;
    }
    const ReportOutcome report = request.method == ReportMethod::Overhead
                                     ? OverheadReport(calculator, *values)
                                     : FloodReport(calculator, *values);
    if (!report.ok()) {
        err << "tavikcalc: " << report.problem << "\n";
        return kExitBadInput;
    }
    return writeReport(report.text, out, err) ? kExitOk : kExitBadInput;
}

} // namespace tavikcalc
