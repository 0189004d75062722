// The wizard under a dark desktop theme and on a high-density screen: every text readable, the
// designed drawings as designed, pictures sharp.

#include "../common/Appearance.h"
#include "GuiSupport.h"
#include "screens/TipSlider.h"
#include "screens/cGauge.h"
#include "screens/frmAbout.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmSplash.h"
#include "screens/frmWaterLevel.h"

#include <QCheckBox>
#include <QStyle>
#include <qcustomplot.h>

namespace tavik {
namespace {

class Appearance : public test::WizardFixture {
protected:
    void TearDown() override { QApplication::setPalette(QApplication::style()->standardPalette()); }
    // Maize with its package on to the result screen; the screens in the order they showed.
    std::vector<QWidget*> walk() {
        std::vector<QWidget*> shown;
        frmChoice& choice = wizard_->choice();
        choice.show();
        choice.option(1)->click();
        find<QCheckBox>(choice, QStringLiteral("chkPackage"))->setChecked(true);
        shown.push_back(&choice);
        click(choice, QStringLiteral("cmdNext"));
        shown.push_back(&wizard_->irrigationInfo());
        click(wizard_->irrigationInfo(), QStringLiteral("cmdNext"));
        shown.push_back(&wizard_->soilInfo());
        click(wizard_->soilInfo(), QStringLiteral("cmdNext"));
        shown.push_back(&wizard_->waterLevel());
        click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
        shown.push_back(&wizard_->result());
        EXPECT_TRUE(wizard_->result().isVisible());
        return shown;
    }
    static void expectReadable(QWidget& screen) {
        const QStringList unreadable = appearance::unreadableTexts(screen);
        EXPECT_TRUE(unreadable.isEmpty()) << screen.objectName().toStdString() << ": "
                                          << unreadable.join(QStringLiteral("; ")).toStdString();
    }
    // What a widget paints itself, without the window's background behind it.
    static QImage ownPixels(QWidget& widget) {
        QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        return image;
    }
    // The drawings whose colours are designed: the result chart and the four dials.
    std::vector<QImage> designedDrawings() {
        std::vector<QImage> drawings;
        drawings.push_back(
            ownPixels(*find<QCustomPlot>(wizard_->result(), QStringLiteral("MSChart1"))));
        for (Stage stage : kStages) {
            drawings.push_back(ownPixels(*wizard_->waterLevel().gauge(stage)));
        }
        return drawings;
    }
};

TEST_F(Appearance, UnderADarkThemeEveryTextIsReadableAndTheDesignedColoursStay) {
    startWizard();
    ASSERT_TRUE(loaded_);
    const std::vector<QWidget*> screens = walk();
    const std::vector<QImage> light = designedDrawings();

    // The desktop turns dark while the wizard is open.
    QApplication::setPalette(appearance::darkPalette());
    QApplication::processEvents();
    for (QWidget* screen : screens) {
        screen->show();
        expectReadable(*screen);
    }
    // The crop captions keep their designed black, and red for the chosen crop.
    EXPECT_EQ(wizard_->choice().option(0)->palette().color(QPalette::ButtonText), Qt::black);
    wizard_->choice().option(1)->setFocus();
    wizard_->choice().option(1)->click();
    EXPECT_EQ(wizard_->choice().option(1)->palette().color(QPalette::ButtonText),
              QColor(255, 0, 0));
    expectReadable(wizard_->choice());
    // Black bars on white, the dark dials: the same pixels as under the light theme.
    const std::vector<QImage> dark = designedDrawings();
    ASSERT_EQ(dark.size(), light.size());
    for (std::size_t i = 0; i < dark.size(); ++i) {
        EXPECT_EQ(dark[i], light[i]) << "drawing " << i;
    }
}

TEST_F(Appearance, AWizardStartedUnderADarkThemeIsReadable) {
    QApplication::setPalette(appearance::darkPalette());
    startWizard();
    ASSERT_TRUE(loaded_);
    std::vector<QWidget*> screens = walk();
    screens.push_back(&wizard_->splash());
    screens.push_back(&wizard_->about());
    for (QWidget* screen : screens) {
        screen->show();
        expectReadable(*screen);
    }
}

// The drawings that high-density screens are rendered from: the toolkit's renderer draws each
// one as its shipped bitmap shows it.
TEST(Drawings, EachRendersLikeItsBitmap) {
    const QDir resources(test::sourcePath(QStringLiteral("wizard/resources")));
    std::vector<std::pair<QString, QString>> drawings = {
        {QStringLiteral("src/dial.svg"), QStringLiteral("dial.png")},
        {QStringLiteral("src/logo.svg"), QStringLiteral("logo.png")}};
    for (const QString& name : QDir(resources.filePath(QStringLiteral("pictures/src")))
                                   .entryList({QStringLiteral("*.svg")})) {
        drawings.emplace_back(QStringLiteral("pictures/src/") + name,
                              QStringLiteral("pictures/") + QFileInfo(name).completeBaseName() +
                                  QStringLiteral(".png"));
    }
    ASSERT_GE(drawings.size(), 13U);
    for (const auto& [drawing, bitmap] : drawings) {
        const auto rendered =
            appearance::renderedAsBitmap(resources.filePath(drawing), resources.filePath(bitmap));
        EXPECT_LT(rendered.difference, 3.0) << drawing.toStdString();
        EXPECT_TRUE(rendered.warnings.isEmpty())
            << drawing.toStdString() << ": "
            << rendered.warnings.join(QLatin1Char(' ')).toStdString();
    }
}

// At a device pixel ratio of 2 (run with QT_SCALE_FACTOR=2) the dials and the crop pictures are
// rendered from their drawings, not scaled up from their bitmaps.
TEST_F(Appearance, OnAHighDensityScreenPicturesAreDrawnSharp) {
    if (qApp->devicePixelRatio() < 2) {
        GTEST_SKIP() << "runs at a device pixel ratio of 2 (QT_SCALE_FACTOR=2)";
    }
    startWizard();
    ASSERT_TRUE(loaded_);
    walk();
    const QString resources = test::sourcePath(QStringLiteral("wizard/resources"));
    struct Shown {
        const char* what;
        QImage image;
        QString drawing, bitmap;
    };
    QToolButton* maize = wizard_->choice().option(1);
    const std::vector<Shown> pictures = {
        {"dial", wizard_->waterLevel().gauge(Stage::SeasonStart)->grab().toImage(),
         resources + QStringLiteral("/src/dial.svg"), resources + QStringLiteral("/dial.png")},
        {"maize", maize->icon().pixmap(maize->iconSize(), 2.0).toImage(),
         resources + QStringLiteral("/pictures/src/maize.svg"),
         resources + QStringLiteral("/pictures/maize.png")},
    };
    for (const Shown& picture : pictures) {
        EXPECT_EQ(picture.image.devicePixelRatio(), 2.0) << picture.what;
        const auto close = appearance::closeness(picture.image, picture.drawing, picture.bitmap);
        ASSERT_GT(close.pixels, 1000) << picture.what;
        // Rendered from the drawing: near it, and clearly nearer than to the blurred bitmap.
        EXPECT_LT(close.toDrawing, 6.0) << picture.what;
        EXPECT_LT(close.toDrawing * 1.5, close.toBitmap) << picture.what;
    }
}

} // namespace
} // namespace tavik
