#include "SprinklerPackage.h"

#include "NumberText.h"

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
    fit.law = FitSpeedLaw(speeds, amounts);
    return fit;
}

} // namespace tavik
