// Print: the report box's text, edits included, word-wrapped page by page, here into a PDF.

#include "CalcGuiSupport.h"

#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>
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

// The box of every word of each page (points from the page's top-left corner).
std::vector<std::vector<QRectF>> wordBoxes(const QString& pdf) {
    std::vector<std::vector<QRectF>> boxes;
    const QRegularExpression item(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\""));
    const QString text =
        run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    for (auto match = item.globalMatch(text); match.hasNext();) {
        const auto found = match.next();
        if (found.captured(0) == QStringLiteral("<page ")) {
            boxes.emplace_back();
        } else {
            const auto at = [&found](int i) {
                return found.captured(i).toDouble();
            };
            boxes.back().push_back(QRectF(QPointF(at(1), at(2)), QPointF(at(3), at(4))));
        }
    }
    return boxes;
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
    // page within margins of an inch holds 63 lines of the text: three pages.
    calculate(1);
    ASSERT_EQ(d.dialog->reportText().count(QStringLiteral("\r\n")) + 1, 166);
    d.click(Dlg::IDC_PRINT);
    EXPECT_EQ(d.dialogs.printDialogs, 1);
    EXPECT_EQ(pageCount(d.dialogs.pdf), 3);
    const QStringList text = pages(d.dialogs.pdf);
    ASSERT_EQ(text.size(), 3);
    EXPECT_TRUE(text[0].startsWith(QStringLiteral("Processed by TAVIK. Water application")));
    EXPECT_TRUE(text[2].endsWith(QStringLiteral("mm/day partional addition option")));
    // Every page starts one inch from the paper's top and left edges, as the wizard prints,
    // and keeps an inch from the right and bottom edges (A4: 595 × 842 pt); each line of the
    // report that holds text is one printed line: none is broken.
    const auto boxes = wordBoxes(d.dialogs.pdf);
    ASSERT_EQ(boxes.size(), 3U);
    std::set<std::pair<std::size_t, double>> printedLines;
    for (std::size_t page = 0; page < boxes.size(); ++page) {
        QRectF used = boxes[page].front();
        for (const QRectF& word : boxes[page]) {
            used |= word;
            printedLines.insert({page, word.top()});
        }
        EXPECT_NEAR(used.top(), 72.0, 0.5) << "page " << page + 1;
        EXPECT_TRUE(QRectF(71.5, 71.5, 595 - 143, 842 - 143).contains(used)) << "page " << page + 1;
    }
    EXPECT_NEAR(boxes[0].front().left(), 72.0, 0.5); // "Processed" in the corner
    const QStringList reportLines = d.dialog->reportText().split(QStringLiteral("\r\n"));
    EXPECT_EQ(printedLines.size(), std::size_t(reportLines.size() - reportLines.count(QString())));
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
