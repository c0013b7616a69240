// SPDX-License-Identifier: GPL-3.0-or-later
// Driving modal windows from a test: a command opens a dialog with exec(), which only returns once
// something closes it, so the test acts on it from a timer.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

// Plays a script against the modal windows a command opens: each step waits for the modal window
// of its objectName (or class name when it has none), acts on it (and must close it), then the
// next step waits. done() tells whether every step ran; seen lists the windows acted on.
class ModalScript : public QObject {
  public:
    using Action = std::function<void(QWidget *)>;
    ModalScript()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, &ModalScript::poll);
        m_timer.start();
    }
    ModalScript &then(const QString &name, Action action)
    {
        m_steps.push_back({name, std::move(action)});
        return *this;
    }
    bool done() const { return m_steps.empty(); }
    QStringList seen;

  private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || m_steps.empty() || modal == m_last)
            return;
        const QString name = modal->objectName().isEmpty()
                                 ? QString::fromLatin1(modal->metaObject()->className())
                                 : modal->objectName();
        if (name != m_steps.front().first)
            return;
        Action action = std::move(m_steps.front().second);
        m_steps.pop_front();
        seen << name;
        m_last = modal;
        action(modal);
        QTimer::singleShot(0, this, [this] { m_last = nullptr; });
    }
    QTimer m_timer;
    std::deque<std::pair<QString, Action>> m_steps;
    QWidget *m_last = nullptr;
};

// Acts once on the next modal window that is a className (and not `except`); the action must close
// it. For dialogs whose objectName a test does not know, such as message boxes and pickers.
inline void OnNextModal(const char *className, std::function<void(QWidget *)> action,
                        const QWidget *except = nullptr)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, className, action, except] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == except || !modal->inherits(className))
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
    });
    timer->start();
}

// Runs action once ready() holds, or after timeoutMs in any case so that its checks report what
// is missing. For a step whose dialog is still busy when it comes up again: a run that repaints its
// progress bar lets timers fire, the script's own included, before the run has ended.
inline void WhenReady(std::function<bool()> ready, std::function<void()> action,
                      int timeoutMs = 10000)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    auto waited = std::make_shared<QElapsedTimer>();
    waited->start();
    QObject::connect(timer, &QTimer::timeout, [timer, ready, action, waited, timeoutMs] {
        if (!ready() && waited->elapsed() < timeoutMs)
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

// Types a name into a file dialog, picks a filter (when filter >= 0) and confirms it.
inline void AcceptFile(QWidget *modal, const QString &path, int filter = -1)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    QVERIFY(dialog);
    if (filter >= 0)
        dialog->selectNameFilter(dialog->nameFilters().at(filter));
    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
    static_cast<QDialog *>(dialog)->accept();
}

// A script step that presses a button of the dialog once its exec() is running (a click inside the
// step itself would run before the step returns).
inline std::function<void(QWidget *)> pressLater(QAbstractButton *button)
{
    return [button](QWidget *) { QTimer::singleShot(0, button, &QAbstractButton::click); };
}

// Presses button once it can be pressed: a step that comes up while its dialog's run still writes
// (the dialog's buttons are off then) waits for the run to end.
inline std::function<void(QWidget *)> pressWhenEnabled(QAbstractButton *button)
{
    return [button](QWidget *) {
        WhenReady([button] { return button->isEnabled(); }, [button] { button->click(); });
    };
}

// The control of that object name under parent, searched through child dialogs too. A missing one
// ends the test program at once: every later check would read through a null pointer.
template <typename T> T *Control(const QObject *parent, const char *name)
{
    T *control = parent->findChild<T *>(QLatin1String(name));
    if (!control)
        qFatal("no %s named %s", T::staticMetaObject.className(), name);
    return control;
}

inline void Cancel(QWidget *modal)
{
    static_cast<QDialog *>(modal)->reject();
}

// Answers message boxes as they appear and keeps their texts and titles. A box opened from inside
// a handler runs its own event loop, so it is closed from a timer.
class BoxCatcher : public QObject {
  public:
    QStringList texts;
    BoxCatcher()
    {
        m_timer.setInterval(10);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts << box->text();
                m_titles << box->windowTitle();
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start();
    }
    QStringList titles() const { return m_titles; }

  private:
    QTimer m_timer;
    QStringList m_titles;
};
