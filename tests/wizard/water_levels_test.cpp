// The planned soil water of each layer at the four growth stages: class words, stage totals,
// dial values, the stored-water changes handed to the schedule, and rebuilding.

#include "model/WaterLevels.h"
#include "model/cProfile.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tavik {
namespace {

// A computed profile with the given silt + clay per layer (top first).
cProfile computedProfile(std::int16_t depth, const std::vector<float>& siltClay) {
    cProfile profile;
    profile.setDepth(depth);
    std::vector<float> values{0.0F};
    values.insert(values.end(), siltClay.begin(), siltClay.end());
    EXPECT_FALSE(profile.ComputeParameters(values, 1500.0F, 0.01F));
    EXPECT_EQ(profile.NumberOfLayers(), static_cast<std::int16_t>(siltClay.size()));
    return profile;
}

struct ClassCase {
    float lower, upper;
    double x;
    const char* word; // nullptr: no class
};

void PrintTo(const ClassCase& c, std::ostream* os) {
    *os << c.x << " in " << c.lower << ".." << c.upper;
}

class SoilWaterClass : public testing::TestWithParam<ClassCase> {};

TEST_P(SoilWaterClass, ValueOnAThresholdTakesTheDrierClass) {
    const ClassCase& c = GetParam();
    const auto word = ClassThresholds::between(c.lower, c.upper).classify(c.x);
    if (c.word == nullptr) {
        EXPECT_FALSE(word);
    } else {
        EXPECT_EQ(word, c.word);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layer, SoilWaterClass,
    testing::Values(ClassCase{0.1F, 0.3F, 0.0, "Very dry"}, ClassCase{0.1F, 0.3F, 0.15, "Very dry"},
                    ClassCase{0.1F, 0.3F, 0.151, "Dry"}, ClassCase{0.1F, 0.3F, 0.2, "Dry"},
                    ClassCase{0.1F, 0.3F, 0.201, "Wet"}, ClassCase{0.1F, 0.3F, 0.25, "Wet"},
                    ClassCase{0.1F, 0.3F, 0.251, "Very-Wet"},
                    ClassCase{0.1F, 0.3F, 0.5, "Very-Wet"},
                    ClassCase{0.1F, 0.3F, -0.001, nullptr}));

INSTANTIATE_TEST_SUITE_P(
    WholeProfile, SoilWaterClass,
    testing::Values(ClassCase{90, 270, 0, "Very dry"}, ClassCase{90, 270, 135, "Very dry"},
                    ClassCase{90, 270, 136, "Dry"}, ClassCase{90, 270, 180, "Dry"},
                    ClassCase{90, 270, 181, "Wet"}, ClassCase{90, 270, 225, "Wet"},
                    ClassCase{90, 270, 226, "Very-Wet"}));

TEST(WaterLevels, NineHundredMillimetreProfileAtTheFirstPositions) {
    cProfile profile = computedProfile(900, {20, 20, 20});
    WaterLevelModel model;
    model.build(profile, 900, 300);
    ASSERT_EQ(model.LayerCount(), 3);
    EXPECT_NEAR(model.ProfileLowerMm(), 81.0, 1e-4);
    EXPECT_NEAR(model.ProfileUpperMm(), 191.7, 1e-4);
    EXPECT_EQ(model.dialMaximum(), 450);
    EXPECT_EQ(model.dialMiddle(), 225);
    for (Stage stage : kStages) {
        SCOPED_TRACE(stageKey(stage));
        EXPECT_FLOAT_EQ(model.stageTotal(stage), 90.0F);
        EXPECT_EQ(model.dial(stage).Value(), 90);
        EXPECT_EQ(model.waterText(stage), "90mm");
        EXPECT_EQ(model.nominalClass(stage), "Very dry"); // below 108.675 mm
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(model.selection(row, stage), 100);
            EXPECT_EQ(model.sliderText(row, stage), "0.1");
            EXPECT_EQ(model.layerClass(row, stage), "Very dry"); // below 0.12075
        }
    }
    EXPECT_EQ(model.StorageChangeEarly(), 0.0F);
    EXPECT_EQ(model.StorageChangePeak(), 0.0F);
    EXPECT_EQ(model.StorageChangeLate(), 0.0F);
}

TEST(WaterLevels, StorageChangesFollowTheStageTotals) {
    cProfile profile = computedProfile(900, {20, 20, 20});
    WaterLevelModel model;
    model.build(profile, 900, 300);
    model.select(0, Stage::PeakStart, 200); // 30 mm more at the start of the peak
    EXPECT_FLOAT_EQ(model.StorageChangeEarly(), 30.0F);
    EXPECT_FLOAT_EQ(model.StorageChangePeak(), -30.0F);
    EXPECT_EQ(model.StorageChangeLate(), 0.0F);
    EXPECT_EQ(model.waterText(Stage::PeakStart), "120mm");
    EXPECT_EQ(model.layerClass(0, Stage::PeakStart), "Very-Wet");   // 0.2 above 0.18225
    EXPECT_EQ(model.layerClass(0, Stage::SeasonStart), "Very dry"); // other stages untouched

    model.select(2, Stage::SeasonEnd, 0);
    EXPECT_FLOAT_EQ(model.StorageChangeLate(), -30.0F);
    EXPECT_EQ(model.waterText(Stage::SeasonEnd), "60mm");
    EXPECT_EQ(model.sliderText(2, Stage::SeasonEnd), "0");
    EXPECT_EQ(model.layerClass(2, Stage::SeasonEnd), "Very dry");
}

TEST(WaterLevels, DeepestLayerTakesTheRestOfTheDepth) {
    struct Profile {
        std::int16_t depth;
        std::vector<float> siltClay;
        float bottom;
        int selection;
        long dialMax, dialMiddle;
        float total;
        const char* text;
    };
    for (const Profile& p :
         {Profile{750, {20, 20, 20}, 150, 100, 375, 187, 75, "75mm"},
          Profile{400, {20}, 400, 500, 200, 100, 200, "200mm"},
          Profile{2000, {20, 20, 20, 20, 20, 20, 20}, 200, 500, 1000, 500, 1000, "1000mm"}}) {
        SCOPED_TRACE(testing::Message() << p.depth << " mm");
        cProfile profile = computedProfile(p.depth, p.siltClay);
        WaterLevelModel model;
        model.build(profile, p.depth, p.bottom);
        EXPECT_EQ(model.thickness(model.LayerCount() - 1), p.bottom);
        EXPECT_EQ(model.dialMaximum(), p.dialMax);
        EXPECT_EQ(model.dialMiddle(), p.dialMiddle);
        EXPECT_NEAR(model.ProfileLowerMm(), 0.09 * p.depth, 1e-3);
        for (int row = 0; row < model.LayerCount(); ++row) {
            for (Stage stage : kStages) {
                model.select(row, stage, p.selection);
            }
        }
        for (Stage stage : kStages) {
            EXPECT_FLOAT_EQ(model.stageTotal(stage), p.total);
            EXPECT_EQ(model.dial(stage).Value(), static_cast<long>(p.total)); // on the scale
            EXPECT_EQ(model.waterText(stage), p.text);
        }
    }
}

TEST(WaterLevels, WholeProfileClassUsesTheFlooredTotal) {
    // One 400 mm layer: 36 mm at the lower limit, 85.2 mm at the upper, so "Dry" ends at
    // 60.6 mm. A total of 60.8 mm shows as 60 and is classified as 60.
    cProfile profile = computedProfile(400, {20});
    WaterLevelModel model;
    model.build(profile, 400, 400);
    const ClassThresholds whole =
        ClassThresholds::between(model.ProfileLowerMm(), model.ProfileUpperMm());
    EXPECT_NEAR(whole.DryTop, 60.6, 1e-4);
    model.select(0, Stage::PeakEnd, 152);
    EXPECT_FLOAT_EQ(model.stageTotal(Stage::PeakEnd), 60.8F);
    EXPECT_EQ(model.waterText(Stage::PeakEnd), "60mm");
    EXPECT_EQ(model.nominalClass(Stage::PeakEnd), "Dry");
    EXPECT_EQ(whole.classify(60.8), "Wet");

    for (int s = 0; s <= 500; ++s) {
        model.select(0, Stage::PeakEnd, s);
        const double total = model.stageTotal(Stage::PeakEnd);
        ASSERT_EQ(model.nominalClass(Stage::PeakEnd), whole.classify(std::floor(total))) << s;
    }
}

TEST(WaterLevels, EachRowIsClassifiedAgainstItsOwnLayer) {
    cProfile profile = computedProfile(900, {10, 30, 50});
    WaterLevelModel model;
    model.build(profile, 900, 300);
    for (int row = 0; row < 3; ++row) {
        const auto layer = static_cast<std::int16_t>(row + 1);
        const ClassThresholds t =
            ClassThresholds::between(profile.Theta1500Pa(layer), profile.DUL(layer));
        for (int s = 0; s <= 500; ++s) {
            model.select(row, Stage::SeasonEnd, s);
            ASSERT_EQ(model.layerClass(row, Stage::SeasonEnd), t.classify(s / 1000.0))
                << "row " << row << " at " << s;
        }
    }
}

TEST(WaterLevels, SliderTextsAreMillimetresPerMillimetre) {
    cProfile profile = computedProfile(300, {20});
    WaterLevelModel model;
    model.build(profile, 300, 300);
    const std::vector<std::pair<int, std::string>> cases{
        {0, "0"},       {1, "0.001"},  {10, "0.01"}, {100, "0.1"},
        {125, "0.125"}, {250, "0.25"}, {500, "0.5"}};
    for (const auto& [position, text] : cases) {
        model.select(0, Stage::PeakStart, position);
        EXPECT_EQ(model.sliderText(0, Stage::PeakStart), text);
    }
}

// A rebuild for another depth: the layers still there keep their levels, a new layer starts as
// a copy of the top one.
TEST(WaterLevels, RebuildKeepsTheLayersLevelsAndCopiesTheTopRowDown) {
    cProfile first = computedProfile(900, {20, 20, 20});
    WaterLevelModel model;
    model.build(first, 900, 300);
    model.select(0, Stage::SeasonStart, 250);
    model.select(0, Stage::PeakEnd, 40);
    model.select(1, Stage::SeasonStart, 400);
    model.select(2, Stage::PeakStart, 0);

    cProfile deeper = computedProfile(1200, {20, 30, 40, 50});
    model.build(deeper, 1200, 300);
    ASSERT_EQ(model.LayerCount(), 4);
    EXPECT_EQ(model.dialMaximum(), 600);
    const int expected[4][4] = {// season start, peak start, peak end, season end, per row
                                {250, 100, 40, 100},
                                {400, 100, 100, 100},
                                {100, 0, 100, 100},
                                {250, 100, 40, 100}};
    for (int row = 0; row < 4; ++row) {
        for (Stage stage : kStages) {
            EXPECT_EQ(model.selection(row, stage), expected[row][static_cast<int>(stage)]) << row;
        }
    }
    EXPECT_NEAR(model.stageTotal(Stage::SeasonStart), 300.0F, 1e-3);
    EXPECT_EQ(model.dial(Stage::SeasonStart).Value(), 300);
    EXPECT_NEAR(model.StorageChangeEarly(), -210.0F, 1e-3);
    EXPECT_NEAR(model.StorageChangePeak(), -6.0F, 1e-3);
    EXPECT_NEAR(model.StorageChangeLate(), 36.0F, 1e-3);
    // Rows and the whole profile are classified again against the new profile.
    EXPECT_EQ(model.layerClass(3, Stage::SeasonStart), "Dry"); // 0.25 in 0.2351..0.2648
    EXPECT_EQ(model.layerClass(0, Stage::SeasonStart), "Very-Wet");
    EXPECT_EQ(model.nominalClass(Stage::SeasonStart), "Very-Wet"); // 300 above 285.975
    EXPECT_EQ(model.nominalClass(Stage::PeakStart), "Very dry");   // 90 below 213.525
}

} // namespace
} // namespace tavik
