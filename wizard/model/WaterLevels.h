#pragma once

#include "DialGeometry.h"
#include "cProfile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavik {

// The four growth stages, in the order of the report and the screen.
enum class Stage { SeasonStart = 0, PeakStart = 1, PeakEnd = 2, SeasonEnd = 3 };
inline constexpr std::array<Stage, 4> kStages{Stage::SeasonStart, Stage::PeakStart, Stage::PeakEnd,
                                              Stage::SeasonEnd};
// "SeasonStart", "PeakStart", "PeakEnd", "SeasonEnd".
const char* stageKey(Stage stage);
std::optional<Stage> stageFromKey(std::string_view key);

// The soil water class of a value against the class thresholds (tested in this order, so a
// value on a threshold takes the drier class): "Very dry", "Dry", "Wet", "Very-Wet"; none
// for a negative value.
struct ClassThresholds {
    float LowerLimit = 0;
    float VeryDryTop = 0;
    float DryTop = 0;
    float WetTop = 0;
    // The thresholds between a lower and an upper limit (quarter, mid and three-quarter
    // points), each stored as a 32-bit value.
    static ClassThresholds between(float lower, float upper);
    std::optional<std::string> classify(double x) const;
};

// The planned soil water of every layer at the four growth stages: slider positions in
// thousandths of mm/mm (0..500), their classes, the whole-profile totals shown on the dials,
// and the stored-water changes between the stages that the schedule uses.
class WaterLevelModel {
public:
    static constexpr int kMaxSelection = 500;
    static constexpr int kFirstSelection = 100;

    // (Re)builds the model from the soil profile (its per-layer limits must be computed),
    // the soil depth and the deepest layer's thickness. Row 0 keeps its selections; every
    // other row starts as a copy of row 0 (at the first build every slider stands at 100).
    // Then every row's selections are run through selectionChange.
    void build(cProfile& profile, std::int16_t depth, float bottomLayerThickness);

    int LayerCount() const { return layerCount_; }

    int selection(int row, Stage stage) const;
    // A user's move of one slider: sets its position (clamped to 0..500) and runs
    // selectionChange.
    void select(int row, Stage stage, int position);
    // Recomputes what follows from one slider: the row's class, the slider's text, the
    // totals and dials, the stage's water text and nominal class.
    void selectionChange(int row, Stage stage);

    const std::string& layerClass(int row, Stage stage) const;
    // The slider's content in mm/mm: "0.1", "0.125", "0", "0.5".
    const std::string& sliderText(int row, Stage stage) const;

    float stageTotal(Stage stage) const { return totals_[index(stage)]; }
    const DialValue& dial(Stage stage) const { return dials_[index(stage)]; }
    // The stage's whole-profile water: floor(total) followed by "mm" ("137mm").
    const std::string& waterText(Stage stage) const { return waterTexts_[index(stage)]; }
    const std::string& nominalClass(Stage stage) const { return nominal_[index(stage)]; }

    float StorageChangeEarly() const { return storageEarly_; }
    float StorageChangePeak() const { return storagePeak_; }
    float StorageChangeLate() const { return storageLate_; }

    // Dial scale: 0..floor(depth × 0.5); the middle mark floor(depth × 0.5 / 2).
    long dialMaximum() const { return dialMax_; }
    long dialMiddle() const { return dialMiddle_; }

    float ProfileLowerMm() const { return profileLower_; }
    float ProfileUpperMm() const { return profileUpper_; }
    float thickness(int row) const;

private:
    static std::size_t index(Stage stage) { return static_cast<std::size_t>(stage); }
    void LayerThresholds(int row);
    void UpdateStageTotals();
    void ClassifyProfile(Stage stage);

    int layerCount_ = 0;
    float bottomThickness_ = 0;
    std::vector<float> layerLower_, layerUpper_; // per row, mm
    struct Limits {
        float lower; // Theta1500Pa of the layer
        float upper; // its drained upper limit
    };
    std::vector<Limits> rowLimits_;
    float profileLower_ = 0, profileUpper_ = 0;
    ClassThresholds current_; // the thresholds of the last row looked at
    std::array<std::vector<int>, 4> selections_;
    std::array<std::vector<std::string>, 4> classes_, texts_;
    std::array<float, 4> totals_{};
    std::array<DialValue, 4> dials_{DialValue(0, 0), DialValue(0, 0), DialValue(0, 0),
                                    DialValue(0, 0)};
    std::array<std::string, 4> waterTexts_, nominal_;
    float storageEarly_ = 0, storagePeak_ = 0, storageLate_ = 0;
    long dialMax_ = 0, dialMiddle_ = 0;
    bool built_ = false;
};

} // namespace tavik
