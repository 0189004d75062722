#include "Scenario.h"

#include "Json.h"
#include "model/WaterLevels.h"
#include "state/NumberText.h"
#include "state/SoilInfo.h"
#include "state/SprinklerPackage.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <cmath>

namespace tavik {

namespace {

struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& key, const std::string& what) {
    throw Refusal{"\"" + key + "\" " + what};
}

void onlyKeys(const QJsonObject& object, const std::string& where,
              std::initializer_list<const char*> allowed) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : allowed) {
            known = known || it.key() == QLatin1String(key);
        }
        if (!known) {
            const std::string key = (where.empty() ? "" : where + ".") + it.key().toStdString();
            refuse(key, "is not a key of a scenario here");
        }
    }
}

// A whole number within a range (the controls' steps are whole numbers).
int wholeNumber(const QJsonValue& value, const std::string& key, int low, int high,
                const std::string& unit) {
    const std::string range = "a whole number from " + std::to_string(low) + " to " +
                              std::to_string(high) + (unit.empty() ? "" : " " + unit);
    if (!value.isDouble()) {
        refuse(key, "must be " + range);
    }
    const double number = value.toDouble();
    if (number != std::floor(number) || number < low || number > high) {
        refuse(key, "must be " + range + ", not " + shortestText(number));
    }
    return static_cast<int>(number);
}

// The profile's layers, for the lists that hold one value per layer. Their length is checked
// before any element is read.
struct Layers {
    int count = 0;
    int depth = 0;
};

void checkLength(const QJsonArray& array, const std::string& key, const Layers& layers) {
    if (array.size() != layers.count) {
        refuse(key, "must have " + std::to_string(layers.count) + " values, one per layer of the " +
                        std::to_string(layers.depth) + " mm profile, not " +
                        std::to_string(array.size()));
    }
}

std::vector<int> wholeNumbers(const QJsonValue& value, const std::string& key, int low, int high,
                              const std::string& unit, const Layers& layers) {
    if (!value.isArray()) {
        refuse(key, "must be a list of whole numbers from " + std::to_string(low) + " to " +
                        std::to_string(high) + (unit.empty() ? "" : " " + unit));
    }
    std::vector<int> numbers;
    const QJsonArray array = value.toArray();
    checkLength(array, key, layers);
    for (qsizetype i = 0; i < array.size(); ++i) {
        numbers.push_back(
            wholeNumber(array[i], key + "[" + std::to_string(i) + "]", low, high, unit));
    }
    return numbers;
}

// A soil water content in mm/mm on the sliders' steps of 0.001, as thousandths.
std::vector<int> waterLevels(const QJsonValue& value, const std::string& key,
                             const Layers& layers) {
    if (!value.isArray()) {
        refuse(key, "must be a list of soil water contents (mm/mm) from 0 to 0.5, one per layer");
    }
    std::vector<int> positions;
    const QJsonArray array = value.toArray();
    checkLength(array, key, layers);
    for (qsizetype i = 0; i < array.size(); ++i) {
        const std::string itemKey = key + "[" + std::to_string(i) + "]";
        if (!array[i].isDouble()) {
            refuse(itemKey, "must be a soil water content (mm/mm) from 0 to 0.5");
        }
        const double level = array[i].toDouble();
        const double thousandths = std::nearbyint(level * 1000.0);
        if (!(level >= 0.0 && level <= 0.5) || thousandths / 1000.0 != level) {
            refuse(itemKey, "must be a soil water content from 0 to 0.5 mm/mm in steps of 0.001");
        }
        positions.push_back(static_cast<int>(thousandths));
    }
    return positions;
}

Scenario read(const QJsonObject& root) {
    onlyKeys(root, "",
             {"crop", "targetYield", "soil", "waterLevels", "sprinklerPackage", "cycle",
              "plantingDate"});
    Scenario scenario;

    const QJsonValue crop = root.value(QLatin1String("crop"));
    if (crop.isUndefined()) {
        refuse("crop", "is missing: give the crop's name or its worksheet row");
    }
    if (crop.isString()) {
        scenario.crop = crop.toString().toStdString();
    } else if (crop.isDouble()) {
        scenario.crop = wholeNumber(crop, "crop", 2, 32767, "(a worksheet row)");
    } else {
        refuse("crop", "must be the crop's name or its worksheet row");
    }

    if (root.contains(QLatin1String("targetYield"))) {
        scenario.targetYield = wholeNumber(root.value(QLatin1String("targetYield")), "targetYield",
                                           0, 2147483647, "(kg/ha)");
    }

    Layers layers;
    const auto setLayers = [&scenario, &layers] {
        layers.depth = scenario.depth.value_or(kFreshSoilDepth);
        layers.count = depthLayout(static_cast<std::int16_t>(layers.depth)).layers;
        if (layers.count == 0) {
            refuse("soil.depth", "is " + std::to_string(layers.depth) +
                                     " mm, which gives no soil layer (a profile needs 150 mm at "
                                     "least): " +
                                     kNoDepthMessage);
        }
    };
    setLayers();
    if (root.contains(QLatin1String("soil"))) {
        const QJsonValue soilValue = root.value(QLatin1String("soil"));
        if (!soilValue.isObject()) {
            refuse("soil", "must be an object with depth, siltClay and deepRipped");
        }
        const QJsonObject soil = soilValue.toObject();
        onlyKeys(soil, "soil", {"depth", "siltClay", "deepRipped"});
        if (soil.contains(QLatin1String("depth"))) {
            scenario.depth =
                wholeNumber(soil.value(QLatin1String("depth")), "soil.depth", 0, 2000, "(mm)");
            setLayers();
        }
        if (soil.contains(QLatin1String("siltClay"))) {
            scenario.siltClay = wholeNumbers(soil.value(QLatin1String("siltClay")), "soil.siltClay",
                                             1, 100, "(%)", layers);
        }
        if (soil.contains(QLatin1String("deepRipped"))) {
            const QJsonValue ripped = soil.value(QLatin1String("deepRipped"));
            if (!ripped.isBool()) {
                refuse("soil.deepRipped", "must be true or false");
            }
            scenario.deepRipped = ripped.toBool();
        }
    }

    if (root.contains(QLatin1String("waterLevels"))) {
        const QJsonValue levelsValue = root.value(QLatin1String("waterLevels"));
        if (!levelsValue.isObject()) {
            refuse("waterLevels",
                   "must be an object keyed by SeasonStart, PeakStart, PeakEnd and SeasonEnd");
        }
        const QJsonObject levels = levelsValue.toObject();
        onlyKeys(levels, "waterLevels", {"SeasonStart", "PeakStart", "PeakEnd", "SeasonEnd"});
        for (Stage stage : kStages) {
            const QLatin1String key(stageKey(stage));
            if (levels.contains(key)) {
                scenario.waterLevels[static_cast<std::size_t>(stage)] = waterLevels(
                    levels.value(key), std::string("waterLevels.") + stageKey(stage), layers);
            }
        }
    }

    if (root.contains(QLatin1String("sprinklerPackage"))) {
        const QJsonValue packageValue = root.value(QLatin1String("sprinklerPackage"));
        if (!packageValue.isObject()) {
            refuse("sprinklerPackage", "must be an object (with the optional key amounts)");
        }
        scenario.sprinklerPackage = true;
        const QJsonObject package = packageValue.toObject();
        onlyKeys(package, "sprinklerPackage", {"amounts"});
        if (package.contains(QLatin1String("amounts"))) {
            const QJsonValue amountsValue = package.value(QLatin1String("amounts"));
            if (!amountsValue.isArray() ||
                amountsValue.toArray().size() != static_cast<qsizetype>(kSprinklerRows)) {
                refuse("sprinklerPackage.amounts",
                       "must be a list of " + std::to_string(kSprinklerRows) +
                           " amounts in mm, for the running speeds from 100 % down to 5 %");
            }
            std::vector<double> amounts;
            const QJsonArray array = amountsValue.toArray();
            for (qsizetype i = 0; i < array.size(); ++i) {
                const std::string key = "sprinklerPackage.amounts[" + std::to_string(i) + "]";
                if (!array[i].isDouble() || !(array[i].toDouble() > 0.0)) {
                    refuse(key, "must be an amount in mm greater than 0");
                }
                amounts.push_back(array[i].toDouble());
            }
            scenario.amounts = std::move(amounts);
        }
    }

    if (root.contains(QLatin1String("cycle"))) {
        scenario.cycle = wholeNumber(root.value(QLatin1String("cycle")), "cycle", 2, 10, "(days)");
    }

    if (root.contains(QLatin1String("plantingDate"))) {
        const QJsonValue date = root.value(QLatin1String("plantingDate"));
        const QString text = date.toString();
        // Exactly YYYY-MM-DD: ISO 8601 also allows times and week dates, a plan does not.
        static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}$"));
        if (!date.isString() || !form.match(text).hasMatch() ||
            !QDate::fromString(text, Qt::ISODate).isValid()) {
            refuse("plantingDate", "must be a date written YYYY-MM-DD (such as 2026-10-15)");
        }
        scenario.plantingDate = text.toStdString();
    }
    return scenario;
}

} // namespace

std::optional<std::string> readScenarioFile(const QString& path, std::string& text) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return "the file does not exist";
    }
    if (info.isDir()) {
        return "it is a folder";
    }
    const std::string limit = "more than " + std::to_string(kMaxScenarioBytes / 1024) +
                              " KiB, far larger than a scenario";
    if (info.isFile() && info.size() > kMaxScenarioBytes) {
        return "it holds " + std::to_string(info.size()) + " bytes, " + limit;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return file.errorString().toStdString();
    }
    // Read one byte beyond the limit: a pipe or a file still growing tells its size no other way.
    const QByteArray bytes = file.read(kMaxScenarioBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        return file.errorString().toStdString();
    }
    if (bytes.size() > kMaxScenarioBytes) {
        return "it holds " + limit;
    }
    text = bytes.toStdString();
    return std::nullopt;
}

ScenarioParse parseScenario(const std::string& jsonText) {
    ScenarioParse parse;
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(jsonText), &error);
    if (error.error != QJsonParseError::NoError) {
        parse.problem = "is not valid JSON (" + error.errorString().toStdString() +
                        " at character " + std::to_string(error.offset) + ")";
        return parse;
    }
    if (!document.isObject()) {
        parse.problem = "must hold one JSON object";
        return parse;
    }
    try {
        parse.scenario = read(document.object());
    } catch (const Refusal& refusal) {
        parse.problem = refusal.message;
    }
    return parse;
}

std::string scenarioJson(const Scenario& scenario) {
    Json::Object root;
    if (const int* row = std::get_if<int>(&scenario.crop)) {
        root.emplace_back("crop", *row);
    } else {
        root.emplace_back("crop", std::get<std::string>(scenario.crop));
    }
    if (scenario.targetYield) {
        root.emplace_back("targetYield", *scenario.targetYield);
    }
    Json::Object soil;
    if (scenario.depth) {
        soil.emplace_back("depth", *scenario.depth);
    }
    if (scenario.siltClay) {
        soil.emplace_back("siltClay", Json::array(*scenario.siltClay));
    }
    soil.emplace_back("deepRipped", scenario.deepRipped);
    root.emplace_back("soil", std::move(soil));
    Json::Object levels;
    for (Stage stage : kStages) {
        if (const auto& positions = scenario.waterLevels[static_cast<std::size_t>(stage)]) {
            Json::Array contents;
            for (int thousandths : *positions) {
                contents.emplace_back(thousandths / 1000.0);
            }
            levels.emplace_back(stageKey(stage), std::move(contents));
        }
    }
    if (!levels.empty()) {
        root.emplace_back("waterLevels", std::move(levels));
    }
    if (scenario.sprinklerPackage) {
        Json::Object package;
        if (scenario.amounts) {
            package.emplace_back("amounts", Json::array(*scenario.amounts));
        }
        root.emplace_back("sprinklerPackage", std::move(package));
    }
    root.emplace_back("cycle", scenario.cycle);
    if (scenario.plantingDate) {
        root.emplace_back("plantingDate", *scenario.plantingDate);
    }
    return Json(std::move(root)).dump();
}

} // namespace tavik
