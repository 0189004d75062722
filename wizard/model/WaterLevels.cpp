#include "WaterLevels.h"

#include "SoilLayers.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tavik {

const char* stageKey(Stage stage) {
    switch (stage) {
    case Stage::SeasonStart:
        return "SeasonStart";
    case Stage::PeakStart:
        return "PeakStart";
    case Stage::PeakEnd:
        return "PeakEnd";
    case Stage::SeasonEnd:
        return "SeasonEnd";
    }
    return "";
}

std::optional<Stage> stageFromKey(std::string_view key) {
    for (Stage stage : kStages) {
        if (key == stageKey(stage)) {
            return stage;
        }
    }
    return std::nullopt;
}

ClassThresholds ClassThresholds::between(float lower, float upper) {
    ClassThresholds t;
    t.LowerLimit = lower;
    const auto lo = static_cast<double>(lower);
    t.DryTop = static_cast<float>(lo + (static_cast<double>(upper) - lo) / 2.0);
    t.VeryDryTop = static_cast<float>(lo + (static_cast<double>(t.DryTop) - lo) / 2.0);
    t.WetTop =
        static_cast<float>(static_cast<double>(t.DryTop) +
                           (static_cast<double>(upper) - static_cast<double>(t.DryTop)) / 2.0);
    return t;
}

std::optional<std::string> ClassThresholds::classify(double x) const {
    if (0.0 <= x && x <= static_cast<double>(VeryDryTop)) {
        return "Very dry";
    }
    if (static_cast<double>(VeryDryTop) <= x && x <= static_cast<double>(DryTop)) {
        return "Dry";
    }
    if (static_cast<double>(DryTop) <= x && x <= static_cast<double>(WetTop)) {
        return "Wet";
    }
    if (x > static_cast<double>(WetTop)) {
        return "Very-Wet";
    }
    return std::nullopt;
}

namespace {

// A slider position as mm/mm with at most three decimals: 100 -> "0.1", 125 -> "0.125".
std::string positionText(int position) {
    std::string text = std::to_string(position / 1000);
    int thousandths = position % 1000;
    if (thousandths != 0) {
        std::string decimals = std::to_string(1000 + thousandths).substr(1);
        while (decimals.back() == '0') {
            decimals.pop_back();
        }
        text += "." + decimals;
    }
    return text;
}

} // namespace

float WaterLevelModel::thickness(int row) const {
    return row == layerCount_ - 1 ? bottomThickness_ : static_cast<float>(kLayerThicknessMm);
}

void WaterLevelModel::build(cProfile& profile, std::int16_t depth, float bottomLayerThickness) {
    profileLower_ = 0;
    profileUpper_ = 0;
    const float half = static_cast<float>(static_cast<double>(depth) * 0.5);
    layerCount_ = std::max<int>(0, profile.NumberOfLayers());
    bottomThickness_ = bottomLayerThickness;
    const auto n = static_cast<std::size_t>(layerCount_);
    layerLower_.assign(n, 0.0F);
    layerUpper_.assign(n, 0.0F);
    rowLimits_.assign(n, Limits{0.0F, 0.0F});
    for (int r = 0; r < layerCount_; ++r) {
        const auto at = static_cast<std::size_t>(r);
        const auto layer = static_cast<std::int16_t>(r + 1);
        const auto t = static_cast<double>(thickness(r));
        rowLimits_[at] = {profile.Theta1500Pa(layer), profile.DUL(layer)};
        layerLower_[at] = static_cast<float>(static_cast<double>(profile.Theta1500Pa(layer)) * t);
        layerUpper_[at] = static_cast<float>(static_cast<double>(profile.DUL(layer)) * t);
        profileLower_ = static_cast<float>(static_cast<double>(profileLower_) +
                                           static_cast<double>(layerLower_[at]));
        profileUpper_ = static_cast<float>(static_cast<double>(profileUpper_) +
                                           static_cast<double>(layerUpper_[at]));
    }

    dialMax_ = static_cast<long>(std::floor(half));
    dialMiddle_ = static_cast<long>(std::floor(static_cast<double>(half) / 2.0));
    for (auto& dial : dials_) {
        dial = DialValue(0, dialMax_);
    }

    for (std::size_t s = 0; s < 4; ++s) {
        // A layer that is still there keeps its planned level; a new layer starts as a copy
        // of the top one.
        const int first = built_ && !selections_[s].empty() ? selections_[s][0] : kFirstSelection;
        selections_[s].resize(built_ ? std::min(selections_[s].size(), n) : 0);
        selections_[s].resize(n, first);
        classes_[s].assign(n, std::string());
        texts_[s].assign(n, std::string());
    }
    built_ = true;
    for (int r = 0; r < layerCount_; ++r) {
        for (Stage stage :
             {Stage::SeasonStart, Stage::SeasonEnd, Stage::PeakStart, Stage::PeakEnd}) {
            selectionChange(r, stage);
        }
    }
}

int WaterLevelModel::selection(int row, Stage stage) const {
    return selections_[index(stage)].at(static_cast<std::size_t>(row));
}

void WaterLevelModel::select(int row, Stage stage, int position) {
    selections_[index(stage)].at(static_cast<std::size_t>(row)) =
        std::clamp(position, 0, kMaxSelection);
    selectionChange(row, stage);
}

const std::string& WaterLevelModel::layerClass(int row, Stage stage) const {
    return classes_[index(stage)].at(static_cast<std::size_t>(row));
}

const std::string& WaterLevelModel::sliderText(int row, Stage stage) const {
    return texts_[index(stage)].at(static_cast<std::size_t>(row));
}

void WaterLevelModel::LayerThresholds(int row) {
    const Limits& limits = rowLimits_.at(static_cast<std::size_t>(row));
    current_ = ClassThresholds::between(limits.lower, limits.upper);
}

void WaterLevelModel::selectionChange(int row, Stage stage) {
    LayerThresholds(row);
    const auto r = static_cast<std::size_t>(row);
    const int position = selections_[index(stage)].at(r);
    const double v = position / 1000.0;
    if (auto word = current_.classify(v)) {
        classes_[index(stage)][r] = std::move(*word);
    }
    texts_[index(stage)][r] = positionText(position);
    UpdateStageTotals();
    waterTexts_[index(stage)] =
        std::to_string(static_cast<long long>(std::floor(totals_[index(stage)]))) + "mm";
    ClassifyProfile(stage);
}

void WaterLevelModel::UpdateStageTotals() {
    std::array<float, 4> totals{};
    for (int r = 0; r < layerCount_; ++r) {
        const auto t = static_cast<double>(thickness(r));
        for (std::size_t s = 0; s < 4; ++s) {
            const double v = selections_[s][static_cast<std::size_t>(r)] / 1000.0;
            totals[s] = static_cast<float>(static_cast<double>(totals[s]) + v * t);
        }
    }
    totals_ = totals;
    for (std::size_t s = 0; s < 4; ++s) {
        dials_[s].setValue(static_cast<long>(std::floor(totals_[s])));
    }
    const auto T = [this](Stage stage) {
        return static_cast<double>(totals_[index(stage)]);
    };
    storageEarly_ = static_cast<float>(T(Stage::PeakStart) - T(Stage::SeasonStart));
    storagePeak_ = static_cast<float>(T(Stage::PeakEnd) - T(Stage::PeakStart));
    storageLate_ = static_cast<float>(T(Stage::SeasonEnd) - T(Stage::PeakEnd));
}

void WaterLevelModel::ClassifyProfile(Stage stage) {
    const ClassThresholds whole = ClassThresholds::between(profileLower_, profileUpper_);
    const long value = dials_[index(stage)].Value();
    nominal_[index(stage)] = whole.classify(static_cast<double>(value)).value_or(std::string());
}

} // namespace tavik
