#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavik {

// The shortest decimal text that reads back to exactly the same double ("6000", "0.261",
// "2.7e-06").
std::string shortestText(double value);

// A text that is, apart from surrounding blanks, one number in the usual decimal or
// exponent notation ("  6000 ", "-1.5e3"). Anything else, including an empty text, gives
// no value. This is the rule by which a spreadsheet cell that holds a number stored as
// text still counts as that number.
std::optional<double> wholeTextNumber(std::string_view text);

} // namespace tavik
