#pragma once

#include <QString>
#include <QStringList>

// Runs the converter "util1.sp" of the program's folder, which turns the
// snapped bitmap into the attendee's JPEG, and waits for it: the window's
// events keep flowing meanwhile, and the wait ends at a time limit. The
// converter is started with an argument list, never through a shell, so
// folders with blanks need no quoting.
class PictureConverter
{
public:
    enum class Outcome { Converted, Failed, TimedOut };
    struct Result
    {
        Outcome outcome;
        QString message; // the converter's own error text when it failed
    };

    // The converter of the program's folder (ending with a separator).
    explicit PictureConverter(QString programFolder) : m_programFolder(std::move(programFolder)) {}

    // The program folder's "util1.sp".
    QString programPath() const;
    // -quality 65 -optimize <bitmap> <jpeg>
    static QStringList arguments(const QString &bitmap, const QString &jpeg);

    // Converts; throws AppError when the converter cannot be started. A
    // converter still running at the time limit is stopped (it writes through a
    // temporary file, so the earlier JPEG stays whole).
    Result run(const QString &bitmap, const QString &jpeg, int timeLimitMs) const;

private:
    QString m_programFolder;
};
