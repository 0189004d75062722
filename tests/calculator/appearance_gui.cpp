// The calculator under a dark desktop theme and on a high-density screen: every text readable,
// the pictures drawn sharp from the drawings they were rendered from.

#include "../common/Appearance.h"
#include "CalcGuiSupport.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CSoilType.h"
#include "dialogs/Pictures.h"

#include <QLabel>
#include <QStyle>
#include <gtest/gtest.h>

namespace tavikcalc {
namespace {

const QString kSources = QStringLiteral(TAVIKCALC_SOURCE_DIR "/resources/");

// The drawings of the built-in pictures, and the bitmaps rendered from them.
struct Picture {
    const char* drawing;
    const char* bitmap;
};
constexpr Picture kPictures[] = {{"src/splash.svg", "bitmap131.png"},
                                 {"src/banner.svg", "bitmap132.png"},
                                 {"src/icon.svg", "icon128-48.png"}};

TEST(Drawings, EachRendersLikeItsBitmap) {
    for (const Picture& picture : kPictures) {
        const auto rendered = appearance::renderedAsBitmap(
            kSources + QLatin1String(picture.drawing), kSources + QLatin1String(picture.bitmap));
        // The captions are set in type another renderer draws a little differently.
        EXPECT_LT(rendered.difference, 6.0) << picture.drawing;
        EXPECT_TRUE(rendered.warnings.isEmpty()) << picture.drawing;
    }
}

TEST(Appearance, UnderADarkThemeEveryTextIsReadable) {
    QApplication::setPalette(appearance::darkPalette());
    {
        test::DialogDriver main;
        ASSERT_TRUE(main.open());
        main.chooseCrop(0);
        QStringList unreadable = appearance::unreadableTexts(*main.dialog);
        main.dialogs.modalScript = [&](QDialog& dialog) {
            unreadable += appearance::unreadableTexts(dialog);
        };
        main.click(CTavikDlg::IDC_SOIL_PROFILE);
        main.enter(CTavikDlg::IDC_PAWC, QStringLiteral("100")); // the report in the output view
        main.click(CTavikDlg::IDC_CALCULATE);
        EXPECT_EQ(main.dialog->view(), CTavikDlg::OutputView);
        unreadable += appearance::unreadableTexts(*main.dialog);
        CAboutDlg about(main.dialog.get());
        about.show();
        unreadable += appearance::unreadableTexts(about);
        EXPECT_TRUE(unreadable.isEmpty()) << unreadable.join(QStringLiteral("; ")).toStdString();
        EXPECT_EQ(main.dialogs.modalDialogs.size(), 1U);
    }
    QApplication::setPalette(QApplication::style()->standardPalette());
}

// At a device pixel ratio of 2 (run with QT_SCALE_FACTOR=2) the banner and the splash picture
// are rendered from their drawings at that ratio, at the same size in the dialog.
TEST(Appearance, OnAHighDensityScreenPicturesAreDrawnSharp) {
    if (qApp->devicePixelRatio() < 2) {
        GTEST_SKIP() << "runs at a device pixel ratio of 2 (QT_SCALE_FACTOR=2)";
    }
    test::DialogDriver main;
    ASSERT_TRUE(main.open());
    auto* banner = main.dialog->findChild<QLabel*>(QStringLiteral("picture132"));
    ASSERT_NE(banner, nullptr);
    EXPECT_EQ(banner->size(), QSize(239, 56));
    const QImage shown[] = {banner->pixmap().toImage(), loadBitmap(131).toImage()};
    for (std::size_t i = 0; i < 2; ++i) {
        const Picture& picture = kPictures[1 - i];
        EXPECT_EQ(shown[i].devicePixelRatio(), 2.0) << picture.drawing;
        const auto close =
            appearance::closeness(shown[i], kSources + QLatin1String(picture.drawing),
                                  kSources + QLatin1String(picture.bitmap));
        ASSERT_GT(close.pixels, 1000) << picture.drawing;
        EXPECT_LT(close.toDrawing, 1.0) << picture.drawing;
        EXPECT_LT(close.toDrawing * 1.5, close.toBitmap) << picture.drawing;
    }
}

} // namespace
} // namespace tavikcalc
