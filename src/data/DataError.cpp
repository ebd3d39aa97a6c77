#include "DataError.h"

namespace DataError {

QString standardMessage(int number)
{
    switch (number) {
    case NoCurrentRecord:
        return QStringLiteral("There is no current record. Move to a record first, then try again.");
    case UpdateWithoutEdit:
        return QStringLiteral("There is no pending change to save. Start an edit or a new record first.");
    case DuplicateKey:
        return QStringLiteral("The record was not saved because another record already has the same key. "
                              "Change the value and save again.");
    case FileNotFound:
        return QStringLiteral("The database file could not be found. Check the database folder, "
                              "or make a new database with quorvex-db.");
    case CannotOpenFile:
        return QStringLiteral("The database file could not be opened. Check that it exists and that you "
                              "may read it, then try again.");
    case RecordDeleted:
        return QStringLiteral("This record was deleted, probably by another workstation. Your changes were "
                              "not saved; move to another record.");
    case WriteConflict:
        return QStringLiteral("Another workstation changed this record after you started editing it. Your "
                              "changes were not saved; press Esc to reload the record, then type your changes "
                              "again.");
    case Locked:
        return QStringLiteral("The database is busy: another workstation is writing to it. Nothing was "
                              "saved; wait a moment and try again.");
    case ReadOnly:
        return QStringLiteral("The database file is read-only, so nothing can be changed. Ask for write "
                              "permission on the file and its folder, then try again.");
    case UnrecognizedFormat:
        return QStringLiteral("The file is not a Quorvex database. Make a new database with quorvex-db "
                              "create, or choose the right file.");
    case SyntaxError:
        return QStringLiteral("The search or filter text could not be understood. Check the field name, the "
                              "quotes and the operators, then try again.");
    case UnknownField:
        return QStringLiteral("The field named is not part of this record. Choose one of the listed fields.");
    case TypeMismatch:
        return QStringLiteral("The value does not fit the field (for example text in a number, amount or "
                              "date field). Correct it and try again.");
    case UnknownSource:
        return QStringLiteral("The database has no table or query of that name.");
    case InvalidArgument:
        return QStringLiteral("The position or bookmark given does not refer to a record of this list.");
    case ObjectClosed:
        return QStringLiteral("The record list has been closed. Open it again, then try again.");
    case ServerUnreachable:
        return QStringLiteral("The database server cannot be reached (it was restarted, or the network is down). "
                              "Nothing was saved and what you typed is kept; wait until the server is back, then "
                              "try again.");
    case LoginRefused:
        return QStringLiteral("The database server refused the login: the password was not accepted. Check the "
                              "user name and the password, then try again.");
    case Generic:
        return QStringLiteral("The database reported an error. Nothing was changed; try again.");
    default:
        return QStringLiteral("Reserved error (%1); there is no message for this error.").arg(number);
    }
}

AppError make(int number, const QString &detail)
{
    QString text = standardMessage(number);
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + QLatin1Char(')');
    return AppError(number, QString::fromLatin1(Source), text);
}

AppError makeWithText(int number, const QString &text)
{
    return AppError(number, QString::fromLatin1(Source), text);
}

AppError locked(const QString &whatDidNotHappen)
{
    return makeWithText(Locked, QStringLiteral("The database is busy: another workstation is writing to it. %1 "
                                               "Wait a moment and try again.")
                                    .arg(whatDidNotHappen));
}

AppError lockedAs(const AppError &error, const QString &whatDidNotHappen)
{
    return error.number() == Locked ? locked(whatDidNotHappen) : error;
}

} // namespace DataError
