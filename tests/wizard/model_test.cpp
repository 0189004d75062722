// The soil profile, the root-zone PAWC of the soil screen (checked against the crop
// workbook's reference tables), the dial's geometry and the sprinkler package's speed law.

#include "TestSupport.h"
#include "model/DialGeometry.h"
#include "model/RootZone.h"
#include "model/cProfile.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "state/SoilInfo.h"
#include "state/SprinklerPackage.h"
#include "state/WizardState.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <sstream>

namespace tavik {
namespace {

using test::CsvRows;

using RecordingNotifier = test::RecordingNotifier;

// Silt + clay per layer, element 0 unused.
std::vector<float> layers(std::initializer_list<float> topFirst) {
    std::vector<float> values{0.0F};
    values.insert(values.end(), topFirst);
    return values;
}

// ---- Soil profile ---------------------------------------------------------------------

TEST(cProfile, LayerCountRoundsDepthToWholeLayers) {
    const std::vector<std::pair<std::int16_t, std::int16_t>> cases{
        {0, 0}, {149, 0}, {150, 1}, {449, 1}, {450, 2}, {567, 2}, {749, 2}, {750, 3}, {2000, 7}};
    for (const auto& [depth, expected] : cases) {
        cProfile profile;
        profile.setDepth(depth);
        EXPECT_EQ(profile.NumberOfLayers(), expected) << depth;
        EXPECT_EQ(profile.Depth(), depth);
    }
}

struct SoilValues {
    float siltClay;
    float theta1500;
    double cval;
    float dul;
};

class cProfileValues : public testing::TestWithParam<SoilValues> {};

TEST_P(cProfileValues, FollowFromSiltAndClay) {
    const SoilValues& v = GetParam();
    cProfile profile;
    profile.setDepth(300);
    ASSERT_FALSE(profile.ComputeParameters(layers({v.siltClay}), 1500.0F, 0.0000027F));
    EXPECT_FLOAT_EQ(profile.Theta1500Pa(1), v.theta1500);
    EXPECT_NEAR(profile.Cval(1), v.cval, 5e-6);
    EXPECT_FLOAT_EQ(profile.DUL(1), v.dul);
    // At a leaf potential of 1500 kPa the crop's limit is the 1500 kPa water content.
    EXPECT_FLOAT_EQ(profile.ActualTheta(1), profile.Theta1500Pa(1));
    EXPECT_EQ(profile.FSRvalue(1), v.siltClay * 0.0000027F);
}

INSTANTIATE_TEST_SUITE_P(Examples, cProfileValues,
                         testing::Values(SoilValues{1, 0.01685F, 6.985124, 0.1427F},
                                         SoilValues{20, 0.09F, 5.743383, 0.213F},
                                         SoilValues{100, 0.398F, 13.59234, 0.509F}));

TEST(cProfile, ActualThetaFollowsTheLeafPotential) {
    cProfile profile;
    profile.setDepth(300);
    ASSERT_FALSE(profile.ComputeParameters(layers({20}), 2000.0F, 0.01F));
    EXPECT_NEAR(profile.ActualTheta(1), 0.085603, 5e-7);
}

TEST(cProfile, RefusedWritesAndAMissingDepthAreToldAndChangeNothing) {
    RecordingNotifier notifier;
    cProfile profile(&notifier);
    profile.setDepth(600);
    ASSERT_FALSE(profile.ComputeParameters(layers({20, 30}), 1500.0F, 0.01F));
    const float cval = profile.Cval(1);
    profile.setNumberOfLayers(5);
    profile.setDUL(1, 0.5F);
    profile.setTheta1500Pa(1, 0.5F);
    profile.setActualTheta(1, 0.5F);
    profile.setFSRvalue(1, 0.5F);
    profile.setCval(1, 0.5F);
    profile.setDepth(149);
    EXPECT_FALSE(profile.ComputeParameters(layers({50}), 1500.0F, 0.01F));
    std::vector<std::string> texts;
    for (const auto& m : notifier.shown) {
        EXPECT_EQ(m.title, "Class Profile");
        EXPECT_EQ(m.icon, texts.size() < 6 ? Notifier::Icon::Warning : Notifier::Icon::Information);
        texts.push_back(m.text);
    }
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "NumberOfLayers is read only property!", "DUL is read only property!",
                         "Theta1500Pa is read only property!", "ActualTheta is read only property!",
                         "FSRvalue is read only property!", "Cval is read only property!",
                         "PLease set the soil depth first, before calling ComputeParameters"}));
    EXPECT_EQ(profile.Cval(1), cval);
    EXPECT_FLOAT_EQ(profile.DUL(2), 0.25F); // the earlier run's layers stay
}

TEST(cProfile, ARunSizesTheLayersAfreshAndStopsAtAFailingLayer) {
    cProfile profile;
    EXPECT_THROW((void)profile.DUL(1), std::out_of_range); // before any run
    profile.setDepth(900);
    ASSERT_FALSE(profile.ComputeParameters(layers({20, 30, 40}), 1500.0F, 0.01F));
    profile.setDepth(300);
    ASSERT_FALSE(profile.ComputeParameters(layers({20, 30, 40}), 1500.0F, 0.01F));
    EXPECT_THROW((void)profile.Cval(2), std::out_of_range);
    EXPECT_THROW((void)profile.DUL(0), std::out_of_range);

    // Silt + clay 0: the retention curve's exponent divides by zero.
    profile.setDepth(900);
    const auto error = profile.ComputeParameters(layers({30, 0, 20}), 1500.0F, 0.01F);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind, ProfileError::Kind::DivisionByZero);
    EXPECT_EQ(error->layer, 2);
    EXPECT_FLOAT_EQ(profile.DUL(1), 0.25F); // the layer above is complete
    EXPECT_FLOAT_EQ(profile.Theta1500Pa(2), 0.013F);
    EXPECT_EQ(profile.Cval(2), 0.0F);
    EXPECT_EQ(profile.DUL(3), 0.0F);

    const auto missing = profile.ComputeParameters(layers({30, 20}), 1500.0F, 0.01F);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind, ProfileError::Kind::SubscriptOutOfRange);
    EXPECT_EQ(missing->layer, 3);
}

// ---- Soil screen: depth layout --------------------------------------------------------

struct LayoutCase {
    std::int16_t depth;
    std::vector<std::string> captions;
    std::optional<float> bottom;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.depth << " mm";
}

class DepthLayoutCases : public testing::TestWithParam<LayoutCase> {};

TEST_P(DepthLayoutCases, CaptionsAndBottomLayer) {
    const LayoutCase& c = GetParam();
    const DepthLayout layout = depthLayout(c.depth);
    EXPECT_EQ(layout.layers, static_cast<std::int16_t>(c.captions.size()));
    EXPECT_EQ(layout.captions, c.captions);
    EXPECT_EQ(layout.bottomLayerThickness, c.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Depths, DepthLayoutCases,
    testing::Values(LayoutCase{149, {}, std::nullopt}, LayoutCase{150, {"0 - 150mm"}, 150.0F},
                    LayoutCase{300, {"0 - 300mm"}, 300.0F}, LayoutCase{301, {"0 - 300mm"}, 301.0F},
                    LayoutCase{449, {"0 - 300mm"}, 449.0F},
                    LayoutCase{450, {"0 - 300 mm", "300 -  450 mm"}, 150.0F},
                    LayoutCase{567, {"0 - 300 mm", "300 -  567 mm"}, 267.0F},
                    LayoutCase{750, {"0 - 300 mm", "300 -  600 mm", "600 -  750 mm"}, 150.0F},
                    LayoutCase{1000, {"0 - 300 mm", "300 -  600 mm", "600 -  1000 mm"}, 400.0F},
                    LayoutCase{2000,
                               {"0 - 300 mm", "300 -  600 mm", "600 -  900 mm", "900 -  1200 mm",
                                "1200 -  1500 mm", "1500 -  1800 mm", "1800 -  2000 mm"},
                               200.0F}));

TEST(SoilDepth, ANewProfilePerDepthAndNoLayerKeepsTheBottomThickness) {
    mType state;
    applySoilDepth(state, 567, nullptr);
    const auto first = state.SoilProfile;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Depth(), 567);
    EXPECT_EQ(state.BottomLayerThickness, 267.0F);

    applySoilDepth(state, 100, nullptr);
    EXPECT_NE(state.SoilProfile, first);
    EXPECT_EQ(state.SoilProfile->Depth(), 100);
    EXPECT_EQ(state.BottomLayerThickness, 267.0F);

    const RootZoneResult none = computeSoilPawc(state, 100, {20}, false);
    EXPECT_EQ(none.outcome, RootZoneResult::Outcome::NoLayers);
    EXPECT_EQ(soilPawcMessage(none), "Please select soil depth");
}

// ---- Soil screen: PAWC ----------------------------------------------------------------

// A made-up crop whose drying run is easy to follow: a mean demand of 5 mm/day, a rooting
// depth of 1200 mm and K = 0.01. It stands in the rows given (4 and 10 are the rows whose
// roots keep nearer the surface when the soil is not ripped).
mType stateWithTestCrop(std::initializer_list<int> rows,
                        const std::vector<std::pair<int, std::string>>& changes = {}) {
    const std::vector<std::pair<int, std::string>> testCrop{
        {6, "100"}, {7, "15"},    {8, "1500"}, {13, "0"},    {14, "1"},    {15, "0"},   {16, "0"},
        {17, "1"},  {18, "1000"}, {19, "1.2"}, {20, "0.01"}, {21, "1500"}, {22, "0.5"}, {23, "1"}};
    CsvRows csv = test::shippedCropCsv();
    for (int row : rows) {
        auto& r = csv[static_cast<std::size_t>(row - 1)];
        r[0] = "Test crop";
        for (const auto& cells : {testCrop, changes}) {
            for (const auto& [column, field] : cells) {
                r[static_cast<std::size_t>(column - 1)] = field;
            }
        }
    }
    mType state;
    state.CropData.load(test::sheetFromCsv(csv));
    state.TargetYield = 6000;
    return state;
}

RootZoneResult nextPressed(mType& state, std::int16_t row, std::int16_t depth,
                           const std::vector<int>& siltClay, bool ripped) {
    state.CropRow = row;
    applySoilDepth(state, depth, nullptr);
    return computeSoilPawc(state, depth, siltClay, ripped);
}

TEST(SoilPawc, TestCropDriesInTwentyTwoPassesInEitherRootForm) {
    mType state = stateWithTestCrop({2, 4});
    const RootZoneCrop crop = soilCropFactors(state.CropData, 2, 6000, false);
    EXPECT_EQ(crop.MeanDailyDemand, 5.0F);
    EXPECT_FLOAT_EQ(crop.RootLength, 1.2F);
    EXPECT_EQ(crop.LeafPotential, 1500.0F);
    EXPECT_EQ(crop.FsrFactor, 0.01F);

    struct Form {
        std::int16_t row;
        bool ripped;
        double rootShape, shapeTolerance; // to the digits given
        std::array<double, 3> density;
        double densityTolerance;
    };
    const Form linear{2, false, 0.0051178, 5e-8, {0.003138, 0.000676, 0.000146}, 5e-7};
    const Form squareRoot{4, false, 0.10856, 5e-6, {0.00339, 0.00033, 0.000126}, 5e-6};
    const Form rippedRow4{4, true, 0.0051178, 5e-8, {0.003138, 0.000676, 0.000146}, 5e-7};
    for (const Form& form : {linear, squareRoot, rippedRow4}) {
        SCOPED_TRACE(testing::Message() << "row " << form.row << (form.ripped ? " ripped" : ""));
        const RootZoneResult r = nextPressed(state, form.row, 900, {20, 25, 30}, form.ripped);
        ASSERT_EQ(r.outcome, RootZoneResult::Outcome::Ok) << r.failure;
        EXPECT_EQ(r.RootLayers, 3);
        EXPECT_NEAR(r.RootShape, form.rootShape, form.shapeTolerance);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(r.RootDensity[i + 1], form.density[i], form.densityTolerance) << i + 1;
        }
        EXPECT_EQ(r.dryingPasses, 22);
        EXPECT_NEAR(r.ProfilePAWC, 110.0, 1e-3);
        EXPECT_EQ(state.ProfilePAWC, r.ProfilePAWC);
        if (!form.ripped && form.row == 2) {
            EXPECT_NEAR(r.LayerWater[1], 0.0903, 5e-5);
            EXPECT_NEAR(r.LayerWater[2], 0.1097, 5e-5);
            EXPECT_NEAR(r.LayerWater[3], 0.1278, 5e-5);
        }
    }
}

TEST(SoilPawc, ARootZoneThatCannotMeetTheDemandAtItsUpperLimitHoldsNoWater) {
    // Roots that take water up a hundred thousand times more slowly.
    mType state = stateWithTestCrop({2}, {{20, "1e-7"}});
    state.ProfilePAWC = 99;
    const RootZoneResult r = nextPressed(state, 2, 900, {20, 25, 30}, false);
    EXPECT_EQ(r.outcome, RootZoneResult::Outcome::ZeroPawc);
    EXPECT_EQ(r.dryingPasses, 0);
    EXPECT_EQ(state.ProfilePAWC, 0.0F);
    EXPECT_EQ(soilPawcMessage(r), "The PAWC value calculated is zero, Please check Silt+Clay % "
                                  "selected &/or soil depth");
}

TEST(SoilPawc, DryingThatCannotStopEndsWithoutWater) {
    struct Endless {
        std::vector<std::pair<int, std::string>> changes;
        float targetYield;
        int passes; // 0: ends before the bound
    };
    for (const Endless& e : {
             // No uptake required: the layers dry past zero and the uptake is no number.
             Endless{{{23, "0"}}, 6000, 0},
             Endless{{{23, "-1"}}, 6000, 0},
             // No roots: the first pass divides nothing by nothing.
             Endless{{{23, "0"}, {17, "0"}}, 6000, 0},
             // No demand: every pass takes nothing out.
             Endless{{}, -1500, kMaxDryingPasses},
         }) {
        mType state = stateWithTestCrop({2}, e.changes);
        state.TargetYield = e.targetYield;
        const RootZoneResult r = nextPressed(state, 2, 900, {20, 25, 30}, false);
        EXPECT_EQ(r.outcome, RootZoneResult::Outcome::ZeroPawc) << r.dryingPasses;
        if (e.passes == 0) {
            EXPECT_LT(r.dryingPasses, kMaxDryingPasses);
        } else {
            EXPECT_EQ(r.dryingPasses, e.passes);
        }
        EXPECT_EQ(state.ProfilePAWC, 0.0F);
    }
}

// The crop workbook's check tables: for every crop at its recommended yield, PAWC (mm, to
// 0.1) and drying passes over soil depth × silt + clay (the same in every layer).
enum class Ripping { Either, NotRipped, Ripped };

struct PawcTable {
    std::int16_t row;
    const char* crop;
    Ripping ripping;
    // "PAWC/passes" at 10, 20, 30 and 40 %; one group per depth of 300, 600, 900, 1200,
    // 1500 and 2000 mm.
    const char* grid;
};

void PrintTo(const PawcTable& t, std::ostream* os) {
    *os << t.row << " " << t.crop;
}

class ReferencePawc : public testing::TestWithParam<PawcTable> {};

TEST_P(ReferencePawc, MatchesOverDepthAndSiltClay) {
    const PawcTable& t = GetParam();
    mType state;
    state.CropData.load(test::sheetFromCsv(test::shippedCropCsv()));
    state.TargetYield =
        static_cast<float>(state.CropData.number(t.row, CropColumn::RecommendedYield));
    std::vector<bool> rippings;
    if (t.ripping != Ripping::Ripped) {
        rippings.push_back(false);
    }
    if (t.ripping != Ripping::NotRipped) {
        rippings.push_back(true);
    }
    std::istringstream grid(t.grid);
    for (std::int16_t depth : {300, 600, 900, 1200, 1500, 2000}) {
        for (int siltClay : {10, 20, 30, 40}) {
            double pawc = 0;
            char slash = 0;
            int passes = 0;
            grid >> pawc >> slash >> passes;
            ASSERT_EQ(slash, '/') << t.grid;
            for (bool ripped : rippings) {
                const RootZoneResult r =
                    nextPressed(state, t.row, depth,
                                std::vector<int>(depthLayout(depth).layers, siltClay), ripped);
                SCOPED_TRACE(testing::Message()
                             << depth << " mm, " << siltClay << " %" << (ripped ? ", ripped" : ""));
                ASSERT_EQ(r.outcome, RootZoneResult::Outcome::Ok) << r.failure;
                EXPECT_EQ(std::round(static_cast<double>(r.ProfilePAWC) * 10.0) / 10.0, pawc)
                    << r.ProfilePAWC;
                EXPECT_EQ(r.dryingPasses, passes);
            }
        }
        char bar = 0;
        grid >> bar;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Crops, ReferencePawc,
    testing::Values(
        PawcTable{2, "Wheat", Ripping::Either,
                  "25.8/5 25.8/5 31.0/6 31.0/6 | 41.3/8 46.4/9 46.4/9 46.4/9 | "
                  "61.9/12 72.2/14 72.2/14 72.2/14 | 87.7/17 98.0/19 103.2/20 103.2/20 | "
                  "113.5/22 129.0/25 129.0/25 129.0/25 | 113.5/22 129.0/25 129.0/25 129.0/25"},
        PawcTable{3, "Maize", Ripping::Either,
                  "23.9/3 23.9/3 31.8/4 31.8/4 | 39.8/5 47.8/6 47.8/6 47.8/6 | "
                  "63.7/8 71.6/9 71.6/9 71.6/9 | 87.5/11 103.5/13 103.5/13 103.5/13 | "
                  "87.5/11 103.5/13 103.5/13 103.5/13 | 87.5/11 103.5/13 103.5/13 103.5/13"},
        PawcTable{4, "PotatoesSummer", Ripping::NotRipped,
                  "25.7/6 30.0/7 30.0/7 30.0/7 | 47.1/11 51.4/12 51.4/12 51.4/12 | "
                  "47.1/11 51.4/12 51.4/12 51.4/12 | 47.1/11 51.4/12 51.4/12 51.4/12 | "
                  "47.1/11 51.4/12 51.4/12 51.4/12 | 47.1/11 51.4/12 51.4/12 51.4/12"},
        PawcTable{4, "PotatoesSummerRipped", Ripping::Ripped,
                  "25.7/6 30.0/7 30.0/7 30.0/7 | 51.4/12 55.6/13 55.6/13 55.6/13 | "
                  "51.4/12 55.6/13 55.6/13 55.6/13 | 51.4/12 55.6/13 55.6/13 55.6/13 | "
                  "51.4/12 55.6/13 55.6/13 55.6/13 | 51.4/12 55.6/13 55.6/13 55.6/13"},
        PawcTable{5, "Groundnuts", Ripping::Either,
                  "21.5/3 28.6/4 28.6/4 28.6/4 | 42.9/6 50.1/7 50.1/7 50.1/7 | "
                  "71.6/10 78.7/11 78.7/11 78.7/11 | 71.6/10 78.7/11 78.7/11 78.7/11 | "
                  "71.6/10 78.7/11 78.7/11 78.7/11 | 71.6/10 78.7/11 78.7/11 78.7/11"},
        PawcTable{6, "Cotton", Ripping::Either,
                  "20.8/3 27.7/4 27.7/4 27.7/4 | 41.6/6 48.5/7 48.5/7 48.5/7 | "
                  "69.3/10 76.2/11 76.2/11 76.2/11 | 90.0/13 103.9/15 103.9/15 110.8/16 | "
                  "117.7/17 131.6/19 131.6/19 131.6/19 | 117.7/17 131.6/19 131.6/19 131.6/19"},
        PawcTable{7, "SoyaBeans", Ripping::Either,
                  "17.6/3 23.4/4 23.4/4 23.4/4 | 35.1/6 46.8/8 46.8/8 46.8/8 | "
                  "64.4/11 70.3/12 70.3/12 76.1/13 | 64.4/11 76.1/13 76.1/13 76.1/13 | "
                  "64.4/11 76.1/13 76.1/13 76.1/13 | 64.4/11 76.1/13 76.1/13 76.1/13"},
        PawcTable{8, "Peas", Ripping::Either,
                  "26.4/4 26.4/4 26.4/4 26.4/4 | 46.3/7 52.9/8 52.9/8 52.9/8 | "
                  "72.7/11 79.3/12 79.3/12 79.3/12 | 72.7/11 79.3/12 79.3/12 79.3/12 | "
                  "72.7/11 79.3/12 79.3/12 79.3/12 | 72.7/11 79.3/12 79.3/12 79.3/12"},
        PawcTable{9, "DryBeans", Ripping::Either,
                  "18.4/3 24.6/4 24.6/4 24.6/4 | 43.0/7 49.1/8 49.1/8 49.1/8 | "
                  "67.5/11 79.8/13 79.8/13 79.8/13 | 67.5/11 79.8/13 79.8/13 79.8/13 | "
                  "67.5/11 79.8/13 79.8/13 79.8/13 | 67.5/11 79.8/13 79.8/13 79.8/13"},
        PawcTable{10, "PotatoesWinter", Ripping::NotRipped,
                  "27.1/5 27.1/5 27.1/5 27.1/5 | 43.4/8 48.8/9 48.8/9 48.8/9 | "
                  "43.4/8 48.8/9 48.8/9 48.8/9 | 43.4/8 48.8/9 48.8/9 48.8/9 | "
                  "43.4/8 48.8/9 48.8/9 48.8/9 | 43.4/8 48.8/9 48.8/9 48.8/9"},
        PawcTable{10, "PotatoesWinterRipped", Ripping::Ripped,
                  "27.1/5 27.1/5 27.1/5 27.1/5 | 48.8/9 54.3/10 54.3/10 54.3/10 | "
                  "48.8/9 54.3/10 54.3/10 54.3/10 | 48.8/9 54.3/10 54.3/10 54.3/10 | "
                  "48.8/9 54.3/10 54.3/10 54.3/10 | 48.8/9 54.3/10 54.3/10 54.3/10"},
        PawcTable{11, "Sunflower", Ripping::Either,
                  "22.2/3 29.7/4 29.7/4 29.7/4 | 44.5/6 44.5/6 44.5/6 51.9/7 | "
                  "66.7/9 74.1/10 74.1/10 74.1/10 | 89.0/12 103.8/14 103.8/14 103.8/14 | "
                  "89.0/12 103.8/14 103.8/14 103.8/14 | 89.0/12 103.8/14 103.8/14 103.8/14"},
        PawcTable{12, "Barley", Ripping::Either,
                  "24.3/5 29.1/6 29.1/6 29.1/6 | 38.8/8 48.5/10 48.5/10 48.5/10 | "
                  "63.1/13 72.8/15 72.8/15 72.8/15 | 92.2/19 101.9/21 101.9/21 101.9/21 | "
                  "92.2/19 101.9/21 101.9/21 101.9/21 | 92.2/19 101.9/21 101.9/21 101.9/21"}),
    [](const testing::TestParamInfo<PawcTable>& p) {
        return std::to_string(p.param.row) + "_" + p.param.crop;
    });

TEST(SoilPawc, OpeningStateOfEveryCrop) {
    // 567 mm (300 + 267 mm), 20 % silt + clay, not ripped, recommended yield.
    struct Opening {
        std::int16_t row;
        double demand; // mm/day, to 0.01
        double pawc;   // mm, to 0.1
        int passes;
    };
    mType state;
    state.CropData.load(test::sheetFromCsv(test::shippedCropCsv()));
    for (const Opening& o :
         {Opening{2, 5.16, 46.4, 9}, Opening{3, 7.96, 47.8, 6}, Opening{4, 4.28, 47.1, 11},
          Opening{5, 7.16, 50.1, 7}, Opening{6, 6.93, 48.5, 7}, Opening{7, 5.85, 46.8, 8},
          Opening{8, 6.61, 52.9, 8}, Opening{9, 6.14, 49.1, 8}, Opening{10, 5.43, 43.4, 8},
          Opening{11, 7.41, 44.5, 6}, Opening{12, 4.85, 43.7, 9}}) {
        SCOPED_TRACE(testing::Message() << "row " << o.row);
        state.TargetYield =
            static_cast<float>(state.CropData.number(o.row, CropColumn::RecommendedYield));
        const RootZoneCrop crop = soilCropFactors(state.CropData, o.row, state.TargetYield, false);
        EXPECT_EQ(std::round(static_cast<double>(crop.MeanDailyDemand) * 100.0) / 100.0, o.demand);
        const RootZoneResult r = nextPressed(state, o.row, 567, {20, 20}, false);
        ASSERT_EQ(r.outcome, RootZoneResult::Outcome::Ok) << r.failure;
        EXPECT_EQ(r.RootLayers, 2);
        EXPECT_EQ(std::round(static_cast<double>(r.ProfilePAWC) * 10.0) / 10.0, o.pawc);
        EXPECT_EQ(r.dryingPasses, o.passes);
        // Every pass takes one mean day's demand out of the root zone.
        EXPECT_NEAR(r.ProfilePAWC, o.passes * static_cast<double>(crop.MeanDailyDemand), 1e-3);
    }
}

// ---- Dial geometry --------------------------------------------------------------------

TEST(DialGeometry, NeedleRunsFromLeftOverTheTopToRight) {
    const DialGeometry dial(140, 70, 0, 100);
    EXPECT_EQ(dial.PivotX(), 70);
    EXPECT_EQ(dial.PivotY(), 70);
    EXPECT_EQ(dial.NeedleLength(), 50);
    struct Tip {
        long value, degrees, x, y;
    };
    for (const Tip& t :
         {Tip{0, 0, 20, 70}, Tip{25, -45, 35, 35}, Tip{50, -90, 70, 20}, Tip{100, -180, 120, 70}}) {
        EXPECT_EQ(dial.needleDegrees(t.value), t.degrees) << t.value;
        const auto tip = dial.needleTip(t.value);
        EXPECT_EQ(tip.x, t.x) << t.value;
        EXPECT_EQ(tip.y, t.y) << t.value;
    }
}

TEST(DialGeometry, AnglesAreWholeDegreesAndThePivotRoundsHalvesToEven) {
    const DialGeometry dial(141, 71, 0, 375);
    EXPECT_EQ(dial.PivotX(), 70); // 70.5
    EXPECT_EQ(dial.NeedleLength(), 51);
    EXPECT_EQ(dial.needleDegrees(1), 0); // 0.48 degrees
    EXPECT_EQ(dial.needleTip(1).x, dial.needleTip(0).x);
    EXPECT_EQ(dial.needleDegrees(2), -1);
    EXPECT_EQ(dial.needleDegrees(375), -180);
    EXPECT_EQ(DialGeometry(141, 71, 0, 100).needleDegrees(25), -45);
    EXPECT_EQ(DialGeometry(141, 71, 0, 100).needleDegrees(1), -2); // 1.8
}

TEST(DialValue, IgnoresValuesOutsideItsScale) {
    DialValue dial(10, 20);
    EXPECT_EQ(dial.Value(), 0); // even though 0 is off the scale
    EXPECT_FALSE(dial.setValue(21));
    EXPECT_FALSE(dial.setValue(9));
    EXPECT_EQ(dial.Value(), 0);
    EXPECT_TRUE(dial.setValue(20));
    EXPECT_EQ(dial.Value(), 20);
}

// ---- Sprinkler package ----------------------------------------------------------------

TEST(SprinklerPackage, ShippedTableIsTheInverseOfTheSpeed) {
    const std::vector<double> speeds = sprinklerSpeeds();
    EXPECT_EQ(speeds, (std::vector<double>{100, 90, 80, 75,   70, 65,   60, 55,   50, 45,  40,
                                           35,  30, 25, 22.5, 20, 17.5, 15, 12.5, 10, 7.5, 5}));
    const std::vector<double> amounts = defaultSprinklerAmounts();
    ASSERT_EQ(amounts.size(), speeds.size());
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        EXPECT_NEAR(amounts[i], 547.5 / speeds[i], 0.005 + 1e-9) << kSpeedCaptions[i];
    }
    EXPECT_EQ(amounts.back(), 109.5);

    const SprinklerFit fit = fitSprinklerPackage(amounts);
    ASSERT_TRUE(fit.law) << fit.problem;
    EXPECT_NEAR(fit.law->SpeedExponent, -1.0, 1e-4);
    EXPECT_NEAR(fit.law->SpeedCoefficient, 547.54, 0.005);
    EXPECT_NEAR(fit.law->SpeedCoefficient * std::pow(27.38, fit.law->SpeedExponent), 19.996, 5e-4);
}

TEST(SprinklerPackage, FitRecoversAnExactPowerLaw) {
    const std::vector<double> speeds = sprinklerSpeeds();
    std::vector<double> amounts;
    for (double s : speeds) {
        amounts.push_back(320.0 * std::pow(s, -0.8));
    }
    const SpeedLaw law = FitSpeedLaw(speeds, amounts);
    EXPECT_NEAR(law.SpeedExponent, -0.8, 1e-12);
    EXPECT_NEAR(law.SpeedCoefficient, 320.0, 1e-9);
}

TEST(SprinklerPackage, AnAmountThatIsNotAboveZeroNamesItsRow) {
    for (std::size_t row : {std::size_t{9}, std::size_t{14}}) {
        std::vector<double> amounts = defaultSprinklerAmounts();
        amounts[row] = row == 9 ? 0.0 : -1.0;
        const SprinklerFit fit = fitSprinklerPackage(amounts);
        EXPECT_FALSE(fit.law);
        const std::string speed = row == 9 ? "45%" : "22.5%";
        EXPECT_NE(fit.problem.find("at " + speed + " "), std::string::npos) << fit.problem;
    }
}

} // namespace
} // namespace tavik
