#pragma once

#include "engine/CTavik.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tavikcalc {

// Exit statuses of the headless report.
inline constexpr int kExitOk = 0;
inline constexpr int kExitBadInput = 2;

enum class ReportMethod { Overhead, Flood };

// `tavikcalc --report …` as given; what is left out takes the dialog's value.
struct ReportRequest {
    ReportMethod method = ReportMethod::Overhead;
    int crop = -1;
    std::optional<double> yieldTarget; // default: the crop's guideline yield
    std::optional<double> pawc;        // default 0, or derived from the soil and its depth
    std::optional<SoilClass> soil;     // default Sand when only --depth is given
    std::optional<int> depth;          // mm; default 1000 when only --soil is given
    double reserve = 25.0;
    int cycle = 7;
    std::optional<double> area; // none: depth mode
    std::optional<int> lag;     // default: the crop's lag
    double streamFlow = 0;
    int periodHours = 12;
};

struct RequestParse {
    std::optional<ReportRequest> request;
    std::string problem; // names the option
};

// Reads the arguments that follow the program name.
RequestParse parseReportRequest(const std::vector<std::string>& arguments);

// Parses and runs the request: the report text followed by one CR LF on `out`; the dialog's
// messages (a yield clamped to the crop's maximum) and refusals on `err`. Returns kExitOk,
// or kExitBadInput with nothing written on `out`.
int runReportCommand(const std::vector<std::string>& arguments, std::ostream& out,
                     std::ostream& err);

// True when the arguments ask for the headless report.
bool asksForReport(const std::vector<std::string>& arguments);

// The usage's synopsis of the report's options ("usage: tavikcalc --report …", wrapped).
const std::string& reportSynopsis();
// The synopsis, what each option means, and the crops by number.
const std::string& reportUsage();

} // namespace tavikcalc
