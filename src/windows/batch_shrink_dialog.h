// SPDX-License-Identifier: GPL-3.0-or-later
// The batch JPEG shrink dialog: two folders, a width, and a run on a worker thread.
#pragma once

#include <QDialog>
#include <QStringList>

#include <memory>

class QPushButton;

namespace Ui {
class BatchShrinkDialog;
}

class BatchShrinkDialog : public QDialog {
    Q_OBJECT
  public:
    // extensionsFile: the list of the file extensions a run shrinks (jpeg.dat).
    explicit BatchShrinkDialog(const QString &extensionsFile, QWidget *parent = nullptr);
    ~BatchShrinkDialog() override;

    // Clears both folder fields and runs the dialog until it is closed.
    void run();

    bool running() const { return m_running; }

  signals:
    void runFinished(); // the controls are enabled again (tests wait for it)

  protected:
    void reject() override; // Escape: ignored while a run lasts
    void closeEvent(QCloseEvent *event) override;

  private:
    void pickSource();
    void pickDestination();
    QString pickFolder(const QString &current);
    void startShrink();
    void setRunning(bool running);
    void finishRun(int written, const QStringList &failures, const QString &fatal);

    std::unique_ptr<Ui::BatchShrinkDialog> m_ui;
    QPushButton *m_startButton;
    QPushButton *m_closeButton;
    QString m_extensionsFile;
    QString m_pickedFolder; // the folder last picked, where both pickers start
    bool m_running = false;
};
