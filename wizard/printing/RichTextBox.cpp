#include "RichTextBox.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>

namespace tavik {

namespace {
constexpr double kHalfInchTabPixels = 720.0 / 15.0;
} // namespace

namespace {

// The rich text as a document of its own, for the box (its wrap mode), owned by the box.
QTextDocument* buildDocument(QTextEdit& box, const RichText& richText) {
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
    document->setModified(false);
    return document;
}

bool sameSpans(const std::vector<RichTextSpan>& a, const std::vector<RichTextSpan>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const RichTextSpan& x, const RichTextSpan& y) {
                          return x.start == y.start && x.length == y.length && x.bold == y.bold &&
                                 x.underline == y.underline && x.points == y.points;
                      });
}

void setDocument(QTextEdit& box, QTextDocument* document) {
    box.setDocument(document);
    box.setCurrentFont(document->defaultFont());
}

} // namespace

void showRichText(QTextEdit& box, const RichText& richText) {
    // The text is put together in a document of its own and handed to the box whole, so that
    // the box lays it out once.
    QTextDocument* old = box.document();
    // The box's first document belongs to the box and goes with setDocument; the ones put
    // in here belong to the box as a widget and are let go once replaced.
    const bool ours = old->parent() == &box;
    setDocument(box, buildDocument(box, richText));
    if (ours) {
        old->deleteLater();
    }
}

RichTextDocuments::RichTextDocuments(QTextEdit& box, std::size_t keep) : box_(box), keep_(keep) {}

void RichTextDocuments::replace(QTextDocument* document) {
    // The box's first document belongs to it and goes with setDocument; the ones put in here
    // belong to the box as a widget: let go once replaced, unless kept.
    QTextDocument* old = box_.document();
    const bool ours = old->parent() == &box_;
    const bool kept =
        std::any_of(kept_.begin(), kept_.end(), [old](const Kept& k) { return k.document == old; });
    setDocument(box_, document);
    if (ours && !kept) {
        old->deleteLater();
    }
}

void RichTextDocuments::clear() {
    RichText empty;
    empty.fontFamily = box_.document()->defaultFont().family().toStdString();
    empty.fontPoints = box_.document()->defaultFont().pointSizeF();
    replace(buildDocument(box_, empty));
}

void RichTextDocuments::show(const RichText& richText) {
    // The last line may differ (a report's time stamp): it is written into the kept document.
    const std::size_t lastBreak = richText.text.rfind('\n');
    const std::size_t split = lastBreak == std::string::npos ? 0 : lastBreak + 1;
    const std::string_view body(richText.text.data(), split);
    const std::string lastLine = richText.text.substr(split);
    for (auto it = kept_.begin(); it != kept_.end(); ++it) {
        QTextDocument* document = it->document;
        if (it->body != body || it->fontFamily != richText.fontFamily ||
            it->fontPoints != richText.fontPoints || !sameSpans(it->spans, richText.spans)) {
            continue;
        }
        if (document->isModified()) {
            // Edited by the user since: never shown again.
            if (box_.document() != document) {
                document->deleteLater();
            }
            kept_.erase(it);
            break;
        }
        if (it->lastLine != lastLine) {
            QTextCursor cursor(document->lastBlock());
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            cursor.insertText(QString::fromStdString(lastLine));
            it->lastLine = lastLine;
            document->setModified(false);
        }
        Kept entry = std::move(*it);
        kept_.erase(it);
        kept_.insert(kept_.begin(), std::move(entry));
        setDocument(box_, document);
        return;
    }
    QTextDocument* document = buildDocument(box_, richText);
    replace(document);
    kept_.insert(kept_.begin(), Kept{std::string(body), lastLine, richText.fontFamily,
                                     richText.fontPoints, richText.spans, document});
    while (kept_.size() > keep_) {
        if (box_.document() != kept_.back().document) {
            kept_.back().document->deleteLater();
        }
        kept_.pop_back();
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
