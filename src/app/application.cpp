#include "app/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <exception>
#include <unistd.h>

#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/core/history_run.h"
#include "app/core/print_run.h"
#include "app/main_window.h"
#include "platform/fonts.h"
#include "platform/line_edit_accessible.h"
#include "platform/message_box.h"

MainWindow* createTickwellWindows() {
    // Before the first box: every line edit of the windows and their dialogs reads through it.
    LineEditAccessible::install();
    return new MainWindow;
}

static void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

namespace {
// --print and --history under a core application: no display is asked for and no widget is made.
int runPrintFromCommandLine(int& argc, char** argv, const CommandLine& line) {
    QCoreApplication app(argc, argv);
    app.setApplicationName("Tickwell");
    if (!line.serverComplaint.isEmpty())
        std::fprintf(stderr, "tickwell: %s\n", qPrintable(line.serverComplaint));
    if (!line.historySymbol.isEmpty())
        return runHistory({line.historySymbol, line.historyKind, line.historyFrom, line.historyTo, line.server,
                           line.format == "json"});
    PrintRequest request;
    request.portfolioPath =
        line.portfolio.isEmpty() ? defaultPrintPortfolio() : QFileInfo(line.portfolio).absoluteFilePath();
    request.server = line.server;
    request.realTime = line.realTime;
    const bool terminal = isatty(STDOUT_FILENO);
    const QString format = line.format.isEmpty() ? (terminal ? "table" : "csv") : line.format;
    request.format = format == "table"  ? PrintRequest::Format::Table
                     : format == "json" ? PrintRequest::Format::Json
                                        : PrintRequest::Format::Csv;
    request.colour = terminal;
    request.watchSeconds = line.watchSeconds;
    return runPrint(request);
}

// Qt aborts when its window system has no display to connect to. The X11 and Wayland
// platforms (Qt's choice when none is named) need one; the others (offscreen, vnc, ...) do not.
bool displayMissing(const CommandLine& line) {
    QString platform = line.platform;
    if (platform.isEmpty())
        platform = QString::fromLocal8Bit(qgetenv("QT_QPA_PLATFORM"));
    const bool needsDisplay = platform.isEmpty() || platform.startsWith("xcb") || platform.startsWith("wayland");
    return needsDisplay && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}
} // namespace

int runTickwell(int& argc, char** argv, const std::function<void(MainWindow&)>& started) {
    // Everything on the command line is checked before a window system is asked for.
    const CommandLine line = readCommandLine(commandLineArguments(argc, argv));
    if (line.action == CommandLine::Action::Exit)
        return printCommandLineAnswer(line);
    if (line.print || !line.historySymbol.isEmpty())
        return runPrintFromCommandLine(argc, argv, line);
    if (displayMissing(line)) {
        std::fputs("tickwell: the window needs a display, and neither DISPLAY nor WAYLAND_DISPLAY is set.\n"
                   "tickwell --print [PORTFOLIO] prints the quotes without one.\n",
                   stderr);
        return 1;
    }
    // The application object outlives the loop on purpose: workers still running when the
    // main window closes are neither stopped nor awaited, so nothing they may still hand to
    // the window thread is torn down under them; the caller ends the process.
    auto* app = new QApplication(argc, argv);
    app->setApplicationName("Tickwell");
    app->setApplicationVersion(TICKWELL_VERSION);
    // Links the window to the installed desktop entry (and its icon) on the desktop.
    QGuiApplication::setDesktopFileName(DesktopId);
    installFontSubstitutions();
    try {
        MainWindow* window = createTickwellWindows();
        window->useServer(line.server);
        if (!line.portfolio.isEmpty())
            window->startWithPortfolio(QFileInfo(line.portfolio).absoluteFilePath());
        centreOnScreen(window);
        window->show();
        if (!line.serverComplaint.isEmpty())
            messageBox(line.serverComplaint, "Attention");
        if (started)
            started(*window);
        app->exec();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::Critical, "Tickwell", QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
        box.exec();
    }
    return 0;
}
