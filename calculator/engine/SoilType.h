#pragma once

#include "CTavik.h"

#include <string>
#include <string_view>

namespace tavikcalc {

// The profile available water capacity (mm) that the soil type dialog derives for the loaded
// crop from a soil class and a soil depth (mm): the class's base value at the crop's maximum
// yield and reference depth, plus water for a lower yield target, less water for a shallower
// soil.
double soilTypePawc(const CropRecord& crop, SoilClass soil, double yieldTarget, int depth);

// The dialog's display of that PAWC ("%.1lf"), and the value the dialog hands back: the
// display read as a number, so one decimal.
std::string soilTypePawcText(double pawc);
double soilTypePawcAsShown(double pawc);

// The soil class as the soil type dialog names it: "Sand", "Sandy - Loam" or "Sand Clay Loam
// to Clay".
std::string_view soilClassName(SoilClass soil);

// A PAWC (as shown) of 0 or less leaves the crop no water to draw on: the soil is too shallow
// for it. The sentence that says so, naming the soil, its depth (mm), the crop (its entry in
// the crop list) and the PAWC; empty when the PAWC is above 0.
std::string tooShallowProblem(std::string_view cropEntry, SoilClass soil, int depth,
                              double pawcShown);

} // namespace tavikcalc
