// The soil water level screen: rows per layer in the four stage frames, the dials, the
// stored-water changes handed on, and the printed summary.

#include "GuiSupport.h"
#include "RecordingDialogs.h"
#include "screens/TipSlider.h"
#include "screens/cGauge.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"

#include <QEvent>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cmath>
#include <map>

namespace tavik {
namespace {

class WaterLevel : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
        wizard_->setDialogs(dialogs_);
        wizard_->choice().option(0)->click(); // Wheat
        wizard_->soilInfo().show();
    }
    // The soil screen at a depth, then its Next.
    void soilNext(int depth) {
        frmSoilInfo& soil = wizard_->soilInfo();
        if (!soil.isVisible()) {
            wizard_->move(levels(), soil);
        }
        auto* slider = find<TipSlider>(soil, QStringLiteral("sldSoilDepth"));
        slider->setSliderPosition(depth);
        slider->triggerAction(QAbstractSlider::SliderMove);
        click(soil, QStringLiteral("cmdNext"));
        ASSERT_TRUE(levels().isVisible()) << depth;
    }
    frmWaterLevel& levels() { return wizard_->waterLevel(); }
    QString caption(Stage stage, int row) {
        const char* arrays[] = {"lblLayerStart", "lblLayerStartPeak", "lblLayerEndPeak",
                                "lblLayerEnd"};
        return text(levels(), QStringLiteral("%1_%2")
                                  .arg(QString::fromLatin1(arrays[static_cast<int>(stage)]))
                                  .arg(row));
    }
    void move(int row, Stage stage, int position) {
        TipSlider* slider = levels().slider(row, stage);
        slider->setSliderPosition(position);
        slider->triggerAction(QAbstractSlider::SliderMove);
    }
    test::RecordingDialogs dialogs_;
};

TEST_F(WaterLevel, TheRowsAndDialsFollowTheSoilDepth) {
    soilNext(567);
    EXPECT_EQ(levels().rows(), 2);
    for (Stage stage : kStages) {
        EXPECT_EQ(caption(stage, 0), QStringLiteral("0 - 300 mm"));
        EXPECT_EQ(caption(stage, 1), QStringLiteral("300 -  567 mm"));
    }
    EXPECT_EQ(text(levels(), QStringLiteral("lblgaugeMiddle")), QStringLiteral("141"));
    EXPECT_EQ(text(levels(), QStringLiteral("lblGEnd")), QStringLiteral("283"));

    soilNext(2000);
    EXPECT_EQ(levels().rows(), 7);
    EXPECT_EQ(caption(Stage::SeasonEnd, 6), QStringLiteral("1800 -  2000 mm"));
    EXPECT_EQ(text(levels(), QStringLiteral("lblGaugePSM")), QStringLiteral("500"));
    EXPECT_EQ(text(levels(), QStringLiteral("lblGaugePEE")), QStringLiteral("1000"));

    soilNext(400);
    EXPECT_EQ(levels().rows(), 1);
    EXPECT_EQ(caption(Stage::PeakStart, 0), QStringLiteral("0 - 300 mm"));
    EXPECT_EQ(text(levels(), QStringLiteral("lblgaugeEnd")), QStringLiteral("200"));
    // Every slider of the one 400 mm layer at 0.5: 200 mm, which the dial shows.
    for (Stage stage : kStages) {
        move(0, stage, 500);
    }
    EXPECT_EQ(levels().gauge(Stage::SeasonStart)->Value(), 200);
    EXPECT_EQ(text(levels(), QStringLiteral("lblGaugeValue")), QStringLiteral("200mm"));
}

// Back on the soil screen and Next again: the layers that are still there keep their planned
// levels, new layers start as copies of the top one.
TEST_F(WaterLevel, LayersKeepTheirLevelsAndNewRowsStartAsCopiesOfTheFirst) {
    soilNext(2000);
    move(0, Stage::PeakEnd, 250);
    move(1, Stage::PeakEnd, 180);
    move(3, Stage::PeakEnd, 40);
    soilNext(2000); // nothing changed
    for (const auto& [row, level] : {std::pair{0, 250}, {1, 180}, {2, 100}, {3, 40}}) {
        EXPECT_EQ(levels().slider(row, Stage::PeakEnd)->value(), level) << row;
    }
    soilNext(600);
    EXPECT_EQ(levels().rows(), 2);
    soilNext(2000);
    ASSERT_EQ(levels().rows(), 7);
    const int expected[] = {250, 180, 250, 250, 250, 250, 250};
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(levels().slider(row, Stage::PeakEnd)->value(), expected[row]) << row;
        EXPECT_EQ(levels().slider(row, Stage::SeasonStart)->value(), 100) << row;
    }
}

TEST_F(WaterLevel, SlidersSetClassesDialsAndTheStoredWaterChanges) {
    soilNext(900);
    EXPECT_EQ(text(levels(), QStringLiteral("lblPeakStart")), QStringLiteral("90mm"));
    EXPECT_EQ(state_.StorageChangeEarly, 0.0F);
    for (int row = 0; row < 3; ++row) {
        move(row, Stage::PeakStart, 200);
    }
    EXPECT_EQ(text(levels(), QStringLiteral("lblPeakStart")), QStringLiteral("180mm"));
    EXPECT_EQ(levels().gauge(Stage::PeakStart)->Value(), 180);
    EXPECT_FLOAT_EQ(state_.StorageChangeEarly, 90.0F);
    EXPECT_FLOAT_EQ(state_.StorageChangePeak, -90.0F);
    EXPECT_EQ(text(levels(), QStringLiteral("lblPSNominal")),
              QString::fromStdString(levels().model().nominalClass(Stage::PeakStart)));
    EXPECT_EQ(text(levels(), QStringLiteral("lblStartPeakLevel_0")), QStringLiteral("Very-Wet"));
    EXPECT_EQ(levels().slider(0, Stage::PeakStart)->dragTipText(), QStringLiteral("0.2"));
    // Hovering shows the content as the tip.
    TipSlider* fresh = levels().slider(2, Stage::SeasonEnd);
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(fresh, &enter);
    EXPECT_EQ(fresh->toolTip(), QStringLiteral("0.1"));
}

TEST_F(WaterLevel, ComingBackFromTheResultKeepsEverySelection) {
    soilNext(900);
    move(1, Stage::SeasonEnd, 333);
    click(levels(), QStringLiteral("cmdNext"));
    ASSERT_TRUE(wizard_->result().isVisible());
    click(wizard_->result(), QStringLiteral("cmdBack"));
    ASSERT_TRUE(levels().isVisible());
    EXPECT_EQ(levels().slider(1, Stage::SeasonEnd)->value(), 333);
    EXPECT_EQ(levels().slider(1, Stage::SeasonEnd)->dragTipText(), QStringLiteral("0.333"));
}

TEST_F(WaterLevel, ThePrintedSummaryListsEveryLayer) {
    soilNext(900);
    const RichText summary = levels().BuildSelectionText();
    const QStringList lines = QString::fromStdString(summary.text).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral("Volumetric soil water Content selection (mm/mm) "));
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], QStringLiteral("Layers\t      Start of Season\t      Start of Peak\t      "
                                       "End of Peak\tEnd of Season"));
    EXPECT_EQ(lines[3], QStringLiteral("0 - 300 mm\t0.1\t\t0.1\t\t0.1\t\t0.1"));
    EXPECT_EQ(lines[5], QStringLiteral("600 -  900 mm\t0.1\t\t0.1\t\t0.1\t\t0.1"));
    EXPECT_EQ(lines[6], QString());
    EXPECT_TRUE(lines[7].endsWith(QLatin1Char(')')));
    ASSERT_EQ(summary.spans.size(), 1U);
    EXPECT_EQ(summary.spans[0].start, 0);
    EXPECT_EQ(summary.spans[0].length, 39); // "Volumetric soil water Content selection"
    EXPECT_TRUE(summary.spans[0].bold && summary.spans[0].underline);

    QTemporaryDir dir;
    dialogs_.pdf = dir.filePath(QStringLiteral("levels.pdf"));
    EXPECT_EQ(levels().printSelection(), 1);
    EXPECT_TRUE(QFileInfo::exists(dialogs_.pdf));
    // On paper every stage's values stand in one column under its heading.
    QProcess boxes;
    boxes.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), dialogs_.pdf, QStringLiteral("-")});
    ASSERT_TRUE(boxes.waitForFinished(20000));
    const QString html = QString::fromUtf8(boxes.readAllStandardOutput());
    const QRegularExpression word(
        QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"[^>]*>([^<]*)<"));
    std::map<double, std::vector<double>> valuesByLine; // y -> x of each "0.1"
    double seasonX = 0;
    double peakX = 0;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(3) == QStringLiteral("0.1")) {
            valuesByLine[m.captured(2).toDouble()].push_back(m.captured(1).toDouble());
        } else if (m.captured(3) == QStringLiteral("Start") && seasonX == 0) {
            seasonX = m.captured(1).toDouble();
        } else if (m.captured(3) == QStringLiteral("Start")) {
            peakX = m.captured(1).toDouble();
        }
    }
    ASSERT_EQ(valuesByLine.size(), 3U);
    const std::vector<double>& first = valuesByLine.begin()->second;
    ASSERT_EQ(first.size(), 4U);
    for (const auto& [y, xs] : valuesByLine) {
        for (std::size_t k = 0; k < 4; ++k) {
            EXPECT_NEAR(xs[k], first[k], 0.5) << "line " << y << ", column " << k;
        }
    }
    // The headings start at the values' column (their leading blanks indent the words).
    EXPECT_GT(seasonX, first[0]);
    EXPECT_LT(seasonX, first[0] + 40);
    EXPECT_GT(peakX, first[1]);
    EXPECT_LT(peakX, first[1] + 40);
}

// The deepest captions fit beside their sliders and the class words stand clear of them,
// in every frame.
TEST_F(WaterLevel, CaptionsAndClassWordsFitBesideTheSliders) {
    soilNext(2000);
    for (Stage stage : kStages) {
        for (int row = 0; row < levels().rows(); ++row) {
            TipSlider* slider = levels().slider(row, stage);
            QWidget* frame = slider->parentWidget();
            for (QLabel* label : frame->findChildren<QLabel*>()) {
                if (std::abs(label->geometry().center().y() - slider->geometry().center().y()) >
                    12) {
                    continue; // another row, or the scale
                }
                EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
                const bool left = label->geometry().right() < slider->geometry().center().x();
                if (left) {
                    EXPECT_LE(label->geometry().right(), slider->geometry().left()) << row;
                } else {
                    EXPECT_GE(label->geometry().left(), slider->geometry().right() + 2) << row;
                }
            }
        }
    }
}

} // namespace
} // namespace tavik
