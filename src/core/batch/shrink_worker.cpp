// SPDX-License-Identifier: GPL-3.0-or-later
// ShrinkWorker: runs RunShrink on a thread of its own and turns its reports into signals.
#include "core/batch/shrink_worker.h"

#include "core/base/io_error.h"

#include <QCoreApplication>
#include <exception>
#include <new>

namespace {

// What the user is told when a run stopped without a reason of its own.
QString orStopped(const QString &reason)
{
    return reason.isEmpty() ? QCoreApplication::translate("Shrink", "縮小が途中で止まりました")
                            : reason;
}

} // namespace

ShrinkWorker::ShrinkWorker(ShrinkJob job, QObject *parent) : QThread(parent), m_job(std::move(job))
{
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void ShrinkWorker::run()
{
    // Nothing may leave run(): the dialog waits for finishedRun to give its controls back.
    ShrinkResult result;
    QString fatal;
    try {
        result = RunShrink(
            m_job, [this](int total) { emit progressMaximum(total); },
            [this](int done) { emit progressed(done); });
    } catch (const Failure &failure) {
        fatal = orStopped(failure.description());
    } catch (const std::bad_alloc &) {
        fatal = QCoreApplication::translate("Shrink", "メモリが足りません");
    } catch (const std::exception &other) {
        fatal = orStopped(QString::fromUtf8(other.what()));
    } catch (...) {
        fatal = orStopped(QString());
    }
    // The dialog shows fatal in its error box: a run that a full disk stopped says so there.
    emit finishedRun(result.filesWritten, result.failures,
                     fatal.isEmpty() ? result.stopped : fatal);
}
