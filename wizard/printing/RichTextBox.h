#pragma once

#include "engine/RichText.h"

class QTextEdit;

namespace tavik {

// Puts a rich text into a box: its text in the text's font, the spans formatted apart.
void showRichText(QTextEdit& box, const RichText& richText);

// What a box holds now (the user's edits included), as a rich text: lines joined with CR LF,
// runs that differ from the box's own font as spans.
RichText richTextOf(const QTextEdit& box);

} // namespace tavik
