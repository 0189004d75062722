#include "PlanExports.h"

#include "ScheduleChart.h"
#include "SeasonChart.h"
#include "model/SoilLayers.h"
#include "plan/IrrigationTable.h"
#include "plan/PlanOutput.h"
#include "plan/SeasonJson.h"
#include "plan/TimeStamp.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDate>
#include <QLocale>
#include <QPdfWriter>
#include <QStringList>
#include <QSvgGenerator>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextObjectInterface>
#include <QTextTable>
#include <algorithm>
#include <cmath>
#include <optional>
#include <qcustomplot.h>

namespace tavik {

namespace {

// Page coordinates are CSS pixels, 96 to the inch, so that point sizes of the chart and of
// the text come out as on the screen.
constexpr int kDpi = 96;
constexpr double kFooterHeight = 28; // px below the body
constexpr int kChartObject = QTextFormat::UserObject + 1;
constexpr int kSeasonChartObject = QTextFormat::UserObject + 2;

// A chart plot of its own, laid out at a size (the day labels thin out by the plot's width).
class ChartPlot {
public:
    ChartPlot(const ScheduleChart& chart, QSize size) {
        plot_.resize(size);
        QCPBars* bars = setUpScheduleChart(plot_);
        drawScheduleChart(plot_, *bars, chart); // lays the plot out at its size
        drawScheduleChart(plot_, *bars, chart); // labels by the laid out width
    }
    QCustomPlot& plot() { return plot_; }

private:
    QCustomPlot plot_;
};

// A chart in the field sheet's text, drawn as lines and text (not as a picture) by the chart
// painter the pages are drawn with.
class PlotInText : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit PlotInText(QSize size) : size_(size) {}

    QSizeF intrinsicSize(QTextDocument*, int, const QTextFormat&) override { return QSizeF(size_); }
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                    const QTextFormat&) override {
        if (painter == nullptr || painter != pagePainter_) {
            return;
        }
        pagePainter_->save();
        pagePainter_->translate(rect.topLeft());
        plot().toPainter(pagePainter_, size_.width(), size_.height());
        pagePainter_->restore();
    }
    void drawWith(QCPPainter* painter) { pagePainter_ = painter; }

protected:
    virtual QCustomPlot& plot() = 0;

private:
    QSize size_;
    QCPPainter* pagePainter_ = nullptr;
};

// The schedule chart as the screen draws it.
class ChartInText : public PlotInText {
public:
    ChartInText(const ScheduleChart& chart, QSize size) : PlotInText(size), chart_(chart, size) {}

protected:
    QCustomPlot& plot() override { return chart_.plot(); }

private:
    ChartPlot chart_;
};

// The season chart, drawn in black on white whatever the desktop's colours.
class SeasonChartInText : public PlotInText {
public:
    SeasonChartInText(const PlanResult& plan, QSize size) : PlotInText(size) {
        QPalette paper = plot_.palette();
        paper.setColor(QPalette::Base, Qt::white);
        paper.setColor(QPalette::Text, Qt::black);
        plot_.setPalette(paper);
        plot_.resize(size);
        drawSeasonChart(plot_, plan);
    }

protected:
    QCustomPlot& plot() override { return plot_; }

private:
    QCustomPlot plot_;
};

QString oneDecimal(double value) {
    return QString::number(value, 'f', 1);
}

// The balanced season's day, when the plan has one.
const SeasonDay* seasonDayOf(const PlanResult& plan, int day) {
    if (!plan.seasonBalance || day < 1 || day > static_cast<int>(plan.seasonBalance->days.size())) {
        return nullptr;
    }
    return &plan.seasonBalance->days[static_cast<std::size_t>(day - 1)];
}

QString dateText(const PlanResult& plan, const IrrigationDay& day) {
    const auto date = irrigationDate(plan, day);
    return date ? QLocale().toString(QDate::fromString(QString::fromStdString(*date), Qt::ISODate),
                                     QLocale::ShortFormat)
                : QString();
}

// Text of a cell, right-aligned for figures.
void setCell(QTextTable& table, int row, int column, const QString& text,
             const QTextCharFormat& format, bool figure) {
    QTextTableCell cell = table.cellAt(row, column);
    QTextCursor cursor = cell.firstCursorPosition();
    QTextBlockFormat block;
    block.setAlignment(figure ? Qt::AlignRight : Qt::AlignLeft);
    cursor.setBlockFormat(block);
    cursor.insertText(text, format);
}

// A table the width of the page: a shaded heading row, repeated on every page it runs onto,
// and every second row shaded lightly so that the eye keeps to a row across the page.
QTextTable* insertTable(QTextCursor& cursor, int rows, const QStringList& headings,
                        const QTextCharFormat& headingFormat) {
    QTextTableFormat format;
    format.setBorderStyle(QTextFrameFormat::BorderStyle_None);
    format.setBorder(0);
    format.setCellPadding(3);
    format.setCellSpacing(0);
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    const auto columns = static_cast<int>(headings.size());
    QTextTable* table = cursor.insertTable(rows + 1, columns, format);
    const auto shade = [table, columns](int row, const QColor& colour) {
        QTextTableCellFormat cellFormat;
        cellFormat.setBackground(colour);
        for (int c = 0; c < columns; ++c) {
            table->cellAt(row, c).setFormat(cellFormat);
        }
    };
    shade(0, QColor(220, 220, 220));
    for (int row = 2; row <= rows; row += 2) {
        shade(row, QColor(243, 243, 243));
    }
    for (int c = 0; c < columns; ++c) {
        setCell(*table, 0, c, headings[c], headingFormat, c > 0);
    }
    return table;
}

QString stageName(Stage stage) {
    switch (stage) {
    case Stage::SeasonStart:
        return QStringLiteral("Season start");
    case Stage::PeakStart:
        return QStringLiteral("Peak start");
    case Stage::PeakEnd:
        return QStringLiteral("Peak end");
    case Stage::SeasonEnd:
        return QStringLiteral("Season end");
    }
    return {};
}

// The character formats of the sheet: Arial 10 for the text, bold, and the title's and the
// headings' sizes.
struct SheetFormats {
    QTextCharFormat text;
    QTextCharFormat bold;
    QTextCharFormat title;
    QTextCharFormat heading;
    QTextBlockFormat spaced; // a block set off from the one before
};

SheetFormats sheetFormats() {
    SheetFormats formats;
    formats.text.setFont(QFont(QStringLiteral("Arial"), 10));
    formats.bold = formats.text;
    formats.bold.setFontWeight(QFont::Bold);
    formats.title = formats.bold;
    formats.title.setFontPointSize(16);
    formats.heading = formats.bold;
    formats.heading.setFontPointSize(12);
    formats.spaced.setTopMargin(10);
    formats.spaced.setBottomMargin(4);
    return formats;
}

// The title and the plan in a few lines.
void writePlanLines(QTextCursor& cursor, const PlanResult& plan, const SheetFormats& formats) {
    const QString crop = QString::fromStdString(plan.cropName);
    cursor.insertText(QStringLiteral("Irrigation schedule: ") + crop, formats.title);

    QTextBlockFormat line;
    line.setTopMargin(2);
    const auto addLine = [&](const QString& label, const QString& value) {
        cursor.insertBlock(line);
        cursor.insertText(label + QStringLiteral(": "), formats.bold);
        cursor.insertText(value, formats.text);
    };
    cursor.insertBlock(formats.spaced);
    cursor.insertText(QStringLiteral("Target yield: "), formats.bold);
    cursor.insertText(QString::number(std::lround(plan.state.TargetYield)) +
                          QStringLiteral(" kg/ha"),
                      formats.text);
    if (plan.field && (plan.field->name || plan.field->area)) {
        QStringList field;
        if (plan.field->name) {
            field << QString::fromStdString(*plan.field->name);
        }
        if (plan.field->area) {
            field << QLocale().toString(*plan.field->area, 'g', 12) + QStringLiteral(" ha");
        }
        addLine(QStringLiteral("Field"), field.join(QStringLiteral(", ")));
    }
    addLine(QStringLiteral("Irrigation cycle"),
            QString::number(plan.engine.Cycle()) + QStringLiteral(" days"));
    if (plan.plantingDate) {
        addLine(QStringLiteral("Planting date"),
                QLocale().toString(
                    QDate::fromString(QString::fromStdString(*plan.plantingDate), Qt::ISODate),
                    QLocale::LongFormat));
    }
    QString soil = QString::number(plan.depth) + QStringLiteral(" mm deep, ") +
                   QString::number(plan.layers) +
                   (plan.layers == 1 ? QStringLiteral(" layer") : QStringLiteral(" layers"));
    if (plan.deepRipped) {
        soil += QStringLiteral(", deep ripped");
    }
    addLine(QStringLiteral("Soil"), soil);
    addLine(QStringLiteral("Plant-available water capacity (PAWC)"),
            oneDecimal(plan.state.ProfilePAWC) + QStringLiteral(" mm"));
    addLine(QStringLiteral("Peak application rate"),
            oneDecimal(plan.schedule.PeakRate) + QStringLiteral(" mm"));
    if (plan.sprinklerPackage) {
        addLine(QStringLiteral("Sprinkler package"),
                QStringLiteral("running speed (%) = ") +
                    QString::number(plan.state.SpeedCoefficient, 'f', 2) +
                    QStringLiteral(" × amount (mm)^") +
                    QString::number(plan.state.SpeedExponent, 'f', 4));
    }
}

// The soil's layers and the water planned in them at each stage, with each stage's profile
// total and strategy under them.
void writeLayerTable(QTextCursor& cursor, const PlanResult& plan, const SheetFormats& formats) {
    const QTextCharFormat& text = formats.text;
    cursor.insertBlock(formats.spaced);
    cursor.insertText(QStringLiteral("Soil layers and planned soil water (mm/mm)"),
                      formats.heading);
    cursor.insertBlock();
    const WaterLevelModel& levels = plan.waterLevels;
    QStringList headings{QStringLiteral("Layer"), QStringLiteral("Depth (mm)"),
                         QStringLiteral("Silt + clay (%)")};
    for (Stage stage : kStages) {
        headings << stageName(stage);
    }
    const int layerRows = levels.LayerCount();
    QTextTable* layers = insertTable(cursor, layerRows + 2, headings, formats.bold);
    for (int r = 0; r < layerRows; ++r) {
        const int top = r * kLayerThicknessMm;
        const int bottom = r + 1 == layerRows ? plan.depth : top + kLayerThicknessMm;
        setCell(*layers, r + 1, 0, QString::number(r + 1), text, false);
        setCell(*layers, r + 1, 1,
                QString::number(top) + QStringLiteral("–") + QString::number(bottom), text, true);
        const auto at = static_cast<std::size_t>(r);
        setCell(*layers, r + 1, 2,
                at < plan.siltClay.size() ? QString::number(plan.siltClay[at]) : QString(), text,
                true);
        for (Stage stage : kStages) {
            setCell(*layers, r + 1, 3 + static_cast<int>(stage),
                    QString::number(levels.selection(r, stage) / 1000.0, 'f', 3), text, true);
        }
    }
    setCell(*layers, layerRows + 1, 0, QStringLiteral("Profile (mm)"), formats.bold, false);
    setCell(*layers, layerRows + 2, 0, QStringLiteral("Strategy"), formats.bold, false);
    for (Stage stage : kStages) {
        const int column = 3 + static_cast<int>(stage);
        setCell(*layers, layerRows + 1, column, oneDecimal(levels.stageTotal(stage)), text, true);
        setCell(*layers, layerRows + 2, column, QString::fromStdString(levels.nominalClass(stage)),
                text, true);
    }
    cursor.movePosition(QTextCursor::End);
}

// The irrigations, one row each, in the columns the result screen's calendar shows.
void writeIrrigationTable(QTextCursor& cursor, const PlanResult& plan,
                          const SheetFormats& formats) {
    cursor.insertBlock(formats.spaced);
    cursor.insertText(QStringLiteral("Irrigations"), formats.heading);
    cursor.insertBlock();
    const std::vector<IrrigationColumn> columns =
        shownIrrigationColumns(plan.plantingDate.has_value(), plan.sprinklerPackage);
    QStringList headings;
    for (const IrrigationColumn& column : columns) {
        headings << QString::fromUtf8(column.heading);
    }
    const auto& irrigations = plan.schedule.irrigations;
    if (plan.seasonBalance) {
        cursor.insertText(
            QStringLiteral("Amounts marked \u201cadvised\u201d are re-planned from "
                           "the season log as of ") +
                QString::fromStdString(seasonDateText(plan, plan.seasonBalance->todayDay)) +
                QStringLiteral("."),
            formats.text);
        cursor.insertBlock();
    }
    QTextTable* table =
        insertTable(cursor, static_cast<int>(irrigations.size()), headings, formats.bold);
    for (std::size_t i = 0; i < irrigations.size(); ++i) {
        IrrigationDay day = irrigations[i];
        const QString date = plan.plantingDate ? dateText(plan, day) : QString();
        const SeasonDay* season = seasonDayOf(plan, day.day);
        // A day to come that has nothing logged shows the amount advised for it.
        const bool advised = season != nullptr && !season->logged && season->advised;
        if (advised) {
            day.amount = *season->advised;
            setSpeedAndPasses(day, plan.state.SpeedCoefficient, plan.state.SpeedExponent,
                              plan.sprinklerPackage);
        }
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const IrrigationField field = columns[c].field;
            QString cell = shownIrrigationCell(field, day, date);
            if (advised && field == IrrigationField::Amount) {
                cell += QStringLiteral(" advised");
            }
            setCell(*table, static_cast<int>(i) + 1, static_cast<int>(c), cell, formats.text,
                    isFigure(field));
        }
    }
}

// The season to date on a page of its own: the next irrigation, the season chart, the log of
// the days with an entry or a planned irrigation up to today, and the totals to date.
void writeSeasonPage(QTextCursor& cursor, const PlanResult& plan, const SheetFormats& formats) {
    const SeasonBalance& balance = *plan.seasonBalance;
    cursor.movePosition(QTextCursor::End); // out of the irrigation table
    QTextBlockFormat page = formats.spaced;
    page.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(page);
    cursor.insertText(QStringLiteral("Season log to ") +
                          QString::fromStdString(seasonDateText(plan, balance.todayDay)) +
                          QStringLiteral(" (day ") + QString::number(balance.todayDay) +
                          QStringLiteral(")"),
                      formats.heading);
    cursor.insertBlock(formats.spaced);
    cursor.insertText(QStringLiteral("Next irrigation: "), formats.bold);
    if (balance.next) {
        const IrrigationDay& next = *balance.next;
        cursor.insertText(QString::fromStdString(seasonDateText(plan, next.day)) +
                              QStringLiteral(" (day ") + QString::number(next.day) +
                              QStringLiteral("): ") +
                              QString::fromStdString(irrigationAdvice(next, plan.sprinklerPackage)),
                          formats.text);
    } else {
        cursor.insertText(QStringLiteral("none; the season's irrigations are over"), formats.text);
    }

    cursor.insertBlock(formats.spaced);
    QTextCharFormat chart;
    chart.setObjectType(kSeasonChartObject);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), chart);

    cursor.insertBlock(formats.spaced);
    cursor.insertText(QStringLiteral("Log to date"), formats.heading);
    cursor.insertBlock();
    std::vector<const SeasonDay*> shown;
    for (const SeasonDay& day : balance.days) {
        const bool entry = day.rain || day.logged || day.reading || day.planned > 0.0;
        if (day.day <= balance.todayDay && entry) {
            shown.push_back(&day);
        }
    }
    if (shown.empty()) {
        cursor.insertText(QStringLiteral("No day to date has an entry or a planned irrigation."),
                          formats.text);
    } else {
        const QStringList headings{
            QStringLiteral("Date"),          QStringLiteral("Day"),
            QStringLiteral("Rain (mm)"),     QStringLiteral("Irrigation logged (mm)"),
            QStringLiteral("Planned (mm)"),  QStringLiteral("Soil water (mm)"),
            QStringLiteral("Class"),         QStringLiteral("Drained (mm)"),
            QStringLiteral("Shortfall (mm)")};
        QTextTable* table =
            insertTable(cursor, static_cast<int>(shown.size()), headings, formats.bold);
        // Dates and class words on one line; the figures share the rest.
        QTextTableFormat widths = table->format();
        QVector<QTextLength> columns;
        for (const double percent : {17.0, 6.0, 9.0, 12.0, 9.0, 10.0, 15.0, 10.0, 12.0}) {
            columns.append(QTextLength(QTextLength::PercentageLength, percent));
        }
        widths.setColumnWidthConstraints(columns);
        table->setFormat(widths);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const SeasonDay& day = *shown[i];
            QString irrigation;
            if (day.logged) {
                irrigation = oneDecimal(day.irrigation);
            } else if (day.advised) {
                irrigation = oneDecimal(*day.advised) + QStringLiteral(" advised");
            } else if (day.planned > 0.0) {
                irrigation = QStringLiteral("not recorded");
            }
            QString soilClass = QString::fromStdString(day.soilClass);
            if (day.reading) {
                soilClass += QStringLiteral(" (reading)");
            }
            const QStringList cells{QString::fromStdString(seasonDateText(plan, day.day)),
                                    QString::number(day.day),
                                    day.rain ? oneDecimal(*day.rain) : QString(),
                                    irrigation,
                                    day.planned > 0.0 ? oneDecimal(day.planned) : QString(),
                                    oneDecimal(day.soilWater),
                                    soilClass,
                                    oneDecimal(day.drained),
                                    oneDecimal(day.shortfall)};
            for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
                setCell(*table, static_cast<int>(i) + 1, c, cells[c], formats.text,
                        c != 0 && c != 6);
            }
        }
        cursor.movePosition(QTextCursor::End);
    }

    const SeasonTotals& totals = balance.totals;
    cursor.insertBlock(formats.spaced);
    cursor.insertText(QStringLiteral("To date: "), formats.bold);
    cursor.insertText(
        QStringLiteral("rain %1 mm (%2 mm effective), irrigation %3 mm against %4 mm planned, "
                       "drained %5 mm, shortfall %6 mm on %7 %8")
            .arg(oneDecimal(totals.rain), oneDecimal(totals.effectiveRain),
                 oneDecimal(totals.irrigation), oneDecimal(totals.planned),
                 oneDecimal(totals.drained), oneDecimal(totals.shortfall),
                 QString::number(totals.stressDays),
                 totals.stressDays == 1 ? QStringLiteral("day") : QStringLiteral("days")),
        formats.text);
}

// The sheet's text: headings, the soil and water table, the chart and the irrigation table.
void writeSheet(QTextDocument& document, const PlanResult& plan) {
    QTextCursor cursor(&document);
    // One edit, laid out once at its end (not again at every cell of the tables).
    cursor.beginEditBlock();
    const SheetFormats formats = sheetFormats();
    writePlanLines(cursor, plan, formats);
    writeLayerTable(cursor, plan, formats);

    // The chart, the width of the page.
    cursor.insertBlock(formats.spaced);
    QTextCharFormat chart;
    chart.setObjectType(kChartObject);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), chart);

    writeIrrigationTable(cursor, plan, formats);
    if (plan.seasonBalance) {
        writeSeasonPage(cursor, plan, formats);
    }
    cursor.endEditBlock();
}

} // namespace

QByteArray chartPng(const ScheduleChart& chart, QSize size) {
    if (!isChartImageSize(size)) {
        return {};
    }
    // Drawn at a size near a screen's and scaled up, so that a large image is not a small
    // chart in a large white field.
    const double scale =
        std::clamp(std::min(size.width() / 900.0, size.height() / 500.0), 1.0, 6.0);
    const QSize logical(static_cast<int>(std::lround(size.width() / scale)),
                        static_cast<int>(std::lround(size.height() / scale)));
    ChartPlot plot(chart, logical);
    QPixmap picture = plot.plot().toPixmap(logical.width(), logical.height(), scale);
    if (picture.size() != size) {
        picture = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QByteArray chartSvg(const ScheduleChart& chart, QSize size) {
    if (!isChartImageSize(size)) {
        return {};
    }
    ChartPlot plot(chart, size);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return {};
    }
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(kDpi);
    generator.setTitle(QStringLiteral("TAVIK+ Irrigation schedule"));
    QCPPainter painter;
    if (!painter.begin(&generator)) {
        return {};
    }
    painter.setMode(QCPPainter::pmVectorized);
    plot.plot().toPainter(&painter, size.width(), size.height());
    if (!painter.end()) {
        return {};
    }
    return bytes;
}

FieldSheet fieldSheetPdf(const PlanResult& plan, const QString& madeAt) {
    FieldSheet sheet;
    QBuffer buffer(&sheet.pdf);
    if (!buffer.open(QIODevice::WriteOnly)) {
        return {};
    }
    QPdfWriter writer(&buffer);
    writer.setResolution(kDpi);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 12), QPageLayout::Millimeter));
    const QString crop = QString::fromStdString(plan.cropName);
    writer.setTitle(QStringLiteral("Irrigation schedule: ") + crop);
    writer.setCreator(QStringLiteral("TAVIK+"));

    const QSizeF body(writer.width(), writer.height() - kFooterHeight);
    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDocumentMargin(0);
    document.setPageSize(body);
    ChartInText chart(plan.individualChart,
                      QSize(static_cast<int>(body.width()), static_cast<int>(body.height() * 0.3)));
    document.documentLayout()->registerHandler(kChartObject, &chart);
    std::optional<SeasonChartInText> seasonChart;
    if (plan.seasonBalance) {
        seasonChart.emplace(
            plan, QSize(static_cast<int>(body.width()), static_cast<int>(body.height() * 0.4)));
        document.documentLayout()->registerHandler(kSeasonChartObject, &*seasonChart);
    }
    writeSheet(document, plan);

    sheet.pages = document.pageCount();
    QCPPainter painter;
    if (!painter.begin(&writer)) {
        return {};
    }
    painter.setMode(QCPPainter::pmVectorized);
    chart.drawWith(&painter);
    if (seasonChart) {
        seasonChart->drawWith(&painter);
    }
    const QFont footerFont(QStringLiteral("Arial"), 8);
    for (int page = 0; page < sheet.pages; ++page) {
        if (page > 0 && !writer.newPage()) {
            return {};
        }
        painter.save();
        const QRectF shown(0, page * body.height(), body.width(), body.height());
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        document.documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(footerFont);
        painter.setPen(Qt::black);
        const QRectF footer(0, body.height() + 8, body.width(), kFooterHeight - 8);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignVCenter,
                         crop + QStringLiteral(" · TAVIK+ · ") + madeAt);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Page %1 of %2").arg(page + 1).arg(sheet.pages));
    }
    if (!painter.end()) {
        return {};
    }
    buffer.close();
    return sheet;
}

std::string drawPlanOutput(const PlanResult& plan, const DrawnOutput& output) {
    QByteArray bytes;
    if (output.format == OutputFormat::Pdf) {
        const TimeStamp stamp = currentTimeStamp();
        bytes = fieldSheetPdf(plan, QString::fromStdString(stamp.date + " " + stamp.time)).pdf;
    } else {
        const ScheduleChart& chart =
            output.cumulative ? plan.cumulativeChart : plan.individualChart;
        const QSize size(output.width, output.height);
        bytes = output.format == OutputFormat::Svg ? chartSvg(chart, size) : chartPng(chart, size);
    }
    return bytes.toStdString();
}

} // namespace tavik

#include "PlanExports.moc"
