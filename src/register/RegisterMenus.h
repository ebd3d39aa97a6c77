#pragma once

class QMainWindow;

// The menu bar of the registration window: File, View, Video Options, the
// "Snap Picture" command on the bar itself, and Help. Every QAction carries its
// menu name as object name ("mnuFileNew", "mnuSpacer0", "mnuDriver_0"); the
// window connects them by name.
namespace RegisterMenus {

void build(QMainWindow *window);

} // namespace RegisterMenus
