// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: mokaran VERB ... works headless over the core.
#pragma once

#include <QStringList>

// The process exit status of a run.
enum class ExitCode {
    Done = 0,   // the work was done
    Failed = 1, // the work failed; the reason is on standard error
    Usage = 2,  // the command line is wrong; the usage is on standard error
};

// args: the arguments after the program name. Writes to standard output and standard error.
// Returns an ExitCode as the number the process exits with.
int RunCommandLine(const QStringList &args);

// Whether word is one of the verbs (cut, sequence, ...): `mokaran WORD` then runs it headless even
// when a file of that name exists.
bool IsCommandLineVerb(const QString &word);
