#include "HelpPages.h"

#include "model/WaterLevels.h"

#include <QLocale>
#include <cmath>

namespace tavik {

namespace {

const QString kFiguresStart = QStringLiteral("<!--soil-figures-->");
const QString kFiguresEnd = QStringLiteral("<!--/soil-figures-->");

QString mm(double value, int decimals = 0) {
    return QLocale().toString(value, 'f', decimals) + QStringLiteral(" mm");
}

// Whole millimetres as the dials count them: the class of a total follows its floor, so a
// range of whole figures runs from one above a threshold's floor to the next one's floor.
long long wholeMm(float value) {
    return static_cast<long long>(std::floor(static_cast<double>(value)));
}

QString soilSentence(const SoilFigures& soil) {
    QString layers = soil.layers == 1 ? QStringLiteral("one layer")
                                      : QStringLiteral("%1 layers").arg(soil.layers);
    return QStringLiteral("Your soil is %1 deep, in %2. ").arg(mm(soil.depthMm), layers);
}

QString pawcFigures(const SoilFigures& soil) {
    QString text = QStringLiteral("<p>") + soilSentence(soil) +
                   QStringLiteral("Its PAWC is <b>%1</b>: the crop can use about %1 from a "
                                  "full root zone before it suffers.")
                       .arg(mm(static_cast<double>(soil.pawcMm), 1));
    if (soil.upperMm > soil.lowerMm) {
        text += QStringLiteral(" The whole soil holds %1 at field capacity and %2 at the lower "
                               "limit.")
                    .arg(mm(static_cast<double>(soil.upperMm), 1),
                         mm(static_cast<double>(soil.lowerMm), 1));
    }
    return text + QStringLiteral("</p>");
}

QString classFigures(const SoilFigures& soil) {
    QString text = QStringLiteral("<p>") + soilSentence(soil);
    if (!(soil.upperMm > soil.lowerMm)) {
        return text + QStringLiteral("Its levels at field capacity and at the lower limit are "
                                     "known once the soil water level screen has been "
                                     "shown.</p>");
    }
    const ClassThresholds t = ClassThresholds::between(soil.lowerMm, soil.upperMm);
    const long long veryDry = wholeMm(t.VeryDryTop);
    const long long dry = wholeMm(t.DryTop);
    const long long wet = wholeMm(t.WetTop);
    text += QStringLiteral("It holds %1 at the lower limit and %2 at field capacity. "
                           "The dials of the whole soil then read:</p>")
                .arg(mm(static_cast<double>(soil.lowerMm), 1),
                     mm(static_cast<double>(soil.upperMm), 1));
    text += QStringLiteral("<table border=\"1\" cellspacing=\"0\">"
                           "<tr><th>Word</th><th>Whole soil</th></tr>");
    const auto row = [&text](const char* word, const QString& range) {
        text +=
            QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(QString::fromLatin1(word), range);
    };
    const auto from = [](long long low, long long high) {
        return low > high ? QStringLiteral("(none)")
                          : QStringLiteral("%1 to %2")
                                .arg(mm(static_cast<double>(low)), mm(static_cast<double>(high)));
    };
    row("Very dry", QStringLiteral("up to ") + mm(static_cast<double>(veryDry)));
    row("Dry", from(veryDry + 1, dry));
    row("Wet", from(dry + 1, wet));
    row("Very-Wet", mm(static_cast<double>(wet + 1)) + QStringLiteral(" and more"));
    return text + QStringLiteral("</table>");
}

} // namespace

QStringList helpPages() {
    return {QString::fromLatin1(kHelpContents),
            QStringLiteral("crop-choice.html"),
            QStringLiteral("sprinkler-package.html"),
            QStringLiteral("soil.html"),
            QStringLiteral("water-levels.html"),
            QStringLiteral("result.html"),
            QStringLiteral("pawc.html"),
            QStringLiteral("class-words.html"),
            QStringLiteral("reading-schedule.html"),
            QStringLiteral("season-log.html"),
            QStringLiteral("files.html")};
}

QString helpPageOf(const QString& screenName) {
    static const std::pair<const char*, const char*> pages[] = {
        {"frmChoice", "crop-choice.html"}, {"frmIrrigationInfo", "sprinkler-package.html"},
        {"frmSoilInfo", "soil.html"},      {"frmWaterLevel", "water-levels.html"},
        {"frmMain", "result.html"},
    };
    for (const auto& [screen, page] : pages) {
        if (screenName == QLatin1String(screen)) {
            return QString::fromLatin1(page);
        }
    }
    return QString::fromLatin1(kHelpContents);
}

QString withSoilFigures(const QString& html, const QString& page,
                        const std::optional<SoilFigures>& soil) {
    const qsizetype start = html.indexOf(kFiguresStart);
    const qsizetype end = html.indexOf(kFiguresEnd);
    if (!soil || start < 0 || end < start) {
        return html;
    }
    const QString figures =
        page == QLatin1String("class-words.html") ? classFigures(*soil) : pawcFigures(*soil);
    const qsizetype from = start + kFiguresStart.size();
    return html.left(from) + figures + html.mid(end);
}

} // namespace tavik
