#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tavikcalc {

// The calculator's command line: "WISH" (any case) leaves the splash window out, and a
// capital "A" followed by a number presets the area in hectares ("A12.5"), which switches
// the overhead report to volumes. Either may carry a leading "/" or "-"; anything else is
// ignored.
class CTavipCommandLineInfo {
public:
    std::int32_t showSplash = 1; // 0: no splash window
    double area = 0;             // ha

    // Every argument after the program's name, in order.
    void parse(const QStringList& arguments);
    // One argument, its leading "/" or "-" (a flag's mark) already taken off.
    void ParseParam(const QString& param, bool flag, bool last);
};

} // namespace tavikcalc
