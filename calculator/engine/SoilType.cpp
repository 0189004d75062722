#include "SoilType.h"

#include <charconv>
#include <cstdio>

namespace tavikcalc {

double soilTypePawc(const CropRecord& crop, SoilClass soil, double yieldTarget, int depth) {
    const SoilTriple& triple = crop.soil[static_cast<std::size_t>(soil)];
    return triple.soilBase + (crop.maxYield - yieldTarget) * triple.soilYieldFactor -
           (crop.referenceDepth - depth) * triple.soilDepthFactor;
}

std::string soilTypePawcText(double pawc) {
    char text[400]; // room for the largest double in fixed notation
    const int length = std::snprintf(text, sizeof text, "%.1lf", pawc);
    return {text, length < 0 ? 0 : static_cast<std::size_t>(length)};
}

double soilTypePawcAsShown(double pawc) {
    const std::string text = soilTypePawcText(pawc);
    double shown = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

} // namespace tavikcalc
