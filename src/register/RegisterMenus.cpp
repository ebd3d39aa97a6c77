#include "RegisterMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// One line of a menu: a separator when caption is null.
struct Item
{
    const char *name;
    const char *caption;
    const char *shortcut = nullptr;
    bool checkable = false;
};

QMenu *addMenu(QMainWindow *window, const char *name, const char *caption, std::initializer_list<Item> items)
{
    QMenu *menu = window->menuBar()->addMenu(QString::fromUtf8(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    for (const Item &item : items) {
        QAction *action = nullptr;
        if (!item.caption) {
            action = menu->addSeparator();
        } else {
            action = menu->addAction(QString::fromUtf8(item.caption));
            if (item.shortcut)
                action->setShortcut(QKeySequence(QString::fromLatin1(item.shortcut)));
            action->setCheckable(item.checkable);
        }
        action->setObjectName(QString::fromLatin1(item.name));
    }
    return menu;
}

} // namespace

void RegisterMenus::build(QMainWindow *window)
{
    addMenu(window, "mnuFile", "&File",
            {{"mnuFileNew", "&New", "Ctrl+N"},
             {"mnuFileSave", "&Save", "Ctrl+S"},
             {"mnuFileDel", "&Delete", "Ctrl+D"},
             {"mnuViewAll", "Datasheet View"},
             {"mnuFind", "&Find...", "Ctrl+F"},
             {"mnuSpacer0", nullptr},
             {"mnuPreviewID", "Preview ID Card"},
             {"mnuFilePrint", "&Print ID Card", "Ctrl+P"},
             {"mnuPrintCards", "Print &Cards..."},
             {"mnuCalibrate", "Ca&librate Printer..."},
             {"mnuSpacer7", nullptr},
             {"mnuImport", "&Import Attendees..."},
             {"mnuExport", "&Export..."},
             {"mnuSpacer6", nullptr},
             {"mnuExit", "E&xit"}});
    addMenu(window, "mnuDesk", "&Desk",
            {{"mnuScan", "&Scan or Type a Name", "F3"},
             {"mnuCheckIn", "&Check In", "F8"},
             {"mnuUndoCheckIn", "&Undo Check-In"}});
    addMenu(window, "mnuView", "&View",
            {{"mnuEvent", "Event Form"}, {"mnuQRCode", "Show &QR Code on ID Card", nullptr, true}});
    QMenu *options = addMenu(window, "mnuOptions", "Video &Options",
                             {{"mnuAudioFmt", "&Audio Format"},
                              {"mnuSpacer1", nullptr},
                              {"mnuFormat", "Video &Format"},
                              {"mnuSource", "Video S&ource"},
                              {"mnuDisplay", "&Display"},
                              {"mnuSpacer2", nullptr},
                              {"mnuCompression", "&Compression"},
                              {"mnuSpacer3", nullptr},
                              {"mnuPreview", "&Preview", nullptr, true},
                              {"mnuOverlay", "&Overlay (Live)", nullptr, true},
                              {"mnuSpacer4", nullptr}});
    // The driver list: one placeholder until the capture drivers are enumerated.
    QAction *driver = options->addAction(QStringLiteral("<no video driver found>"));
    driver->setObjectName(QStringLiteral("mnuDriver_0"));
    driver->setProperty("index", 0);
    driver->setEnabled(false);
    // Live video is on until the user turns it off (the stored choice wins at start).
    if (QAction *preview = options->findChild<QAction *>(QStringLiteral("mnuPreview")))
        preview->setChecked(true);

    // "Snap Picture" is a command on the menu bar itself, without a submenu.
    QAction *snap = window->menuBar()->addAction(QStringLiteral("&Snap Picture"));
    snap->setObjectName(QStringLiteral("mnuSnap"));

    addMenu(window, "mnuHelp", "&Help", {{"mnuAbout", "About"}, {"mnuContent", "Help Content"}});
}
