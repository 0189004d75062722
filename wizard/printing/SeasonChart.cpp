#include "SeasonChart.h"

#include "plan/Calendar.h"
#include "plan/Season.h"

#include <QDate>
#include <QLocale>
#include <QPalette>
#include <QPoint>
#include <algorithm>
#include <array>
#include <cmath>
#include <qcustomplot.h>

namespace tavik {

namespace {

// Colours that hold against a light and a dark background alike; the soil water itself is
// drawn in the palette's text colour.
const QColor kRainColour(40, 140, 220);
const QColor kIrrigationColour(0, 158, 115);
const QColor kTodayColour(213, 94, 0);

struct Band {
    const char* word;
    const char* name; // objectName of the band's rectangle
    QColor colour;
};
const std::array<Band, 4> kBands{{
    {"Very dry", "bandVeryDry", QColor(213, 94, 0, 40)},
    {"Dry", "bandDry", QColor(230, 159, 0, 36)},
    {"Wet", "bandWet", QColor(86, 180, 233, 36)},
    {"Very-Wet", "bandVeryWet", QColor(0, 114, 178, 44)},
}};

QString mmText(double value) {
    return QLocale().toString(value, 'f', 1);
}

// The planned soil water on day 0 and the soil water the balance starts from.
double plannedAtStart(const PlanResult& plan) {
    return static_cast<double>(plan.waterLevels.stageTotal(Stage::SeasonStart));
}

void styleAxis(QCPAxis& axis, const QColor& text) {
    axis.setBasePen(QPen(text));
    axis.setTickPen(QPen(text));
    axis.setSubTickPen(QPen(text));
    axis.setTickLabelColor(text);
    axis.setLabelColor(text);
    QColor grid = text;
    grid.setAlpha(40);
    axis.grid()->setPen(QPen(grid, 0, Qt::DotLine));
}

QCPItemText* label(QCustomPlot& plot, const QString& text, const QColor& colour,
                   Qt::Alignment alignment) {
    auto* item = new QCPItemText(&plot);
    item->setText(text);
    item->setColor(colour);
    item->setPositionAlignment(alignment);
    item->setClipToAxisRect(true);
    QFont font = plot.font();
    font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.85));
    item->setFont(font);
    return item;
}

// A horizontal line across the plot at `mm`, labelled at its right end.
void levelLine(QCustomPlot& plot, const QString& name, double mm, const QString& text,
               const QColor& colour, Qt::PenStyle style) {
    auto* line = new QCPItemStraightLine(&plot);
    line->setObjectName(name);
    line->setAntialiased(false); // level: needs no smoothing
    line->setPen(QPen(colour, 1, style));
    line->point1->setCoords(0, mm);
    line->point2->setCoords(1, mm);
    auto* tag = label(plot, text, colour, Qt::AlignRight | Qt::AlignBottom);
    tag->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
    tag->position->setCoords(0.995, mm);
}

} // namespace

void drawSeasonChart(QCustomPlot& plot, const PlanResult& plan) {
    plot.clearPlottables();
    plot.clearItems();
    const QPalette& palette = plot.palette();
    const QColor text = palette.color(QPalette::Text);
    plot.setBackground(palette.color(QPalette::Base));
    for (QCPAxis* axis : {plot.xAxis, plot.yAxis, plot.yAxis2}) {
        styleAxis(*axis, text);
    }
    plot.xAxis->setLabel(QStringLiteral("Days after planting"));
    plot.yAxis->setLabel(QStringLiteral("Soil water in mm"));
    plot.yAxis2->setLabel(QStringLiteral("Rain and irrigation in mm"));
    plot.yAxis2->setVisible(true);
    plot.yAxis2->grid()->setVisible(false);
    if (!plan.seasonBalance || plan.seasonBalance->days.empty()) {
        plot.yAxis2->setVisible(false);
        plot.replot();
        return;
    }
    const SeasonBalance& balance = *plan.seasonBalance;
    const SeasonPlan season = seasonPlanOf(plan);
    const int count = static_cast<int>(balance.days.size());

    // The soil water lines, day 0 first.
    QVector<double> keys;
    QVector<double> planned;
    QVector<double> actual;
    keys.reserve(count + 1);
    planned.reserve(count + 1);
    actual.reserve(count + 1);
    keys.append(0);
    planned.append(plannedAtStart(plan));
    actual.append(plannedAtStart(plan) + balance.startDeviation);
    QVector<double> readingKeys;
    QVector<double> readings;
    if (plan.seasonDays.readings.count(0) != 0) {
        readingKeys.append(0);
        readings.append(actual.front());
    }
    QVector<double> barKeys;
    QVector<double> rain;
    QVector<double> logged;
    QVector<double> advised;
    double low = std::min(season.lowerLimit, planned.front());
    double high = std::max(season.fieldCapacity, std::max(planned.front(), actual.front()));
    low = std::min(low, actual.front());
    double wettest = 0;
    for (const SeasonDay& day : balance.days) {
        const auto d = static_cast<double>(day.day);
        keys.append(d);
        planned.append(day.plannedWater);
        actual.append(day.soilWater);
        low = std::min({low, day.plannedWater, day.soilWater});
        high = std::max({high, day.plannedWater, day.soilWater});
        if (day.reading) {
            readingKeys.append(d);
            readings.append(*day.reading);
        }
        const double counted = day.logged ? day.irrigation : 0.0;
        const double toCome = day.advised && !day.logged ? *day.advised : 0.0;
        barKeys.append(d);
        rain.append(day.rain.value_or(0.0));
        logged.append(counted);
        advised.append(toCome);
        wettest = std::max(wettest, day.rain.value_or(0.0) + counted + toCome);
    }

    // The class bands behind everything, from the thresholds the balance classes by.
    const ClassThresholds& t = season.thresholds;
    const std::array<double, 5> edges{0.0, static_cast<double>(t.VeryDryTop),
                                      static_cast<double>(t.DryTop), static_cast<double>(t.WetTop),
                                      std::max(high, static_cast<double>(t.WetTop)) * 10.0 + 1.0};
    const double span = std::max(1.0, high - low);
    const double bottom = std::max(0.0, low - span * 0.08);
    const double top = high + span * 0.08;
    for (std::size_t b = 0; b < kBands.size(); ++b) {
        auto* band = new QCPItemRect(&plot);
        band->setObjectName(QString::fromLatin1(kBands[b].name));
        band->setLayer(QStringLiteral("background"));
        band->setPen(Qt::NoPen);
        band->setAntialiased(false);
        band->setBrush(kBands[b].colour);
        band->topLeft->setTypeX(QCPItemPosition::ptAxisRectRatio);
        band->bottomRight->setTypeX(QCPItemPosition::ptAxisRectRatio);
        band->topLeft->setCoords(0, edges[b + 1]);
        band->bottomRight->setCoords(1, edges[b]);
        // The band's word at its left edge, where it lies within the plot.
        const double middle = (std::max(edges[b], bottom) + std::min(edges[b + 1], top)) / 2.0;
        if (middle > bottom && middle < top) {
            auto* word = label(plot, QString::fromLatin1(kBands[b].word), text,
                               Qt::AlignLeft | Qt::AlignVCenter);
            word->setObjectName(QString::fromLatin1(kBands[b].name) + QStringLiteral("Label"));
            word->position->setTypeX(QCPItemPosition::ptAxisRectRatio);
            word->position->setCoords(0.005, middle);
        }
    }

    // Rain and irrigation per day on the right axis, stacked, kept to the lower part.
    const auto bars = [&](const QString& name, const QVector<double>& values, const QColor& pen,
                          const QColor& brush) {
        auto* series = new QCPBars(plot.xAxis, plot.yAxis2);
        series->setName(name);
        series->setWidth(0.7);
        series->setAntialiased(false);
        series->setPen(QPen(pen));
        series->setBrush(brush);
        series->setData(barKeys, values, true);
        return series;
    };
    QCPBars* rainBars = bars(QStringLiteral("Rain"), rain, kRainColour, kRainColour);
    QCPBars* loggedBars =
        bars(QStringLiteral("Irrigation"), logged, kIrrigationColour, kIrrigationColour);
    QColor light = kIrrigationColour;
    light.setAlpha(90);
    QCPBars* advisedBars =
        bars(QStringLiteral("Advised irrigation"), advised, kIrrigationColour, light);
    loggedBars->moveAbove(rainBars);
    advisedBars->moveAbove(loggedBars);
    plot.yAxis2->setRange(0, std::max(10.0, wettest) * 3.0);

    // The planned (dashed) and the actual (solid) soil water, and the readings.
    auto* plannedGraph = plot.addGraph(plot.xAxis, plot.yAxis);
    plannedGraph->setName(QStringLiteral("Planned soil water"));
    plannedGraph->setPen(QPen(text, 1.5, Qt::DashLine));
    plannedGraph->setData(keys, planned, true);
    auto* actualGraph = plot.addGraph(plot.xAxis, plot.yAxis);
    actualGraph->setName(QStringLiteral("Soil water"));
    actualGraph->setPen(QPen(text, 2));
    actualGraph->setData(keys, actual, true);
    auto* readingGraph = plot.addGraph(plot.xAxis, plot.yAxis);
    readingGraph->setName(QStringLiteral("Readings"));
    readingGraph->setLineStyle(QCPGraph::lsNone);
    readingGraph->setScatterStyle(
        QCPScatterStyle(QCPScatterStyle::ssDiamond, QPen(text, 1.5), kTodayColour, 9));
    readingGraph->setData(readingKeys, readings, true);

    levelLine(plot, QStringLiteral("fieldCapacity"), season.fieldCapacity,
              QStringLiteral("Field capacity %1 mm").arg(mmText(season.fieldCapacity)), text,
              Qt::DotLine);
    levelLine(plot, QStringLiteral("lowerLimit"), season.lowerLimit,
              QStringLiteral("Lower limit %1 mm").arg(mmText(season.lowerLimit)), text,
              Qt::DotLine);

    if (balance.todayDay >= 0 && balance.todayDay <= count) {
        const auto today = static_cast<double>(balance.todayDay);
        auto* line = new QCPItemStraightLine(&plot);
        line->setObjectName(QStringLiteral("today"));
        line->setAntialiased(false);
        line->setPen(QPen(kTodayColour, 1.5));
        line->point1->setCoords(today, 0);
        line->point2->setCoords(today, 1);
        auto* tag =
            label(plot, QStringLiteral("Today"), kTodayColour, Qt::AlignLeft | Qt::AlignTop);
        tag->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        tag->position->setCoords(today + 0.5, 0.01);
    }

    plot.xAxis->setRange(-0.5, count + 0.5);
    plot.yAxis->setRange(bottom, top);
    plot.replot();
}

QString seasonChartTip(const QCustomPlot& plot, const PlanResult& plan, const QPoint& position) {
    if (!plan.seasonBalance || plan.seasonBalance->days.empty() || !plan.plantingDate ||
        !plot.axisRect()->rect().contains(position)) {
        return {};
    }
    const SeasonBalance& balance = *plan.seasonBalance;
    const double at = plot.xAxis->pixelToCoord(position.x());
    const int count = static_cast<int>(balance.days.size());
    if (!std::isfinite(at) || at < -0.5 || at > count + 0.5) {
        return {};
    }
    const int day = std::clamp(static_cast<int>(std::lround(at)), 0, count);
    const QDate date = QDate::fromString(
        QString::fromStdString(dateAfter(*plan.plantingDate, day).value_or(std::string())),
        Qt::ISODate);
    const QLocale locale;
    QStringList lines;
    lines << QStringLiteral("%1 (day %2)")
                 .arg(date.isValid() ? locale.toString(date, QStringLiteral("ddd d MMM yyyy"))
                                     : QString(),
                      QString::number(day));
    const SeasonPlan season = seasonPlanOf(plan);
    if (day == 0) {
        const double planned = plannedAtStart(plan);
        const double soil = planned + balance.startDeviation;
        const auto word = season.thresholds.classify(std::floor(soil));
        lines << QStringLiteral("Soil water: %1 mm against %2 mm planned%3")
                     .arg(mmText(soil), mmText(planned),
                          word ? QStringLiteral(" (%1)").arg(QString::fromStdString(*word))
                               : QString());
        return lines.join(QLatin1Char('\n'));
    }
    const SeasonDay& d = balance.days[static_cast<std::size_t>(day - 1)];
    lines << QStringLiteral("Rain: %1")
                 .arg(d.rain ? mmText(*d.rain) + QStringLiteral(" mm")
                             : QStringLiteral("none recorded"));
    if (d.logged) {
        lines << QStringLiteral("Irrigation: %1 mm logged").arg(mmText(d.irrigation));
    } else if (d.advised) {
        lines << (*d.advised == 0.0
                      ? QStringLiteral("Irrigation: skip (the soil is wetter than planned)")
                      : QStringLiteral("Irrigation: %1 mm advised").arg(mmText(*d.advised)));
    } else if (d.planned > 0.0) {
        lines << QStringLiteral("Irrigation: not recorded (%1 mm planned)").arg(mmText(d.planned));
    }
    QString soil = QStringLiteral("Soil water: %1 mm against %2 mm planned")
                       .arg(mmText(d.soilWater), mmText(d.plannedWater));
    if (!d.soilClass.empty()) {
        soil += QStringLiteral(" (%1)").arg(QString::fromStdString(d.soilClass));
    }
    lines << soil;
    if (d.reading) {
        lines << QStringLiteral("Reading: %1 mm").arg(mmText(*d.reading));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace tavik
