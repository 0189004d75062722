// The calculator's headless report on any command line: the arguments are the input's
// lines (split at line feeds and NUL bytes). Either a report ended by CR LF on standard
// output, without an infinite or undefined figure, or a refusal on standard error and nothing
// on standard output.

#include "Checks.h"
#include "report/HeadlessReport.h"

#include <cctype>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Whether the text has the word printf writes for an infinite or undefined figure.
bool holdsInfOrNan(const std::string& text) {
    std::string word;
    for (const char c : text + ' ') {
        if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (word == "inf" || word == "infinity" || word == "nan") {
            return true;
        } else {
            word.clear();
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using tavik::fuzz::require;
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n' || c == '\0') {
            arguments.emplace_back();
        } else {
            arguments.back() += c;
        }
    }
    if (arguments.back().empty()) {
        arguments.pop_back(); // the line feed that ends the last argument
    }

    std::ostringstream out;
    std::ostringstream err;
    const int status = tavikcalc::runReportCommand(arguments, out, err);
    require(status == tavikcalc::kExitOk || status == tavikcalc::kExitBadInput,
            "the report ends with status 0 or 2");
    const std::string report = out.str();
    if (status == tavikcalc::kExitOk) {
        require(report.size() > 2 && report.compare(report.size() - 2, 2, "\r\n") == 0,
                "a report is written, ended by CR LF");
        require(!holdsInfOrNan(report), "a report holds no infinite or undefined figure", report);
    } else {
        require(report.empty(), "a refused request writes no report");
        require(!err.str().empty(), "a refused request says why");
    }
    return 0;
}
