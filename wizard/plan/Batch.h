#pragma once

#include "HeadlessCommands.h"
#include "state/CropTable.h"

#include <QString>
#include <vector>

namespace tavik {

// Many fields planned in one run: each scenario through the one-field pipeline of
// `tavik plan`, on a pool of worker threads, its output written into a folder as
// "<scenario name>.<format>", and one summary line per field, in the order given, in
// "summary.csv" beside them. A field that is refused never stops the others: its line says
// why.
struct BatchRequest {
    std::vector<QString> scenarios;
    QString outputFolder;
    OutputFormat format = OutputFormat::Text;
    DrawnOutput drawn;     // for the drawn formats
    bool progress = false; // a progress line on standard error (a terminal's)
};

struct BatchResult {
    int planned = 0;
    int refused = 0;
    std::string problem; // the run itself failed (the folder, the summary)
};

BatchResult runBatch(const BatchRequest& request, const CropTable& crops,
                     const HeadlessContext& context);

// The scenarios of a folder: its "*.json" and "*.tavikplan" files, by name.
std::vector<QString> scenariosInFolder(const QString& folder);

inline constexpr const char* kSummaryFileName = "summary.csv";

} // namespace tavik
