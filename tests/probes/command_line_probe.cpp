// Tickwell started as the user starts it, given the same command line; once the window shows,
// "Get Quotes" is clicked on the Quotes tab. Prints both tabs' portfolio and the load's status,
// then closes the window.
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/application.h"
#include "app/main_window.h"
#include "platform/status_line.h"
#include "quotes/quotes_tab.h"

int main(int argc, char** argv) {
    const int code = runTickwell(argc, argv, [](MainWindow& window) {
        QTimer::singleShot(0, &window, [&window] {
            std::printf("portfolios: %s, %s\n", qPrintable(window.findChild<QLineEdit*>("Portfolio")->text()),
                        qPrintable(window.findChild<QLineEdit*>("Portfolio1")->text()));
            QTest::mouseClick(window.findChild<QPushButton*>("BtnQuote"), Qt::LeftButton);
            if (!QTest::qWaitFor([&window] { return !window.quotesTab().loadFlagged(); }, 20000))
                std::printf("the load did not end\n");
            std::printf("status: %s\n", qPrintable(window.findChild<StatusLine*>("StatusBar1")->simpleText()));
            window.close();
        });
    });
    std::fflush(nullptr);
    std::_Exit(code);
}
