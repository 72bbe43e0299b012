#include "net/quote_load.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "app/form_quote.h"
#include "net/core/batch_fetch.h"
#include "net/core/quote_fetch.h"
#include "net/core/quote_request.h"
#include "platform/core/quote_server.h"
#include "platform/core/socket_library.h"
#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/t_thread.h"
#include "portfolio/core/portfolio_rules.h"

namespace {
// Every fifth batch from the tenth on, the socket library is restarted and the data file
// reopened for appending.
bool isReopenBatch(int batch)
{
    return batch >= 10 && batch <= 40 && batch % 5 == 0;
}

class LoadRun {
public:
    explicit LoadRun(const QuoteLoadTab& tab) : tab_(tab) {}
    void run();

private:
    bool start();
    void requestBatches();
    void normalEnd();
    void lostConnection();

    // Status texts: set from the worker (without waiting) or on the window thread. Steps handed
    // over without waiting capture values only: they may run after this load object is gone.
    void showStatus(const char* text) const
    {
        OnWindowThread([status = tab_.status, text] { (FormQuote->*status)->setSimpleText(text); });
    }
    void showStatusNow(const char* text) const
    {
        TThread::Synchronize([this, text] { (FormQuote->*tab_.status)->setSimpleText(text); });
    }
    void enableControls() const
    {
        OnWindowThread([mirror = tab_.mirror, button = tab_.button] {
            (FormQuote->*mirror)->setEnabled(true);
            (FormQuote->*button)->setEnabled(true);
        });
    }
    // The load is over: "Get Quotes" (button or timer) may start the next one.
    void endLoad() const
    {
        OnWindowThread([loading = tab_.loading] { FormQuote->*loading = false; });
    }
    void closeFiles()
    {
        if (data_)
            std::fclose(data_);
        if (portfolio_)
            std::fclose(portfolio_);
        data_ = portfolio_ = nullptr;
    }

    const QuoteLoadTab& tab_;
    std::unique_ptr<char[]> reply_;
    FILE* portfolio_ = nullptr;
    FILE* data_ = nullptr;
    std::string dataName_;
    std::string host_;
    int port_ = 80;
    bool lost_ = false;
};

bool LoadRun::start()
{
    reply_ = std::make_unique<char[]>(ReplyBufferSize);
    OnWindowThread([button = tab_.button] { (FormQuote->*button)->setEnabled(false); });
    TThread::Synchronize([this] { (FormQuote->*tab_.mirror)->clear(); });

    QByteArray name;
    TThread::Synchronize([&] { name = (FormQuote->*tab_.portfolio)->text().toLocal8Bit(); });
    portfolio_ = std::fopen(name.constData(), "r+");
    if (!portfolio_) {
        TThread::Synchronize([] { MessageBox("File in use by another application.", "Alter"); });
        OnWindowThread([button = tab_.button] { (FormQuote->*button)->setEnabled(true); });
        return false;
    }
    OnWindowThread([portfolio = tab_.portfolio] { (FormQuote->*portfolio)->setFocus(); });
    dataName_ = dataFileName(name.toStdString(), tab_.dataSuffix);
    data_ = std::fopen(dataName_.c_str(), "w"); // without it the rows still show
    SocketLibraryStart();
    host_ = QuoteServerHost;
    port_ = QuoteServerPort;
    *tab_.symbolCount = readPortfolioSymbols(portfolio_, tab_.symbols, tab_.symbolLengths);
    TThread::Synchronize(tab_.resetRows);
    return true;
}

void LoadRun::requestBatches()
{
    int& batch = *tab_.batch;
    for (batch = 0; batch <= tab_.lastBatch; ++batch) {
        if (isReopenBatch(batch)) {
            SocketLibraryRelease();
            if (data_)
                std::fclose(data_);
            data_ = std::fopen(dataName_.c_str(), "a");
            SocketLibraryStart();
        }
        std::string path;
        const BatchPlan plan = buildBatchPath(tab_.symbols, tab_.symbolLengths, batch, tab_.queryKey, path,
                                              [this] { showStatusNow("Getting quotes..."); });
        if (plan == BatchPlan::EndOfList)
            return;
        int length = 0;
        if (plan == BatchPlan::Request) {
            BatchFetchSteps steps;
            if (batch == 0) {
                steps.beforeConnect = [this] { showStatus("Connecting to remote server"); };
                steps.afterSend = [this] { showStatusNow("Getting quotes..."); };
            }
            if (fetchBatch(host_, port_, path, reply_.get(), ReplyBufferSize, length, steps) ==
                FetchOutcome::ConnectionLost) {
                lost_ = true;
                return;
            }
        }
        // An unresolved name, or a batch of symbols that may not be requested, is parsed as
        // an empty reply: each of its symbols gets a "symbol not found" row.
        bool endOfList = false;
        char* reply = reply_.get();
        TThread::Synchronize([&] { endOfList = tab_.parse(reply, length, data_); });
        if (endOfList)
            return;
    }
}

void LoadRun::normalEnd()
{
    SocketLibraryRelease();
    closeFiles();
    if (tab_.count)
        tab_.count();
    enableControls();
    TThread::Synchronize(tab_.complete);
    reply_.reset();
}

void LoadRun::lostConnection()
{
    // No completion: the rows parsed so far stay, the counts stay empty.
    showStatus("Connection lost...Reload quotes");
    SocketLibraryRelease();
    closeFiles();
    enableControls();
    reply_.reset();
}

void LoadRun::run()
{
    if (start()) {
        requestBatches();
        if (lost_)
            lostConnection();
        else
            normalEnd();
    }
    endLoad();
}
} // namespace

void RunQuoteLoad(const QuoteLoadTab& tab)
{
    LoadRun(tab).run();
}
