#pragma once

#include "plan/HeadlessCommands.h"
#include "plan/Plan.h"

#include <QByteArray>
#include <QSize>
#include <QString>

namespace tavik {

// The plan's exports that are drawn. They need the toolkit's application object (any
// platform, the offscreen one included) but no screen.

// The schedule chart on its own: a PNG of the given size in pixels (text and lines grow with
// large images, so that the chart reads as on the screen), or an SVG drawing of that size.
// Empty when the image could not be made.
QByteArray chartPng(const ScheduleChart& chart, QSize size);
QByteArray chartSvg(const ScheduleChart& chart, QSize size);

// The field sheet: A4 pages to pin up, with the crop, the yield, the soil and its layers,
// the planned soil water at the four stages, the cycle, the chart and the irrigation table
// (with dates when the plan has a planting date), numbered "Page 1 of 2". madeAt is the time
// stamp in its footer.
struct FieldSheet {
    QByteArray pdf; // empty when it could not be made
    int pages = 0;
};
FieldSheet fieldSheetPdf(const PlanResult& plan, const QString& madeAt);

// `tavik plan`'s drawn outputs: the field sheet (pdf) or the chart (png, svg).
std::string drawPlanOutput(const PlanResult& plan, const DrawnOutput& output);

} // namespace tavik
