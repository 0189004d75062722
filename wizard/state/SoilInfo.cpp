#include "SoilInfo.h"

#include "NumberText.h"
#include "WizardState.h"
#include "model/SoilLayers.h"
#include "model/cProfile.h"

#include <cmath>

namespace tavik {

DepthLayout depthLayout(std::int16_t depth) {
    DepthLayout layout;
    layout.layers = static_cast<std::int16_t>(std::max(0.0, layerCountOf(depth)));
    const int n = layout.layers;
    if (n >= 2) {
        layout.captions.push_back("0 - " + std::to_string(kLayerThicknessMm) + " mm");
        layout.tags.push_back(std::to_string(kLayerThicknessMm));
        for (int i = 1; i <= n - 1; ++i) {
            const std::string& t = layout.tags.back();
            const double top = leadingNumber(t);
            const auto next = static_cast<long long>(top) + kLayerThicknessMm;
            if (i == n - 1) {
                layout.captions.push_back(t + " - " + shortForm(depth) + " mm");
                layout.bottomLayerThickness = static_cast<float>(depth - top);
            } else {
                layout.captions.push_back(t + " - " + shortForm(next) + " mm");
            }
            layout.tags.push_back(std::to_string(next));
        }
    } else if (n == 1) {
        const int bottom = depth > kLayerThicknessMm ? kLayerThicknessMm : depth;
        layout.captions.push_back("0 - " + std::to_string(bottom) + "mm");
        layout.tags.push_back(std::to_string(kLayerThicknessMm));
        layout.bottomLayerThickness = static_cast<float>(depth);
    }
    return layout;
}

RootZoneCrop soilCropFactors(const CropTable& crops, std::int16_t cropRow, float targetYield,
                             bool deepRipped) {
    const auto c = [&](int column) {
        return crops.number(cropRow, column);
    };
    RootZoneCrop crop;
    crop.LeafPotential = static_cast<float>(c(CropColumn::LimitLeafPotential));
    crop.FsrFactor = static_cast<float>(c(CropColumn::CropFactorK));
    const double x = c(CropColumn::RootDepth);
    crop.RootLength = static_cast<float>((c(CropColumn::RootA0) + c(CropColumn::RootA0 + 1) * x +
                                          c(CropColumn::RootA0 + 2) * std::pow(x, 2) +
                                          c(CropColumn::RootA0 + 3) * std::pow(x, 3)) *
                                         c(CropColumn::RootScale));
    crop.MeanDailyDemand =
        static_cast<float>(((c(CropColumn::WaterUseIntercept) + static_cast<double>(targetYield)) /
                            c(CropColumn::WaterUseSlope)) /
                           c(CropColumn::DemandDivisor));
    crop.RootDepthFactor = c(CropColumn::RootDepthFactor);
    crop.RootDepth = x;
    crop.Root90Fraction = c(CropColumn::Root90Fraction);
    crop.UptakeRatio = c(CropColumn::UptakeRatio);
    // The crops of worksheet rows 4 and 10 keep their roots nearer the surface unless the
    // soil was deep ripped.
    crop.squareRootForm = !deepRipped && (cropRow == 4 || cropRow == 10);
    return crop;
}

DepthLayout applySoilDepth(mType& state, std::int16_t depth, Notifier* notifier) {
    state.SoilProfile = std::make_shared<cProfile>(notifier);
    state.SoilProfile->setDepth(depth);
    DepthLayout layout = depthLayout(depth);
    if (layout.bottomLayerThickness) {
        state.BottomLayerThickness = *layout.bottomLayerThickness;
    }
    return layout;
}

RootZoneResult computeSoilPawc(mType& state, std::int16_t depth,
                               const std::vector<int>& siltClayPercent, bool deepRipped) {
    if (!state.SoilProfile) {
        applySoilDepth(state, depth, nullptr);
    }
    const std::int16_t n = state.SoilProfile->NumberOfLayers();
    if (n <= 0) {
        RootZoneResult none;
        none.outcome = RootZoneResult::Outcome::NoLayers;
        return none;
    }
    state.ProfilePAWC = 0;
    std::vector<float> siltClay(static_cast<std::size_t>(n) + 1, 0.0F);
    for (std::int16_t i = 1; i <= n && static_cast<std::size_t>(i) <= siltClayPercent.size(); ++i) {
        siltClay[static_cast<std::size_t>(i)] =
            static_cast<float>(siltClayPercent[static_cast<std::size_t>(i - 1)]);
    }
    const RootZoneCrop crop =
        soilCropFactors(state.CropData, state.CropRow, state.TargetYield, deepRipped);
    RootZoneResult result = computeRootZone(*state.SoilProfile, depth, siltClay, crop);
    state.ProfilePAWC = result.ProfilePAWC;
    return result;
}

std::string soilPawcMessage(const RootZoneResult& result) {
    switch (result.outcome) {
    case RootZoneResult::Outcome::Ok:
        return {};
    case RootZoneResult::Outcome::NoLayers:
        return kNoDepthMessage;
    case RootZoneResult::Outcome::ZeroPawc:
        return kZeroPawcMessage;
    case RootZoneResult::Outcome::Failed:
        return "The PAWC cannot be calculated for this crop and soil: " + result.failure + ".";
    }
    return {};
}

} // namespace tavik
