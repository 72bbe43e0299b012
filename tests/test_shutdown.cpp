// Closing the main window ends the program promptly with exit code 0, even while workers
// run and wait on the window thread.
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>

class ShutdownTest : public QObject {
    Q_OBJECT
private slots:
    void closesWhileWorkersWait() {
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        probe.setProcessEnvironment(env);
        QElapsedTimer clock;
        clock.start();
        probe.start(SHUTDOWN_PROBE_BINARY, {});
        QVERIFY(probe.waitForStarted(5000));
        const bool finished = probe.waitForFinished(10000);
        if (!finished)
            probe.kill();
        QVERIFY2(finished, "the program did not end after its main window closed");
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(ShutdownTest)
#include "test_shutdown.moc"
