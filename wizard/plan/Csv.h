#pragma once

#include <string>
#include <string_view>

namespace tavik {

// A CSV field, quoted where it holds a comma, a quote or a line break (RFC 4180).
std::string csvField(std::string_view text);

// A text cell a spreadsheet shows as text: a cell that begins with = + - @ (or a tab or a
// carriage return) would be taken for a formula and run, so a quote mark in front keeps it
// text (and the field is quoted); any other text as csvField writes it.
std::string csvTextCell(std::string_view text);

// One line of a CSV table, its fields added in order, separated by commas.
class CsvLine {
public:
    CsvLine& add(std::string_view field) {
        if (!first_) {
            line_ += ',';
        }
        first_ = false;
        line_ += field;
        return *this;
    }
    // The line with its line feed.
    std::string end() && { return std::move(line_) + '\n'; }

private:
    std::string line_;
    bool first_ = true;
};

} // namespace tavik
