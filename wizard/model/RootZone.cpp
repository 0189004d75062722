#include "RootZone.h"

#include "SoilLayers.h"

#include <algorithm>
#include <cmath>

namespace tavik {

namespace {

struct Uptake {
    std::vector<float> LayerPotential;
    std::vector<float> LayerUptake;
    float TotalUptake = 0;
};

// Water uptake rate of every rooted layer at the current layer water.
Uptake uptake(const cProfile& profile, const RootZoneCrop& crop, const RootZoneResult& zone) {
    Uptake u;
    const auto size = static_cast<std::size_t>(zone.RootLayers) + 1;
    u.LayerPotential.assign(size, 0.0F);
    u.LayerUptake.assign(size, 0.0F);
    for (std::int16_t i = 1; i <= zone.RootLayers; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const auto water = static_cast<double>(zone.LayerWater[at]);
        u.LayerPotential[at] =
            static_cast<float>(std::pow(static_cast<double>(profile.Theta1500Pa(i)) / water,
                                        static_cast<double>(profile.Cval(i))) *
                               1500.0);
        u.LayerUptake[at] = static_cast<float>(
            std::sqrt(static_cast<double>(zone.RootDensity[at]) * 3.142) *
            static_cast<double>(profile.FSRvalue(i)) *
            std::log(water / static_cast<double>(profile.ActualTheta(i))) *
            (static_cast<double>(crop.LeafPotential) - static_cast<double>(u.LayerPotential[at])) *
            kLayerThicknessMm);
        u.TotalUptake = static_cast<float>(static_cast<double>(u.TotalUptake) +
                                           static_cast<double>(u.LayerUptake[at]));
    }
    return u;
}

// The root density of every rooted layer: F(z) = 1 - e^(-RootShape g(z)) of the root length
// lies above z. False when the rooting depth and the root distribution give no roots.
bool distributeRoots(RootZoneResult& zone, const RootZoneCrop& crop, std::int16_t depthMm,
                     double rootingDepth) {
    const double Z = rootingDepth > depthMm ? static_cast<double>(depthMm) : rootingDepth;
    const double spread = Z * crop.Root90Fraction;
    const double denominator = crop.squareRootForm ? std::sqrt(spread) : spread;
    if (!(denominator > 0.0) || !std::isfinite(denominator)) {
        return false;
    }
    zone.RootShape = static_cast<float>(2.303 / denominator);
    const auto g = [&crop](double z) {
        return crop.squareRootForm ? std::sqrt(z) : z;
    };
    const auto F = [&](double z) {
        return 1.0 - std::exp(-static_cast<double>(zone.RootShape) * g(z));
    };
    for (std::int16_t i = 1; i <= zone.RootLayers; ++i) {
        const double z = static_cast<double>(kLayerThicknessMm) * i;
        zone.RootDensity[static_cast<std::size_t>(i)] =
            static_cast<float>(static_cast<double>(crop.RootLength) *
                               (F(z) - F(z - kLayerThicknessMm)) / kLayerThicknessMm);
    }
    return true;
}

// Dries the root zone one day's demand at a time while the uptake keeps up with it. False
// when the uptake is no finite figure or the drying does not stop.
bool dryRootZone(const cProfile& profile, const RootZoneCrop& crop, RootZoneResult& zone) {
    const double demand = static_cast<double>(crop.MeanDailyDemand);
    Uptake u = uptake(profile, crop, zone);
    while (!(static_cast<double>(u.TotalUptake) < demand * crop.UptakeRatio)) {
        if (!std::isfinite(u.TotalUptake) || zone.dryingPasses >= kMaxDryingPasses) {
            return false;
        }
        for (std::int16_t i = 1; i <= zone.RootLayers; ++i) {
            const auto at = static_cast<std::size_t>(i);
            zone.LayerWater[at] = static_cast<float>(static_cast<double>(zone.LayerWater[at]) -
                                                     static_cast<double>(u.LayerUptake[at]) /
                                                         static_cast<double>(u.TotalUptake) *
                                                         demand / kLayerThicknessMm);
        }
        ++zone.dryingPasses;
        u = uptake(profile, crop, zone);
    }
    return true;
}

// The water each rooted layer gave up, and the profile's total.
void sumPawc(const cProfile& profile, RootZoneResult& zone) {
    zone.LayerPAWC.assign(static_cast<std::size_t>(zone.RootLayers) + 1, 0.0F);
    for (std::int16_t i = 1; i <= zone.RootLayers; ++i) {
        const auto at = static_cast<std::size_t>(i);
        zone.LayerPAWC[at] = static_cast<float>(
            (static_cast<double>(profile.DUL(i)) - static_cast<double>(zone.LayerWater[at])) *
            kLayerThicknessMm);
        zone.ProfilePAWC = static_cast<float>(static_cast<double>(zone.ProfilePAWC) +
                                              static_cast<double>(zone.LayerPAWC[at]));
    }
}

} // namespace

RootZoneResult computeRootZone(cProfile& profile, std::int16_t depthMm,
                               const std::vector<float>& siltClay, const RootZoneCrop& crop) {
    RootZoneResult zone;
    const std::int16_t n = profile.NumberOfLayers();
    if (n <= 0) {
        zone.outcome = RootZoneResult::Outcome::NoLayers;
        return zone;
    }
    const auto size = static_cast<std::size_t>(n) + 1;
    zone.LayerWater.assign(size, 0.0F);
    zone.RootDensity.assign(size, 0.0F);

    const auto fail = [&zone](std::string why) {
        zone.outcome = RootZoneResult::Outcome::Failed;
        zone.failure = std::move(why);
        zone.ProfilePAWC = 0;
        return zone;
    };

    const double rootingDepth = crop.RootDepthFactor * crop.RootDepth;
    const double rooted = layerCountOf(rootingDepth);
    zone.RootLayers = static_cast<std::int16_t>(std::clamp(rooted, 0.0, static_cast<double>(n)));

    if (const auto error =
            profile.ComputeParameters(siltClay, crop.LeafPotential, crop.FsrFactor)) {
        return fail("the soil parameters cannot be computed (" + error->describe() + ")");
    }
    for (std::int16_t i = 1; i <= n; ++i) {
        zone.LayerWater[static_cast<std::size_t>(i)] = profile.DUL(i);
    }

    if (!distributeRoots(zone, crop, depthMm, rootingDepth)) {
        return fail("the crop's rooting depth and root distribution give no roots");
    }
    if (!dryRootZone(profile, crop, zone)) {
        zone.outcome = RootZoneResult::Outcome::ZeroPawc;
        zone.ProfilePAWC = 0;
        return zone;
    }
    sumPawc(profile, zone);
    zone.outcome = zone.ProfilePAWC != 0.0F && std::isfinite(zone.ProfilePAWC)
                       ? RootZoneResult::Outcome::Ok
                       : RootZoneResult::Outcome::ZeroPawc;
    if (zone.outcome != RootZoneResult::Outcome::Ok) {
        zone.ProfilePAWC = 0;
    }
    return zone;
}

} // namespace tavik
