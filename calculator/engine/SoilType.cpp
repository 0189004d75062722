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

std::string_view soilClassName(SoilClass soil) {
    switch (soil) {
    case SoilClass::Sand:
        return "Sand";
    case SoilClass::SandyLoam:
        return "Sandy - Loam";
    case SoilClass::Clay:
        return "Sand Clay Loam to Clay";
    }
    return "The soil";
}

std::string tooShallowProblem(std::string_view cropEntry, SoilClass soil, int depth,
                              double pawcShown) {
    if (pawcShown > 0) {
        return {};
    }
    // "Wheat: Growing season 150 days" reads "Wheat (growing season 150 days)" in a sentence.
    std::string crop(cropEntry);
    if (const auto colon = crop.find(": "); colon != std::string::npos && colon + 2 < crop.size()) {
        std::string season = crop.substr(colon + 2);
        if (season[0] >= 'A' && season[0] <= 'Z') {
            season[0] = static_cast<char>(season[0] - 'A' + 'a');
        }
        crop = crop.substr(0, colon) + " (" + season + ")";
    }
    return std::string(soilClassName(soil)) + " " + std::to_string(depth) +
           " mm deep is too shallow for " + crop +
           ": the plant available water capacity comes out at " +
           soilTypePawcText(pawcShown + 0.0) + // + 0.0: no "-0.0"
           " mm.";
}

} // namespace tavikcalc
