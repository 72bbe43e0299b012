// Times one delayed load of the portfolio in the current folder through the main window:
// "Get Quotes" clicked, until the load has ended. Usage: bench_load PORT
// (TICKWELL_QUOTE_SERVER is not read here: the port is the bundled server's on 127.0.0.1).
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/application.h"
#include "app/form_quote.h"
#include "parsing/quote_table.h"
#include "platform/core/quote_server.h"
#include "platform/fonts.h"
#include "platform/message_box.h"
#include "platform/status_bar.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_load PORT\n");
        return 2;
    }
    QApplication app(argc, argv);
    installFontSubstitutions();
    MessageBoxSeam::answerInTests();
    QuoteServerHost = "127.0.0.1";
    QuoteServerPort = std::atoi(argv[1]);
    CreateTickwellWindows();
    FormQuote->show();

    QElapsedTimer clock;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (FormQuote->QuotesLoading)
            return;
        std::printf("rows %d, status \"%s\", %.3f s\n", QuoteTable.rowsLoaded,
                    FormQuote->StatusBar1->SimpleText().toLatin1().constData(), clock.nsecsElapsed() / 1e9);
        app.quit();
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        FormQuote->BtnQuoteClick();
        poll.start(1);
    });
    app.exec();
    std::fflush(nullptr);
    std::_Exit(0);
}
