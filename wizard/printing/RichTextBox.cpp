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
    // The text is put together in a document of its own and handed to the box whole, so that
    // the box lays it out once (the schedule's box is refilled at every move of its slider).
    QTextDocument* old = box.document();
    auto* document = new QTextDocument(&box);
    QFont base(QString::fromStdString(richText.fontFamily));
    base.setPointSizeF(richText.fontPoints);
    document->setDefaultFont(base);
    QTextOption option = document->defaultTextOption();
    option.setTabStopDistance(kHalfInchTabPixels); // every half inch (720 twips)
    option.setWrapMode(old->defaultTextOption().wrapMode());
    document->setDefaultTextOption(option);
    QString text = QString::fromStdString(richText.text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    document->setPlainText(text);
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
    const int last = document->characterCount() - 1;
    for (const RichTextSpan& span : richText.spans) {
        const int start = boxPosition(span.start);
        const int end = boxPosition(span.start + span.length);
        QTextCursor cursor(document);
        cursor.setPosition(std::min(start, last));
        cursor.setPosition(std::min(end, last), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFontWeight(span.bold ? QFont::Bold : QFont::Normal);
        format.setFontUnderline(span.underline);
        if (span.points) {
            format.setFontPointSize(*span.points);
        }
        cursor.mergeCharFormat(format);
        // A line break inside the span: the paragraph after it keeps the break's format.
        for (QTextBlock block = document->findBlock(start).next();
             block.isValid() && block.position() - 1 < end; block = block.next()) {
            QTextCursor(block).mergeBlockCharFormat(format);
        }
    }
    // The box's first document belongs to the box and goes with setDocument; the ones put
    // in here belong to the box as a widget and are let go once replaced.
    const bool ours = old->parent() == &box;
    box.setDocument(document);
    box.setCurrentFont(base);
    if (ours) {
        old->deleteLater();
    }
}

RichText richTextOf(const QTextEdit& box) {
    RichText richText;
    const QFont base = box.document()->defaultFont();
    richText.fontFamily = base.family().toStdString();
    richText.fontPoints = base.pointSizeF();
    int position = 0; // in characters of the rich text (CR LF counts two)
    // A run whose format differs from the box's own font becomes a span.
    const auto addSpan = [&richText, &base](const QTextCharFormat& format, int start, int length) {
        const bool bold = format.fontWeight() >= QFont::Bold;
        const bool underline = format.fontUnderline();
        const double points = format.hasProperty(QTextFormat::FontPointSize)
                                  ? format.fontPointSize()
                                  : base.pointSizeF();
        if (!bold && !underline && points == base.pointSizeF()) {
            return;
        }
        RichTextSpan span;
        span.start = start;
        span.length = length;
        span.bold = bold;
        span.underline = underline;
        if (points != base.pointSizeF()) {
            span.points = points;
        }
        richText.spans.push_back(span);
    };
    for (QTextBlock block = box.document()->begin(); block.isValid(); block = block.next()) {
        if (block != box.document()->begin()) {
            // The line break takes the formatting its CR had: a box keeps it with the
            // paragraph that follows.
            addSpan(block.charFormat(), position, 1);
            richText.text += "\r\n";
            position += 2;
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString text = fragment.text();
            const int length = static_cast<int>(text.toStdU32String().size());
            addSpan(fragment.charFormat(), position, length);
            richText.text += text.toStdString();
            position += length;
        }
    }
    return richText;
}
} // namespace tavik
