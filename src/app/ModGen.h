#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QUrl;
class QWidget;

// The program's shared procedures and process-wide variables.
// Folders that the program builds end with the native separator.
namespace modGen {

// The program's folder (ending with a separator), set by the main window's load.
QString &appFolder();
// The database folder (ending with a separator), or empty; set by locateDatabase().
QString &dbFolder();
// True while the find dialog is shown.
bool &findOpen();

// The database file name every consumer uses: dbFolder() + "Quorvex.mdb".
QString databaseFile();
inline constexpr const char *DatabaseFileName = "Quorvex.mdb";

// Creates the last level of `path` when nothing is there; raises failures
// again with the source "Create Folder".
void ensureFolder(const QString &path);
// The computer name, trimmed, without NUL characters; empty when unknown.
QString getMachineName();
// Waits `ms` milliseconds without spinning the processor, letting window events run.
void pause(qint32 ms);
// True when the length of the file can be read.
bool fileExists(const QString &path);
// The folder part in its short form plus the name part; empty when the folder
// does not exist. Short (8.3) names exist only on Windows; elsewhere the folder
// itself is its short form.
QString getShortPath(const QString &path);
// Up to and including the last separator ('\' or '/'); the whole path when it has none.
QString getFolderPart(const QString &path);
// After the last separator; the whole path when it has none.
QString getFilePart(const QString &path);
// Opens a document or link with the desktop; shows the "Warning" box on failure.
// Returns a value above 32 on success, else an error number (2: file not found,
// 31: no application is associated with it).
int openDocument(const QString &document, const QString &verb);
// "Version 1.2.3": the program's version as the splash and About windows show it.
QString versionText();

// The maker's support address, named in the failure box and the About window's link.
inline constexpr const char *SupportAddress = "support@quorvex.example";

// What openDocument() hands the document to: true when an application took it.
// The default is QDesktopServices::openUrl; tests set their own so that no real
// program is started. An empty function restores the default.
using DocumentOpener = std::function<bool(const QUrl &url, const QString &verb)>;
void setDocumentOpener(DocumentOpener opener);

// Draws the percentage bar of the start-up into `box` (see ProgressBox).
void showProgress(QWidget *box, float fraction, bool exact = false);
// Resets the mouse pointer, closes the find dialog when open and every window.
void closeAllForms();
// Finds the folder of the database (see DatabaseLocator); false when the user gave up.
bool locateDatabase();

// A path with the stored form's backslashes turned into native separators.
QString toNativePath(const QString &storedPath);

} // namespace modGen
