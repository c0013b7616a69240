// SPDX-License-Identifier: GPL-3.0-or-later
// Failures and the texts of the I/O error codes.
#include "core/base/io_error.h"

#include <QCoreApplication>
#include <cerrno>

Failure::Failure(const QString &description) : std::runtime_error(description.toStdString()) {}

IoError::IoError(int code) : Failure(IoErrorText(code)), m_code(code) {}

IoError::IoError(int code, const QString &description) : Failure(description), m_code(code) {}

QString CancelledText()
{
    return QCoreApplication::translate("IoError", "読み込みを中止しました");
}

QString IoErrorText(int code)
{
    switch (code) {
    case 2: return QCoreApplication::translate("IoError", "ファイルが見つかりません");
    case 3: return QCoreApplication::translate("IoError", "不正なファイル名です");
    case 4: return QCoreApplication::translate("IoError", "オープンしたファイルが多すぎます");
    case 5: return QCoreApplication::translate("IoError", "ファイルへのアクセスが拒否されました");
    case 100: return QCoreApplication::translate("IoError", "ファイルの末尾以降を読み込みました");
    case 101: return QCoreApplication::translate("IoError", "ディスクがいっぱいです");
    case 106: return QCoreApplication::translate("IoError", "入力値が数値ではありません");
    default: return QCoreApplication::translate("IoError", "I/O エラー (%1)").arg(code);
    }
}

int IoCodeFromErrno(int err)
{
    switch (err) {
    case ENOENT: return 2;
    case ENAMETOOLONG:
    case EINVAL:
    case ENOTDIR: return 3;
    case EMFILE:
    case ENFILE: return 4;
    case EACCES:
    case EPERM:
    case EROFS: return 5;
    case ENOSPC:
    case EDQUOT: return 101;
    default: return err;
    }
}

QString WithFullStop(const QString &description)
{
    if (description.isEmpty() || description.back().unicode() <= u'.')
        return description;
    return description + u'.';
}

IoError IoErrorFromErrno(int err)
{
    // Two failures of a name that its code's text would not explain.
    if (err == ENAMETOOLONG)
        return IoError(IoCodeFromErrno(err),
                       QCoreApplication::translate("IoError", "ファイル名が長すぎます"));
    if (err == ELOOP)
        return IoError(
            err, QCoreApplication::translate("IoError", "シンボリックリンクがループしています"));
    const int code = IoCodeFromErrno(err);
    // Every mapped errno changes its number except ENOENT, which is 2 on both sides.
    if (code != err || err == ENOENT)
        return IoError(code);
    return IoError(err, QCoreApplication::translate("IoError", "I/O エラー (%1)").arg(err));
}

QString ErrnoText(int err)
{
    return IoErrorFromErrno(err).description();
}
