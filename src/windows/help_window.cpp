// SPDX-License-Identifier: GPL-3.0-or-later
// The program's own help window.
#include "windows/help_window.h"

#include "windows/dialog_buttons.h"
#include "windows/dialog_places.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

bool DesktopOpens(const QString &mimeType)
{
    if (!qEnvironmentVariableIsEmpty("BROWSER"))
        return true;
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return true; // no xdg-utils: Qt looks for a browser of its own, and says if none is there
    QProcess asking;
    asking.start(query, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!asking.waitForFinished(3000))
        return true;
    return !asking.readAllStandardOutput().trimmed().isEmpty();
}

HelpWindow::HelpWindow(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("ヘルプ"));
    auto *layout = new QVBoxLayout(this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setAccessibleName(tr("ヘルプの本文"));
    // Links to the project's pages go to the browser the desktop has, if any; links within the
    // help stay here.
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser);
    auto *buttons = new QDialogButtonBox(this);
    buttons->setObjectName(QStringLiteral("buttonBox"));
    AddDialogButton(buttons, tr("閉じる"), QDialogButtonBox::RejectRole, "closeButton")
        ->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 600);
}

void HelpWindow::showFile(const QString &path)
{
    if (path.endsWith(QLatin1String(".txt"))) {
        QFile file(path);
        m_browser->setPlainText(file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll())
                                                               : QString());
    } else {
        // The pictures of a help page lie beside it.
        m_browser->setSearchPaths({QFileInfo(path).absolutePath()});
        m_browser->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    }
    if (!isVisible())
        CentreOnParent(this);
    show();
    raise();
    activateWindow();
}
