#include "load/core/quote_load.h"

#include <QFile>
#include <QStringList>
#include <memory>

#include "load/core/pending_data_file.h"
#include "load/core/portfolio_rules.h"
#include "load/core/view_calls.h"
#include "net/core/batch_fetch.h"
#include "parsing/batch_path.h"
#include "platform/core/worker_thread.h"

namespace {
// Every fifth batch from the tenth on, the data file is reopened for appending.
bool isReopenBatch(int batch) {
    return batch >= 10 && batch <= 40 && batch % 5 == 0;
}

// "1 symbol", "2 symbols".
QString symbolCount(int count) {
    return QString("%1 %2").arg(count).arg(count == 1 ? "symbol" : "symbols");
}

// The symbols of slots first to last - 1 that a load asks for: those up to the end of the list
// that the page patterns can place.
int requestedIn(const SymbolTable& table, int first, int last) {
    int count = 0;
    for (int i = first; i < last && i < QuoteTableCapacity && !isEndOfSymbols(table.symbols[i]); ++i)
        count += isPlaceableSymbol(table.symbols[i], table.lengths[i]) ? 1 : 0;
    return count;
}

class LoadRun {
public:
    LoadRun(const QuoteLoadKind& kind, const QuoteLoadRequest& request)
        : kind_(kind), request_(request), view_(std::make_shared<ViewCalls>(request.view)),
          table_(std::make_unique<SymbolTable>()) {
        table_->searchStart = request.searchStart;
    }
    void run();

private:
    bool readPortfolio(); // false when the portfolio cannot be opened
    void requestBatches();
    void normalEnd();
    void lostConnection();

    // Hands a view call to the window thread without waiting. Values are captured by copy:
    // the call may run after this load object is gone (the view outlives the load).
    template <typename Call> void tell(Call call) const { view_->post(call); }
    void showStatus(const QString& text) const {
        tell([text](QuoteLoadView& view) { view.showStatus(text); });
    }
    // "Getting quotes... (400 of 2000 symbols)": how far a long load is.
    QString gettingQuotesText() const {
        const QString text = "Getting quotes...";
        return toRequest_ == 0 ? text : text + QString(" (%1 of %2)").arg(requested_).arg(symbolCount(toRequest_));
    }

    void closePortfolio() { portfolio_.reset(); }
    QString doneText(bool dataWritten) const;

    const QuoteLoadKind& kind_;
    const QuoteLoadRequest request_;
    const std::shared_ptr<ViewCalls> view_;
    const std::unique_ptr<SymbolTable> table_; // this load's symbols and where its parse stands
    std::unique_ptr<char[]> reply_;
    OwnedFile portfolio_;
    std::unique_ptr<PendingDataFile> data_;
    PortfolioListing listing_; // the symbols up to the portfolio's first empty line, and below it
    int notFound_ = 0;         // "symbol not found" rows of this load
    int toRequest_ = 0;        // symbols this load asks for
    int requested_ = 0;        // of these, the ones whose page has come
    std::string lostReason_;   // why the connection was lost; empty while it was not
};

bool LoadRun::readPortfolio() {
    reply_ = std::make_unique<char[]>(ReplyBufferSize);
    tell([](QuoteLoadView& view) { view.loadStarting(); });

    const QByteArray name = QFile::encodeName(request_.portfolioPath);
    std::string reason;
    portfolio_ = openPortfolio(name.constData(), &reason);
    if (!portfolio_) {
        const QString why = request_.portfolioPath + ": " + QString::fromLocal8Bit(reason.c_str());
        tell([why](QuoteLoadView& view) { view.portfolioUnreadable(why); });
        return false;
    }
    tell([](QuoteLoadView& view) { view.portfolioOpened(); });
    data_ = std::make_unique<PendingDataFile>(dataFileName(name.toStdString(), kind_.dataSuffix));
    readPortfolioSymbols(portfolio_.get(), table_->symbols, table_->lengths);
    listing_ = listPortfolio(portfolio_.get());
    return true;
}

void LoadRun::requestBatches() {
    SymbolTable& table = *table_;
    int& batch = table.batch;
    toRequest_ = requestedIn(table, 0, (kind_.lastBatch + 1) * SymbolsPerBatch);
    for (batch = 0; batch <= kind_.lastBatch; ++batch) {
        if (isReopenBatch(batch))
            data_->reopenForAppend();
        // "Getting quotes..." is due for each symbol the path takes; it is told once, without
        // waiting for the window.
        std::string path;
        bool gettingQuotes = false;
        const BatchPlan plan = buildBatchPath(table.symbols, table.lengths, batch, kind_.queryKey, path,
                                              [&gettingQuotes] { gettingQuotes = true; });
        if (gettingQuotes)
            showStatus(gettingQuotesText());
        if (plan == BatchPlan::EndOfList)
            return;
        int length = 0;
        if (plan == BatchPlan::Request) {
            BatchFetchSteps steps;
            if (batch == 0) {
                steps.beforeConnect = [this] { showStatus("Connecting to remote server"); };
                steps.afterSend = [this] { showStatus(gettingQuotesText()); };
            }
            const BatchReply reply = fetchBatch(request_.server, path, reply_.get(), ReplyBufferSize, steps);
            if (!reply.ok) {
                lostReason_ = reply.reason;
                return;
            }
            length = reply.length;
        }
        // A batch of symbols that may not be requested is parsed as an empty reply: each of
        // its symbols gets a "symbol not found" row. The page is parsed here, while the window
        // shows the page before it, and handed over whole.
        auto page = std::make_shared<ParsedPage>(kind_.parsePage(reply_.get(), length, table, data_->stream()));
        // Row k of the load is the row of slot k: every batch but the last has all its rows.
        for (ShownRow& row : page->rows) {
            const char* slot = table.symbols[table.rowsLoaded++];
            row.symbol = QByteArray(slot, int(qstrnlen(slot, SymbolSlotSize)));
        }
        page->searchStart = table.searchStart;
        notFound_ += page->notFound;
        requested_ += requestedIn(table, batch * SymbolsPerBatch, (batch + 1) * SymbolsPerBatch);
        tell([page](QuoteLoadView& view) { view.showPage(*page); });
        if (page->endOfList)
            return;
    }
}

// "Done getting quotes", and in brackets what the user would otherwise not learn: symbols
// left out, an empty portfolio, symbols not found (their rows count as unchanged), a data file
// that could not be written.
QString LoadRun::doneText(bool dataWritten) const {
    QStringList notes;
    const int capacity = (kind_.lastBatch + 1) * SymbolsPerBatch;
    const int listed = listing_.listed;
    if (listed == 0 && listing_.belowBlank == 0)
        notes << "portfolio is empty";
    else if (listed > capacity)
        notes << QString("first %1 of %2 symbols").arg(capacity).arg(listed);
    // The help window says a blank line ends the list; this says what it cost.
    if (listing_.belowBlank > 0)
        notes << QString("list ends at the blank line %1: %2 below it not loaded")
                     .arg(listing_.blankLine)
                     .arg(symbolCount(listing_.belowBlank));
    if (notFound_ > 0)
        notes << symbolCount(notFound_) + " not found";
    if (!dataWritten)
        notes << "data file not written: " + QString::fromLocal8Bit(data_->error().c_str());
    return notes.isEmpty() ? QString("Done getting quotes") : "Done getting quotes (" + notes.join("; ") + ")";
}

void LoadRun::normalEnd() {
    closePortfolio();
    const QString text = doneText(data_->commit());
    tell([text](QuoteLoadView& view) { view.finished(text); });
    reply_.reset();
}

void LoadRun::lostConnection() {
    // No completion: the rows parsed so far stay, the counts stay empty, and the data file
    // of the last load that ended normally stays as it was.
    const QString why = QString::fromLocal8Bit(lostReason_.c_str());
    closePortfolio();
    data_.reset();
    tell([why](QuoteLoadView& view) { view.connectionLost(why); });
    reply_.reset();
}

void LoadRun::run() {
    if (readPortfolio()) {
        requestBatches();
        if (lostReason_.empty())
            normalEnd();
        else
            lostConnection();
    }
    tell([](QuoteLoadView& view) { view.idle(); });
}
} // namespace

void QuoteLoadThread::run() {
    LoadRun(kind_, request_).run();
}
