// SPDX-License-Identifier: GPL-3.0-or-later
// ShrinkWorker: the batch shrink's worker thread, reporting to the shrink dialog through signals.
#pragma once

#include "core/batch/shrink.h"

#include <QString>
#include <QStringList>
#include <QThread>

// One run of the batch shrink on its own thread. The job is complete when the thread is made, so
// nothing is read from the dialog while files are being shrunk. The signals are emitted on the
// worker side; a receiver living on the UI thread gets them queued, in order.
//
// Start it with start() and keep no pointer to it: it deletes itself (deleteLater, on the thread
// that made it, which needs an event loop) after its run. Give it no parent that could be
// destroyed during a run: a running QThread must not be destroyed.
class ShrinkWorker : public QThread {
    Q_OBJECT

  public:
    explicit ShrinkWorker(ShrinkJob job, QObject *parent = nullptr);

  signals:
    // The number of files found, once before the first file; not emitted when none was found.
    void progressMaximum(int total);
    // After each file, written or skipped: done = 1, 2, ... total.
    void progressed(int done);
    // Exactly once, last, whatever happened. failures: the files skipped; fatal: why the run
    // could not start (the extension file could not be read, ...) or stopped before its last
    // file (ShrinkResult::stopped: the disk is full), else empty.
    void finishedRun(int written, const QStringList &failures, const QString &fatal);

  protected:
    void run() override;

  private:
    const ShrinkJob m_job;
};
