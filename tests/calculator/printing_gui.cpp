// Print: the report box's text, edits included, word-wrapped page by page, here into a PDF.

#include "CalcGuiSupport.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace tavikcalc {
namespace {

using Dlg = CTavikDlg;

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << program.toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int pageCount(const QString& pdf) {
    const QString info = run(QStringLiteral("pdfinfo"), {pdf});
    for (const QString& line : info.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("Pages:"))) {
            return line.mid(6).trimmed().toInt();
        }
    }
    return -1;
}

// The text of each page, its lines with their white space evened out.
QStringList pages(const QString& pdf) {
    QStringList result = run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")})
                             .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    for (QString& page : result) {
        page = page.simplified();
    }
    return result;
}

// Where the text of each page starts (points from the page's top-left corner).
std::vector<QPointF> textOrigins(const QString& pdf) {
    std::vector<QPointF> origins;
    const QString boxes =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    const QRegularExpression page(QStringLiteral("<page[^>]*>\\s*<word xMin=\"([0-9.]+)\" "
                                                 "yMin=\"([0-9.]+)\""));
    for (auto match = page.globalMatch(boxes); match.hasNext();) {
        const auto found = match.next();
        origins.emplace_back(found.captured(1).toDouble(), found.captured(2).toDouble());
    }
    return origins;
}

class Printing : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(d.open());
        d.dialogs.pdf = folder.filePath(QStringLiteral("report.pdf"));
    }
    // Wheat 150 with a PAWC of 100 mm, overhead irrigation every `cycle` days.
    void calculate(int cycle) {
        d.chooseCrop(0);
        d.enter(Dlg::IDC_PAWC, QStringLiteral("100"));
        d.enter(Dlg::IDC_CYCLE, QString::number(cycle));
        d.click(Dlg::IDC_CALCULATE);
    }
    QTemporaryDir folder;
    test::DialogDriver d;
};

TEST_F(Printing, ALongReportTakesSeveralFullPages) {
    // At a cycle of 1 day the report has a row for each of days 10 to 150: 166 lines. An A4
    // page, less the PDF printer's margins, holds 71 lines of 10 point text: three pages.
    calculate(1);
    ASSERT_EQ(d.dialog->reportText().count(QStringLiteral("\r\n")) + 1, 166);
    d.click(Dlg::IDC_PRINT);
    EXPECT_EQ(d.dialogs.printDialogs, 1);
    EXPECT_EQ(pageCount(d.dialogs.pdf), 3);
    const QStringList text = pages(d.dialogs.pdf);
    ASSERT_EQ(text.size(), 3);
    EXPECT_TRUE(text[0].startsWith(QStringLiteral("Processed by TAVIK. Water application")));
    EXPECT_TRUE(text[2].endsWith(QStringLiteral("mm/day partional addition option")));
    // Every page starts at the top-left corner of the printable area, with a line of text.
    const std::vector<QPointF> origins = textOrigins(d.dialogs.pdf);
    ASSERT_EQ(origins.size(), 3U);
    EXPECT_LT(origins[0].y(), 12.0);
    EXPECT_NEAR(origins[1].y(), origins[0].y(), 0.5);
    EXPECT_NEAR(origins[2].y(), origins[0].y(), 0.5);
    EXPECT_LT(origins[0].x(), 12.0);
    EXPECT_TRUE(d.dialogs.messages.empty());
}

TEST_F(Printing, PrintsTheBoxAsTheUserLeftIt) {
    calculate(7);
    auto* box = d.control<QPlainTextEdit>(Dlg::IDC_REPORT);
    box->appendPlainText(QStringLiteral("Checked on the farm by the adviser."));
    d.click(Dlg::IDC_PRINT);
    EXPECT_EQ(pageCount(d.dialogs.pdf), 1);
    const QStringList text = pages(d.dialogs.pdf);
    ASSERT_EQ(text.size(), 1);
    EXPECT_TRUE(text[0].endsWith(QStringLiteral("partional addition option Checked on the farm "
                                                "by the adviser.")));
}

TEST_F(Printing, CancelPrintsNothingAndAnEmptyBoxNeedsNoPrinter) {
    d.click(Dlg::IDC_PRINT); // nothing calculated yet
    EXPECT_EQ(d.dialogs.printDialogs, 0);
    EXPECT_EQ(d.dialogs.texts(), std::vector{QStringLiteral(
                                     "There is no report to print yet: press Calculate first.")});

    calculate(7);
    d.dialogs.pdf.clear(); // the user cancels the print dialog
    d.click(Dlg::IDC_PRINT);
    EXPECT_EQ(d.dialogs.printDialogs, 1);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_EQ(d.dialogs.messages.size(), 1U);
}

// A full disk: the earlier printout stays as it was and the message says why.
TEST_F(Printing, AFullDiskKeepsTheEarlierPrintout) {
    const QByteArray mountPoint = folder.path().toLocal8Bit();
    if (::geteuid() != 0 ||
        ::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=256k") != 0) {
        GTEST_SKIP() << "a full tmpfs needs root and a mount";
    }
    struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{mountPoint};
    QFile earlier(d.dialogs.pdf);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("the earlier printout");
    earlier.close();
    QFile filler(folder.filePath(QStringLiteral("filler")));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) == 4096 || filler.write("x", 1) == 1) {
    }
    calculate(1);
    d.click(Dlg::IDC_PRINT);
    ASSERT_EQ(d.dialogs.messages.size(), 1U);
    EXPECT_TRUE(d.dialogs.texts()[0].contains(d.dialogs.pdf)) << d.dialogs.texts()[0].toStdString();
    QFile kept(d.dialogs.pdf);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the earlier printout"));
}

} // namespace
} // namespace tavikcalc
