// SPDX-License-Identifier: GPL-3.0-or-later
// Failures as the user sees them: an exception carrying the program's own Japanese description.
#pragma once

#include <QString>
#include <stdexcept>

// A failure of a command. what() is the description in UTF-8; the error box adds the full stop.
class Failure : public std::runtime_error {
  public:
    explicit Failure(const QString &description);
    QString description() const { return QString::fromUtf8(what()); }
};

// An input/output failure with its I/O error code (2 file not found, 5 access denied, 106 not a
// number, ...; IoCodeFromErrno maps errno onto them) and the code's text.
class IoError : public Failure {
  public:
    explicit IoError(int code);
    // A code shown with a text other than its own (see IoErrorFromErrno).
    IoError(int code, const QString &description);
    int code() const { return m_code; }

  private:
    int m_code;
};

// A write that failed because the disk (or the user's quota) is full: a batch stops at the first
// one, as every later file would fail the same way.
class DiskFull : public Failure {
  public:
    using Failure::Failure;
};

// A reader stopped because its caller asked it to (see DecodeJpeg's cancel): not a fault of the
// file, and nothing to show the user beyond the state before the command.
class Cancelled : public Failure {
  public:
    using Failure::Failure;
};

// "読み込みを中止しました".
QString CancelledText();

// The Japanese text of an I/O error code; "I/O エラー (%d)" for codes without one.
QString IoErrorText(int code);

// Maps an errno value onto the I/O error codes (ENOENT gives 2, EACCES 5, ENOSPC 101, ...).
int IoCodeFromErrno(int err);

// The failure of a system call, for throwing: the code of IoCodeFromErrno with its text when errno
// maps onto one of the codes, else "I/O エラー (<errno>)"; a name too long (code 3) and a loop of
// symbolic links (ELOOP) say so. Unmapped errno values such as EIO (5)
// or ENETDOWN (100) share their number with a code and must not borrow its text.
IoError IoErrorFromErrno(int err);

// The description of IoErrorFromErrno(err), for a message that names the file itself.
QString ErrnoText(int err);

// The error-box convention: the description followed by a full stop, except when it is empty or its
// last character's code is not above that of the full stop ("x." and "x!" stay as they are).
QString WithFullStop(const QString &description);
