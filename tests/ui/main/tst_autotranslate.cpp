// Auto: an edit of one area changes only what it changes in the other, and the
// other always holds exactly what translating the whole text gives. Random edit
// sequences of every kind run against the whole translation; the other area
// keeps its view and its selection where the edit lies elsewhere.
#include <algorithm>
#include <random>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

#include "engine/codetable.h"
#include "mainwindowfixture.h"
#include "text/textblocks.h"

using namespace lorimand;
using namespace lorimand::test;

Q_DECLARE_METATYPE(lorimand::Direction)

namespace {

constexpr int kBlock = static_cast<int>(text::TextBlocks::kBlockBytes);

// What the whole text translates to, as the window's buttons would give it.
std::string wholeTranslation(const MainWindowFixture &f, bool keyMode, const std::string &text,
                             Direction direction)
{
    if (keyMode) {
        return withKey(text, direction);
    }
    const CodeTables &tables = f.window->codeTables();
    return translateThroughTable(text, direction == Direction::Encode ? tables.encodeTable
                                                                      : tables.decodeTable);
}

// Where the line that holds `position` starts, and where its characters end.
std::pair<int, int> lineAround(const std::string &bytes, int position)
{
    const std::size_t at = static_cast<std::size_t>(position);
    const std::size_t lf = at == 0 ? std::string::npos : bytes.rfind('\n', at - 1);
    const std::size_t start = lf == std::string::npos ? 0 : lf + 1;
    std::size_t end = std::min(bytes.find('\n', at), bytes.size());
    if (end < bytes.size() && end > start && bytes[end - 1] == '\r') {
        --end;
    }
    return {static_cast<int>(start), static_cast<int>(end)};
}

} // namespace

class TestAutoTranslate : public QObject
{
    Q_OBJECT

private slots:
    void editsMatchTheWholeTranslation_data()
    {
        QTest::addColumn<bool>("keyMode");
        QTest::addColumn<Direction>("direction");
        QTest::addColumn<QByteArray>("start");
        // A long line cut into blocks, CR LF and LF breaks, lone CRs (the
        // table drops them unless an LF follows), and LF as the first break so
        // that a typed break can complete a CR.
        QByteArray start = "one\ntwo\r\nthree\r\r\n";
        start += QByteArray(kBlock * 2 + 100, 'w');
        start += "\rend\r\nlast\r";
        for (const bool keyMode : {true, false}) {
            for (const Direction direction : {Direction::Encode, Direction::Decode}) {
                QTest::addRow("%s, %s", keyMode ? "key" : "table",
                              direction == Direction::Encode ? "typed into Normal"
                                                             : "typed into Encoded")
                    << keyMode << direction << start;
            }
        }
    }
    void editsMatchTheWholeTranslation()
    {
        QFETCH(bool, keyMode);
        QFETCH(Direction, direction);
        QFETCH(QByteArray, start);
        MainWindowFixture f;
        f.useCustom()->setChecked(!keyMode);
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.window->show();
        ByteTextEdit &source = direction == Direction::Encode ? *f.normal() : *f.encoded();
        ByteTextEdit &other = direction == Direction::Encode ? *f.encoded() : *f.normal();
        source.setBytes(start.toStdString());
        source.setFocus();

        std::mt19937 random(1210);
        const auto pick = [&random](int below) {
            return std::uniform_int_distribution<int>(0, below - 1)(random);
        };
        const QString pastes[] = {
            u"ab"_qs, u"x\r\ny"_qs, u"\n"_qs, u"\r"_qs, QString(kBlock + 7, u'p'), u"\r\n\r\n"_qs};
        const Qt::Key keys[] = {Qt::Key_A, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete};
        for (int step = 0; step < 300; ++step) {
            const int end = static_cast<int>(source.byteCount());
            // Half the edits land at a block's edge or next to a line break.
            int position = pick(end + 1);
            if (step % 2 == 0) {
                const auto [lineStart, lineEnd] = lineAround(source.bytes(), position);
                const int blocks = (lineEnd - lineStart) / kBlock;
                position = pick(2) == 0 ? lineStart + kBlock * pick(blocks + 1) : lineEnd;
                position = std::clamp(position + pick(3) - 1, 0, end);
            }
            const int action = pick(10);
            QString what;
            if (action < 5) {
                source.setCursorPosition(static_cast<std::size_t>(position));
                const Qt::Key key = keys[pick(4)];
                QTest::keyClick(&source, key);
                what = QStringLiteral("key %1").arg(key);
            } else if (action < 7) {
                source.setSelection(static_cast<std::size_t>(
                                        std::clamp(position + pick(2 * kBlock) - kBlock, 0, end)),
                                    static_cast<std::size_t>(position));
                const QString &paste = pastes[pick(static_cast<int>(std::size(pastes)))];
                QGuiApplication::clipboard()->setText(paste);
                QTest::keyClick(&source, Qt::Key_V, Qt::ControlModifier);
                what = QStringLiteral("paste of %1 characters").arg(paste.size());
            } else if (action < 9) {
                QTest::keyClick(&source, Qt::Key_Z, Qt::ControlModifier);
                what = QStringLiteral("undo");
            } else {
                QTest::keyClick(&source, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
                what = QStringLiteral("redo");
            }
            const std::string expected = wholeTranslation(f, keyMode, source.bytes(), direction);
            if (other.bytes() != expected) {
                QFAIL(qPrintable(
                    QStringLiteral("step %1, %2 at %3").arg(step).arg(what).arg(position)));
            }
        }
    }

    // An edit far from where the other area shows its text, and from its
    // selection, leaves both where they were, and changes no byte before it.
    void theOtherAreaKeepsItsViewAndSelection()
    {
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.window->show();
        std::string text;
        for (int line = 0; line < 400; ++line) {
            text += "line of the letter\r\n";
        }
        f.normal()->setBytes(text);
        QTest::keyClick(f.normal(), Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(f.normal(), Qt::Key_X); // the first edit after a replacement rewrites
        ByteTextEdit &other = *f.encoded();
        other.setSelection(21, 25);
        // Scrolled a few rows down, so that the selection is out of sight.
        const QPointF middle = other.viewport()->rect().center();
        QWheelEvent wheel(middle, other.viewport()->mapToGlobal(middle), {}, {0, -240},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(other.viewport(), &wheel);
        const std::size_t top = other.offsetAt(QPoint(0, 0));
        QVERIFY(top > 25);
        QVERIFY(other.characterRect(25).isEmpty());
        std::size_t firstChanged = other.byteCount();
        connect(&other, &ByteTextEdit::bytesChanged, this,
                [&firstChanged](const ByteChange &change) {
                    firstChanged = std::min(firstChanged, change.from);
                });

        f.normal()->setCursorPosition(f.normal()->byteCount());
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_B, Qt::Key_Backspace}) {
            QTest::keyClick(f.normal(), key);
        }

        QCOMPARE(other.bytes(), withKey(f.normal()->bytes(), Direction::Encode));
        // Only the last line, where the edits lie, is written again.
        QVERIFY(firstChanged >= text.size());
        QCOMPARE(other.selection(), (ByteTextEdit::Selection{21, 25}));
        QCOMPARE(other.offsetAt(QPoint(0, 0)), top);
        // Still one undo step back to what the area held before Auto wrote into it.
        QTest::keyClick(&other, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(other.bytes(), std::string());
    }

    // The first key typed after a load, a decode or an encode costs what any key
    // costs: with a key, whichever area it goes into, only its change is
    // translated (the shift back undoes the shift exactly), and one undo in the
    // other area takes it back with the automatic step it joined.
    void firstKeystrokeTranslatesOnlyItsChange_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("intoNormal");
        for (const char *how : {"-d", "-e", "Decode", "Encode"}) {
            QTest::addRow("%s, then into Normal", how) << QString::fromLatin1(how) << true;
            QTest::addRow("%s, then into Encoded", how) << QString::fromLatin1(how) << false;
        }
    }

    void firstKeystrokeTranslatesOnlyItsChange()
    {
        QFETCH(QString, how);
        QFETCH(bool, intoNormal);
        MainWindowFixture f;
        std::string text;
        while (text.size() < (std::size_t{1} << 20)) {
            text += "line of the letter\r\n";
        }
        f.writeFile(QStringLiteral("letter.txt"), QByteArray::fromStdString(text));
        const std::string file = f.path(QStringLiteral("letter.txt")).toStdString();
        if (how.startsWith(u'-')) {
            QVERIFY(f.window->startUp(how.toStdString() + ' ' + file));
        } else {
            QVERIFY(f.window->startUp());
            ByteTextEdit &source = how == u"Decode" ? *f.encoded() : *f.normal();
            source.setBytes(text);
            f.child<QPushButton>(how == u"Decode" ? "DecodeButton" : "EncodeButton")->click();
        }
        ByteTextEdit &typed = intoNormal ? *f.normal() : *f.encoded();
        ByteTextEdit &other = intoNormal ? *f.encoded() : *f.normal();
        // An area that the start-up's own translation wrote into goes back, as
        // one step, to what it held before it; any other to what it held before
        // the key.
        std::string before = other.bytes();
        if (how.startsWith(u'-') && (how == u"-d") != intoNormal) {
            MainWindowFixture plain;
            QVERIFY(plain.window->startUp());
            before = intoNormal ? plain.encoded()->bytes() : plain.normal()->bytes();
        }
        std::vector<ByteChange> changes;
        connect(&other, &ByteTextEdit::bytesChanged, this,
                [&changes](const ByteChange &change) { changes.push_back(change); });

        typed.setCursorPosition(typed.byteCount() / 2);
        QTest::keyClick(&typed, Qt::Key_X);

        QCOMPARE(changes.size(), std::size_t{1});
        QVERIFY2(changes[0].removed + changes[0].added < 16,
                 qPrintable(QString::number(changes[0].removed + changes[0].added)));
        QCOMPARE(other.bytes(),
                 withKey(typed.bytes(), intoNormal ? Direction::Encode : Direction::Decode));
        other.undo();
        QCOMPARE(other.bytes(), before);
    }

    // With Auto, a change of the key, the table or the mode translates again
    // from the area last typed into, pasted into or loaded, into the other, as
    // one automatic undo step with the translations before it.
    void followsKeyTableAndMode_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("autoOn");
        for (const char *source : {"typed into Normal", "typed into Encoded", "pasted into Encoded",
                                   "loaded into Encoded", "loaded into Normal"}) {
            for (const char *change : {"key", "table", "to the table", "to the key"}) {
                QTest::addRow("%s, %s", source, change)
                    << QString::fromLatin1(source) << QString::fromLatin1(change) << true;
            }
        }
        QTest::newRow("Auto off: the key") << u"typed into Normal"_qs << u"key"_qs << false;
        QTest::newRow("Auto off: the mode")
            << u"typed into Encoded"_qs << u"to the table"_qs << false;
    }
    void followsKeyTableAndMode()
    {
        QFETCH(QString, source);
        QFETCH(QString, change);
        QFETCH(bool, autoOn);
        MainWindowFixture f;
        f.writeFile(u"Caesar.sbt"_qs, "97=98\r\n98=99\r\n99=97\r\n");
        f.writeFile(u"Swap.sbt"_qs, "97=120\r\n120=97\r\n");
        f.writeFile(u"letter.txt"_qs, "a cab to Bath");
        // Every change but the two of the mode starts from the table's mode.
        f.writeFile(u"Lorimand.ini"_qs, change == u"to the table" || change == u"key"
                                            ? "CustCode=Caesar\r\n"
                                            : "CodeType=1\r\nCustCode=Caesar\r\n");
        QVERIFY(f.window->startUp());
        f.window->show();
        const bool intoNormal = source.endsWith(u"Normal");
        ByteTextEdit &from = intoNormal ? *f.normal() : *f.encoded();
        ByteTextEdit &other = intoNormal ? *f.encoded() : *f.normal();
        const std::string before = other.bytes();
        if (source.startsWith(u"typed")) {
            QTest::keyClicks(&from, u"a cab to Bath"_qs);
        } else if (source.startsWith(u"pasted")) {
            QGuiApplication::clipboard()->setText(u"a cab to Bath"_qs);
            QTest::keyClick(&from, Qt::Key_V, Qt::ControlModifier);
        } else {
            // Typed into the other area first: the load decides.
            QTest::keyClicks(&other, u"x"_qs);
            f.platform.fileChoices.enqueue(f.path(u"letter.txt"_qs));
            f.child<QPushButton>(intoNormal ? "LoadText" : "LoadCode")->click();
        }
        f.autoUpdate()->setCheckState(autoOn ? Qt::Checked : Qt::Unchecked);
        const std::string text = from.bytes();
        const std::string translatedBefore = other.bytes();

        if (change == u"key") {
            f.key()->setFocus();
            f.key()->end(false);
            QTest::keyClicks(f.key(), u"2"_qs);
        } else if (change == u"table") {
            QCOMPARE(f.codeName()->currentText(), u"Caesar"_qs);
            f.codeName()->setFocus();
            QTest::keyClick(f.codeName(), Qt::Key_Down);
            QCOMPARE(f.codeName()->currentText(), u"Swap"_qs);
        } else if (change == u"to the table") {
            f.useCustom()->click();
        } else {
            f.useKey()->click();
        }

        QCOMPARE(from.bytes(), text);
        if (!autoOn) {
            QCOMPARE(other.bytes(), translatedBefore);
            return;
        }
        const Direction direction = intoNormal ? Direction::Encode : Direction::Decode;
        const bool keyMode = change == u"key" || change == u"to the key";
        const std::string expected =
            keyMode ? withKey(text, direction, change == u"key" ? "TarnVeli2" : "TarnVeli")
                    : wholeTranslation(f, false, text, direction);
        QCOMPARE(other.bytes(), expected);
        QVERIFY(other.bytes() != translatedBefore);
        if (source.startsWith(u"loaded")) {
            return; // the area held typed text before the load's own translation
        }
        // One undo takes the other area back to what it held before Auto wrote into it.
        other.undo();
        QCOMPARE(other.bytes(), before);
    }

    // Typing a key into a large text translates once the typing pauses.
    void aKeyTypedIntoALargeTextWaitsForAPause()
    {
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.window->show();
        f.normal()->setBytes(std::string(std::size_t{2} << 20, 'w'));
        const std::string text = f.normal()->bytes();
        f.key()->setFocus();
        f.key()->end(false);
        QTest::keyClicks(f.key(), u"12"_qs);
        QCOMPARE(f.encoded()->bytes(), withKey(text, Direction::Encode));
        QTRY_COMPARE_WITH_TIMEOUT(f.encoded()->bytes(),
                                  withKey(text, Direction::Encode, "TarnVeli12"), 2000);
    }
};

QTEST_MAIN(TestAutoTranslate)
#include "tst_autotranslate.moc"
