// The overhead table's rows come out exactly as printf writes them.

#include "report/ReportBox.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tavikcalc {
namespace {

#define DEPTH_ROW                                                                                    \
    " ¦ %3d      ¦ %3.0lf      %3.0lf ¦ %3.0lf        %3.0lf ¦ %3.0lf       %3.0lf ¦ %3.0lf   " \
    "     %3.0lf ¦"
#define VOLUME_ROW                                                                                 \
    " ¦ %3d      ¦ %5.0lf  %5.0lf ¦ %5.0lf    %5.0lf ¦ %5.0lf   %5.0lf ¦ %5.0lf    %5.0lf ¦"

// Figures of every kind a table can meet: ordinary amounts, exact halves and their
// neighbours (where rounding to even shows), negative values that round to zero, values
// beyond any integer type, and the non-finite ones.
double figure(std::mt19937_64& random) {
    const auto pick = std::uniform_int_distribution<int>(0, 7)(random);
    const auto whole = static_cast<double>(std::uniform_int_distribution<int>(-60, 5000)(random));
    switch (pick) {
    case 0:
        return std::uniform_real_distribution<double>(-2000, 200000)(random);
    case 1:
        return whole + 0.5;
    case 2:
        return std::nextafter(whole + 0.5, whole);
    case 3:
        return std::nextafter(whole + 0.5, whole + 1);
    case 4: {
        constexpr double kSmall[] = {-0.0, 0.0, -0.4, -0.5, -1.5, 0.5, 2.5, 999.5, 99999.5};
        return kSmall[std::uniform_int_distribution<int>(0, 8)(random)];
    }
    case 5:
        return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random),
                          std::uniform_int_distribution<int>(40, 1023)(random));
    case 6: {
        constexpr double kInf = std::numeric_limits<double>::infinity();
        const double kOdd[] = {
            kInf, -kInf, std::nan(""), -std::nan(""), 1e15, -1e15, std::nextafter(1e15, 0.0)};
        return kOdd[std::uniform_int_distribution<int>(0, 6)(random)];
    }
    default:
        return std::uniform_real_distribution<double>(-1, 1)(random) * 1e6;
    }
}

TEST(ReportBox, TableRowsAreWhatPrintfWrites) {
    std::mt19937_64 random(20260108);
    std::vector<char> expected(8192);
    for (int i = 0; i < 20000; ++i) {
        std::array<double, 8> f{};
        for (double& value : f) {
            value = figure(random);
        }
        const int day = std::uniform_int_distribution<int>(-20, 2000)(random);
        const auto& [a, b, c, d, e, g, h, k] = f;

        ReportBox depth("");
        depth.appendRow(DEPTH_ROW, day, f);
        std::snprintf(expected.data(), expected.size(), "\r\n" DEPTH_ROW, day, a, b, c, d, e, g, h,
                      k);
        ASSERT_EQ(depth.text(), expected.data());

        ReportBox volume("");
        volume.appendRow(VOLUME_ROW, day, f);
        std::snprintf(expected.data(), expected.size(), "\r\n" VOLUME_ROW, day, a, b, c, d, e, g, h,
                      k);
        ASSERT_EQ(volume.text(), expected.data());
    }
}

} // namespace
} // namespace tavikcalc
