// SPDX-License-Identifier: GPL-3.0-or-later
// What every window and dialog of the program keeps, in any language and at any font size: no two
// controls overlap, no caption is cut off, Tab goes in reading order, Return presses the button it
// should, every control has a name an assistive tool can read, and no two items share an access
// key. The window must be shown (its layouts sized) before it is checked.
#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QWidget>

namespace form_invariants {

inline bool isPartOfAnotherControl(const QWidget *w)
{
    for (const QWidget *up = w->parentWidget(); up; up = up->parentWidget())
        if (qobject_cast<const QAbstractSpinBox *>(up) || qobject_cast<const QComboBox *>(up) ||
            (qobject_cast<const QAbstractScrollArea *>(up) &&
             !qobject_cast<const QAbstractScrollArea *>(w) && w->parentWidget() == up))
            return true;
    return false;
}

// The controls a user sees and works: captions, buttons, fields, and the other inputs.
inline QList<QWidget *> controlsOf(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisibleTo(window) || isPartOfAnotherControl(w))
            continue;
        const auto *label = qobject_cast<QLabel *>(w);
        if ((label && !label->text().isEmpty()) || qobject_cast<QAbstractButton *>(w) ||
            qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QLineEdit *>(w) ||
            qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSlider *>(w) ||
            qobject_cast<QProgressBar *>(w))
            controls << w;
    }
    return controls;
}

inline bool interactive(const QWidget *w)
{
    return !qobject_cast<const QLabel *>(w) && !qobject_cast<const QProgressBar *>(w);
}

inline QRect placeIn(const QWidget *window, const QWidget *w)
{
    return QRect(w->mapTo(window, QPoint(0, 0)), w->size());
}

inline QString nameOf(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// b stands before a in reading order: wholly above it and starting left of its right edge, or
// wholly left of it and starting above its bottom. Blocks side by side (a group box beside
// another) may be read one after the other.
inline bool readBefore(const QRect &b, const QRect &a)
{
    return (b.bottom() < a.top() && b.left() < a.right()) ||
           (b.right() < a.left() && b.top() < a.bottom());
}

inline QChar accessKeyOf(const QString &text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

inline void checkAccessKeys(const QString &where, const QList<QString> &texts,
                            QStringList &problems)
{
    QHash<QChar, QString> taken;
    for (const QString &text : texts) {
        const QChar key = accessKeyOf(text);
        if (key.isNull())
            continue;
        if (taken.contains(key))
            problems << QStringLiteral("%1: %2 and %3 share the access key %4")
                            .arg(where, taken.value(key), text, key);
        taken.insert(key, text);
    }
}

} // namespace form_invariants

// The problems of window (empty when it keeps every invariant). defaultButton is the object name
// of the button Return should press, or nullptr where no button should be the default.
inline QStringList FormProblems(QWidget *window, const char *defaultButton)
{
    using namespace form_invariants;
    QStringList problems;
    const QString where = nameOf(window);
    const QList<QWidget *> controls = controlsOf(window);
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QWidget *a = controls[i];
        const QRect place = placeIn(window, a);
        for (qsizetype j = i + 1; j < controls.size(); ++j) {
            const QWidget *b = controls[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a))
                continue;
            if (place.intersects(placeIn(window, b)))
                problems << QStringLiteral("%1: %2 overlaps %3").arg(where, nameOf(a), nameOf(b));
        }
        // A caption needs at least its size hint, in the font and language in use.
        const bool captioned = qobject_cast<const QLabel *>(a) ||
                               (qobject_cast<const QAbstractButton *>(a) &&
                                !qobject_cast<const QAbstractButton *>(a)->text().isEmpty());
        const auto *label = qobject_cast<const QLabel *>(a);
        if (captioned && !(label && label->wordWrap()) &&
            (a->width() < a->sizeHint().width() || a->height() < a->minimumSizeHint().height()))
            problems << QStringLiteral("%1: %2 is cut off (%3 wide, needs %4)")
                            .arg(where, nameOf(a))
                            .arg(a->width())
                            .arg(a->sizeHint().width());
        if (interactive(a)) {
            QAccessibleInterface *accessible =
                QAccessible::queryAccessibleInterface(const_cast<QWidget *>(a));
            if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
                problems << QStringLiteral("%1: %2 has no accessible name").arg(where, nameOf(a));
        }
    }

    // Tab in reading order: the chain is a ring, so it goes back exactly once, from the last
    // control to the first; any other step back breaks the reading order.
    QList<QWidget *> stops;
    for (QWidget *w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled() &&
            !isPartOfAnotherControl(w) && !stops.contains(w))
            stops << w;
        if (stops.size() > 500)
            break;
    }
    QStringList backSteps;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        const QWidget *from = stops[i];
        const QWidget *to = stops[(i + 1) % stops.size()];
        if (readBefore(placeIn(window, to), placeIn(window, from)))
            backSteps << QStringLiteral("%1 back to %2").arg(nameOf(from), nameOf(to));
    }
    if (backSteps.size() > 1)
        problems
            << QStringLiteral("%1: Tab goes %2").arg(where, backSteps.join(QStringLiteral(", ")));

    QStringList defaults;
    for (const QPushButton *button : window->findChildren<QPushButton *>())
        if (button->window() == window && button->isDefault())
            defaults << button->objectName();
    const QStringList wanted =
        defaultButton ? QStringList{QLatin1String(defaultButton)} : QStringList();
    if (defaults != wanted)
        problems << QStringLiteral("%1: the default buttons are [%2], not [%3]")
                        .arg(where, defaults.join(u' '), wanted.join(u' '));

    QList<QString> keyed;
    for (const QWidget *w : controls) {
        if (const auto *button = qobject_cast<const QAbstractButton *>(w))
            keyed << button->text();
        else if (const auto *label = qobject_cast<const QLabel *>(w); label && label->buddy())
            keyed << label->text();
    }
    for (const QGroupBox *group : window->findChildren<QGroupBox *>())
        if (group->window() == window && group->isVisibleTo(window))
            keyed << group->title();
    checkAccessKeys(where, keyed, problems);
    for (const QMenu *menu : window->findChildren<QMenu *>()) {
        QList<QString> items;
        for (const QAction *item : menu->actions())
            if (item->isVisible() && !item->isSeparator())
                items << item->text();
        checkAccessKeys(where + u'/' + nameOf(menu), items, problems);
    }
    return problems;
}
