// The window's plain text in UTF-8: Normal's view is the user's choice, it never
// changes a byte or translates anything, and UTF-8 text goes through loading,
// editing, encoding, decoding and saving byte for byte.
#include <QSignalSpy>
#include <QTest>

#include "mainwindowfixture.h"
#include "ui/main/utf8samples.h"

using namespace lorimand;
using namespace lorimand::test;
using displaytext::Charset;

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
};

QTEST_MAIN(TestPlainTextCharset)
#include "tst_plaintextcharset.moc"
