// How the dialogs read their number fields.

#include "dialogs/TextNumbers.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>

namespace tavikcalc {
namespace {

TEST(TextNumbers, ANumberIsTheDecimalNumberAtTheStart) {
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"75", 75},    {" 7.5 ", 7.5}, {"5%", 5},        {"-3.9 mm", -3.9}, {"+2", 2},  {".5", 0.5},
        {"12.", 12},   {"1e3x", 1000}, {"2.5E-1", 0.25}, {"1e", 1},         {"1e+", 1}, {"", 0},
        {"abc", 0},    {"-", 0},       {".", 0},         {"inf", 0},        {"nan", 0}, {"0x10", 0},
        {"\t\n 4", 4}, {"1e-999", 0},  {"0e999", 0},     {"0.000e400", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textAsNumber(QString::fromLatin1(c.text)), c.value) << c.text;
    }
    EXPECT_EQ(textAsNumber(QStringLiteral("1e999")), HUGE_VAL);
    EXPECT_EQ(textAsNumber(QStringLiteral("-1e999")), -HUGE_VAL);
    EXPECT_EQ(textAsNumber(QString(400, QLatin1Char('9'))), HUGE_VAL);
    EXPECT_EQ(
        textAsNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1")),
        0.0);
}

TEST(TextNumbers, AnIntegerIsTheWholeNumberAtTheStartWithinTheIntRange) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"29", 29},
        {" -2", -2},
        {"3.9", 3},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"+7", 7},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textAsInteger(QString::fromLatin1(c.text)), c.value) << c.text;
    }
}

TEST(TextNumbers, ValidatingReadsTakeTheWholeText) {
    EXPECT_EQ(readUnsigned(QStringLiteral(" 28 ")), 28U);
    EXPECT_EQ(readUnsigned(QStringLiteral("+5")), 5U);
    EXPECT_EQ(readUnsigned(QStringLiteral("4294967295")), 4294967295U);
    for (const char* refused : {"", " ", "-3", "abc", "7x", "1.5", "4294967296"}) {
        EXPECT_EQ(readUnsigned(QString::fromLatin1(refused)), std::nullopt) << refused;
    }
    EXPECT_EQ(readInteger(QStringLiteral("-5")), -5);
    EXPECT_EQ(readInteger(QStringLiteral("2000 ")), 2000);
    EXPECT_EQ(readInteger(QStringLiteral("-2147483648")), INT_MIN);
    for (const char* refused : {"", "abc", "12a", "1e3", "2147483648", "- 5"}) {
        EXPECT_EQ(readInteger(QString::fromLatin1(refused)), std::nullopt) << refused;
    }
}

} // namespace
} // namespace tavikcalc
