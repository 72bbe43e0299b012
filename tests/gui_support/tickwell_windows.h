#pragma once
// Test fixture: the program's windows, created once per test program with every modal
// seam answered in-process, and the one way tests reach what is on them: by objectName.
// Tests never name the window classes; only this fixture knows how the windows are built.
#include <QObject>
#include <QString>
#include <QWidget>
#include <typeinfo>

// Creates the windows (once) with the message boxes, open dialogs and browser recorded, and
// returns the main window.
QWidget& tickwellWindow();

// The main window made again, as the next start makes it, with no load running; and the file
// where this test program's windows remember the user's choices (none at its start).
QWidget& restartTickwell();
QString settingsFile();

// The top-level window whose objectName or title is nameOrTitle ("FormQuote", "CreatePort1",
// "About Tickwell", "Add/Remove Symbols", ...), or nullptr.
QWidget* findWindow(const QString& nameOrTitle);

// The object with that objectName in the main window (a control, a menu item, a timer), not
// looking into the windows it owns (the Create Portfolio dialog); or nullptr.
QObject* findControl(const QString& name);
// The same inside the top-level window named or titled window.
QObject* findControl(const QString& window, const QString& name);

// As findControl, of kind T; a missing name or another kind ends the test program with a
// message naming the control, so a test never works on a null pointer.
template <typename T = QWidget> T* control(const QString& name);
template <typename T = QWidget> T* control(const QString& window, const QString& name);

// Ends the test program: no object of that kind (a type name) and name in that window.
[[noreturn]] void noSuchControl(const QString& window, const QString& name, const char* kind);

// Shows one of the main window's pages ("Quotes", "RealTime", "Historical") by a mouse click
// on its tab; true when it is the current page afterwards.
bool showTab(const QString& page);

// One timeout of the running timer with that objectName (a refresh timer of the main window),
// delivered as the timer delivers it, without waiting minutes for it. False when the timer is
// not running: a stopped timer never times out.
bool tickRefreshTimer(const QString& name);

// The main window's file-open dialogs ("OpenFile": Select Portfolio on Quotes and Edit Portfolio;
// "OpenFile1": Select Portfolio on RealTime) are no widgets until they run: their filter in Qt's
// form, and the file each chose last (where its next run starts).
QString openDialogFilter(const QString& dialog);
QString openDialogLastFile(const QString& dialog);

template <typename T> T* control(const QString& name) {
    if (auto* object = dynamic_cast<T*>(findControl(name)))
        return object;
    noSuchControl(QString(), name, typeid(T).name());
}

template <typename T> T* control(const QString& window, const QString& name) {
    if (auto* object = dynamic_cast<T*>(findControl(window, name)))
        return object;
    noSuchControl(window, name, typeid(T).name());
}
