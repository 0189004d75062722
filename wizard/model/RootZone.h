#pragma once

#include "cProfile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tavik {

// The crop figures the root-zone computation needs.
struct RootZoneCrop {
    float LeafPotential = 0;    // limiting leaf water potential, kPa
    float FsrFactor = 0;        // crop factor K of the uptake
    float RootLength = 0;       // root length of the crop
    float MeanDailyDemand = 0;  // seasonal water use / demand divisor, mm/day
    double RootDepthFactor = 0; // together with RootDepth: rooting depth in mm
    double RootDepth = 0;
    double Root90Fraction = 0;   // fraction of the rooting depth holding 90 % of the roots
    double UptakeRatio = 0;      // uptake must reach this share of the daily demand
    bool squareRootForm = false; // roots held nearer the surface (not deep ripped)
};

// The plant-available water of the root zone, found by drying the profile from its
// drained upper limit in steps of one day's demand while the roots can take water up fast
// enough. Arrays are indexed by layer 1..n (element 0 unused).
struct RootZoneResult {
    enum class Outcome {
        Ok,       // ProfilePAWC is a number other than 0
        NoLayers, // the depth gives no layer
        ZeroPawc, // the profile gives up no water (or the drying could not go on)
        Failed,   // a computation failed (see failure)
    };
    Outcome outcome = Outcome::ZeroPawc;
    std::string failure;
    float ProfilePAWC = 0;
    std::int16_t RootLayers = 0;
    float RootShape = 0;
    int dryingPasses = 0;
    std::vector<float> LayerWater;
    std::vector<float> RootDensity;
    std::vector<float> LayerPAWC;
};

// The most drying passes before the computation gives up (the result is then a zero PAWC).
inline constexpr int kMaxDryingPasses = 10000;

// Computes the profile's parameters from the silt + clay of each layer (siltClay[i] for
// layer i = 1..n) and then the root-zone PAWC. The profile's depth must be set; depthMm is
// the soil depth the root distribution is capped at.
RootZoneResult computeRootZone(cProfile& profile, std::int16_t depthMm,
                               const std::vector<float>& siltClay, const RootZoneCrop& crop);

} // namespace tavik
