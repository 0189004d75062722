#include "Csv.h"

namespace tavik {

namespace {

// The text in double quotes, each quote in it doubled, after `lead`.
std::string quoted(std::string_view lead, std::string_view text) {
    std::string field = "\"";
    field += lead;
    for (const char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    return field + "\"";
}

} // namespace

std::string csvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    return quoted({}, text);
}

std::string csvTextCell(std::string_view text) {
    if (text.empty() || std::string_view("=+-@\t\r").find(text.front()) == std::string::npos) {
        return csvField(text);
    }
    return quoted("'", text);
}

} // namespace tavik
