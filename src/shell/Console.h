#pragma once

class QString;

// Diagnostics that belong on standard output rather than in the session log (failures of the
// log file itself, the command utilities' own notes). One whole line per call, from any thread.
void writeConsoleLine(const QString& line);
