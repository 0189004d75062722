#pragma once

#include "CTavik.h"

#include <string>

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

} // namespace tavikcalc
