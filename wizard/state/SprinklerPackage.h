#pragma once

#include "model/SpeedLaw.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

// The sprinkler package table: 22 fixed running speeds (captions as shown, from 100 % down
// to 5 %) and the amount one pass applies at each, in mm.
inline constexpr std::size_t kSprinklerRows = 22;
extern const std::array<const char*, kSprinklerRows> kSpeedCaptions;
extern const std::array<const char*, kSprinklerRows> kDefaultAmountTexts;

// The speeds the captions stand for (the number at the start of each caption).
std::vector<double> sprinklerSpeeds();
// The shipped amounts as numbers.
std::vector<double> defaultSprinklerAmounts();

// Fits the power law to the table. Every amount must be greater than 0: otherwise the
// answer names the first row that is not ("The water amount at 45% running speed must be
// greater than 0 mm.") and there is no law. A law that is not a pivot's (isPivotLaw: a flat
// or rising table, say) is refused too, naming its exponent.
struct SprinklerFit {
    std::optional<SpeedLaw> law;
    std::string problem;
    std::optional<std::size_t> row; // the row the problem names, if it names one
};
SprinklerFit fitSprinklerPackage(const std::vector<double>& amounts);

} // namespace tavik
