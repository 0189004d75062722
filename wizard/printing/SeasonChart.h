#pragma once

#include "plan/Plan.h"

#include <QString>

class QCustomPlot;
class QPoint;

namespace tavik {

// The season of a balanced plan on a plot: the planned and the actual soil water of the whole
// profile (mm) as lines over the days after planting, the field capacity and the lower limit as
// lines, the four class bands shaded lightly behind them, the rain and the irrigation of each
// day as bars, and today marked. A plan without a balanced season leaves the plot empty.
// Redraws the plot.
void drawSeasonChart(QCustomPlot& plot, const PlanResult& plan);

// The tip for a pointer position on a season chart drawn for `plan`: the day's date and its
// figures; empty away from the season's days.
QString seasonChartTip(const QCustomPlot& plot, const PlanResult& plan, const QPoint& position);

} // namespace tavik
