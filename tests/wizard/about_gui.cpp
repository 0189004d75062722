// The About box and the list of contributing research reports.

#include "GuiSupport.h"
#include "screens/frmAbout.h"
#include "screens/frmSplash.h"

#include <QPointer>
#include <QPushButton>
#include <cmath>

namespace tavik {
namespace {

class AboutBoxes : public test::WizardFixture {
protected:
    void SetUp() override {
        startWizard();
        ASSERT_TRUE(loaded_);
    }
};

TEST_F(AboutBoxes, TheAboutBoxNamesTheProgramAndItsVersion) {
    frmAbout& about = wizard_->about();
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About TAVIK+"));
    EXPECT_EQ(text(about, QStringLiteral("lblTitle")), QStringLiteral("TAVIK+"));
    EXPECT_EQ(text(about, QStringLiteral("lblVersion")), QStringLiteral("Version 1.0.0"));
    EXPECT_TRUE(text(about, QStringLiteral("lblDescription"))
                    .startsWith(QStringLiteral("TAVIK+ is irrigation scheduling software")));
    EXPECT_EQ(&wizard_->about(), &about) << "asking again brings the open box forward";
    QPointer<frmAbout> open(&about);
    click(about, QStringLiteral("cmdOK"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull()) << "OK unloads the box";
}

TEST_F(AboutBoxes, WithoutAViewerSystemInformationIsUnavailable) {
    frmAbout about(*wizard_, [] { return false; });
    click(about, QStringLiteral("cmdSysInfo"));
    ASSERT_EQ(notifier_.shown.size(), 1U);
    EXPECT_EQ(notifier_.shown[0].text, "System Information Is Unavailable At This Time");
    EXPECT_EQ(notifier_.shown[0].icon, Notifier::Icon::Information);

    bool started = false;
    frmAbout withViewer(*wizard_, [&started] { return started = true; });
    click(withViewer, QStringLiteral("cmdSysInfo"));
    EXPECT_TRUE(started);
    EXPECT_EQ(notifier_.shown.size(), 1U);
}

TEST_F(AboutBoxes, TheContributorsListHoldsTheReports) {
    frmListofContributors& list = wizard_->contributors();
    EXPECT_EQ(list.windowTitle(), QStringLiteral("TAVIK+ (List of Contributors)"));
    for (int i = 1; i <= 5; ++i) {
        auto* entry = list.findChild<QLabel*>(QStringLiteral("Label%1").arg(i));
        ASSERT_NE(entry, nullptr) << i;
        EXPECT_FALSE(entry->text().isEmpty());
        EXPECT_EQ(entry->font().family(), QStringLiteral("Times New Roman"));
    }
    // A bullet beside each of the four reports, level with its entry.
    for (int i = 1; i <= 4; ++i) {
        auto* bullet = list.findChild<QWidget*>(QStringLiteral("Option%1").arg(i));
        ASSERT_NE(bullet, nullptr) << i;
        const auto* entry = list.findChild<QLabel*>(QStringLiteral("Label%1").arg(i));
        EXPECT_LT(std::abs(bullet->geometry().center().y() - entry->geometry().top()), 20) << i;
    }
    QPointer<frmListofContributors> open(&list);
    click(list, QStringLiteral("cmdClose"));
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(open.isNull());
}

} // namespace
} // namespace tavik
