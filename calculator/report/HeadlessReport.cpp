#include "HeadlessReport.h"

#include "Reports.h"
#include "engine/SoilType.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
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

// The number options and the values they accept: those of the dialog and the report writers.
struct NumberRange {
    const char* option;
    double high;
    std::string accepted; // "must be …"
};

const std::vector<NumberRange>& numberRanges() {
    static const std::vector<NumberRange> ranges = {
        {"--yield", HUGE_VAL, "0 kg/ha or more"},
        {"--pawc", kMaxPawc, "a water capacity from 0 to " + whole(kMaxPawc) + " mm"},
        {"--reserve", kMaxReserve, "a rain storage from 0 to " + whole(kMaxReserve) + " mm"},
        {"--area", kMaxArea, "from 0 to " + whole(kMaxArea) + " ha"},
        {"--flow", kMaxStreamFlow, "a stream flow from 0 to " + whole(kMaxStreamFlow) + " m³/h"},
    };
    return ranges;
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

} // namespace

bool asksForReport(const std::vector<std::string>& arguments) {
    return std::find(arguments.begin(), arguments.end(), "--report") != arguments.end();
}

const std::string& reportUsage() {
    static const std::string usage = [] {
        std::string text =
            "usage: tavikcalc --report overhead|flood --crop 0..9 [--yield KG]\n"
            "                 [--pawc MM | --soil sand|sandy-loam|clay --depth MM]\n"
            "                 [--reserve MM] [--cycle DAYS] [--area HA] [--lag DAYS]\n"
            "                 [--flow M3H] [--hours 12|24]\n"
            "  --yield    yield target in kg/ha (default: the crop's guideline yield; above the\n"
            "             crop's maximum it is set to the maximum)\n"
            "  --pawc     profile available water capacity, 0.." +
            whole(kMaxPawc) +
            " mm (default 0), or from\n"
            "  --soil     the soil class (default sand) and\n"
            "  --depth    the soil depth, 0..2000 mm (default 1000), as the soil type dialog\n"
            "             derives it; a soil too shallow to give the crop water is refused\n"
            "  --reserve  rain storage to hold in reserve, 0.." +
            whole(kMaxReserve) +
            " mm (default 25)\n"
            "  --cycle    overhead irrigation cycle, 1..28 days (default 7)\n"
            "  --area     hectares, 0.." +
            whole(kMaxArea) +
            ": overhead volumes in m³; a flood report needs\n"
            "             more than 0\n"
            "  --lag      days from planting to the first flood irrigation (default: the crop's)\n"
            "  --flow     stream flow, 0.." +
            whole(kMaxStreamFlow) +
            " m³/h (default 0); a flood report needs more\n"
            "             than 0\n"
            "  --hours    length of a flood irrigation period (default 12)\n"
            "crops:\n";
        for (int index = 0; index < kCropCount; ++index) {
            text += "  " + std::to_string(index) + "  " +
                    std::string(cropListEntries()[static_cast<std::size_t>(index)]) + "\n";
        }
        return text;
    }();
    return usage;
}

RequestParse parseReportRequest(const std::vector<std::string>& arguments) {
    static const std::set<std::string> options = {"--report", "--crop",  "--yield",   "--pawc",
                                                  "--soil",   "--depth", "--reserve", "--cycle",
                                                  "--area",   "--lag",   "--flow",    "--hours"};
    ReportRequest request;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (options.count(option) == 0) {
            return refuse("unknown argument " + quoted(option));
        }
        if (!seen.insert(option).second) {
            return refuse(option + " is given twice");
        }
        if (i + 1 >= arguments.size()) {
            return refuse(option + " needs a value");
        }
        const std::string& value = arguments[++i];
        if (option == "--report") {
            if (value == "overhead") {
                request.method = ReportMethod::Overhead;
            } else if (value == "flood") {
                request.method = ReportMethod::Flood;
            } else {
                return refuse("--report must be overhead or flood, not " + quoted(value));
            }
        } else if (option == "--crop") {
            const auto crop = readInteger(value);
            if (!crop) {
                return refuse("--crop must be a crop number from 0 to 9, not " + quoted(value));
            }
            request.crop = *crop;
        } else if (option == "--soil") {
            if (value == "sand") {
                request.soil = SoilClass::Sand;
            } else if (value == "sandy-loam") {
                request.soil = SoilClass::SandyLoam;
            } else if (value == "clay") {
                request.soil = SoilClass::Clay;
            } else {
                return refuse("--soil must be sand, sandy-loam or clay, not " + quoted(value));
            }
        } else if (option == "--depth") {
            const auto depth = readInteger(value);
            if (!depth || *depth < 0 || *depth > kMaxSoilDepth) {
                return refuse("--depth must be a whole number of mm from 0 to 2000, not " +
                              quoted(value));
            }
            request.depth = depth;
        } else if (option == "--cycle") {
            const auto cycle = readInteger(value);
            if (!cycle || *cycle < kMinCycle || *cycle > kMaxCycle) {
                return refuse("--cycle must be a whole number of days from 1 to 28, not " +
                              quoted(value));
            }
            request.cycle = *cycle;
        } else if (option == "--lag") {
            const auto lag = readInteger(value);
            if (!lag || *lag < 1) {
                return refuse("--lag must be a whole number of days, 1 or more, not " +
                              quoted(value));
            }
            request.lag = lag;
        } else if (option == "--hours") {
            if (value != "12" && value != "24") {
                return refuse("--hours must be 12 or 24, not " + quoted(value));
            }
            request.periodHours = value == "12" ? 12 : 24;
        } else {
            const auto read = readNumber(value);
            if (!read) {
                return refuse(option + " must be a number, not " + quoted(value));
            }
            for (const NumberRange& range : numberRanges()) {
                if (option == range.option && !(*read >= 0 && *read <= range.high)) {
                    return refuse(option + " must be " + range.accepted + ", not " + quoted(value));
                }
            }
            if (option == "--yield") {
                request.yieldTarget = read;
            } else if (option == "--pawc") {
                request.pawc = read;
            } else if (option == "--reserve") {
                request.reserve = *read;
            } else if (option == "--area") {
                request.area = read;
            } else {
                request.streamFlow = *read;
            }
        }
    }
    if (seen.count("--report") == 0) {
        return refuse("--report overhead|flood is missing");
    }
    if (seen.count("--crop") == 0) {
        return refuse("--crop is missing: choose a crop from 0 to 9");
    }
    if (request.pawc && (request.soil || request.depth)) {
        return refuse("give either --pawc or --soil and --depth, not both");
    }
    if (request.method == ReportMethod::Flood && !(request.area && *request.area > 0)) {
        return refuse("a flood report needs --area greater than 0 ha");
    }
    if (request.method == ReportMethod::Flood && !(request.streamFlow > 0)) {
        return refuse("a flood report needs --flow greater than 0 m³/h (150 is a standard "
                      "stream)");
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
            << " (the crops are 0 to 9)\n"
            << kUsageHint;
        return kExitBadInput;
    }
    const CropRecord& crop = calculator.record();
    if (request.lag) {
        calculator.setDefaultLag(*request.lag);
    }

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
            return kExitBadInput;
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

    const ReportOutcome report = request.method == ReportMethod::Overhead
                                     ? OverheadReport(calculator, values)
                                     : FloodReport(calculator, values);
    if (!report.ok()) {
        err << "tavikcalc: " << report.problem << "\n";
        return kExitBadInput;
    }
    errno = 0;
    out << report.text << "\r\n";
    out.flush();
    if (!out) {
        // Standard output on a full disk or a closed pipe: the report did not arrive.
        err << "tavikcalc: the report cannot be written to standard output: "
            << (errno != 0 ? std::strerror(errno) : "the write failed") << "\n";
        return kExitBadInput;
    }
    return kExitOk;
}

} // namespace tavikcalc
