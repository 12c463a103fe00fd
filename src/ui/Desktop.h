#pragma once

#include <QString>

namespace pellorin::ui {

// Hands the address to the desktop's browser; false when none takes it.
bool OpenUrl(const QString& url);

// The folder of the program's executable.
QString ProgramDirectory();

// Ends the program's event loop, whatever windows are open.
void EndProgram();

} // namespace pellorin::ui
