// The window under a memory limit, as `prlimit --as` sets one: every way a file
// comes in (the start-up forms -e and -d, Load Normal Text, Load Encoded Text,
// F1 with a large help text, a large paste) either succeeds whole or says the
// memory ran out, leaving both areas as they were, and a save either writes
// the whole text or says so and leaves no file; nothing crashes. The limit is
// the address space the process has now plus a share of the file's size, so
// that each path runs out at a different step: reading, joining the lines,
// indexing, translating. Where a limit cannot hit a step on purpose (memory that
// runs out just after a large allocation, in the small ones that follow), an
// operator new of the test's own makes it run out there.
#include <new>

#include <sys/resource.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QTest>

#include "failingallocation.h"
#include "mainwindowfixture.h"

using namespace lorimand;
using namespace lorimand::test;
using namespace Qt::StringLiterals;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr std::size_t kFileSize = std::size_t{48} << 20;

// The address space in use now, from /proc/self/status.
[[nodiscard]] std::size_t addressSpace()
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmSize:")) {
            return static_cast<std::size_t>(line.mid(7).trimmed().split(' ').value(0).toULongLong())
                   << 10;
        }
    }
    return 0;
}

// Holds the address space to `room` bytes more than now, for as long as it lives.
class MemoryLimit
{
public:
    explicit MemoryLimit(std::size_t room)
    {
        getrlimit(RLIMIT_AS, &before_);
        rlimit limited = before_;
        limited.rlim_cur = addressSpace() + room;
        set_ = setrlimit(RLIMIT_AS, &limited) == 0;
    }
    ~MemoryLimit() { setrlimit(RLIMIT_AS, &before_); }
    MemoryLimit(const MemoryLimit &) = delete;
    MemoryLimit &operator=(const MemoryLimit &) = delete;
    [[nodiscard]] bool isSet() const { return set_; }

private:
    rlimit before_{};
    bool set_ = false;
};

// Lines of letters with CR LF, as a long letter.
[[nodiscard]] QByteArray letter(std::size_t size)
{
    QByteArray line(86, 'a');
    line += "\r\n";
    QByteArray text;
    text.reserve(static_cast<qsizetype>(size));
    while (static_cast<std::size_t>(text.size()) < size) {
        text += line;
    }
    text.truncate(static_cast<qsizetype>(size));
    return text;
}

} // namespace

class TestMemoryLimit : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (kSanitized) {
            QSKIP("The sanitizers reserve far more address space than any limit leaves.");
        }
    }

    void loadPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<double>("room"); // in file sizes
        const QStringList paths{u"-e"_s, u"-d"_s,    u"Load Normal"_s, u"Load Encoded"_s,
                                u"F1"_s, u"paste"_s, u"save"_s};
        for (const QString &path : paths) {
            for (const double room : {0.5, 1.5, 2.5, 3.5}) {
                const QString name = u"%1, room for %2 x the file"_s.arg(path).arg(room);
                QTest::newRow(name.toUtf8().constData()) << path << room;
            }
        }
    }

    void loadPaths()
    {
        QFETCH(QString, path);
        QFETCH(double, room);
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        const QByteArray text = letter(kFileSize);
        f.writeFile(u"large.txt"_s, text);
        f.writeFile(u"Readme.txt"_s, text);
        const std::string normalBefore = f.normal()->bytes();
        const std::string encodedBefore = f.encoded()->bytes();
        if (path == u"paste") {
            QApplication::clipboard()->setText(QString::fromLatin1(text));
        } else if (path == u"save") {
            f.normal()->setBytes(text.toStdString());
            f.normal()->setCursorPosition(1);
            QTest::keyClick(f.normal(), Qt::Key_X);
            f.normal()->setCursorPosition(f.normal()->byteCount() - 1);
            QTest::keyClick(f.normal(), Qt::Key_Y);
        }
        const std::string edited = f.normal()->bytes();
        bool whole = false;
        {
            const MemoryLimit limit(static_cast<std::size_t>(room * kFileSize));
            QVERIFY(limit.isSet());
            if (path == u"-e" || path == u"-d") {
                MainWindowFixture started;
                started.writeFile(u"large.txt"_s, text);
                QVERIFY(started.window->startUp(path.toStdString() + ' ' +
                                                started.path(u"large.txt"_s).toStdString()));
                const ByteTextEdit *loaded = path == u"-e" ? started.normal() : started.encoded();
                whole = loaded->byteCount() == kFileSize;
                if (!whole) {
                    QVERIFY(!started.platform.messages.isEmpty());
                    QVERIFY(started.platform.messages.back().text.contains(u"memory"));
                }
                return;
            }
            if (path == u"F1") {
                QTest::keyClick(f.normal(), Qt::Key_F1);
                QVERIFY(f.window->helpWindow());
                const auto *box =
                    f.window->helpWindow()->findChild<ByteTextEdit *>(u"txtHelpFile"_s);
                whole = box->byteCount() > 0;
                if (!whole) {
                    QVERIFY(!f.platform.messages.isEmpty());
                    QVERIFY(f.platform.messages.back().text.contains(u"memory"));
                }
                delete f.window->helpWindow();
                return;
            }
            if (path == u"save") {
                // A text edited in two places is put together to be saved.
                f.platform.fileChoices.enqueue(f.path(u"saved.txt"_s));
                f.child<QPushButton>("SaveText")->click();
                const bool written = QFile::exists(f.path(u"saved.txt"_s));
                if (written) {
                    QCOMPARE(QFile(f.path(u"saved.txt"_s)).size(),
                             static_cast<qint64>(edited.size()));
                } else {
                    QVERIFY(!f.platform.messages.isEmpty());
                    QVERIFY(f.platform.messages.back().text.contains(u"memory"));
                }
                return;
            }
            if (path == u"paste") {
                f.normal()->setFocus();
                f.normal()->selectWholeText();
                f.normal()->paste();
            } else {
                f.platform.fileChoices.enqueue(f.path(u"large.txt"_s));
                f.child<QPushButton>(path == u"Load Normal" ? "LoadText" : "LoadCode")->click();
            }
            const ByteTextEdit *loaded = path == u"Load Encoded" ? f.encoded() : f.normal();
            whole = loaded->byteCount() >= kFileSize - 2;
        }
        if (!whole) {
            // Ran out: both areas as they were, and the user told (a paste tells
            // at the caret, the commands in a message).
            QCOMPARE(f.normal()->bytes(), normalBefore);
            QCOMPARE(f.encoded()->bytes(), encodedBefore);
            if (path != u"paste") {
                QVERIFY(!f.platform.messages.isEmpty());
                QVERIFY(f.platform.messages.back().text.contains(u"memory"));
            }
        } else if (f.encoded()->byteCount() != f.normal()->byteCount()) {
            // Taken whole, but its translation ran out: the user is told.
            QVERIFY(!f.platform.messages.isEmpty());
            QVERIFY(f.platform.messages.back().text.contains(u"memory"));
        }
    }

    // A start-up with -d (or Load Encoded Text with Auto ticked, the same steps)
    // when memory runs out at each large allocation in turn: that one fails, or
    // it takes the last there was and everything after it fails until a good
    // part is given back (the area may hold the text by then, its view half
    // made). Every run decodes whole, or says that memory ran out in a message
    // box built as a real one is, with both areas as they were; nothing escapes,
    // and the window still draws.
    void decodingWhenMemoryRunsOut_data()
    {
        QTest::addColumn<bool>("startUp");
        QTest::addColumn<bool>("staysOut");
        for (const bool startUp : {true, false}) {
            const char *path = startUp ? "-d" : "Load Encoded";
            QTest::addRow("%s, a large allocation fails", path) << startUp << false;
            QTest::addRow("%s, a large allocation takes the last there is", path)
                << startUp << true;
        }
    }
    void decodingWhenMemoryRunsOut()
    {
        QFETCH(bool, startUp);
        QFETCH(bool, staysOut);
        constexpr std::size_t kLarge = std::size_t{64} << 10;
        const QByteArray text = letter(std::size_t{1} << 20);
        bool ranOut = false;
        const auto load = [&](long allowed, std::size_t &large) {
            MainWindowFixture f;
            f.platform.buildsMessageBoxes = true;
            f.writeFile(u"large.txt"_s, text);
            const std::string arguments = "-d " + f.path(u"large.txt"_s).toStdString();
            // Before the file: what a start-up without one shows, or text typed.
            MainWindowFixture plain;
            QVERIFY(plain.window->startUp());
            std::string normalBefore = plain.normal()->bytes();
            std::string encodedBefore = plain.encoded()->bytes();
            if (!startUp) {
                QVERIFY(f.window->startUp());
                f.window->show();
                QTest::keyClicks(f.encoded(), u"typed"_s);
                normalBefore = f.normal()->bytes();
                encodedBefore = f.encoded()->bytes();
                f.platform.fileChoices.enqueue(f.path(u"large.txt"_s));
            }
            try {
                const FailingAllocation failing(allowed, staysOut ? std::size_t{1} << 20 : 0,
                                                kLarge);
                if (startUp) {
                    QVERIFY(f.window->startUp(arguments));
                } else {
                    f.child<QPushButton>("LoadCode")->click();
                }
                large = failing.count();
                ranOut = failing.failed();
            } catch (const std::bad_alloc &) {
                QFAIL("running out of memory escaped the window");
            }
            f.window->show();
            const bool whole =
                f.encoded()->bytes() == text.toStdString() &&
                f.normal()->bytes() == withKey(text.toStdString(), Direction::Decode);
            if (!whole) {
                QVERIFY(ranOut);
                QCOMPARE(f.platform.messages.size(), 1);
                QVERIFY(f.platform.messages[0].text.contains(u"memory"_s));
                QCOMPARE(f.normal()->bytes(), normalBefore);
                QCOMPARE(f.encoded()->bytes(), encodedBefore);
                if (!startUp) {
                    // The typed text that came back is still unsaved: closing asks.
                    f.platform.messages.clear();
                    QVERIFY(!f.window->close());
                    QCOMPARE(f.platform.messages.size(), 1);
                    QCOMPARE(f.platform.messages[0].text, u"Encoded Text has not been saved."_s);
                }
            }
            QVERIFY(!f.window->grab().isNull());
        };
        std::size_t large = 0;
        load(-1, large);
        QVERIFY(large > 2);
        const std::size_t all = large;
        int failures = 0;
        for (std::size_t allowed = staysOut ? 1 : 0; allowed <= all; ++allowed) {
            load(static_cast<long>(allowed), large);
            if (QTest::currentTestFailed()) {
                qWarning("memory ran out after %zu of %zu large allocations", allowed, all);
                return;
            }
            failures += ranOut ? 1 : 0;
        }
        QVERIFY(failures > 0);
    }
};

QTEST_MAIN(TestMemoryLimit)
#include "tst_memorylimit.moc"
