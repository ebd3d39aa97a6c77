#pragma once

// Small helpers the window tests share: files made on the spot, the texts of a
// list, the windows still on the screen, and the version the program shows.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QStringList>
#include <QWidget>

namespace testHelpers {

// Writes `bytes` to `path` (an empty file when none); false when it cannot.
inline bool writeFile(const QString &path, const QByteArray &bytes = {})
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// The object names of the top-level windows still visible (none: an empty list).
inline QStringList visibleWindows()
{
    QStringList names;
    for (QWidget *window : QApplication::topLevelWidgets())
        if (window->isVisible())
            names << (window->objectName().isEmpty() ? window->metaObject()->className() : window->objectName());
    return names;
}

inline QString versionText()
{
    return QStringLiteral("Version %1.%2.%3").arg(QUORVEX_VERSION_MAJOR).arg(QUORVEX_VERSION_MINOR).arg(QUORVEX_VERSION_PATCH);
}

} // namespace testHelpers
