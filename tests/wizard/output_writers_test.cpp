// The writers of the plan's text outputs: JSON written as it goes, in the layout of the plan
// files, its numbers read back exactly by Qt's own JSON reader; CSV fields quoted only where
// they must be, and a spreadsheet's formula starts kept as text.

#include "plan/Csv.h"
#include "plan/Json.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace tavik {
namespace {

using Layout = JsonWriter::Layout;

TEST(JsonWriter, WritesEachLayoutAsThePlanFilesHoldIt) {
    struct Case {
        const char* name;
        std::function<void(JsonWriter&)> write;
        const char* expected;
    };
    const Case cases[] = {
        {"EmptyObject", [](JsonWriter& out) { out.beginObject(), out.endObject(); }, "{}\n"},
        {"EmptyLists",
         [](JsonWriter& out) {
             out.beginObject();
             out.key("flat"), out.beginArray(Layout::Flat), out.endArray();
             out.key("nested"), out.beginArray(Layout::Nested), out.endArray();
             out.endObject();
         },
         "{\n  \"flat\": [],\n  \"nested\": []\n}\n"},
        {"FlatListOfMixedValues",
         [](JsonWriter& out) {
             out.beginArray(Layout::Flat);
             out.value(1.5), out.null(), out.value("a"), out.value(true), out.value(7);
             out.endArray();
         },
         "[1.5, null, \"a\", true, 7]\n"},
        {"ListOfObjectsInAnObject",
         [](JsonWriter& out) {
             out.beginObject();
             out.key("rows"), out.beginArray(Layout::Nested);
             for (int day : {10, 15}) {
                 out.beginObject(), out.member("day", day), out.endObject();
             }
             out.beginObject(), out.endObject();
             out.endArray();
             out.member("after", false);
             out.endObject();
         },
         "{\n  \"rows\": [\n    {\n      \"day\": 10\n    },\n    {\n      \"day\": 15\n    },\n"
         "    {}\n  ],\n  \"after\": false\n}\n"},
        {"ObjectOfFlatLists",
         [](JsonWriter& out) {
             out.beginObject(), out.key("a"), out.beginObject();
             out.flatArray("x", std::vector<int>{1, 2}), out.flatArray("y", std::vector<float>{});
             out.endObject(), out.endObject();
         },
         "{\n  \"a\": {\n    \"x\": [1, 2],\n    \"y\": []\n  }\n}\n"},
        {"TextsEscaped",
         [](JsonWriter& out) {
             out.beginObject();
             out.member("q\"k", std::string("a\\b\n\r\t\x01\x1f\"é"));
             out.endObject();
         },
         "{\n  \"q\\\"k\": \"a\\\\b\\n\\r\\t\\u0001\\u001f\\\"é\"\n}\n"},
        {"NumbersShortestAndNoInfinity",
         [](JsonWriter& out) {
             out.beginArray(Layout::Flat);
             out.value(0.1F), out.value(0.1), out.value(-0.0), out.value(1e21), out.value(12000);
             out.value(std::numeric_limits<double>::infinity());
             out.value(std::numeric_limits<double>::quiet_NaN());
             out.endArray();
         },
         "[0.10000000149011612, 0.1, -0, 1e+21, 12000, null, null]\n"},
    };
    for (const Case& c : cases) {
        std::string text;
        JsonWriter writer(text);
        c.write(writer);
        writer.end();
        EXPECT_EQ(text, c.expected) << c.name;
    }
    // The tree writes its values through the same writer, choosing each list's layout by
    // what it holds.
    const Json tree(Json::Object{{"rows", Json::Array{Json::Object{{"day", 10}}}},
                                 {"values", Json::array(std::vector<double>{1, 2.5})}});
    EXPECT_EQ(tree.dump(), "{\n  \"rows\": [\n    {\n      \"day\": 10\n    }\n  ],\n"
                           "  \"values\": [1, 2.5]\n}\n");
}

TEST(JsonWriter, EveryFiniteNumberReadsBackToTheExactValueHeld) {
    std::mt19937_64 random(20261209);
    std::vector<double> doubles;
    std::vector<float> floats;
    while (doubles.size() < 20000) {
        const auto d = std::bit_cast<double>(random());
        const auto f = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(d)) {
            doubles.push_back(d);
        }
        if (std::isfinite(f)) {
            floats.push_back(f);
        }
    }
    // Figures of the kind a plan holds, too: tenths of millimetres, per cent, days.
    for (int i = 0; i < 5000; ++i) {
        doubles.push_back(i / 10.0);
        floats.push_back(static_cast<float>(i) / 10.0F);
    }
    std::string text;
    JsonWriter out(text);
    out.beginObject();
    out.flatArray("doubles", doubles);
    out.flatArray("floats", floats);
    // A number written before is written from the writer's memory of it: the same text.
    out.flatArray("again", doubles);
    out.endObject();
    out.end();
    QJsonParseError error{};
    const QJsonObject read =
        QJsonDocument::fromJson(QByteArray::fromStdString(text), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonArray readDoubles = read.value(QLatin1String("doubles")).toArray();
    const QJsonArray readFloats = read.value(QLatin1String("floats")).toArray();
    ASSERT_EQ(readDoubles.size(), static_cast<qsizetype>(doubles.size()));
    ASSERT_EQ(readFloats.size(), static_cast<qsizetype>(floats.size()));
    EXPECT_EQ(read.value(QLatin1String("again")).toArray(), readDoubles);
    for (std::size_t i = 0; i < doubles.size(); ++i) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(readDoubles[static_cast<qsizetype>(i)].toDouble()),
                  std::bit_cast<std::uint64_t>(doubles[i]))
            << doubles[i];
    }
    for (std::size_t i = 0; i < floats.size(); ++i) {
        // Widened exactly: the double read back narrows to the very float.
        const double back = readFloats[static_cast<qsizetype>(i)].toDouble();
        ASSERT_EQ(back, static_cast<double>(floats[i]));
    }
}

TEST(Csv, FieldsAreQuotedOnlyWhereNeededAndFormulaStartsStayText) {
    struct Case {
        std::string text, field, textCell;
    };
    const Case cases[] = {
        {"", "", ""},
        {"Wheat", "Wheat", "Wheat"},
        {"Potatoes (summer)", "Potatoes (summer)", "Potatoes (summer)"},
        {"a,b", "\"a,b\"", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\"", "\"say \"\"hi\"\"\""},
        {"two\nlines", "\"two\nlines\"", "\"two\nlines\""},
        {"cr\r", "\"cr\r\"", "\"cr\r\""},
        {"=HYPERLINK(\"x;y\")", "\"=HYPERLINK(\"\"x;y\"\")\"", "\"'=HYPERLINK(\"\"x;y\"\")\""},
        {"+1", "+1", "\"'+1\""},
        {"-2", "-2", "\"'-2\""},
        {"@sum", "@sum", "\"'@sum\""},
        {"\tx", "\tx", "\"'\tx\""},
        {"\rx", "\"\rx\"", "\"'\rx\""},
        {"a=b", "a=b", "a=b"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(csvField(c.text), c.field) << c.text;
        EXPECT_EQ(csvTextCell(c.text), c.textCell) << c.text;
    }
    CsvLine line;
    line.add("a").add({}).add(csvField("b,c"));
    EXPECT_EQ(std::move(line).end(), "a,,\"b,c\"\n");
}

} // namespace
} // namespace tavik
