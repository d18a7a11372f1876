// The window's plain text in UTF-8: Normal's view is the user's choice, it never
// changes a byte or translates anything, and UTF-8 text goes through loading,
// editing, encoding, decoding and saving byte for byte.
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "mainwindowfixture.h"
#include "ui/main/utf8samples.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;
using displaytext::Charset;

namespace {

// A UTF-8 file as a Linux desktop writes it: umlauts, Greek, CJK and an emoji,
// each line ending in LF.
const QByteArray kLetterFile("Gr\xC3\xBC\xC3\x9F"
                             "e aus K\xC3\xB6ln\n"
                             "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1\n"
                             "\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80\n");

enum class Load
{
    NormalButton,
    EncodedButton,
    DropOnNormal,
    CommandLine
};

void load(MainWindowFixture &f, const QString &name, Load how)
{
    const QString path = f.path(name);
    switch (how) {
    case Load::NormalButton:
    case Load::EncodedButton:
        f.platform.fileChoices.enqueue(path);
        f.child<QPushButton>(how == Load::NormalButton ? "LoadText" : "LoadCode")->click();
        break;
    case Load::DropOnNormal:
        emit f.normal()->fileDropped(path);
        break;
    case Load::CommandLine:
        QVERIFY(f.window->startUp("-e " + pathOf(path)));
        break;
    }
}

// Line `line` of an area as it shows it.
[[nodiscard]] QString shownLine(const ByteTextEdit &area, qsizetype line)
{
    return area.shownText().split(u'\n').value(line);
}

[[nodiscard]] bool offered(const MainWindowFixture &f)
{
    return f.child<QWidget>("CharsetOffer")->isVisibleTo(f.window.get());
}

} // namespace

class TestPlainTextCharset : public QObject
{
    Q_OBJECT

private slots:
    // Only Normal can be switched, and switching it is no edit: with Auto on,
    // Encoded is not translated anew.
    void switchingNormalTranslatesNothing()
    {
        MainWindowFixture f;
        f.normal()->setBytes(testing::kUtf8Letter.toStdString());
        f.window->encode();
        f.autoUpdate()->setCheckState(Qt::Checked);
        const std::string encoded = f.encoded()->bytes();
        QSignalSpy retranslated(f.encoded(), &ByteTextEdit::textChanged);

        testing::pressCharsetKey(*f.normal());
        testing::pressCharsetKey(*f.encoded());
        QCoreApplication::processEvents();

        QCOMPARE(f.normal()->charset(), Charset::Utf8);
        QCOMPARE(f.encoded()->charset(), Charset::Windows1252);
        QCOMPARE(f.normal()->bytes(), testing::kUtf8Letter.toStdString());
        QCOMPARE(f.encoded()->bytes(), encoded);
        QCOMPARE(retranslated.count(), 0);
    }

    // The view is taken from the settings file at start and written back at
    // close: in place, or appended when it is not the default.
    void rememberedView_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<bool>("switchView");
        QTest::addColumn<bool>("utf8AtStart");
        QTest::addColumn<QByteArray>("charsetLine");
        QTest::newRow("never chosen") << QByteArray() << false << false << QByteArray();
        QTest::newRow("chosen now")
            << QByteArray() << true << false << QByteArray("TextCharset=UTF-8\r\n");
        QTest::newRow("remembered") << QByteArray("TextCharset=UTF-8\r\n") << false << true
                                    << QByteArray("TextCharset=UTF-8\r\n");
        QTest::newRow("remembered, then left")
            << QByteArray("textcharset=utf-8\r\n") << true << true
            << QByteArray("TextCharset=Windows-1252\r\n");
    }
    void rememberedView()
    {
        QFETCH(QByteArray, before);
        QFETCH(bool, switchView);
        QFETCH(bool, utf8AtStart);
        QFETCH(QByteArray, charsetLine);
        MainWindowFixture f;
        f.writeFile(u"Lorimand.ini"_s, before);
        QVERIFY(f.window->startUp());
        QCOMPARE(f.normal()->charset(), utf8AtStart ? Charset::Utf8 : Charset::Windows1252);
        if (switchView) {
            testing::pressCharsetKey(*f.normal());
        }
        QVERIFY(f.window->close());
        const QByteArray after = f.readFile(u"Lorimand.ini"_s);
        QCOMPARE(after.count("TextCharset"), charsetLine.isEmpty() ? 0 : 1);
        QVERIFY(after.contains(charsetLine));
    }

    // A file loaded into Normal that reads as UTF-8 brings the offer of the
    // UTF-8 view, and nothing changes before the user takes it.
    void utf8FileIsOffered_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("how");
        QTest::addColumn<bool>("alreadyUtf8");
        QTest::addColumn<bool>("offer");
        const auto row = [](const char *name, const QByteArray &file, Load how, bool alreadyUtf8,
                            bool offer) {
            QTest::newRow(name) << file << int(how) << alreadyUtf8 << offer;
        };
        row("by the button", kLetterFile, Load::NormalButton, false, true);
        row("dropped", kLetterFile, Load::DropOnNormal, false, true);
        row("from the command line", kLetterFile, Load::CommandLine, false, true);
        row("into Encoded", kLetterFile, Load::EncodedButton, false, false);
        row("Normal shows UTF-8 already", kLetterFile, Load::NormalButton, true, false);
        row("ASCII only", "plain\ntext\n", Load::NormalButton, false, false);
        row("Windows-1252",
            "Gr\xFC\xDF"
            "e\n",
            Load::NormalButton, false, false);
        row("UTF-8 with a stray byte", "K\xC3\xB6ln \xFF\n", Load::NormalButton, false, false);
    }
    void utf8FileIsOffered()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, how);
        QFETCH(bool, alreadyUtf8);
        QFETCH(bool, offer);
        MainWindowFixture f;
        f.normal()->setCharset(alreadyUtf8 ? Charset::Utf8 : Charset::Windows1252);
        f.writeFile(u"in.txt"_s, file);
        load(f, u"in.txt"_s, Load(how));
        QCOMPARE(offered(f), offer);
        QCOMPARE(f.normal()->charset(), alreadyUtf8 ? Charset::Utf8 : Charset::Windows1252);
        if (offer) {
            QVERIFY(f.child<QLabel>("CharsetOfferText")->text().contains(u"in.txt"_qs));
        }
    }

    // Taking the offer switches the view, which translates nothing; dismissing
    // it, or choosing a view by other means, leaves the choice as it is.
    void answeringTheOffer_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("utf8");
        QTest::newRow("taken") << u"ShowAsUtf8"_qs << true;
        QTest::newRow("dismissed") << u"KeepWindows1252"_qs << false;
        QTest::newRow("view chosen by the keyboard") << QString() << true;
    }
    void answeringTheOffer()
    {
        QFETCH(QString, answer);
        QFETCH(bool, utf8);
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.writeFile(u"letter.txt"_s, kLetterFile);
        load(f, u"letter.txt"_s, Load::NormalButton);
        QVERIFY(offered(f));
        const std::string encoded = f.encoded()->bytes();
        QSignalSpy retranslated(f.encoded(), &ByteTextEdit::textChanged);

        if (answer.isEmpty()) {
            testing::pressCharsetKey(*f.normal());
        } else {
            f.window->findChild<QPushButton *>(answer)->click();
        }
        QCoreApplication::processEvents();

        QVERIFY(!offered(f));
        QCOMPARE(f.normal()->charset(), utf8 ? Charset::Utf8 : Charset::Windows1252);
        QCOMPARE(f.normal()->bytes(), kLetterFile.toStdString());
        QCOMPARE(f.encoded()->bytes(), encoded);
        QCOMPARE(retranslated.count(), 0);
    }

    void laterFileWithdrawsTheOffer()
    {
        MainWindowFixture f;
        f.writeFile(u"letter.txt"_s, kLetterFile);
        f.writeFile(u"plain.txt"_s, "plain");
        load(f, u"letter.txt"_s, Load::NormalButton);
        load(f, u"plain.txt"_s, Load::NormalButton);
        QVERIFY(!offered(f));
    }

    // A UTF-8 file goes through the window with the UTF-8 view and comes back
    // with no byte changed but those edited.
    void utf8FileThroughTheWindow()
    {
        MainWindowFixture f;
        f.autoUpdate()->setCheckState(Qt::Checked);
        f.writeFile(u"letter.txt"_s, kLetterFile);
        load(f, u"letter.txt"_s, Load::NormalButton);
        f.window->findChild<QPushButton *>(u"ShowAsUtf8"_qs)->click();

        ByteTextEdit &normal = *f.normal();
        QCOMPARE(shownLine(normal, 0), u"Gr\u00FC\u00DFe aus K\u00F6ln"_qs);
        QCOMPARE(shownLine(normal, 2), u"\u4F60\u597D \U0001F600"_qs);

        // The emoji replaced by another, and Greek added to the first line.
        normal.setCursorPosition(static_cast<std::size_t>(kLetterFile.lastIndexOf('\n')));
        QTest::keyClick(&normal, Qt::Key_Backspace);
        QTest::sendKeyEvent(QTest::Click, &normal, Qt::Key_unknown, u"\U0001F30D"_qs,
                            Qt::NoModifier);
        normal.setCursorPosition(static_cast<std::size_t>(kLetterFile.indexOf('\n')));
        QTest::sendKeyEvent(QTest::Click, &normal, Qt::Key_unknown, u" \u0391"_qs, Qt::NoModifier);
        QByteArray edited = kLetterFile;
        edited.replace("\xF0\x9F\x98\x80", "\xF0\x9F\x8C\x8D");
        edited.replace("K\xC3\xB6ln", "K\xC3\xB6ln \xCE\x91");
        QCOMPARE(normal.bytes(), edited.toStdString());

        // Auto has encoded each edit; decoding gives the same bytes back.
        QCOMPARE(f.encoded()->bytes(), withKey(edited.toStdString(), Direction::Encode));
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        normal.setBytes("");
        f.window->decode();
        QCOMPARE(normal.bytes(), edited.toStdString());
        QCOMPARE(shownLine(normal, 0), u"Gr\u00FC\u00DFe aus K\u00F6ln \u0391"_qs);

        f.platform.fileChoices.enqueue(f.path(u"saved.txt"_s));
        f.child<QPushButton>("SaveText")->click();
        QCOMPARE(f.readFile(u"saved.txt"_s), edited);
    }
};

QTEST_MAIN(TestPlainTextCharset)
#include "tst_plaintextcharset.moc"
