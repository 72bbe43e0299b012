#include "quotes/quote_load.h"

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <memory>

#include "app/form_quote.h"
#include "net/core/batch_fetch.h"
#include "parsing/batch_path.h"
#include "platform/core/socket_library.h"
#include "platform/message_box.h"
#include "platform/rich_edit.h"
#include "platform/status_bar.h"
#include "platform/t_thread.h"
#include "portfolio/core/portfolio_rules.h"
#include "quotes/core/pending_data_file.h"

namespace {
// Every fifth batch from the tenth on, the socket library is restarted and the data file
// reopened for appending.
bool isReopenBatch(int batch) {
    return batch >= 10 && batch <= 40 && batch % 5 == 0;
}

class LoadRun {
public:
    LoadRun(const QuoteLoadTab& tab, const QuoteLoadRequest& request) : tab_(tab), request_(request) {}
    void run();

private:
    bool start();
    void requestBatches();
    void normalEnd();
    void lostConnection();

    // Status texts: set from the worker (without waiting) or on the window thread. Steps handed
    // over without waiting capture values only: they may run after this load object is gone.
    void showStatus(const QString& text) const {
        OnWindowThread([status = tab_.status, text] { (FormQuote->*status)->setSimpleText(text); });
    }
    void showStatusNow(const char* text) const {
        TThread::Synchronize([this, text] { (FormQuote->*tab_.status)->setSimpleText(text); });
    }
    void enableControls() const {
        OnWindowThread([mirror = tab_.mirror, button = tab_.button] {
            (FormQuote->*mirror)->setEnabled(true);
            (FormQuote->*button)->setEnabled(true);
        });
    }
    // The load is over: "Get Quotes" (button or timer) may start the next one.
    void endLoad() const {
        OnWindowThread([loading = tab_.loading] { FormQuote->*loading = false; });
    }
    void closePortfolio() {
        if (portfolio_)
            std::fclose(portfolio_);
        portfolio_ = nullptr;
    }
    QString doneText(bool dataWritten) const;

    const QuoteLoadTab& tab_;
    const QuoteLoadRequest request_;
    std::unique_ptr<char[]> reply_;
    FILE* portfolio_ = nullptr;
    std::unique_ptr<PendingDataFile> data_;
    int listed_ = 0;         // symbols the portfolio lists, up to its first empty line
    std::string lostReason_; // why the connection was lost; empty while it was not
};

bool LoadRun::start() {
    reply_ = std::make_unique<char[]>(ReplyBufferSize);
    OnWindowThread([button = tab_.button] { (FormQuote->*button)->setEnabled(false); });
    TThread::Synchronize([this] { (FormQuote->*tab_.mirror)->clear(); });

    const QByteArray name = QFile::encodeName(request_.portfolioPath);
    portfolio_ = openPortfolio(name.constData());
    if (!portfolio_) {
        const QString why = request_.portfolioPath + ": " + QString::fromLocal8Bit(std::strerror(errno));
        TThread::Synchronize([why] { MessageBox("File in use by another application.\n" + why, "Alter"); });
        OnWindowThread([button = tab_.button] { (FormQuote->*button)->setEnabled(true); });
        return false;
    }
    OnWindowThread([portfolio = tab_.portfolio] { (FormQuote->*portfolio)->setFocus(); });
    data_ = std::make_unique<PendingDataFile>(dataFileName(name.toStdString(), tab_.dataSuffix));
    SocketLibraryStart();
    SymbolTable& table = *tab_.table;
    const int stored = readPortfolioSymbols(portfolio_, table.symbols, table.lengths);
    listed_ = listedSymbolCount(portfolio_, table.symbols, stored);
    // A new load's rows start at 0, set on the window thread, which reads them.
    TThread::Synchronize([&table] { table.rowsLoaded = 0; });
    return true;
}

void LoadRun::requestBatches() {
    SymbolTable& table = *tab_.table;
    int& batch = table.batch;
    for (batch = 0; batch <= tab_.lastBatch; ++batch) {
        if (isReopenBatch(batch)) {
            SocketLibraryRelease();
            data_->reopenForAppend();
            SocketLibraryStart();
        }
        std::string path;
        const BatchPlan plan = buildBatchPath(table.symbols, table.lengths, batch, tab_.queryKey, path,
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
            const BatchReply reply =
                fetchBatch(request_.host, request_.port, path, reply_.get(), ReplyBufferSize, steps);
            if (!reply.ok) {
                lostReason_ = reply.reason;
                return;
            }
            length = reply.length;
        }
        // A batch of symbols that may not be requested is parsed as an empty reply: each of
        // its symbols gets a "symbol not found" row.
        bool endOfList = false;
        char* reply = reply_.get();
        FILE* data = data_->stream();
        TThread::Synchronize([&] { endOfList = tab_.parse(reply, length, data); });
        if (endOfList)
            return;
    }
}

// "Done getting quotes", and in brackets what the user would otherwise not learn: symbols
// left out, an empty portfolio, a data file that could not be written.
QString LoadRun::doneText(bool dataWritten) const {
    QStringList notes;
    const int capacity = (tab_.lastBatch + 1) * SymbolsPerBatch;
    if (listed_ == 0)
        notes << "portfolio is empty";
    else if (listed_ > capacity)
        notes << QString("first %1 of %2 symbols").arg(capacity).arg(listed_);
    if (!dataWritten)
        notes << "data file not written: " + QString::fromLocal8Bit(data_->error().c_str());
    return notes.isEmpty() ? QString("Done getting quotes") : "Done getting quotes (" + notes.join("; ") + ")";
}

void LoadRun::normalEnd() {
    SocketLibraryRelease();
    closePortfolio();
    const bool dataWritten = data_->commit();
    if (tab_.count)
        tab_.count();
    enableControls();
    const QString text = doneText(dataWritten);
    TThread::Synchronize([&] { tab_.complete(text); });
    reply_.reset();
}

void LoadRun::lostConnection() {
    // No completion: the rows parsed so far stay, the counts stay empty, and the data file
    // of the last load that ended normally stays as it was.
    showStatus("Connection lost...Reload quotes (" + QString::fromLocal8Bit(lostReason_.c_str()) + ")");
    SocketLibraryRelease();
    closePortfolio();
    data_.reset();
    enableControls();
    reply_.reset();
}

void LoadRun::run() {
    if (start()) {
        requestBatches();
        if (lostReason_.empty())
            normalEnd();
        else
            lostConnection();
    }
    endLoad();
}
} // namespace

void RunQuoteLoad(const QuoteLoadTab& tab, const QuoteLoadRequest& request) {
    LoadRun(tab, request).run();
}
