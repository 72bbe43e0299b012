#include "app/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <exception>

#include "app/form_quote.h"
#include "help/about_window.h"
#include "help/help_text_window.h"
#include "help/help_texts.h"
#include "platform/core/quote_server.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "portfolio/create_portfolio_dialog.h"

void CreateTickwellWindows() {
    FormQuote = new TFormQuote;
    HelpAddSym = new HelpTextWindow(AddSymbolsHelp);
    HelpRefresh = new HelpTextWindow(RefreshHelp);
    HelpAutoSort = new HelpTextWindow(AutoSortHelp);
    AboutForm = new AboutWindow;
    CreatePort1 = new CreatePortfolioDialog(FormQuote);
}

static void centreOnScreen(QWidget* window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window->move(frame.topLeft());
    }
}

int RunTickwell(int& argc, char** argv, const std::function<void()>& started) {
    // The application object outlives the loop on purpose: workers still running when the
    // main window closes are neither stopped nor awaited, so nothing they may still hand to
    // the window thread is torn down under them; the caller ends the process.
    auto* app = new QApplication(argc, argv);
    app->setApplicationName("Tickwell");
    installFontSubstitutions();
    const std::string serverComplaint = loadQuoteServerFromEnvironment();
    try {
        CreateTickwellWindows();
        centreOnScreen(FormQuote);
        FormQuote->show();
        if (!serverComplaint.empty())
            MessageBox(QString::fromLocal8Bit(serverComplaint.c_str()), "Attention");
        if (started)
            started();
        app->exec();
    } catch (const std::exception& error) {
        QMessageBox box(QMessageBox::Critical, "Tickwell", QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
        box.exec();
    }
    return 0;
}
