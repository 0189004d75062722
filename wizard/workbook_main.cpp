// tavik-workbook: reads a crop workbook for tavik, in a process of its own.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// `tavik-workbook FILE` writes the used range of the workbook's first sheet (.xls, .xlsx or
// .ods) in the form SheetAnswer.h describes, so that a damaged file that crashes or exhausts a
// reader harms nothing but this process.

#include "workbook/SheetRead.h"

#include <iostream>
#include <sys/stat.h>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "tavik workbook: give exactly one file\n";
        return 2;
    }
    // A pipe or a device is never opened: reading one could wait for ever.
    struct stat entry {};
    if (::stat(argv[1], &entry) == 0 && !S_ISREG(entry.st_mode) && !S_ISDIR(entry.st_mode)) {
        std::cerr << "tavik workbook: \"" << argv[1] << "\": it is not a regular file\n";
        return tavik::kExitWorkbookProblem;
    }
    return tavik::runWorkbookCommand(argv[1]);
}
