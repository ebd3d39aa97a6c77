#pragma once

#include <QString>
#include <QStringList>

class AppContext;

// The program's shared procedures. What they share (the database and program
// folders, the find dialog's flag) is the AppContext the windows are given.
// Folders that the program builds end with the native separator.
namespace modGen {

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
// Opens a document or link with the context's desktop; shows the "Warning" box
// on failure. Returns a value above 32 on success, else an error number (2: file
// not found, 31: no application is associated with it).
int openDocument(const AppContext &context, const QString &document, const QString &verb);
// "Version 1.2.3": the program's version as the splash and About windows show it.
QString versionText();

// The maker's support address, named in the failure box and the About window's link.
inline constexpr const char *SupportAddress = "support@quorvex.example";

// Resets the mouse pointer, closes the find dialog when open and every window.
void closeAllForms(AppContext &context);

// A path with the stored form's backslashes turned into native separators.
QString toNativePath(const QString &storedPath);

} // namespace modGen
