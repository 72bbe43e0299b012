#include "app/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <cstring>
#include <exception>
#include <unistd.h>

#include "app/app_icon.h"
#include "app/command_line.h"
#include "app/core/history_run.h"
#include "app/core/print_run.h"
#include "app/main_window.h"
#include "platform/fonts.h"
#include "platform/message_box.h"

MainWindow* CreateTickwellWindows() {
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
// --help and --version need no display: they are answered before the window system is asked.
// What follows "--" is a portfolio, and what follows --server is its value, whatever they look like.
bool asksOnlyForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--server") == 0 || std::strcmp(argv[i], "--format") == 0 ||
            std::strcmp(argv[i], "--watch") == 0 || std::strcmp(argv[i], "--history") == 0 ||
            std::strcmp(argv[i], "--kind") == 0 || std::strcmp(argv[i], "--from") == 0 ||
            std::strcmp(argv[i], "--to") == 0)
            ++i;
        else
            for (const char* option : {"-h", "--help", "-v", "--version"})
                if (std::strcmp(argv[i], option) == 0)
                    return true;
    }
    return false;
}

// --print under a core application: no display is asked for and no widget is made.
int RunPrintFromCommandLine(int& argc, char** argv) {
    QCoreApplication app(argc, argv);
    app.setApplicationName("Tickwell");
    const CommandLine line = ReadCommandLine(app.arguments());
    if (line.action == CommandLine::Action::Exit)
        return PrintCommandLineAnswer(line);
    if (!line.serverComplaint.isEmpty())
        std::fprintf(stderr, "tickwell: %s\n", qPrintable(line.serverComplaint));
    if (!line.historySymbol.isEmpty())
        return RunHistory({line.historySymbol, line.historyKind, line.historyFrom, line.historyTo, line.server,
                           line.format == "json"});
    PrintRequest request;
    request.portfolioPath =
        line.portfolio.isEmpty() ? DefaultPrintPortfolio() : QFileInfo(line.portfolio).absoluteFilePath();
    request.server = line.server;
    request.realTime = line.realTime;
    const bool terminal = isatty(STDOUT_FILENO);
    const QString format = line.format.isEmpty() ? (terminal ? "table" : "csv") : line.format;
    request.format = format == "table"  ? PrintRequest::Format::Table
                     : format == "json" ? PrintRequest::Format::Json
                                        : PrintRequest::Format::Csv;
    request.colour = terminal;
    request.watchSeconds = line.watchSeconds;
    return RunPrint(request);
}
} // namespace

int RunTickwell(int& argc, char** argv, const std::function<void(MainWindow&)>& started) {
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication app(argc, argv);
        return PrintCommandLineAnswer(ReadCommandLine(app.arguments()));
    }
    if (AsksToPrint(argc, argv))
        return RunPrintFromCommandLine(argc, argv);
    // The application object outlives the loop on purpose: workers still running when the
    // main window closes are neither stopped nor awaited, so nothing they may still hand to
    // the window thread is torn down under them; the caller ends the process.
    auto* app = new QApplication(argc, argv);
    app->setApplicationName("Tickwell");
    app->setApplicationVersion(TICKWELL_VERSION);
    // Links the window to the installed desktop entry (and its icon) on the desktop.
    QGuiApplication::setDesktopFileName(DesktopId);
    // Qt has taken its own options (-platform, -style, ...) out of the arguments by now.
    const CommandLine line = ReadCommandLine(app->arguments());
    if (line.action == CommandLine::Action::Exit)
        return PrintCommandLineAnswer(line);
    installFontSubstitutions();
    try {
        MainWindow* window = CreateTickwellWindows();
        window->useServer(line.server);
        if (!line.portfolio.isEmpty())
            window->startWithPortfolio(QFileInfo(line.portfolio).absoluteFilePath());
        centreOnScreen(window);
        window->show();
        if (!line.serverComplaint.isEmpty())
            MessageBox(line.serverComplaint, "Attention");
        if (started)
            started(*window);
        app->exec();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::Critical, "Tickwell", QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
        box.exec();
    }
    return 0;
}
