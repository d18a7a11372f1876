// Auto: an edit of one area changes only what it changes in the other, and the
// other always holds exactly what translating the whole text gives. Random edit
// sequences of every kind run against the whole translation; the other area
// keeps its view and its selection where the edit lies elsewhere.
#include <random>

#include <QApplication>
#include <QClipboard>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "engine/codetable.h"
#include "mainwindowfixture.h"
#include "ui/main/displaytext.h"

using namespace lorimand;
using namespace lorimand::test;

Q_DECLARE_METATYPE(lorimand::Direction)

namespace {

constexpr int kChunk = static_cast<int>(displaytext::kChunkLength);

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

void placeCaret(ByteTextEdit &area, int position, int anchor = -1)
{
    QTextCursor cursor(area.document());
    cursor.setPosition(anchor < 0 ? position : anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    area.setTextCursor(cursor);
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
        // A long line cut into chunks, CR LF and LF breaks, lone CRs (the
        // table drops them unless an LF follows), and LF as the first break so
        // that a typed break can complete a CR.
        QByteArray start = "one\ntwo\r\nthree\r\r\n";
        start += QByteArray(kChunk * 2 + 100, 'w');
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
            u"ab"_qs, u"x\r\ny"_qs, u"\n"_qs, u"\r"_qs, QString(kChunk + 7, u'p'), u"\r\n\r\n"_qs};
        const Qt::Key keys[] = {Qt::Key_A, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Delete};
        for (int step = 0; step < 300; ++step) {
            const int end = source.document()->characterCount() - 1;
            // Half the edits land at a chunk boundary or next to a line break.
            int position = pick(end + 1);
            if (step % 2 == 0) {
                const QTextBlock block = source.document()->findBlock(position);
                position = pick(2) == 0 ? block.position() : block.position() + block.length() - 1;
                position = std::clamp(position + pick(3) - 1, 0, end);
            }
            const int action = pick(10);
            QString what;
            if (action < 5) {
                placeCaret(source, position);
                const Qt::Key key = keys[pick(4)];
                QTest::keyClick(&source, key);
                what = QStringLiteral("key %1").arg(key);
            } else if (action < 7) {
                placeCaret(source, position,
                           std::clamp(position + pick(2 * kChunk) - kChunk, 0, end));
                const QString &paste = pastes[pick(static_cast<int>(std::size(pastes)))];
                QGuiApplication::clipboard()->setText(paste);
                QTest::keyClick(&source, Qt::Key_V, Qt::ControlModifier);
                what = QStringLiteral("paste of %1 characters").arg(paste.size());
            } else if (action < 9) {
                QTest::keyClick(&source, Qt::Key_Z, Qt::ControlModifier);
                what = QStringLiteral("undo");
            } else {
                QTest::keyClick(&source, Qt::Key_Y, Qt::ControlModifier);
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
    // selection, leaves both where they were.
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
        placeCaret(other, 25, 21);
        other.verticalScrollBar()->setValue(3);
        const QTextDocument *shown = other.document();

        f.normal()->moveCursor(QTextCursor::End);
        for (const Qt::Key key : {Qt::Key_A, Qt::Key_Return, Qt::Key_B, Qt::Key_Backspace}) {
            QTest::keyClick(f.normal(), key);
        }

        QCOMPARE(other.bytes(), withKey(f.normal()->bytes(), Direction::Encode));
        QCOMPARE(other.document(), shown);
        QCOMPARE(other.textCursor().anchor(), 21);
        QCOMPARE(other.textCursor().position(), 25);
        QCOMPARE(other.verticalScrollBar()->value(), 3);
        // Still one undo step back to what the area held before Auto wrote into it.
        QTest::keyClick(&other, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(other.bytes(), std::string());
    }
};

QTEST_MAIN(TestAutoTranslate)
#include "tst_autotranslate.moc"
