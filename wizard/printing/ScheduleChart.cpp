#include "ScheduleChart.h"

#include <QFontMetrics>
#include <QString>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace tavik {

QCPBars* setUpScheduleChart(QCustomPlot& plot) {
    plot.setBackground(Qt::white);
    // Square bars need no smoothing, and the chart is redrawn at every move of the slider.
    plot.setNotAntialiasedElements(QCP::aePlottables | QCP::aeGrid | QCP::aeAxes);
    plot.plotLayout()->insertRow(0);
    auto* title = new QCPTextElement(&plot, QStringLiteral("TAVIK+ Irrigation schedule"),
                                     QFont(QStringLiteral("Arial"), 12, QFont::Bold));
    title->setObjectName(QStringLiteral("chartTitle"));
    plot.plotLayout()->addElement(0, 0, title);
    plot.xAxis->setLabel(QStringLiteral("Days after Planting"));
    plot.yAxis->setLabel(QStringLiteral("Irrigation water in mm"));
    plot.yAxis->setLabelFont(QFont(QStringLiteral("Arial"), 10));
    auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
    bars->setPen(QPen(Qt::black));
    bars->setBrush(Qt::black);
    bars->setWidth(0.6);
    return bars;
}

void drawScheduleChart(QCustomPlot& plot, QCPBars& bars, const ScheduleChart& chart) {
    QVector<double> keys;
    QVector<double> values;
    QSharedPointer<QCPAxisTickerText> ticker(new QCPAxisTickerText);
    const auto count = static_cast<int>(chart.values.size());
    const bool upright = count > 20;
    const QFontMetrics metrics(plot.xAxis->tickLabelFont());
    const int plotWidth =
        plot.axisRect()->width() > 50 ? plot.axisRect()->width() : plot.width() - 80;
    const double perBar = std::max(1, plotWidth) / (count + 0.4);
    const double labelRoom =
        upright ? metrics.height() * 1.25 : metrics.horizontalAdvance(QStringLiteral("000")) + 6.0;
    const int every = std::max(1, static_cast<int>(std::ceil(labelRoom / perBar)));
    for (int k = 0; k < count; ++k) {
        const auto at = static_cast<std::size_t>(k);
        keys.append(static_cast<double>(k + 1));
        // The data grid holds each bar as text; the bar stands at that value.
        values.append(QString::fromStdString(chart.valueTexts[at]).toDouble());
        ticker->addTick(static_cast<double>(k + 1),
                        k % every == 0 ? QString::number(chart.labels[at]) : QString());
    }
    bars.setData(keys, values, true);
    plot.xAxis->setTicker(ticker);
    plot.xAxis->setTickLabelRotation(upright ? 90 : 0);
    plot.xAxis->setRange(0.3, static_cast<double>(chart.values.size()) + 0.7);
    double top = 0;
    for (double v : values) {
        top = std::max(top, v);
    }
    plot.yAxis->setRange(0, top > 0 ? top * 1.1 : 1);
    plot.replot();
}

} // namespace tavik
