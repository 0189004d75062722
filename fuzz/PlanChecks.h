#pragma once

// What a plan that runs promises, checked on its figures and its four outputs.

#include "Checks.h"
#include "plan/Plan.h"
#include "plan/PlanOutput.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <cmath>
#include <initializer_list>
#include <string>

namespace tavik::fuzz {

// The plan's JSON holds a null only for a speed or a number of passes that does not apply;
// any other null is a figure that did not come out as a finite number.
inline void requireNullsOnlyWhereAllowed(const QJsonValue& value, const QString& key) {
    if (value.isNull()) {
        require(key == QLatin1String("speed") || key == QLatin1String("passes") ||
                    key == QLatin1String("passSpeed"),
                "the plan's JSON has a null only for a speed or a number of passes");
    } else if (value.isArray()) {
        for (const QJsonValue item : value.toArray()) {
            requireNullsOnlyWhereAllowed(item, key);
        }
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            requireNullsOnlyWhereAllowed(it.value(), it.key());
        }
    }
}

// A refusal that blames the crop row's figures: the crop table's checks should have kept
// that row from being offered. Names the message repeats (a crop's, which may hold any words)
// are taken out of it first.
inline bool blamesCropFigures(std::string problem, std::initializer_list<std::string> echoed) {
    for (const std::string& name : echoed) {
        for (std::size_t at; !name.empty() && (at = problem.find(name)) != std::string::npos;) {
            problem.erase(at, name.size());
        }
    }
    return problem.find("cannot be computed") != std::string::npos ||
           problem.find("cannot be calculated") != std::string::npos;
}

inline void requireSoundPlan(const PlanResult& plan) {
    const ScheduleRun& run = plan.schedule;
    require(std::isfinite(run.PeakRate), "the peak rate is finite");
    double previous = 0;
    for (const IrrigationDay& day : run.irrigations) {
        require(std::isfinite(day.amount) && std::isfinite(day.cumulative) &&
                    std::isfinite(day.speed.value_or(0)) &&
                    std::isfinite(day.passSpeed.value_or(0)),
                "every figure of an irrigation day is finite");
        require(day.amount >= 0, "no irrigation amount is negative");
        require(day.cumulative >= previous, "the cumulative application never falls");
        require(!day.passes || (*day.passes >= 1 && *day.passes <= 3),
                "the sprinkler package recommends 1, 2 or 3 passes");
        previous = day.cumulative;
    }
    for (const auto* chart : {&plan.individualChart, &plan.cumulativeChart}) {
        require(chart->labels.size() == chart->values.size(), "every chart bar has a label");
        for (const float value : chart->values) {
            require(std::isfinite(value), "every chart bar is finite");
        }
    }

    const std::string& text = planText(plan);
    require(!text.empty(), "the report has a text");
    requireSoundRtf(planRtf(plan), lineBreaks(text));

    const std::string json = planJson(plan);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    require(error.error == QJsonParseError::NoError && document.isObject(),
            "the plan's JSON is one valid JSON object");
    requireNullsOnlyWhereAllowed(document.object(), QString());

    const std::string csv = planCsv(plan);
    require(lineBreaks(csv) == run.irrigations.size() + 1,
            "the irrigation table has a heading and one line per irrigation day");
    for (const IrrigationDay& day : run.irrigations) {
        const auto date = irrigationDate(plan, day);
        require(plan.plantingDate.has_value() == date.has_value() && (!date || date->size() == 10),
                "a dated plan dates every irrigation as YYYY-MM-DD");
    }
}

} // namespace tavik::fuzz
