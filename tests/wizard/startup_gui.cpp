// Start-up: the workbook beside the program is opened, a workbook that cannot be read ends
// the run with a message naming it, and the crop screen offers what the table can.

#include "GuiSupport.h"
#include "screens/CropPicture.h"
#include "screens/StartUp.h"
#include "screens/frmChoice.h"

#include <QDir>
#include <QFile>
#include <QToolButton>
#include <algorithm>
#include <sys/stat.h>

namespace tavik {
namespace {

using test::WizardFixture;

class StartUp : public WizardFixture {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    StartUpOptions options() const { return {dir_.path(), test::workbookReader()}; }
    QString workbook() const { return dir_.filePath(QStringLiteral("SampleData.xls")); }
    QTemporaryDir dir_;
};

TEST_F(StartUp, MissingWorkbookIsNamedAndNoScreenOpens) {
    EXPECT_FALSE(Main(state_, notifier_, options()));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::Critical);
    EXPECT_EQ(notifier_.shown[0].title, "TAVIK+");
    EXPECT_EQ(notifier_.shown[0].text, "The crop workbook \"" + workbook().toStdString() +
                                           "\" cannot be read: the file does not exist.");
    EXPECT_FALSE(state_.CropWorkbook);
}

TEST_F(StartUp, DamagedWorkbookIsNamedAndAGoodOneIsOpened) {
    test::writeFile(dir_, QStringLiteral("SampleData.xls"), QByteArray(4096, '\x7f'));
    EXPECT_FALSE(Main(state_, notifier_, options()));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_NE(notifier_.shown[0].text.find(workbook().toStdString()), std::string::npos);

    QFile::remove(workbook());
    ASSERT_TRUE(QFile::copy(test::sourcePath(QStringLiteral("wizard/resources/SampleData.xls")),
                            workbook()));
    EXPECT_TRUE(Main(state_, notifier_, options()));
    ASSERT_TRUE(state_.CropWorkbook);
    EXPECT_EQ(state_.CropWorkbook->rows.size(), 12U);
    EXPECT_EQ(state_.CropData.RowCount(), 0) << "the table is filled by the crop screen";
}

TEST_F(StartUp, TheCropScreenOffersElevenCropsWithPictures) {
    startWizard();
    ASSERT_TRUE(loaded_);
    EXPECT_TRUE(notifier_.shown.empty());
    EXPECT_FALSE(state_.CropWorkbook) << "the workbook is released once read";
    EXPECT_EQ(state_.AppTitle, "TAVIK+");
    frmChoice& choice = wizard_->choice();
    ASSERT_EQ(choice.optionCount(), 11);
    const char* names[] = {
        "Wheat", "Maize",     "Potatoes (summer)", "Groundnuts", "Cotton", "Soya beans",
        "Peas",  "Dry beans", "Potatoes (winter)", "Sunflower",  "Barley"};
    for (int i = 0; i < 11; ++i) {
        QToolButton* button = choice.option(i);
        EXPECT_EQ(button->text().toStdString(), names[i]);
        EXPECT_EQ(button->toolTip(), button->text());
        EXPECT_FALSE(button->icon().isNull()) << names[i];
        EXPECT_TRUE(button->isVisibleTo(&choice));
        EXPECT_TRUE(button->font().bold());
    }
    // Designed places, in twips: the first column at 480, the third column's first button
    // at 6240, 720.
    EXPECT_EQ(choice.option(4)->geometry(), QRect(32, 560, 153, 105));
    EXPECT_EQ(choice.option(10)->geometry(), QRect(416, 48, 153, 105));
    EXPECT_EQ(state_.CropRow, 0) << "no crop is chosen until one is clicked";
}

TEST_F(StartUp, AThirteenthRowAddsAButtonUnderTheEleventh) {
    auto rows = test::shippedCropCsv();
    rows.push_back(rows[1]);
    rows.back()[0] = "Wheat (late)";
    startWizard(rows);
    ASSERT_TRUE(loaded_);
    frmChoice& choice = wizard_->choice();
    ASSERT_EQ(choice.optionCount(), 12);
    // left 6240, top 720 + 1575 + 350 = 2645 twips
    EXPECT_EQ(choice.option(11)->geometry(), QRect(416, 48 + 105 + 23, 153, 105));
    EXPECT_EQ(choice.option(11)->text(), QStringLiteral("Wheat (late)"));
}

TEST_F(StartUp, UnusableRowsAreListedOnceAndNotOffered) {
    auto rows = test::shippedCropCsv();
    rows[1][CropColumn::WaterUseSlope - 1] = "0";
    rows[5][CropColumn::SeasonEndDay - 1] = "400";
    rows.resize(10); // nine crops: the last two designed buttons stay unused
    startWizard(rows);
    ASSERT_TRUE(loaded_);
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::Warning);
    EXPECT_NE(notifier_.shown[0].text.find("Row 2 (Wheat), column 7 (water-use slope): is zero"),
              std::string::npos)
        << notifier_.shown[0].text;
    EXPECT_NE(notifier_.shown[0].text.find("Row 6 (Cotton), column 12 (season end day)"),
              std::string::npos);
    frmChoice& choice = wizard_->choice();
    EXPECT_FALSE(choice.option(0)->isVisibleTo(&choice));
    EXPECT_TRUE(choice.option(1)->isVisibleTo(&choice));
    EXPECT_FALSE(choice.option(4)->isVisibleTo(&choice));
    EXPECT_FALSE(choice.option(9)->isVisibleTo(&choice)) << "no row reaches it";
    EXPECT_FALSE(choice.option(10)->isVisibleTo(&choice));
    choice.chooseCrop(0);
    EXPECT_EQ(state_.CropRow, 0) << "a crop that is not offered cannot be chosen";
}

TEST_F(StartUp, PicturesThatCannotBeShownLeaveTheCropWithout) {
    auto rows = test::shippedCropCsv();
    rows[1][CropColumn::Picture - 1] = "/pictures/none.png";
    rows[2][CropColumn::Picture - 1] = "/../resources/pictures/maize.png"; // leads out and back in
    rows[3][CropColumn::Picture - 1] = "/../../README.md";                 // leads out
    rows[4][CropColumn::Picture - 1] = "/SampleData.xls";                  // not a picture
    startWizard(rows);
    ASSERT_TRUE(loaded_);
    EXPECT_TRUE(notifier_.shown.empty());
    frmChoice& choice = wizard_->choice();
    EXPECT_TRUE(choice.option(0)->icon().isNull());
    EXPECT_FALSE(choice.option(1)->icon().isNull()) << "out and back into the folder is inside it";
    EXPECT_TRUE(choice.option(2)->icon().isNull());
    EXPECT_TRUE(choice.option(3)->icon().isNull());
    EXPECT_FALSE(choice.option(4)->icon().isNull());
}

TEST_F(StartUp, ManyUnusableRowsGiveAMessageThatFitsTheScreen) {
    auto rows = test::shippedCropCsv();
    for (int i = 0; i < 1000; ++i) {
        rows.push_back(rows[1]);
        rows.back()[CropColumn::WaterUseSlope - 1] = "0";
    }
    startWizard(rows);
    ASSERT_TRUE(loaded_);
    ASSERT_EQ(notifier_.shown.size(), 1U);
    const test::Recorded& shown = notifier_.shown[0];
    EXPECT_LE(std::count(shown.text.begin(), shown.text.end(), '\n'), 16) << shown.text;
    EXPECT_NE(shown.text.find("Row 13 (Wheat), column 7 (water-use slope): is zero"),
              std::string::npos);
    EXPECT_NE(shown.text.find("… and 988 more problems in 988 more rows (all of them are "
                              "listed in the details)."),
              std::string::npos)
        << shown.text;
    EXPECT_EQ(std::count(shown.details.begin(), shown.details.end(), '\n'), 999);
    EXPECT_NE(shown.details.find("Row 1012 (Wheat)"), std::string::npos);
}

// Only a regular file of picture size is read: a pipe named in the workbook would otherwise
// hang the crop screen, a device or a huge file fill the memory.
TEST(CropPictureFile, OnlyRegularFilesOfPictureSizeAreRead) {
    QTemporaryDir program;
    const QString fifo = program.filePath(QStringLiteral("pipe.png"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    QFile huge(program.filePath(QStringLiteral("huge.png")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(64LL * 1024 * 1024)); // sparse
    huge.close();
    ASSERT_TRUE(QDir(program.path()).mkdir(QStringLiteral("folder.png")));
    ASSERT_TRUE(QFile::copy(test::sourcePath(QStringLiteral("wizard/resources/pictures/maize.png")),
                            program.filePath(QStringLiteral("maize.png"))));
    for (const char* name : {"/pipe.png", "/huge.png", "/folder.png"}) {
        EXPECT_TRUE(loadCropPicture(program.path(), Cell{std::string(name)}).isNull()) << name;
    }
    EXPECT_FALSE(loadCropPicture(program.path(), Cell{std::string("/maize.png")}).isNull());
}

TEST_F(StartUp, AWorkbookWithoutCropsOpensNoScreen) {
    auto rows = test::shippedCropCsv();
    rows.resize(1);
    startWizard(rows);
    EXPECT_FALSE(loaded_);
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::Critical);
}

} // namespace
} // namespace tavik
