// SPDX-License-Identifier: GPL-3.0-or-later
// Whole files read and put by the core tests that check what the program writes.
#pragma once

#include "core/base/io_error.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <gtest/gtest.h>

// The file's bytes; empty when it cannot be read.
inline QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Puts bytes in a new or replaced file; a failure fails the test that called it.
inline void PutFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The description of the Failure the action throws, or "" when it throws none.
inline QString FailureOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const Failure &failure) {
        return failure.description();
    }
    return {};
}
