#pragma once

#include <QString>

// The few things that differ between operating systems.
namespace platform {

// The short (8.3) form of an existing folder, ending with the native separator;
// empty when the folder does not exist. Only Windows has short names: elsewhere
// an existing folder is its own short form.
QString shortFolder(const QString &folder);

// True where the system reaches other machines' shares through UNC paths.
bool hasUncPaths();

} // namespace platform
