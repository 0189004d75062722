#pragma once

#include <QString>
#include <string>

namespace tavik {

// tavik is three programs. `tavik` reads the command line and runs what draws nothing; it
// hands the wizard and the drawn outputs to `tavik-gui`, which loads the toolkit's screens and
// painting, and every workbook to `tavik-workbook`, which parses it in a process of its own.
// The two helpers lie beside `tavik` in a build tree, and in a private folder of their own
// when installed (libexec/tavik beside bin).
inline constexpr const char* kGuiProgram = "tavik-gui";
inline constexpr const char* kWorkbookReaderProgram = "tavik-workbook";

// The folder of the running program; empty when the system does not say.
QString runningProgramFolder();

// A helper's path, from the folder of the program that runs it: beside that program when it is
// there, else in the installed helpers' folder.
QString helperProgram(const QString& ownFolder, const char* name);

// The folder of `tavik`, from the folder of a helper: the helper's own when `tavik` is beside
// it, else the installed program folder. The program's data is found from there.
QString mainProgramFolder(const QString& helperFolder);

// Runs a program in place of this process (the same process, standard streams and
// environment) with these arguments. Returns only when it cannot: then with the reason. A
// program is never looked for in the current folder.
std::string replaceProcess(const QString& program, char* const arguments[]);

} // namespace tavik
