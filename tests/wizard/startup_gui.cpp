// Start-up: the workbook beside the program is opened, a workbook that cannot be read ends
// the run with a message naming it, and the first screen lists what can be offered.

#include "TestSupport.h"
#include "model/Notifier.h"
#include "screens/StartUp.h"
#include "state/CropTable.h"
#include "state/WizardState.h"

#include <QDir>
#include <QFile>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace tavik {
namespace {

struct Recorded {
    Notifier::Icon icon;
    std::string title;
    std::string text;
};

class RecordingNotifier : public Notifier {
public:
    void notify(Icon icon, const std::string& title, const std::string& text) override {
        shown.push_back({icon, title, text});
    }
    std::vector<Recorded> shown;
};

// A program folder of its own: the workbook (shipped or generated) and the pictures.
class StartUp : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.filePath(QStringLiteral("program"));
        QDir().mkpath(folder_ + QStringLiteral("/pictures"));
        const QDir pictures(test::sourcePath(QStringLiteral("wizard/resources/pictures")));
        for (const QString& name : pictures.entryList({QStringLiteral("*.png")}, QDir::Files)) {
            QFile::copy(pictures.filePath(name), folder_ + QStringLiteral("/pictures/") + name);
        }
    }
    void useWorkbook(const test::CsvRows& rows) {
        const QString xls = test::makeWorkbook(dir_, QStringLiteral("crops"), rows);
        QFile::remove(workbook());
        ASSERT_TRUE(QFile::copy(xls, workbook()));
    }
    QString workbook() const { return folder_ + QStringLiteral("/SampleData.xls"); }
    StartUpOptions options() const { return {folder_, test::tavikExecutable()}; }

    QTemporaryDir dir_;
    QString folder_;
    mType state_;
    RecordingNotifier notifier_;
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

TEST_F(StartUp, DamagedWorkbookIsNamed) {
    test::writeFile(dir_, QStringLiteral("program/SampleData.xls"), QByteArray(4096, '\x7f'));
    EXPECT_FALSE(Main(state_, notifier_, options()));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_NE(notifier_.shown[0].text.find(workbook().toStdString()), std::string::npos);
}

TEST_F(StartUp, ShippedWorkbookListsElevenCropsWithPictures) {
    useWorkbook(test::shippedCropCsv());
    ASSERT_TRUE(Main(state_, notifier_, options()));
    EXPECT_TRUE(state_.CropWorkbook);
    EXPECT_EQ(state_.CropData.RowCount(), 0) << "the table is filled by the first screen";

    const auto screen = createFirstScreen(state_, notifier_, options());
    ASSERT_TRUE(screen);
    EXPECT_TRUE(notifier_.shown.empty());
    EXPECT_FALSE(state_.CropWorkbook) << "the workbook is released once read";
    EXPECT_EQ(state_.AppTitle, "TAVIK+");
    EXPECT_EQ(state_.CropData.RowCount(), 12);

    const auto* table = screen->findChild<QTableWidget*>(QStringLiteral("tblCrops"));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 11);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Wheat"));
    EXPECT_EQ(table->item(10, 0)->text(), QStringLiteral("Barley"));
    EXPECT_EQ(table->item(2, 4)->text(), QStringLiteral("40000"));
    for (int i = 0; i < table->rowCount(); ++i) {
        EXPECT_FALSE(table->item(i, 0)->icon().isNull()) << table->item(i, 0)->text().toStdString();
    }
}

TEST_F(StartUp, UnusableRowsAreListedOnceAndLeftOut) {
    auto rows = test::shippedCropCsv();
    rows[1][CropColumn::WaterUseSlope - 1] = "0";
    rows[5][CropColumn::SeasonEndDay - 1] = "400";
    useWorkbook(rows);
    ASSERT_TRUE(Main(state_, notifier_, options()));
    const auto screen = createFirstScreen(state_, notifier_, options());
    ASSERT_TRUE(screen);
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::Warning);
    EXPECT_NE(notifier_.shown[0].text.find("Row 2 (Wheat), column 7 (water-use slope): is zero"),
              std::string::npos)
        << notifier_.shown[0].text;
    EXPECT_NE(notifier_.shown[0].text.find("Row 6 (Cotton), column 12 (season end day)"),
              std::string::npos);
    const auto* table = screen->findChild<QTableWidget*>(QStringLiteral("tblCrops"));
    ASSERT_EQ(table->rowCount(), 9);
    EXPECT_EQ(table->item(0, 0)->text(), QStringLiteral("Maize"));
}

TEST_F(StartUp, PicturesThatCannotBeShownLeaveTheCropWithout) {
    auto rows = test::shippedCropCsv();
    rows[1][CropColumn::Picture - 1] = "/pictures/none.png";       // no such file
    rows[2][CropColumn::Picture - 1] = "/../../outside/maize.png"; // leads out of the folder
    rows[3][CropColumn::Picture - 1] = "/SampleData.xls";          // not a picture
    useWorkbook(rows);
    QDir().mkpath(dir_.filePath(QStringLiteral("outside")));
    QFile::copy(folder_ + QStringLiteral("/pictures/maize.png"),
                dir_.filePath(QStringLiteral("outside/maize.png")));
    ASSERT_TRUE(Main(state_, notifier_, options()));
    const auto screen = createFirstScreen(state_, notifier_, options());
    ASSERT_TRUE(screen);
    EXPECT_TRUE(notifier_.shown.empty());
    const auto* table = screen->findChild<QTableWidget*>(QStringLiteral("tblCrops"));
    ASSERT_EQ(table->rowCount(), 11);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(table->item(i, 0)->icon().isNull()) << i;
    }
    EXPECT_FALSE(table->item(3, 0)->icon().isNull());
}

TEST_F(StartUp, AWorkbookWithoutCropsOpensNoScreen) {
    auto rows = test::shippedCropCsv();
    rows.resize(1);
    useWorkbook(rows);
    ASSERT_TRUE(Main(state_, notifier_, options()));
    EXPECT_FALSE(createFirstScreen(state_, notifier_, options()));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::Critical);
}

} // namespace
} // namespace tavik
