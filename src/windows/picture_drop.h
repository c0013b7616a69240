// Pictures dropped on a window from a file manager: one local file at a time.
#pragma once

#include <QString>

#include <functional>

class QWidget;

// Makes window take drops of a single local file: take(path) is called with it. Any file is
// offered to take, which reads it by content; a drop of several files, or of something that is not
// a local file, is refused while it is dragged.
void AcceptPictureDrops(QWidget *window, std::function<void(const QString &path)> take);
