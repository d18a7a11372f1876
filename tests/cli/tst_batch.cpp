// lorimand-cli's run in this process, with faults injected behind the file layer:
// whatever fails, the message names the file and the reason, the exit status is
// 1, the old OUTPUT stays whole and nothing is left beside it.
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "bytes.h"
#include "cli/batch.h"
#include "faultycalls.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

struct Run
{
    int status = -1;
    QByteArray err;
};

// Runs lorimand-cli's work here, its standard error caught in a file.
Run runCaught(const std::vector<std::string> &arguments, SystemCalls &calls)
{
    QTemporaryFile caught;
    if (!caught.open()) {
        qFatal("cannot make a file for standard error");
    }
    std::vector<const char *> argv{"lorimand-cli"};
    for (const std::string &argument : arguments) {
        argv.push_back(argument.c_str());
    }
    std::cerr.flush();
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(caught.handle(), STDERR_FILENO);
    Run run;
    run.status = runBatch(static_cast<int>(argv.size()), argv.data(), calls);
    std::cerr.flush();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    caught.seek(0);
    run.err = caught.readAll();
    return run;
}

} // namespace

class TestBatch : public QObject
{
    Q_OBJECT

private slots:
    void faultsLeaveTheOutputWhole_data()
    {
        using Call = FaultyCalls::Call;
        QTest::addColumn<Call>("call");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("after");
        QTest::addColumn<QString>("only");  // the one file whose calls fail; empty: any
        QTest::addColumn<QString>("named"); // the file the message names
        QTest::addColumn<QString>("reason");
        QTest::newRow("input cannot be opened") << Call::Open << EACCES << 0 << "in.txt"
                                                << "in.txt"
                                                << "Permission denied";
        QTest::newRow("input read error halfway") << Call::Read << EIO << 1 << "in.txt"
                                                  << "in.txt"
                                                  << "Input/output error";
        QTest::newRow("table read error") << Call::Read << EIO << 0 << "rot.sbt"
                                          << "rot.sbt"
                                          << "Input/output error";
        QTest::newRow("output cannot be made") << Call::OpenUnnamed << EACCES << 0 << ""
                                               << "out.enc"
                                               << "Permission denied";
        QTest::newRow("disk full at once") << Call::Write << ENOSPC << 0 << ""
                                           << "out.enc"
                                           << "The disk is full";
        QTest::newRow("disk full halfway") << Call::Write << ENOSPC << 1 << ""
                                           << "out.enc"
                                           << "The disk is full";
        QTest::newRow("flush") << Call::Fsync << EIO << 0 << ""
                               << "out.enc"
                               << "Input/output error";
        QTest::newRow("naming the output") << Call::Link << EIO << 0 << ""
                                           << "out.enc"
                                           << "Input/output error";
        QTest::newRow("rename") << Call::Rename << EIO << 0 << ""
                                << "out.enc"
                                << "Input/output error";
    }
    void faultsLeaveTheOutputWhole()
    {
        QFETCH(FaultyCalls::Call, call);
        QFETCH(int, error);
        QFETCH(int, after);
        QFETCH(QString, only);
        QFETCH(QString, named);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const auto path = [&folder](const QString &name) {
            return folder.filePath(name);
        };
        // Several blocks, so that a fault after the first strikes halfway.
        writeBytes(path(u"in.txt"_s), randomBytes(3 * 128 * 1024 + 5));
        writeBytes(path(u"rot.sbt"_s), "65=66\r\n66=65\r\n");
        writeBytes(path(u"out.enc"_s), "old");
        const QStringList before = entriesOf(folder.path());

        FaultyCalls calls;
        calls.failing = call;
        calls.error = error;
        calls.after = after;
        if (!only.isEmpty()) {
            calls.onlyFile = pathOf(path(only));
        }
        const Run run = runCaught({"encode", "--table", pathOf(path(u"rot.sbt"_s)),
                                   pathOf(path(u"in.txt"_s)), "-o", pathOf(path(u"out.enc"_s))},
                                  calls);

        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains(QFile::encodeName(path(named))), run.err.constData());
        QVERIFY2(run.err.contains(reason.toUtf8()), run.err.constData());
        QCOMPARE(contentsOf(path(u"out.enc"_s)), QByteArray("old"));
        QCOMPARE(entriesOf(folder.path()), before);
    }

    // The same run without a fault writes the whole translation.
    void withoutAFaultWritesTheOutput()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString in = folder.filePath(u"in.txt"_s);
        const QString out = folder.filePath(u"out.enc"_s);
        writeBytes(in, "ABBA");
        writeBytes(folder.filePath(u"rot.sbt"_s), "65=66\r\n66=65\r\n");
        writeBytes(out, "old");
        FaultyCalls calls;
        const Run run = runCaught({"encode", "--table", pathOf(folder.filePath(u"rot.sbt"_s)),
                                   pathOf(in), "-o", pathOf(out)},
                                  calls);
        QCOMPARE(run.status, 0);
        QCOMPARE(contentsOf(out), QByteArray("BAAB"));
        QCOMPARE(entriesOf(folder.path()), (QStringList{u"in.txt"_s, u"out.enc"_s, u"rot.sbt"_s}));
    }

    // Closing the output written in place comes after the translation (or the
    // table) is in it and on disk: a close that fails then is a warning, not a
    // failed run.
    void failingCloseAfterTheWriteIsAWarning_data()
    {
        QTest::addColumn<bool>("newTable"); // else a translation
        QTest::newRow("translation") << false;
        QTest::newRow("new table") << true;
    }
    void failingCloseAfterTheWriteIsAWarning()
    {
        QFETCH(bool, newTable);
        QTemporaryDir folder;
        QTemporaryDir state;
        QVERIFY(folder.isValid() && state.isValid());
        const QByteArray savedState = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
        const QString in = folder.filePath(u"in.txt"_s);
        const QString out = folder.filePath(u"out.enc"_s);
        writeBytes(in, "ABBA");
        writeBytes(folder.filePath(u"rot.sbt"_s), "65=66\r\n66=65\r\n");
        writeBytes(out, "old");
        // A second name: the output is written in place.
        QVERIFY(::link(QFile::encodeName(out).constData(),
                       QFile::encodeName(folder.filePath(u"twin.enc"_s)).constData()) == 0);
        FaultyCalls calls;
        calls.failing = FaultyCalls::Call::Close;
        calls.onlyFile = pathOf(out);
        const Run run = newTable
                            ? runCaught({"new-table", "reverse", "-o", pathOf(out)}, calls)
                            : runCaught({"encode", "--table", pathOf(folder.filePath(u"rot.sbt"_s)),
                                         pathOf(in), "-o", pathOf(out)},
                                        calls);
        if (savedState.isNull()) {
            qunsetenv("XDG_STATE_HOME");
        } else {
            qputenv("XDG_STATE_HOME", savedState);
        }
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, "lorimand-cli: warning: " + QFile::encodeName(out) +
                              ": The new text is in it, but closing it afterwards failed: "
                              "Input/output error\n");
        const QByteArray written = contentsOf(folder.filePath(u"twin.enc"_s));
        if (newTable) {
            QVERIFY2(written.startsWith("Lorimand code table") &&
                         written.contains("\r\n97=122\r\n"),
                     written.constData());
        } else {
            QCOMPARE(written, QByteArray("BAAB"));
        }
    }
};

QTEST_GUILESS_MAIN(TestBatch)
#include "tst_batch.moc"
