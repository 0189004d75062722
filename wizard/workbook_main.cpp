// tavik-workbook: reads a crop workbook for tavik, in a process of its own.
//
// Copyright (C) 2026 the tavik developers
// SPDX-License-Identifier: GPL-3.0-or-later
//
// `tavik-workbook FILE` writes the used range of the workbook's first sheet as CSV. It links
// the workbook parser and the C++ library only, so that a damaged file that crashes or
// exhausts the parser harms nothing but this process.

#include "workbook/FreexlSheet.h"

#include <iostream>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::cerr << "tavik workbook: give exactly one file\n";
        return 2;
    }
    return tavik::runWorkbookCommand(argv[1]);
}
