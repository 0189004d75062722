#pragma once

#include "engine/RichText.h"

#include <cstddef>
#include <string>
#include <vector>

class QTextDocument;
class QTextEdit;

namespace tavik {

// Puts a rich text into a box: its text in the text's font, the spans formatted apart.
void showRichText(QTextEdit& box, const RichText& richText);

// Shows rich texts in a box and keeps the documents of the last few, laid out: a text shown
// again (the schedule of a cycle the user comes back to) takes its document back instead of
// being laid out anew; a last line that differs (a time stamp) is written into it. A document
// the user has edited is not taken back.
class RichTextDocuments {
public:
    RichTextDocuments(QTextEdit& box, std::size_t keep);
    void show(const RichText& richText);
    // An empty box (the kept documents stay).
    void clear();

private:
    void replace(QTextDocument* document);
    struct Kept {
        std::string body; // the text without its last line
        std::string lastLine;
        std::string fontFamily;
        double fontPoints = 0;
        std::vector<RichTextSpan> spans;
        QTextDocument* document = nullptr; // owned by the box
    };
    QTextEdit& box_;
    std::size_t keep_;
    std::vector<Kept> kept_; // the most recently shown first
};

// What a box holds now (the user's edits included), as a rich text: lines joined with CR LF,
// runs that differ from the box's own font as spans.
RichText richTextOf(const QTextEdit& box);

} // namespace tavik
