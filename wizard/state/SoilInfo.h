#pragma once

#include "CropTable.h"
#include "model/RootZone.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavik {

struct mType;

// The soil screen's layout for a depth: one row per layer with its caption and tag (the
// depth of the layer's bottom), and the thickness of the deepest layer.
struct DepthLayout {
    std::int16_t layers = 0;
    std::vector<std::string> captions; // "0 - 300 mm", "300 -  600 mm", …
    std::vector<std::string> tags;     // "300", "600", …
    // The deepest layer's thickness; none when the depth gives no layer (the state keeps
    // its earlier value then).
    std::optional<float> bottomLayerThickness;
};
DepthLayout depthLayout(std::int16_t depth);

// The crop figures of the soil screen, from the crop and target yield chosen now.
RootZoneCrop soilCropFactors(const CropTable& crops, std::int16_t cropRow, float targetYield,
                             bool deepRipped);

// Messages of the soil screen.
inline constexpr const char* kNoDepthMessage = "Please select soil depth";
inline constexpr const char* kZeroPawcMessage =
    "The PAWC value calculated is zero, Please check Silt+Clay % selected &/or soil depth";

// The soil screen's depth change: a new profile with the depth set, and the deepest layer's
// thickness (kept when the depth gives no layer).
DepthLayout applySoilDepth(mType& state, std::int16_t depth, Notifier* notifier);

// The soil screen's Next: the PAWC of the root zone for the silt + clay of each layer (top
// first), written to state.ProfilePAWC (0 unless the outcome is Ok). The profile is
// state.SoilProfile, whose depth applySoilDepth set.
RootZoneResult computeSoilPawc(mType& state, std::int16_t depth,
                               const std::vector<int>& siltClayPercent, bool deepRipped);

// The message for an outcome other than Ok.
std::string soilPawcMessage(const RootZoneResult& result);

} // namespace tavik
