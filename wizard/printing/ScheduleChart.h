#pragma once

#include "engine/Schedule.h"

class QCPBars;
class QCustomPlot;

namespace tavik {

// The schedule chart: a title, black bars on white, one per possible irrigation day, the
// days after planting along the bottom. Sets the plot up and returns its bars.
QCPBars* setUpScheduleChart(QCustomPlot& plot);

// Puts the chart's bars on the plot and redraws it. With many bars the day labels stand
// upright, and where even so they would run into each other only every second (third, …)
// bar is labelled; every bar keeps its tick.
void drawScheduleChart(QCustomPlot& plot, QCPBars& bars, const ScheduleChart& chart);

} // namespace tavik
