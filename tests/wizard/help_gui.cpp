// The manual: its pages, links and pictures; the help window; F1 on every screen; the soil's
// own figures on the PAWC and class-word pages.

#include "GuiSupport.h"
#include "screens/TipSlider.h"
#include "screens/frmHelp.h"
#include "screens/frmIrrigationInfo.h"
#include "screens/frmMain.h"
#include "screens/frmSoilInfo.h"
#include "screens/frmWaterLevel.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <random>

namespace tavik {
namespace {

QString resourceText(const QString& page) {
    QFile file(QString::fromLatin1(kHelpRoot) + page);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << page.toStdString();
    return QString::fromUtf8(file.readAll());
}

// The href and src values of a page, in order.
QStringList references(const QString& html, const char* attribute) {
    QStringList found;
    const QRegularExpression pattern(
        QStringLiteral("%1=\"([^\"]*)\"").arg(QLatin1String(attribute)));
    for (auto it = pattern.globalMatch(html); it.hasNext();) {
        found << it.next().captured(1);
    }
    return found;
}

TEST(HelpPages, EveryPageLinkAndPictureResolvesAndEveryPageIsReachable) {
    HelpBrowser browser(nullptr);
    const QStringList pages = helpPages();
    QSet<QString> pictures;
    QSet<QString> linked;
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QString html = resourceText(page);
        EXPECT_TRUE(html.contains(QStringLiteral("<title>"))) << "a title for the window";
        browser.setSource(QUrl(QStringLiteral("qrc:/help/") + page));
        EXPECT_EQ(browser.source().fileName(), page);
        EXPECT_GT(browser.document()->toPlainText().size(), 200);
        for (const QString& href : references(html, "href")) {
            const QUrl target = browser.source().resolved(QUrl(href));
            EXPECT_EQ(target.scheme(), QStringLiteral("qrc")) << href.toStdString();
            EXPECT_TRUE(pages.contains(target.fileName())) << href.toStdString();
            linked.insert(target.fileName());
        }
        for (const QString& src : references(html, "src")) {
            const QUrl target = browser.source().resolved(QUrl(src));
            const QVariant image = browser.loadResource(QTextDocument::ImageResource, target);
            EXPECT_FALSE(QImage::fromData(image.toByteArray()).isNull()) << src.toStdString();
            EXPECT_LE(image.toByteArray().size(), 100 * 1024) << src.toStdString();
            pictures.insert(target.path());
        }
    }
    // Every page but the contents is linked from somewhere; every picture shipped is shown.
    for (const QString& page : pages.mid(1)) {
        EXPECT_TRUE(linked.contains(page)) << page.toStdString();
    }
    for (QDirIterator it(QStringLiteral(":/help/pictures")); it.hasNext();) {
        EXPECT_TRUE(pictures.contains(it.next().mid(1))) << it.filePath().toStdString();
    }
    EXPECT_FALSE(pictures.isEmpty());
}

TEST(HelpPages, LinksLeavingTheManualAreRefused) {
    HelpBrowser browser(nullptr);
    browser.setSource(QUrl(QStringLiteral("qrc:/help/soil.html")));
    const std::pair<const char*, bool> links[] = {
        {"pawc.html", true},
        {"#top", true},
        {"missing.html", false},
        {"file:///etc/passwd", false},
        {"javascript:alert(1)", false},
        {"mailto:someone@example.org", false},
        {"qrc:/qt-project.org/qmessagebox/images/qtlogo-64.png", false},
        {"../../etc/passwd", false},
    };
    for (const auto& [link, followed] : links) {
        browser.setSource(QUrl(QStringLiteral("qrc:/help/soil.html")));
        EXPECT_EQ(browser.follow(QUrl(QString::fromLatin1(link))), followed) << link;
        EXPECT_EQ(browser.source().fileName(), std::string_view(link) == "pawc.html"
                                                   ? QStringLiteral("pawc.html")
                                                   : QStringLiteral("soil.html"))
            << link;
    }
}

// The table of class words filled in for a soil agrees, whole millimetre by whole
// millimetre, with the class the dials give, over many profiles.
TEST(HelpPages, TheSoilsClassRangesAreThoseOfTheDials) {
    const QLocale before;
    QLocale::setDefault(QLocale::c());
    std::mt19937 random(21);
    std::uniform_real_distribution<float> lower(0.0F, 300.0F);
    std::uniform_real_distribution<float> span(0.5F, 700.0F);
    const QRegularExpression row(QStringLiteral("<tr><td>([A-Za-z -]+)</td><td>([^<]*)</td></tr>"));
    const QRegularExpression number(QStringLiteral("(\\d+) mm"));
    for (int i = 0; i < 400; ++i) {
        SoilFigures soil{900, 3, 110.0F, lower(random), 0};
        soil.upperMm = soil.lowerMm + span(random);
        const QString page = withSoilFigures(resourceText(QStringLiteral("class-words.html")),
                                             QStringLiteral("class-words.html"), soil);
        // The figures block only: the page's own table names the words in general.
        const qsizetype start = page.indexOf(QStringLiteral("<!--soil-figures-->"));
        const QString html = page.mid(start, page.indexOf(QStringLiteral("<!--/soil-")) - start);
        ASSERT_FALSE(html.contains(QStringLiteral("No soil has been entered yet")));
        // Each word's whole millimetres, from the text the farmer reads.
        std::vector<std::tuple<std::string, long, long>> ranges;
        for (auto it = row.globalMatch(html); it.hasNext();) {
            const auto match = it.next();
            if (match.captured(2) == QLatin1String("(none)")) {
                continue;
            }
            QList<long> figures;
            for (auto n = number.globalMatch(match.captured(2)); n.hasNext();) {
                figures << n.next().captured(1).toLong();
            }
            const QString range = match.captured(2);
            const long low = range.startsWith(QLatin1String("up to")) ? 0 : figures.front();
            const long high = range.endsWith(QLatin1String("and more")) ? 100000 : figures.back();
            ranges.emplace_back(match.captured(1).toStdString(), low, high);
        }
        ASSERT_EQ(ranges.size() >= 3, true) << html.toStdString();
        const ClassThresholds dials = ClassThresholds::between(soil.lowerMm, soil.upperMm);
        for (long x = 0; x < static_cast<long>(soil.upperMm) + 5; ++x) {
            int matches = 0;
            for (const auto& [word, low, high] : ranges) {
                if (low <= x && x <= high) {
                    ++matches;
                    EXPECT_EQ(word, dials.classify(static_cast<double>(x)).value())
                        << x << " mm, profile " << soil.lowerMm << ".." << soil.upperMm;
                }
            }
            EXPECT_EQ(matches, 1) << x << " mm";
        }
    }
    QLocale::setDefault(before);
}

// The pages as a program we did not write reads them: no HTML errors.
TEST(HelpPages, TheShippedPagesAreValidHtml) {
    const QString tidy = QStandardPaths::findExecutable(QStringLiteral("tidy"));
    if (tidy.isEmpty()) {
        GTEST_SKIP() << "tidy is not installed (scripts/install-deps installs it)";
    }
    for (const QString& page : helpPages()) {
        QProcess process;
        process.start(tidy, {QStringLiteral("-errors"), QStringLiteral("-q"),
                             test::sourcePath(QStringLiteral("wizard/resources/help/") + page)});
        ASSERT_TRUE(process.waitForFinished(30000));
        EXPECT_EQ(process.exitCode(), 0)
            << page.toStdString() << ": " << process.readAllStandardError().toStdString();
    }
}

class Help : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
    }
    // Crop, package, soil of the given depth and water levels: every screen made.
    void walk(int depth) {
        frmChoice& choice = wizard_->choice();
        choice.option(1)->click();
        find<QCheckBox>(choice, QStringLiteral("chkPackage"))->setChecked(true);
        choice.show();
        click(choice, QStringLiteral("cmdNext"));
        click(wizard_->irrigationInfo(), QStringLiteral("cmdNext"));
        frmSoilInfo& soil = wizard_->soilInfo();
        auto* slider = find<TipSlider>(soil, QStringLiteral("sldSoilDepth"));
        slider->setSliderPosition(depth);
        slider->triggerAction(QAbstractSlider::SliderMove);
        click(soil, QStringLiteral("cmdNext"));
        ASSERT_TRUE(wizard_->waterLevel().isVisible());
    }
    frmHelp* helpWindow() {
        QWidget* found = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QLatin1String("frmHelp") && window->isVisible()) {
                EXPECT_EQ(found, nullptr) << "one help window only";
                found = window;
            }
        }
        return qobject_cast<frmHelp*>(found);
    }
    QString shown() { return helpWindow()->browser().toPlainText(); }
};

TEST_F(Help, F1OnEachScreenOpensItsOwnPageInOneWindow) {
    walk(900);
    click(wizard_->waterLevel(), QStringLiteral("cmdNext"));
    const std::pair<WizardScreen*, const char*> screens[] = {
        {&wizard_->choice(), "crop-choice.html"},
        {&wizard_->irrigationInfo(), "sprinkler-package.html"},
        {&wizard_->soilInfo(), "soil.html"},
        {&wizard_->waterLevel(), "water-levels.html"},
        {&wizard_->result(), "result.html"},
    };
    for (const auto& [screen, page] : screens) {
        SCOPED_TRACE(page);
        screen->show();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
        QWidget* target = screen->focusWidget() != nullptr ? screen->focusWidget() : screen;
        QTest::keyClick(target, Qt::Key_F1);
        ASSERT_NE(helpWindow(), nullptr);
        EXPECT_EQ(helpWindow()->page(), QString::fromLatin1(page));
        EXPECT_TRUE(helpWindow()->isActiveWindow() || QTest::qWaitForWindowActive(helpWindow()));
        // The menu holds the same item: Help > "Using TAVIK+".
        QAction* item = screen->findChild<QAction*>(QStringLiteral("mnuHelpUsing"));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->text(), QStringLiteral("Using TAVIK+"));
        auto* menu = screen->menuBar()->findChild<QMenu*>(QStringLiteral("mnuHelp"));
        ASSERT_NE(menu, nullptr);
        EXPECT_TRUE(menu->actions().contains(item));
        screen->hide();
    }
    // The result screen's own Help items keep their order after the manual.
    QStringList items;
    for (QAction* action :
         wizard_->result().findChild<QMenu*>(QStringLiteral("mnuHelp"))->actions()) {
        if (!action->isSeparator()) {
            items << action->text();
        }
    }
    EXPECT_EQ(items,
              (QStringList{QStringLiteral("Using TAVIK+"), QStringLiteral("List of contributors"),
                           QStringLiteral("About TAVIK++")}));

    // Contents, a link, Back and Forward, Close.
    frmHelp* help = helpWindow();
    QPointer<frmHelp> open(help);
    click(*help, QStringLiteral("cmdHelpHome"));
    EXPECT_EQ(help->page(), QStringLiteral("index.html"));
    help->browser().follow(QUrl(QStringLiteral("pawc.html")));
    EXPECT_EQ(help->page(), QStringLiteral("pawc.html"));
    click(*help, QStringLiteral("cmdHelpBack"));
    EXPECT_EQ(help->page(), QStringLiteral("index.html"));
    click(*help, QStringLiteral("cmdHelpForward"));
    EXPECT_EQ(help->page(), QStringLiteral("pawc.html"));
    click(*help, QStringLiteral("cmdHelpClose"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
}

TEST_F(Help, ThePawcAndClassPagesShowTheSoilsOwnFigures) {
    wizard_->help(QStringLiteral("pawc.html"));
    EXPECT_TRUE(shown().contains(QStringLiteral("No soil has been entered yet")));
    walk(900);
    const frmHelp& again = wizard_->help(QStringLiteral("pawc.html"));
    EXPECT_EQ(&again, helpWindow()) << "asking again brings the same window forward";
    const QString pawc = QLocale().toString(static_cast<double>(state_.ProfilePAWC), 'f', 1);
    EXPECT_TRUE(shown().contains(QStringLiteral("Your soil is 900 mm deep, in 3 layers.")))
        << shown().toStdString();
    EXPECT_TRUE(shown().contains(QStringLiteral("Its PAWC is %1 mm").arg(pawc)))
        << shown().toStdString();
    EXPECT_FALSE(shown().contains(QStringLiteral("No soil has been entered yet")));

    wizard_->help(QStringLiteral("class-words.html"));
    const WaterLevelModel& model = wizard_->waterLevel().model();
    const ClassThresholds dials =
        ClassThresholds::between(model.ProfileLowerMm(), model.ProfileUpperMm());
    const auto whole = [](float mm) {
        return QLocale().toString(std::floor(static_cast<double>(mm)), 'f', 0);
    };
    EXPECT_TRUE(shown().contains(QStringLiteral("up to %1 mm").arg(whole(dials.VeryDryTop))))
        << shown().toStdString();
    EXPECT_TRUE(shown().contains(
        QStringLiteral("%1 mm and more")
            .arg(QLocale().toString(std::floor(static_cast<double>(dials.WetTop)) + 1, 'f', 0))));

    // A deeper soil whose PAWC has not been worked out yet is not described by the old one.
    frmSoilInfo& soil = wizard_->soilInfo();
    click(wizard_->waterLevel(), QStringLiteral("cmdBack"));
    auto* slider = find<TipSlider>(soil, QStringLiteral("sldSoilDepth"));
    slider->setSliderPosition(100);
    slider->triggerAction(QAbstractSlider::SliderMove);
    click(soil, QStringLiteral("cmdNext")); // "Please select soil depth"
    wizard_->help(QStringLiteral("pawc.html"));
    EXPECT_TRUE(shown().contains(QStringLiteral("No soil has been entered yet")));
}

} // namespace
} // namespace tavik
