// The worker-thread hand-over: Synchronize runs its step on the window thread and returns
// only after it has run; steps handed over keep their order; a worker frees itself. A line edit
// reads to a screen reader as through Qt's own interface.
#include <QAccessible>
#include <QLineEdit>
#include <QtTest>
#include <atomic>
#include <bit>

#include "platform/core/worker_thread.h"
#include "platform/line_edit_accessible.h"

namespace {
std::atomic<int> liveWorkers{0};

using Text = QAccessibleTextInterface;

// What a text interface answers with a span (start, end), as one "text|start|end" string.
template <typename Ask, typename... Args> QString span(const Text& face, Ask ask, Args... args) {
    int start = -9, end = -9;
    QString said;
    if constexpr (std::is_void_v<decltype((face.*ask)(args..., &start, &end))>)
        (face.*ask)(args..., &start, &end);
    else
        said = (face.*ask)(args..., &start, &end);
    return QString("%1|%2|%3").arg(said).arg(start).arg(end);
}

class RecordingWorker : public WorkerThread {
public:
    RecordingWorker(QList<QString>* log, QThread** stepThread, bool* ranBeforeReturn)
        : WorkerThread(true), log_(log), stepThread_(stepThread), ranBeforeReturn_(ranBeforeReturn) {
        ++liveWorkers;
    }
    ~RecordingWorker() override { --liveWorkers; }

protected:
    void run() override {
        bool ran = false;
        onWindowThread([log = log_] { log->append("posted 1"); });
        synchronize([&] {
            QThread::msleep(50); // the worker must still be waiting after this
            *stepThread_ = QThread::currentThread();
            log_->append("synchronized");
            ran = true;
        });
        *ranBeforeReturn_ = ran;
        onWindowThread([log = log_] { log->append("posted 2"); });
    }

private:
    QList<QString>* log_;
    QThread** stepThread_;
    bool* ranBeforeReturn_;
};
} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void synchronizeRunsOnWindowThreadAndWaits() {
        QList<QString> log;
        QThread* stepThread = nullptr;
        bool ranBeforeReturn = false;
        auto* worker = new RecordingWorker(&log, &stepThread, &ranBeforeReturn);
        QCOMPARE(liveWorkers.load(), 1);
        worker->resume();
        QTRY_COMPARE_WITH_TIMEOUT(log.size(), 3, 5000);
        QCOMPARE(stepThread, QThread::currentThread());
        QVERIFY(ranBeforeReturn);
        QCOMPARE(log, QList<QString>({"posted 1", "synchronized", "posted 2"}));
        // The worker object releases itself once its body has ended.
        QTRY_COMPARE_WITH_TIMEOUT(liveWorkers.load(), 0, 5000);
    }

    void synchronizeOnWindowThreadRunsAtOnce() {
        bool ran = false;
        WorkerThread::synchronize([&] { ran = true; });
        QVERIFY(ran);
    }

    // Ours and Qt's interface side by side on one box (ours is not installed here): every answer
    // alike, but for the word and the sentence at the end, where Qt's never returns.
    void lineEditReadsAsQtsOwn_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QLineEdit::EchoMode>("echo");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<int>("selectionStart"); // -1 for none: the cursor at the end
        QTest::newRow("symbols") << "IBM MSFT" << QLineEdit::Normal << false << -1;
        QTest::newRow("sentences, spaces at the end") << "Buy now. Sell  " << QLineEdit::Normal << false << 4;
        QTest::newRow("read-only") << "12.5 +3" << QLineEdit::Normal << true << 2;
        QTest::newRow("password") << "secret word" << QLineEdit::Password << false << -1;
        QTest::newRow("empty, its placeholder told") << "" << QLineEdit::Normal << false << -1;
    }
    void lineEditReadsAsQtsOwn() {
        QFETCH(QString, text);
        QFETCH(QLineEdit::EchoMode, echo);
        QFETCH(bool, readOnly);
        QFETCH(int, selectionStart);
        QLineEdit edit(text);
        edit.setPlaceholderText("Symbol");
        edit.setEchoMode(echo);
        edit.setReadOnly(readOnly);
        if (selectionStart >= 0)
            edit.setSelection(selectionStart, 3);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QAccessibleInterface* qt = QAccessible::queryAccessibleInterface(&edit);
        LineEditAccessible ours(&edit);
        QCOMPARE(ours.role(), qt->role());
        QCOMPARE(std::bit_cast<quint64>(ours.state()), std::bit_cast<quint64>(qt->state()));
        for (QAccessible::Text t : {QAccessible::Name, QAccessible::Description, QAccessible::Value})
            QCOMPARE(ours.text(t), qt->text(t));
        const QAccessibleTextInterface& theirs = *qt->textInterface();
        const int count = theirs.characterCount();
        QCOMPARE(ours.characterCount(), count);
        QCOMPARE(ours.cursorPosition(), theirs.cursorPosition());
        QCOMPARE(span(ours, &Text::selection, 0), span(theirs, &Text::selection, 0));
        using Item = QString (Text::*)(int, QAccessible::TextBoundaryType, int*, int*) const;
        for (int offset = -2; offset <= count + 1; ++offset) {
            QCOMPARE(ours.text(offset, count), theirs.text(offset, count));
            QCOMPARE(ours.characterRect(offset), theirs.characterRect(offset));
            QCOMPARE(span(ours, &Text::attributes, offset), span(theirs, &Text::attributes, offset));
            const bool atEnd = (offset == -2 ? edit.cursorPosition() : offset == -1 ? count : offset) == count;
            for (auto boundary : {QAccessible::CharBoundary, QAccessible::WordBoundary, QAccessible::SentenceBoundary,
                                  QAccessible::LineBoundary})
                for (Item ask : {&Text::textBeforeOffset, &Text::textAfterOffset, &Text::textAtOffset}) {
                    const bool endless =
                        atEnd && ask == &Text::textAtOffset &&
                        (boundary == QAccessible::WordBoundary || boundary == QAccessible::SentenceBoundary);
                    if (!endless)
                        QCOMPARE(span(ours, ask, offset, boundary), span(theirs, ask, offset, boundary));
                }
        }
    }
};

QTEST_MAIN(PlatformTest)
#include "test_platform.moc"
