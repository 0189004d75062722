#include "Scenario.h"

#include "FileNames.h"
#include "Json.h"
#include "model/WaterLevels.h"
#include "state/CropTable.h"
#include "state/NumberText.h"
#include "state/SoilInfo.h"
#include "state/SprinklerPackage.h"

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavik {

namespace {

struct Refusal {
    std::string message;
};

[[noreturn]] void refuse(const std::string& key, const std::string& what) {
    throw Refusal{"\"" + key + "\" " + what};
}

// A key of the file as a message shows it: escaped, and cut short as a crop name is.
std::string shownKey(std::string_view key) {
    return printableText(key, kMaxCropNameLength);
}

void onlyKeys(const QJsonObject& object, const std::string& where,
              std::initializer_list<const char*> allowed) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool known = false;
        for (const char* key : allowed) {
            known = known || it.key() == QLatin1String(key);
        }
        if (!known) {
            const std::string key =
                (where.empty() ? "" : where + ".") + shownKey(it.key().toStdString());
            refuse(key, "is not a key of a scenario here");
        }
    }
}

// The text of a JSON string that starts at `at` (its opening quote), with its escapes
// undone; `at` is left after the closing quote. The text is known to be valid JSON.
std::string jsonString(std::string_view json, std::size_t& at) {
    std::string text;
    const auto append = [&text](char32_t code) {
        if (code < 0x80) {
            text += static_cast<char>(code);
        } else if (code < 0x800) {
            text += static_cast<char>(0xC0 | (code >> 6));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            text += static_cast<char>(0xE0 | (code >> 12));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (code >> 18));
            text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (code & 0x3F));
        }
    };
    const auto hex4 = [&json](std::size_t from) {
        char32_t code = 0;
        for (std::size_t i = from; i < from + 4 && i < json.size(); ++i) {
            const char c = json[i];
            code = code * 16 + static_cast<char32_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
        }
        return code;
    };
    for (++at; at < json.size() && json[at] != '"'; ++at) {
        if (json[at] != '\\' || at + 1 >= json.size()) {
            text += json[at];
            continue;
        }
        const char escaped = json[++at];
        if (escaped != 'u') {
            const std::string_view from = "bfnrt";
            const std::string_view to = "\b\f\n\r\t";
            const auto i = from.find(escaped);
            text += i == std::string_view::npos ? escaped : to[i];
            continue;
        }
        char32_t code = hex4(at + 1);
        at += 4;
        // A surrogate pair written as two escapes is one character.
        if (code >= 0xD800 && code <= 0xDBFF && at + 6 < json.size() && json[at + 1] == '\\' &&
            json[at + 2] == 'u') {
            const char32_t low = hex4(at + 3);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                at += 6;
            }
        }
        append(code);
    }
    ++at;
    return text;
}

// The first key that an object of the JSON text gives twice, by its path ("soil.depth");
// none when every key is given once. A JSON reader keeps one of the two silently, so the
// text is scanned for them itself. The text is known to be valid JSON.
std::optional<std::string> duplicateKey(std::string_view json) {
    // The objects and lists open at a point of the text, outermost first.
    struct Level {
        bool object = false;
        std::set<std::string> keys; // given so far (objects)
        std::string key;            // the last key given (objects)
        std::size_t index = 0;      // the element being read (lists)
    };
    std::vector<Level> levels;
    bool expectKey = false;
    for (std::size_t at = 0; at < json.size();) {
        const char c = json[at];
        if (c == '{' || c == '[') {
            levels.push_back(Level{c == '{', {}, {}, 0});
            expectKey = c == '{';
            ++at;
        } else if (c == '}' || c == ']') {
            if (!levels.empty()) {
                levels.pop_back();
            }
            expectKey = false;
            ++at;
        } else if (c == ',') {
            if (!levels.empty()) {
                expectKey = levels.back().object;
                ++levels.back().index;
            }
            ++at;
        } else if (c == '"') {
            std::string text = jsonString(json, at);
            if (expectKey && !levels.empty()) {
                Level& top = levels.back();
                const bool given = !top.keys.insert(text).second;
                top.key = std::move(text);
                expectKey = false;
                if (given) {
                    std::string path;
                    for (const Level& level : levels) {
                        path += level.object ? (path.empty() ? "" : ".") + shownKey(level.key)
                                             : "[" + std::to_string(level.index) + "]";
                    }
                    return printableText(path, 2 * kMaxCropNameLength); // however deep
                }
            }
        } else {
            ++at; // blanks, colons, numbers, true, false, null
        }
    }
    return std::nullopt;
}

// A JSON reader's complaint in plain words.
std::string jsonProblem(QJsonParseError::ParseError error) {
    switch (error) {
    case QJsonParseError::UnterminatedObject:
        return "a group in braces ({ }) goes wrong here: a comma, the closing brace or the "
               "double quotes of a key are missing";
    case QJsonParseError::MissingNameSeparator:
        return "a colon (:) is missing after a key";
    case QJsonParseError::UnterminatedArray:
        return "a list in brackets ([ ]) is not closed";
    case QJsonParseError::MissingValueSeparator:
        return "a list in brackets ([ ]) goes wrong here: a comma or the closing bracket is "
               "missing";
    case QJsonParseError::IllegalValue:
    case QJsonParseError::IllegalNumber:
        return "a value is not written as JSON writes one: a text in double quotes, a number "
               "such as 12.5, or true, false or null in small letters";
    case QJsonParseError::TerminationByNumber:
        return "the file ends in the middle of a number";
    case QJsonParseError::IllegalEscapeSequence:
        return "a backslash (\\) in a text starts an escape that JSON does not know";
    case QJsonParseError::IllegalUTF8String:
        return "a text holds bytes that are not UTF-8";
    case QJsonParseError::UnterminatedString:
        return "a text is not closed: its closing double quote (\") is missing";
    case QJsonParseError::MissingObject:
        return "a key or a value is missing after a comma (or the comma is one too many)";
    case QJsonParseError::DeepNesting:
        return "its groups and lists are nested too deeply";
    case QJsonParseError::DocumentTooLarge:
        return "it is too large";
    case QJsonParseError::GarbageAtEnd:
        return "something follows the closing brace where the scenario ends";
    case QJsonParseError::NoError:
        break;
    }
    return "it cannot be read as JSON";
}

// "(line 12, column 3)": where the reader stopped, as a user looks for it. The reader stops
// after what it could not take; the place shown is the start of that word or sign.
std::string errorPlace(std::string_view text, std::size_t offset) {
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r';
    };
    const auto word = [&blank](char c) {
        return !blank(c) && std::string_view("{}[],:\"").find(c) == std::string_view::npos;
    };
    std::size_t at = std::min(offset, text.size());
    if (at == text.size() || !word(text[at])) {
        while (at > 0 && blank(text[at - 1])) {
            --at;
        }
        at -= at > 0 ? 1 : 0;
    }
    if (at < text.size() && word(text[at])) {
        while (at > 0 && word(text[at - 1])) {
            --at;
        }
        at -= at > 0 && text[at - 1] == '"' ? 1 : 0; // a text starts at its quote
    }
    const std::string_view before = text.substr(0, at);
    const std::size_t lineStart = before.rfind('\n');
    const auto line = 1 + std::count(before.begin(), before.end(), '\n');
    const std::size_t column =
        1 +
        characterCount(lineStart == std::string_view::npos ? before : before.substr(lineStart + 1));
    return "(line " + std::to_string(line) + ", column " + std::to_string(column) + ")";
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
    if (auto problem = layerCountProblem(key, static_cast<std::size_t>(array.size()), layers.count,
                                         layers.depth)) {
        throw Refusal{std::move(*problem)};
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

// A group of the scenario's keys, as an object; `what` says what it must be.
QJsonObject group(const QJsonObject& root, const char* key, const std::string& what) {
    const QJsonValue value = root.value(QLatin1String(key));
    if (!value.isObject()) {
        refuse(key, what);
    }
    return value.toObject();
}

std::variant<std::string, int> readCrop(const QJsonObject& root) {
    const QJsonValue crop = root.value(QLatin1String("crop"));
    if (crop.isUndefined()) {
        refuse("crop", "is missing: give the crop's name or its worksheet row");
    }
    if (crop.isString()) {
        return crop.toString().toStdString();
    }
    if (!crop.isDouble()) {
        refuse("crop", "must be the crop's name or its worksheet row");
    }
    return wholeNumber(crop, "crop", 2, 32767, "(a worksheet row)");
}

// The layers of a profile of the scenario's depth (the fresh screen's when it gives none).
Layers layersOf(const Scenario& scenario) {
    Layers layers;
    layers.depth = scenario.depth.value_or(kFreshSoilDepth);
    layers.count = depthLayout(static_cast<std::int16_t>(layers.depth)).layers;
    if (layers.count == 0) {
        refuse("soil.depth", "is " + std::to_string(layers.depth) +
                                 " mm, which gives no soil layer (a profile needs 150 mm at "
                                 "least): " +
                                 kNoDepthMessage);
    }
    return layers;
}

// The soil: its depth first, which decides the layers the silt + clay list must have.
void readSoil(const QJsonObject& root, Scenario& scenario, Layers& layers) {
    const QJsonObject soil =
        group(root, "soil", "must be an object with depth, siltClay and deepRipped");
    onlyKeys(soil, "soil", {"depth", "siltClay", "deepRipped"});
    if (soil.contains(QLatin1String("depth"))) {
        scenario.depth =
            wholeNumber(soil.value(QLatin1String("depth")), "soil.depth", 0, 2000, "(mm)");
        layers = layersOf(scenario);
    }
    if (soil.contains(QLatin1String("siltClay"))) {
        scenario.siltClay = wholeNumbers(soil.value(QLatin1String("siltClay")), "soil.siltClay", 1,
                                         100, "(%)", layers);
    }
    if (soil.contains(QLatin1String("deepRipped"))) {
        const QJsonValue ripped = soil.value(QLatin1String("deepRipped"));
        if (!ripped.isBool()) {
            refuse("soil.deepRipped", "must be true or false");
        }
        scenario.deepRipped = ripped.toBool();
    }
}

void readWaterLevels(const QJsonObject& root, Scenario& scenario, const Layers& layers) {
    const QJsonObject levels =
        group(root, "waterLevels",
              "must be an object keyed by SeasonStart, PeakStart, PeakEnd and SeasonEnd");
    onlyKeys(levels, "waterLevels", {"SeasonStart", "PeakStart", "PeakEnd", "SeasonEnd"});
    for (Stage stage : kStages) {
        const QLatin1String key(stageKey(stage));
        if (levels.contains(key)) {
            scenario.waterLevels[static_cast<std::size_t>(stage)] = waterLevels(
                levels.value(key), std::string("waterLevels.") + stageKey(stage), layers);
        }
    }
}

void readSprinklerPackage(const QJsonObject& root, Scenario& scenario) {
    const QJsonObject package =
        group(root, "sprinklerPackage", "must be an object (with the optional key amounts)");
    scenario.sprinklerPackage = true;
    onlyKeys(package, "sprinklerPackage", {"amounts"});
    if (!package.contains(QLatin1String("amounts"))) {
        return;
    }
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

} // namespace

bool isIsoDate(std::string_view text) {
    // Exactly YYYY-MM-DD, ten characters, digits 0-9: ISO 8601 also allows times and week
    // dates, and a date reader other digits and a line feed at the end; a plan does not.
    bool form = text.size() == 10;
    for (std::size_t i = 0; form && i < text.size(); ++i) {
        const char c = text[i];
        form = (i == 4 || i == 7) ? c == '-' : (c >= '0' && c <= '9');
    }
    return form && QDate::fromString(QString::fromLatin1(text.data(), 10), Qt::ISODate).isValid();
}

namespace {

std::string readPlantingDate(const QJsonValue& date) {
    const QString text = date.toString();
    if (!date.isString() || !isIsoDate(text.toStdString())) {
        refuse("plantingDate", "must be a date written YYYY-MM-DD (such as 2026-10-15)");
    }
    return text.toStdString();
}

// A number within a range, ends included; `what` says what it is ("an amount of rain").
double rangedNumber(const QJsonValue& value, const std::string& key, double low, double high,
                    const std::string& what) {
    const std::string range = what + " from " + shortestText(low) + " to " + shortestText(high);
    if (!value.isDouble()) {
        refuse(key, "must be " + range);
    }
    const double number = value.toDouble();
    if (!(number >= low && number <= high)) {
        refuse(key, "must be " + range + ", not " + shortestText(number));
    }
    return number;
}

// A text of the file that must hold no control character, at most `most` characters long.
std::string plainText(const QJsonValue& value, const std::string& key, std::size_t most,
                      const std::string& what) {
    if (!value.isString()) {
        refuse(key, "must be " + what + " in double quotes");
    }
    const std::string text = value.toString().toStdString();
    if (text.empty()) {
        refuse(key, "must not be empty");
    }
    if (characterCount(text) > most) {
        refuse(key, "must be at most " + std::to_string(most) + " characters long, not " +
                        std::to_string(characterCount(text)));
    }
    for (const QChar c : value.toString()) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator) {
            refuse(key, "must not hold a line break, tab or other control character");
        }
    }
    return text;
}

// The field the plan is for: its name, its area and the identity the program gave it.
FieldIdentity readField(const QJsonObject& root) {
    const QJsonObject object = group(root, "field", "must be an object with name, area and id");
    onlyKeys(object, "field", {"name", "area", "id"});
    FieldIdentity field;
    if (object.contains(QLatin1String("name"))) {
        field.name = plainText(object.value(QLatin1String("name")), "field.name",
                               kMaxFieldNameLength, "the field's name");
    }
    if (object.contains(QLatin1String("area"))) {
        const QJsonValue area = object.value(QLatin1String("area"));
        if (!area.isDouble() || !(area.toDouble() > 0.0)) {
            refuse("field.area", "must be the field's area in ha, a number greater than 0");
        }
        field.area = area.toDouble();
    }
    if (object.contains(QLatin1String("id"))) {
        const QJsonValue id = object.value(QLatin1String("id"));
        const QString text = id.toString();
        const bool plain = id.isString() && !text.isEmpty() && text.size() <= 100 &&
                           std::all_of(text.begin(), text.end(), [](QChar c) {
                               return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                                      (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' ||
                                      c == u'_' || c == u'@';
                           });
        if (!plain) {
            refuse("field.id", "must be the identity the program wrote: up to 100 letters, "
                               "digits and - . _ @");
        }
        field.id = text.toStdString();
    }
    return field;
}

// A date of the record: exactly YYYY-MM-DD.
std::string readDate(const QJsonValue& value, const std::string& key) {
    if (!value.isString() || !isIsoDate(value.toString().toStdString())) {
        refuse(key, "must be a date written YYYY-MM-DD (such as 2027-01-05)");
    }
    return value.toString().toStdString();
}

// One list of the record: objects with a date and what was recorded on it.
template <typename Entry, typename ReadEntry>
std::vector<Entry> readEntries(const QJsonObject& season, const char* list,
                               std::initializer_list<const char*> keys, const std::string& what,
                               ReadEntry readEntry) {
    const std::string key = std::string("season.") + list;
    const QJsonValue value = season.value(QLatin1String(list));
    if (!value.isArray()) {
        refuse(key, "must be a list of " + what);
    }
    std::vector<Entry> entries;
    const QJsonArray array = value.toArray();
    for (qsizetype i = 0; i < array.size(); ++i) {
        const std::string entryKey = key + "[" + std::to_string(i) + "]";
        if (!array[i].isObject()) {
            refuse(entryKey, "must be an object: " + what);
        }
        const QJsonObject entry = array[i].toObject();
        onlyKeys(entry, entryKey, keys);
        if (!entry.contains(QLatin1String("date"))) {
            refuse(entryKey + ".date", "is missing: give the day's date (YYYY-MM-DD)");
        }
        entries.push_back(readEntry(
            entry, entryKey, readDate(entry.value(QLatin1String("date")), entryKey + ".date")));
    }
    return entries;
}

std::vector<SeasonAmount> readAmounts(const QJsonObject& season, const char* list, double most,
                                      const char* what) {
    return readEntries<SeasonAmount>(
        season, list, {"date", "mm"}, std::string("{\"date\": YYYY-MM-DD, \"mm\": ") + what + "}",
        [most, what](const QJsonObject& entry, const std::string& key, std::string date) {
            if (!entry.contains(QLatin1String("mm"))) {
                refuse(key + ".mm", std::string("is missing: give ") + what + " in mm");
            }
            return SeasonAmount{std::move(date),
                                rangedNumber(entry.value(QLatin1String("mm")), key + ".mm", 0, most,
                                             std::string(what) + " in mm")};
        });
}

std::vector<SeasonReading> readReadings(const QJsonObject& season) {
    const std::string what = "soil water contents (mm/mm) from 0 to 0.5, one per layer, top first";
    return readEntries<SeasonReading>(
        season, "readings", {"date", "waterLevels"},
        "{\"date\": YYYY-MM-DD, \"waterLevels\": [" + what + "]}",
        [&what](const QJsonObject& entry, const std::string& key, std::string date) {
            const QJsonValue levels = entry.value(QLatin1String("waterLevels"));
            if (!levels.isArray() || levels.toArray().isEmpty()) {
                refuse(key + ".waterLevels", "must be a list of " + what);
            }
            SeasonReading reading{std::move(date), {}};
            const QJsonArray array = levels.toArray();
            for (qsizetype i = 0; i < array.size(); ++i) {
                reading.waterLevels.push_back(
                    rangedNumber(array[i], key + ".waterLevels[" + std::to_string(i) + "]", 0,
                                 kMaxReadingContent, "a soil water content in mm/mm"));
            }
            return reading;
        });
}

// What really happened in the season: rain, irrigations, soil readings and the rule of
// effective rain. Their dates are checked against the plan when it is run.
SeasonRecord readSeason(const QJsonObject& root) {
    const QJsonObject season = group(
        root, "season", "must be an object with rain, irrigations, readings and effectiveRain");
    onlyKeys(season, "season", {"rain", "irrigations", "readings", "effectiveRain"});
    SeasonRecord record;
    if (season.contains(QLatin1String("rain"))) {
        record.rain = readAmounts(season, "rain", kMaxRainMm, "the rain");
    }
    if (season.contains(QLatin1String("irrigations"))) {
        record.irrigations =
            readAmounts(season, "irrigations", kMaxIrrigationMm, "the irrigation applied");
    }
    if (season.contains(QLatin1String("readings"))) {
        record.readings = readReadings(season);
    }
    if (season.contains(QLatin1String("effectiveRain"))) {
        const QJsonValue value = season.value(QLatin1String("effectiveRain"));
        if (!value.isObject()) {
            refuse("season.effectiveRain", "must be an object with share (%) and minimum (mm)");
        }
        const QJsonObject rule = value.toObject();
        onlyKeys(rule, "season.effectiveRain", {"share", "minimum"});
        EffectiveRainRule effective;
        if (rule.contains(QLatin1String("share"))) {
            effective.share =
                rangedNumber(rule.value(QLatin1String("share")), "season.effectiveRain.share", 0,
                             100, "the share of rain that counts, in %,");
        }
        if (rule.contains(QLatin1String("minimum"))) {
            effective.minimum =
                rangedNumber(rule.value(QLatin1String("minimum")), "season.effectiveRain.minimum",
                             0, kMaxRainMinimumMm, "the least rain that counts, in mm,");
        }
        record.effectiveRain = effective;
    }
    return record;
}

// The scenario's keys in the order of its description: the lists of one value per layer are
// checked against the layers of the soil's depth, read before them.
Scenario read(const QJsonObject& root) {
    onlyKeys(root, "",
             {"crop", "targetYield", "soil", "waterLevels", "sprinklerPackage", "cycle",
              "plantingDate", "field", "season"});
    Scenario scenario;
    scenario.crop = readCrop(root);
    if (root.contains(QLatin1String("targetYield"))) {
        scenario.targetYield = wholeNumber(root.value(QLatin1String("targetYield")), "targetYield",
                                           0, 2147483647, "(kg/ha)");
    }
    Layers layers = layersOf(scenario);
    if (root.contains(QLatin1String("soil"))) {
        readSoil(root, scenario, layers);
    }
    if (root.contains(QLatin1String("waterLevels"))) {
        readWaterLevels(root, scenario, layers);
    }
    if (root.contains(QLatin1String("sprinklerPackage"))) {
        readSprinklerPackage(root, scenario);
    }
    if (root.contains(QLatin1String("cycle"))) {
        scenario.cycle = wholeNumber(root.value(QLatin1String("cycle")), "cycle", 2, 10, "(days)");
    }
    if (root.contains(QLatin1String("plantingDate"))) {
        scenario.plantingDate = readPlantingDate(root.value(QLatin1String("plantingDate")));
    }
    if (root.contains(QLatin1String("field"))) {
        scenario.field = readField(root);
    }
    if (root.contains(QLatin1String("season"))) {
        scenario.season = readSeason(root);
    }
    return scenario;
}

} // namespace

std::optional<std::string> layerCountProblem(std::string_view key, std::size_t given, int layers,
                                             std::optional<int> profileDepth) {
    if (given == static_cast<std::size_t>(layers)) {
        return std::nullopt;
    }
    return "\"" + std::string(key) + "\" must have " + std::to_string(layers) +
           " values, one per layer" +
           (profileDepth ? " of the " + std::to_string(*profileDepth) + " mm profile" : "") +
           ", not " + std::to_string(given);
}

std::optional<std::string> readScenarioFile(const QString& path, std::string& text) {
    return readSmallFile(path, text, kMaxScenarioBytes, "a scenario");
}

std::optional<std::string> readSmallFile(const QString& path, std::string& text, long long maxBytes,
                                         const std::string& what) {
    // Opened without waiting: a named pipe would otherwise block until something writes to
    // it. What was opened is then asked what it is; only a regular file is read.
    const std::string bytes = fileNameBytes(path);
    const int handle = ::open(bytes.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (handle < 0) {
        const int error = errno;
        struct stat entry {};
        if (error == ENOENT && ::lstat(bytes.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) {
            return std::string("it is a symbolic link to a file that does not exist");
        }
        if (error == ENOENT) {
            return std::string("the file does not exist");
        }
        return std::string(std::strerror(error));
    }
    struct Closer {
        int handle;
        ~Closer() { ::close(handle); }
    } closer{handle};
    struct stat file {};
    if (::fstat(handle, &file) != 0) {
        return std::string(std::strerror(errno));
    }
    if (!S_ISREG(file.st_mode)) {
        return std::string(S_ISDIR(file.st_mode)    ? "it is a folder, not a file"
                           : S_ISFIFO(file.st_mode) ? "it is a named pipe (FIFO), not a file"
                           : S_ISSOCK(file.st_mode) ? "it is a socket, not a file"
                                                    : "it is a device, not a file");
    }
    const std::string limit =
        "more than " + std::to_string(maxBytes / 1024) + " KiB, far larger than " + what;
    if (file.st_size > maxBytes) {
        return "it holds " + std::to_string(file.st_size) + " bytes, " + limit;
    }
    // Read one byte beyond the size it has now: a file still growing tells its size no other
    // way. What it holds beyond the limit is never read.
    const auto most = static_cast<std::size_t>(maxBytes) + 1;
    std::string read(std::min(most, static_cast<std::size_t>(file.st_size) + 1), '\0');
    std::size_t filled = 0;
    for (;;) {
        if (filled == read.size()) {
            if (read.size() == most) {
                return "it holds " + limit;
            }
            read.resize(std::min(most, 2 * read.size()));
        }
        const ssize_t got = ::read(handle, read.data() + filled, read.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::string(std::strerror(errno));
        }
        if (got == 0) {
            break;
        }
        filled += static_cast<std::size_t>(got);
    }
    read.resize(filled);
    text = std::move(read);
    return std::nullopt;
}

ScenarioParse parseScenario(const std::string& jsonText) {
    ScenarioParse parse;
    QJsonParseError error{};
    const QJsonDocument document =
        QJsonDocument::fromJson(QByteArray::fromStdString(jsonText), &error);
    if (error.error != QJsonParseError::NoError) {
        if (std::all_of(jsonText.begin(), jsonText.end(),
                        [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; })) {
            parse.problem = "it is empty: a scenario is one JSON object ({ … })";
            return parse;
        }
        parse.problem = "it is not valid JSON: " + jsonProblem(error.error) + " " +
                        errorPlace(jsonText, static_cast<std::size_t>(std::max(0, error.offset)));
        return parse;
    }
    if (!document.isObject()) {
        parse.problem = "it must hold one JSON object ({ … }), the scenario's keys and values";
        return parse;
    }
    if (const auto key = duplicateKey(jsonText)) {
        parse.problem = "\"" + *key + "\" is given twice: give each key once";
        return parse;
    }
    try {
        parse.scenario = read(document.object());
    } catch (const Refusal& refusal) {
        parse.problem = refusal.message;
    }
    return parse;
}

namespace {

Json fieldJson(const FieldIdentity& field) {
    Json::Object object;
    object.reserve(3);
    if (field.name) {
        object.emplace_back("name", *field.name);
    }
    if (field.area) {
        object.emplace_back("area", *field.area);
    }
    if (field.id) {
        object.emplace_back("id", *field.id);
    }
    return object;
}

Json seasonJson(const SeasonRecord& record) {
    const auto amounts = [](const std::vector<SeasonAmount>& list) {
        Json::Array entries;
        for (const SeasonAmount& entry : list) {
            entries.emplace_back(Json::Object{{"date", entry.date}, {"mm", entry.mm}});
        }
        return entries;
    };
    Json::Array readings;
    for (const SeasonReading& reading : record.readings) {
        readings.emplace_back(Json::Object{{"date", reading.date},
                                           {"waterLevels", Json::array(reading.waterLevels)}});
    }
    Json::Object object{{"rain", amounts(record.rain)},
                        {"irrigations", amounts(record.irrigations)},
                        {"readings", std::move(readings)}};
    if (record.effectiveRain) {
        object.emplace_back("effectiveRain",
                            Json::Object{{"share", record.effectiveRain->share},
                                         {"minimum", record.effectiveRain->minimum}});
    }
    return object;
}

} // namespace

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
    if (scenario.field) {
        root.emplace_back("field", fieldJson(*scenario.field));
    }
    if (scenario.season) {
        root.emplace_back("season", seasonJson(*scenario.season));
    }
    return Json(std::move(root)).dump();
}

} // namespace tavik
