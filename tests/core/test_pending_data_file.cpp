// A load's data file replaces the old one only when the load ends normally; every failure
// leaves the old file as it was and says why.
#include <QtTest>

#include <csignal>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "load/core/pending_data_file.h"
#include "support/file_bytes.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
    QVERIFY(writeFileBytes(path, bytes));
}

// Nothing but the named entries is left in the folder: no temporary file lingers.
QStringList entries(const QTemporaryDir& dir) {
    return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void writeRows(PendingDataFile& data, int rows) {
    for (int i = 0; i < rows; ++i)
        std::fprintf(data.stream(), " S%d 4:00PM ET 27.50 0.12 +0.44%% 45,123,456 \n", i);
}

const QByteArray OldRows = " IBM 4:00PM ET 120.00 -1.00 -0.83% 1,000 \n";

} // namespace

class TestPendingDataFile : public QObject {
    Q_OBJECT

private slots:
    void commitReplacesTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("input_data_qt1.txt");
        writeFile(path, OldRows);
        const mode_t mask = ::umask(022);
        {
            PendingDataFile data(path.toStdString());
            QVERIFY(data.stream());
            writeRows(data, 2);
            data.reopenForAppend();
            writeRows(data, 1);
            QCOMPARE(fileBytes(path), OldRows); // nothing shows before the end
            QVERIFY(data.commit());
        }
        ::umask(mask);
        QCOMPARE(fileBytes(path).count('\n'), 3);
        QCOMPARE(entries(dir), QStringList{"input_data_qt1.txt"});
        QCOMPARE(QFileInfo(path).permissions() & 0x7777, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                                                             QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther);
    }

    void abandonedLoadLeavesTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("input_data_qt1.txt");
        writeFile(path, OldRows);
        {
            PendingDataFile data(path.toStdString());
            writeRows(data, 40);
        }
        QCOMPARE(fileBytes(path), OldRows);
        QCOMPARE(entries(dir), QStringList{"input_data_qt1.txt"});
    }

    // A load killed mid-way leaves nothing behind; what older loads left goes at the next load,
    // but not a temporary that a live load still holds, nor another data file's.
    void killedLoadLeavesNothingBehind() {
        QTemporaryDir dir;
        const QString path = dir.filePath("input_data_qt1.txt");
        writeFile(path, OldRows);
        for (const char* name : {"input_data_qt1.txt.Ab12Cd", "input_data_qt1.txt.Live01", "q_data_qt1.txt.Ab12Cd"})
            writeFile(dir.filePath(name), OldRows);
        QFile live(dir.filePath("input_data_qt1.txt.Live01"));
        QVERIFY(live.open(QIODevice::ReadOnly) && ::flock(live.handle(), LOCK_EX) == 0);
        const pid_t child = ::fork();
        if (child == 0) {
            PendingDataFile data(path.toStdString());
            writeRows(data, 30);
            data.reopenForAppend();
            ::raise(SIGKILL);
            ::_exit(1);
        }
        int status = 0;
        QVERIFY(child > 0 && ::waitpid(child, &status, 0) == child);
        QVERIFY(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
        QCOMPARE(fileBytes(path), OldRows);
        {
            PendingDataFile data(path.toStdString());
            writeRows(data, 1);
            QVERIFY(data.commit());
        }
        QCOMPARE(entries(dir),
                 QStringList({"input_data_qt1.txt", "input_data_qt1.txt.Live01", "q_data_qt1.txt.Ab12Cd"}));
    }

    void failedRenameIsNamed() {
        QTemporaryDir dir;
        const QString path = dir.filePath("input_data_qt1.txt");
        QVERIFY(QDir(dir.path()).mkdir("input_data_qt1.txt"));
        PendingDataFile data(path.toStdString());
        writeRows(data, 1);
        QVERIFY(!data.commit());
        QCOMPARE(QString::fromStdString(data.error()), QString("Is a directory"));
        QCOMPARE(entries(dir), QStringList{"input_data_qt1.txt"});
    }

    void missingFolderIsNamed() {
        QTemporaryDir dir;
        PendingDataFile data(dir.filePath("gone/input_data_qt1.txt").toStdString());
        QVERIFY(!data.stream());
        QVERIFY(!data.commit());
        QCOMPARE(QString::fromStdString(data.error()), QString("No such file or directory"));
    }

    // A disk that fills up mid-load: the half-written file never replaces the old one.
    void failedWritesKeepTheOldFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("input_data_qt1.txt");
        writeFile(path, OldRows);
        rlimit saved{};
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 1000;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
        bool committed = true;
        std::string error;
        {
            PendingDataFile data(path.toStdString());
            writeRows(data, 200);
            committed = data.commit();
            error = data.error();
        }
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QVERIFY(!committed);
        QCOMPARE(QString::fromStdString(error), QString("File too large"));
        QCOMPARE(fileBytes(path), OldRows);
        QCOMPARE(entries(dir), QStringList{"input_data_qt1.txt"});
    }
};

QTEST_GUILESS_MAIN(TestPendingDataFile)
#include "test_pending_data_file.moc"
