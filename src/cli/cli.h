// The command line: mokaran VERB ... works headless over the core.
#pragma once

#include <QStringList>

// Exit status: 0 done, 1 the work failed, 2 the command line is wrong.
enum CliStatus { kCliDone = 0, kCliFailed = 1, kCliUsage = 2 };

// args: the arguments after the program name. Writes to standard output and standard error.
int RunCommandLine(const QStringList &args);
