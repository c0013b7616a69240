// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own help window, for a desktop without a web browser: the help pages (with their
// pictures and links between sections) and the readme shown by Qt's text browser.
#pragma once

#include <QDialog>

class QTextBrowser;

// Whether the desktop names a program for files of mimeType ("text/html"): with none named,
// xdg-open starts, Qt reports the file opened, and nothing ever shows.
bool DesktopOpens(const QString &mimeType);

class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    explicit HelpWindow(QWidget *parent = nullptr);

    // Shows the file (an HTML page, or plain text) and brings the window to the front; it stays
    // open beside the main window until closed.
    void showFile(const QString &path);

  private:
    QTextBrowser *m_browser;
};
