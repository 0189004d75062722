#include "SprinklerPackage.h"

#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace tavik {

const std::array<const char*, kSprinklerRows> kSpeedCaptions{
    "100%", "90%", "80%", "75%",  "70%", "65%",  "60%", "55%",   "50%", "45%",  "40%",
    "35%",  "30%", "25%", "22.5", "20%", "17.5", "15%", "12.5 ", "10%", "7.5 ", "5%"};

const std::array<const char*, kSprinklerRows> kDefaultAmountTexts{
    "5.48",  "6.08",  "6.84",  "7.30",  "7.82",  "8.42",  "9.13",  "9.95",
    "10.95", "12.17", "13.69", "15.64", "18.25", "21.90", "24.33", "27.38",
    "31.29", "36.50", "43.80", "54.75", "73.00", "109.50"};

std::vector<double> sprinklerSpeeds() {
    std::vector<double> speeds;
    for (const char* caption : kSpeedCaptions) {
        speeds.push_back(leadingNumber(caption));
    }
    return speeds;
}

std::vector<double> defaultSprinklerAmounts() {
    std::vector<double> amounts;
    for (const char* text : kDefaultAmountTexts) {
        amounts.push_back(leadingNumber(text));
    }
    return amounts;
}

namespace {

// The exponent with three decimals, or with as many more as it takes to show that it lies
// outside the tolerance (-1.0500001 must not read as -1.05).
std::string exponentText(double exponent) {
    std::string text;
    for (int decimals = 3; decimals <= 17; ++decimals) {
        std::array<char, 400> buffer{};
        const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), exponent,
                                           std::chars_format::fixed, decimals);
        text.assign(buffer.data(), written.ptr);
        double shown = 0;
        std::from_chars(text.data(), text.data() + text.size(), shown);
        if (!isPivotExponent(shown)) {
            break;
        }
    }
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text == "-0" ? "0" : text;
}

} // namespace

SprinklerFit fitSprinklerPackage(const std::vector<double>& amounts) {
    SprinklerFit fit;
    const std::vector<double> speeds = sprinklerSpeeds();
    if (amounts.size() != speeds.size()) {
        fit.problem = "The sprinkler package needs " + std::to_string(speeds.size()) +
                      " water amounts, one for each running speed.";
        return fit;
    }
    for (std::size_t i = 0; i < amounts.size(); ++i) {
        if (!(amounts[i] > 0.0) || !std::isfinite(amounts[i])) {
            std::string speed = kSpeedCaptions[i];
            while (!speed.empty() && speed.back() == ' ') {
                speed.pop_back();
            }
            if (speed.back() != '%') {
                speed += '%';
            }
            fit.problem =
                "The water amount at " + speed + " running speed must be greater than 0 mm.";
            fit.row = i;
            return fit;
        }
    }
    const SpeedLaw law = FitSpeedLaw(speeds, amounts);
    if (!isPivotLaw(law)) {
        if (!isPivotExponent(law.SpeedExponent)) {
            fit.problem = "The sprinkler package table does not fit a centre pivot: its water "
                          "amounts must fall in inverse proportion to the running speed (a "
                          "fitted exponent of -1, within " +
                          shortestText(kSpeedExponentTolerance) +
                          "), but their fitted exponent is " + exponentText(law.SpeedExponent) +
                          ". Please check the water amounts.";
        } else {
            fit.problem = "The water amounts of the sprinkler package table are too large or "
                          "too small to give running speeds. Please check the water amounts.";
        }
        return fit;
    }
    fit.law = law;
    return fit;
}

} // namespace tavik
