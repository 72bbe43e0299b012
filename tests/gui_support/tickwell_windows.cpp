#include "gui_support/tickwell_windows.h"

#include <QApplication>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTimerEvent>

#include "app/application.h"
#include "app/main_window.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/open_dialog.h"
#include "platform/url_opener.h"

namespace {
MainWindow* mainWindow = nullptr;

// Where choices are remembered ($XDG_CONFIG_HOME): never what another run or the user left.
QString configHome() {
    static QTemporaryDir home;
    return home.path();
}
} // namespace

QWidget& tickwellWindow() {
    if (!mainWindow) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
        installFontSubstitutions();
        MessageBoxSeam::answerInTests();
        OpenDialogSeam::answerInTests();
        UrlOpenerSeam::recordInTests();
        mainWindow = createTickwellWindows();
    }
    return *mainWindow;
}

QWidget& restartTickwell() {
    delete &tickwellWindow();
    mainWindow = createTickwellWindows();
    return *mainWindow;
}

QString settingsFile() {
    return configHome() + "/tickwell/tickwell.conf";
}

QWidget* findWindow(const QString& nameOrTitle) {
    tickwellWindow();
    QWidget* found = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMenu*>(window) ||
            (window->objectName() != nameOrTitle && window->windowTitle() != nameOrTitle))
            continue;
        if (found)
            qFatal("two windows are named or titled \"%s\"", qPrintable(nameOrTitle));
        found = window;
    }
    return found;
}

namespace {
// Every object below root named name, without entering the other windows root owns (its
// dialogs); the popup menus of its menu bar are part of it.
void collect(QObject* root, const QString& name, QList<QObject*>& found) {
    for (QObject* child : root->children()) {
        const auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isWindow() && !qobject_cast<const QMenu*>(widget))
            continue;
        if (child->objectName() == name)
            found << child;
        collect(child, name, found);
    }
}

QObject* findIn(QWidget* window, const QString& name) {
    if (!window)
        return nullptr;
    if (window->objectName() == name)
        return window;
    QList<QObject*> found;
    collect(window, name, found);
    if (found.size() > 1)
        qFatal("%lld objects are named \"%s\" in the window \"%s\"", qlonglong(found.size()), qPrintable(name),
               qPrintable(window->objectName()));
    return found.value(0);
}
} // namespace

QObject* findControl(const QString& name) {
    return findIn(&tickwellWindow(), name);
}

QObject* findControl(const QString& window, const QString& name) {
    return findIn(findWindow(window), name);
}

void noSuchControl(const QString& window, const QString& name, const char* kind) {
    qFatal("no control \"%s\" of kind %s in the window \"%s\"", qPrintable(name), kind,
           qPrintable(window.isEmpty() ? tickwellWindow().objectName() : window));
}

bool showTab(const QString& page) {
    auto* pages = control<QTabWidget>("PgC1");
    const int index = pages->indexOf(control(page));
    QTabBar* tabs = pages->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    return index >= 0 && pages->currentIndex() == index;
}

bool tickRefreshTimer(const QString& name) {
    auto* timer = control<QTimer>(name);
    if (!timer->isActive())
        return false;
    QTimerEvent timeout(timer->timerId());
    QCoreApplication::sendEvent(timer, &timeout);
    return true;
}

namespace {
OpenDialog* openDialog(const QString& name) {
    tickwellWindow();
    for (OpenDialog* dialog : mainWindow->openDialogs())
        if (dialog->objectName() == name)
            return dialog;
    noSuchControl(QString(), name, "OpenDialog");
}
} // namespace

QString openDialogFilter(const QString& dialog) {
    return OpenDialog::qtFilter(openDialog(dialog)->filter());
}

QString openDialogLastFile(const QString& dialog) {
    return openDialog(dialog)->fileName();
}
