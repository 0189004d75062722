#include "RichTextBox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace tavik {

namespace {
constexpr double kHalfInchTabPixels = 720.0 / 15.0;
} // namespace

void showRichText(QTextEdit& box, const RichText& richText) {
    // Tab stops every half inch (720 twips), as in a word processor.
    box.setTabStopDistance(kHalfInchTabPixels);
    const QFont font(QString::fromStdString(richText.fontFamily), 1);
    QFont base = font;
    base.setPointSizeF(richText.fontPoints);
    box.document()->setDefaultFont(base);
    box.setCurrentFont(base);
    QString text = QString::fromStdString(richText.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setPlainText(text);
    // Positions count CR and LF as a character each; the box holds CR LF as one break, so
    // each CR LF that lies wholly before a position moves it back by one.
    const QString original = QString::fromStdString(richText.text);
    const auto boxPosition = [&original](int position) {
        int crlf = 0;
        for (int i = 0; i + 1 < original.size() && i + 1 < position; ++i) {
            if (original[i] == QLatin1Char('\r') && original[i + 1] == QLatin1Char('\n')) {
                ++crlf;
            }
        }
        return position - crlf;
    };
    for (const RichTextSpan& span : richText.spans) {
        const int start = boxPosition(span.start);
        const int end = boxPosition(span.start + span.length);
        QTextCursor cursor(box.document());
        cursor.setPosition(std::min(start, box.document()->characterCount() - 1));
        cursor.setPosition(std::min(end, box.document()->characterCount() - 1),
                           QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFontWeight(span.bold ? QFont::Bold : QFont::Normal);
        format.setFontUnderline(span.underline);
        if (span.points) {
            format.setFontPointSize(*span.points);
        }
        cursor.mergeCharFormat(format);
        // A line break inside the span: the paragraph after it keeps the break's format.
        for (QTextBlock block = box.document()->findBlock(start).next();
             block.isValid() && block.position() - 1 < end; block = block.next()) {
            QTextCursor(block).mergeBlockCharFormat(format);
        }
    }
    QTextCursor end(box.document());
    end.movePosition(QTextCursor::End);
    box.setTextCursor(end);
    box.setCurrentFont(base);
    QTextCursor start(box.document());
    box.setTextCursor(start);
}

RichText richTextOf(const QTextEdit& box) {
    RichText richText;
    const QFont base = box.document()->defaultFont();
    richText.fontFamily = base.family().toStdString();
    richText.fontPoints = base.pointSizeF();
    int position = 0; // in characters of the rich text (CR LF counts two)
    bool firstBlock = true;
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        if (!firstBlock) {
            // The line break takes the formatting its CR had: a box keeps it with the
            // paragraph that follows.
            const QTextCharFormat breakFormat = block.charFormat();
            const bool bold = breakFormat.fontWeight() >= QFont::Bold;
            const bool underline = breakFormat.fontUnderline();
            const double points = breakFormat.hasProperty(QTextFormat::FontPointSize)
                                      ? breakFormat.fontPointSize()
                                      : base.pointSizeF();
            if (bold || underline || points != base.pointSizeF()) {
                RichTextSpan span;
                span.start = position;
                span.length = 1;
                span.bold = bold;
                span.underline = underline;
                if (points != base.pointSizeF()) {
                    span.points = points;
                }
                richText.spans.push_back(span);
            }
            richText.text += "\r\n";
            position += 2;
        }
        firstBlock = false;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = fragment.text();
            const QTextCharFormat format = fragment.charFormat();
            const bool bold = format.fontWeight() >= QFont::Bold;
            const bool underline = format.fontUnderline();
            const double points = format.hasProperty(QTextFormat::FontPointSize)
                                      ? format.fontPointSize()
                                      : base.pointSizeF();
            const int length = static_cast<int>(text.toStdU32String().size());
            if (bold || underline || points != base.pointSizeF()) {
                RichTextSpan span;
                span.start = position;
                span.length = length;
                span.bold = bold;
                span.underline = underline;
                if (points != base.pointSizeF()) {
                    span.points = points;
                }
                richText.spans.push_back(span);
            }
            richText.text += text.toStdString();
            position += length;
        }
    }
    return richText;
}

} // namespace tavik
