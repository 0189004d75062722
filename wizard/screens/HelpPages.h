#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tavik {

// The manual's pages are HTML compiled into the program under ":/help/". Each wizard screen
// has a page of its own; the pages on PAWC and the class words carry a block, between the
// comments <!--soil-figures--> and <!--/soil-figures-->, that shows a general example until
// a soil has been entered and the soil's own figures afterwards.

inline constexpr const char* kHelpRoot = ":/help/";
inline constexpr const char* kHelpContents = "index.html";

// Every page of the manual, the contents first.
QStringList helpPages();
// The page about a screen (by its object name: "frmChoice", "frmMain"…); the contents for
// any other name.
QString helpPageOf(const QString& screenName);

// The soil as the wizard last worked it out: what the PAWC and class-word pages describe.
struct SoilFigures {
    int depthMm = 0;
    int layers = 0;
    float pawcMm = 0;
    // Water of the whole profile at its lower limit and at field capacity, mm.
    float lowerMm = 0;
    float upperMm = 0;
};

// The page's HTML with its figures block describing the soil; unchanged without a soil or
// without such a block.
QString withSoilFigures(const QString& html, const QString& page,
                        const std::optional<SoilFigures>& soil);

} // namespace tavik
