// Reading and rewriting the settings file as bytes, without a window.
#include <cstring>

#include <QTest>

#include "bytes.h"
#include "engine/keyshift.h"
#include "settingsstate.h"
#include "startup/settings.h"

namespace lorimand {

// Readable failure messages for the settings types.
char *toString(const WindowGeometry &g)
{
    return qstrdup(QByteArray::number(g.left) + "," + QByteArray::number(g.top) + "," +
                   QByteArray::number(g.width) + "," + QByteArray::number(g.height));
}

char *toString(const StoredSettings &s)
{
    QByteArray text = "key=";
    text += s.key ? QByteArray::fromStdString(*s.key).left(40).toPercentEncoding() : "(none)";
    text += s.key && s.key->size() > 40 ? "... (" + QByteArray::number(s.key->size()) + ")" : "";
    text += s.keyTooLong ? " (a key line too long)" : "";
    text += " maskKey=" + (s.maskKey ? QByteArray::number(*s.maskKey) : "(none)");
    text += " autoUpdate=" + (s.autoUpdate ? QByteArray::number(*s.autoUpdate) : "(none)");
    text += s.useCustom ? " useCustom" : " useKey";
    text += " custCode=" + QByteArray::fromStdString(s.codeTableName);
    if (s.geometry) {
        char *g = toString(*s.geometry);
        text += " geometry=" + QByteArray(g);
        delete[] g;
    }
    text += s.textCharset == charset::TextCharset::Utf8 ? " UTF-8" : " Windows-1252";
    text += s.askBeforeDiscarding ? " asks" : " discards";
    text += " lastFolder=" + QByteArray::fromStdString(s.lastFolder);
    return qstrdup(text.constData());
}

} // namespace lorimand

using namespace lorimand;
using namespace lorimand::test;

Q_DECLARE_METATYPE(lorimand::StoredSettings)
Q_DECLARE_METATYPE(lorimand::CurrentSettings)
Q_DECLARE_METATYPE(lorimand::WindowGeometry)

namespace {

StoredSettings withKey(std::string key)
{
    StoredSettings s;
    s.key = std::move(key);
    return s;
}

StoredSettings withCharset(charset::TextCharset textCharset)
{
    StoredSettings s;
    s.textCharset = textCharset;
    return s;
}

StoredSettings withGeometry(float left, float top, float width, float height)
{
    StoredSettings s;
    s.geometry = WindowGeometry{left, top, width, height};
    return s;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<StoredSettings>("expected");

        QTest::newRow("empty file") << QByteArray() << StoredSettings{};
        QTest::newRow("foreign lines only")
            << QByteArray("; notes\r\n\r\nColor=blue\r\n") << StoredSettings{};

        QTest::newRow("key") << QByteArray("key=Tarn Veli\r\n") << withKey("Tarn Veli");
        QTest::newRow("KEY= in capitals") << QByteArray("KEY=Secret\r\n") << withKey("Secret");
        QTest::newRow("key value kept unchanged")
            << QByteArray("Key= A=b \xC4\r\n") << withKey(" A=b \xC4");
        QTest::newRow("empty key") << QByteArray("key=\r\n") << withKey("");
        QTest::newRow("indented key ignored") << QByteArray("  key=Secret\r\n") << StoredSettings{};
        QTest::newRow("later key wins")
            << QByteArray("key=first\r\nColor=blue\r\nkey=second\r\n") << withKey("second");
        QTest::newRow("no final line end") << QByteArray("key=abc") << withKey("abc");
        {
            // A key is bounded as a key file's is; a longer line is not applied.
            const std::string longest(kLongestKey, 'k');
            QTest::newRow("key of the longest length")
                << "key=" + QByteArray::fromStdString(longest) + "\r\n"
                << withKey(longest);
            StoredSettings s;
            s.keyTooLong = true;
            QTest::newRow("key one byte too long")
                << "key=" + QByteArray::fromStdString(longest) + "k\r\n"
                << s;
            s.key = "first";
            QTest::newRow("a key too long leaves the one before")
                << "key=first\r\nkey=" + QByteArray::fromStdString(longest) + "k" << s;
        }
        const StoredSettings utf8 = withCharset(charset::TextCharset::Utf8);
        QTest::newRow("text charset UTF-8") << QByteArray("TextCharset=UTF-8\r\n") << utf8;
        QTest::newRow("text charset in any case") << QByteArray("textcharset=utf-8\r\n") << utf8;
        QTest::newRow("later text charset wins")
            << QByteArray("TextCharset=UTF-8\r\nTextCharset=Windows-1252\r\n") << StoredSettings{};
        QTest::newRow("unknown text charset leaves the one before")
            << QByteArray("TextCharset=UTF-8\r\nTextCharset=KOI8-R\r\nTextCharset=\r\n") << utf8;
        {
            StoredSettings s;
            s.askBeforeDiscarding = false;
            QTest::newRow("discarding unasked") << QByteArray("AskBeforeDiscarding=0\r\n") << s;
            QTest::newRow("only 0 turns the question off")
                << QByteArray("askbeforediscarding=0\r\nAskBeforeDiscarding=no\r\n")
                << StoredSettings{};
            s = {};
            s.lastFolder = "/home/ann/letters with blanks=1";
            QTest::newRow("last folder")
                << QByteArray("LastFolder=/home/ann/letters with blanks=1\r\n") << s;
        }

        {
            StoredSettings s;
            s.maskKey = 1;
            s.autoUpdate = 0;
            QTest::newRow("check boxes") << QByteArray("MaskKey=1\r\nAutoUpdate=0\r\n") << s;
            QTest::newRow("check boxes, other case")
                << QByteArray("MASKKEY=1\r\nautoupdate=0\r\n") << s;
            QTest::newRow("three letters keep the earlier value")
                << QByteArray("MaskKey=1\r\nMaskKey=abc\r\nAutoUpdate=0\r\nAutoUpdate=x\r\n") << s;
            QTest::newRow("states beyond 2 and below 0 keep the earlier value")
                << QByteArray("MaskKey=1\r\nMaskKey=3\r\nAutoUpdate=0\r\nAutoUpdate=-1\r\n") << s;
            QTest::newRow("empty value keeps the earlier value")
                << QByteArray("MaskKey=1\r\nMaskKey=\r\nAutoUpdate=0\r\nAutoUpdate=\r\n") << s;
            QTest::newRow("blanks around the number")
                << QByteArray("MaskKey= 1 \r\nAutoUpdate=  0\r\n") << s;
        }
        {
            StoredSettings s;
            s.maskKey = 2;
            s.autoUpdate = 2;
            QTest::newRow("grayed") << QByteArray("MaskKey=2\r\nAutoUpdate=2\r\n") << s;
            QTest::newRow("fractions round half to even")
                << QByteArray("MaskKey=1.6\r\nAutoUpdate=2.5\r\n") << s;
        }
        {
            StoredSettings s;
            s.autoUpdate = 1;
            QTest::newRow("trailing text is no number")
                << QByteArray("AutoUpdate=1\r\nAutoUpdate=0 please\r\nMaskKey=1x\r\n") << s;
        }

        {
            StoredSettings custom;
            custom.useCustom = true;
            QTest::newRow("CodeType=0 changes nothing")
                << QByteArray("CodeType=0\r\n") << StoredSettings{};
            QTest::newRow("codetype=1") << QByteArray("codetype=1\r\n") << custom;
            QTest::newRow("CODETYPE=1") << QByteArray("CODETYPE=1\r\n") << custom;
            QTest::newRow("CodeType=1 with trailing blank")
                << QByteArray("CodeType=1 \r\n") << StoredSettings{};
            QTest::newRow("indented CodeType=1")
                << QByteArray(" CodeType=1\r\n") << StoredSettings{};
            QTest::newRow("code-table mode sticks")
                << QByteArray("CodeType=1\r\nCodeType=0\r\n") << custom;
        }
        {
            StoredSettings s;
            s.codeTableName = "Caesar";
            QTest::newRow("custcode") << QByteArray("CustCode=Caesar\r\n") << s;
            QTest::newRow("later custcode wins")
                << QByteArray("CustCode=Other\r\ncustcode=Caesar\r\n") << s;
            QTest::newRow("empty custcode")
                << QByteArray("CustCode=Caesar\r\nCUSTCODE=\r\n") << StoredSettings{};
        }

        QTest::newRow("geometry") << QByteArray("windowpos=1200,900,8415,6000\r\n")
                                  << withGeometry(1200, 900, 8415, 6000);
        QTest::newRow("geometry, one number")
            << QByteArray("WindowPos=100\r\n") << withGeometry(100, 0, 0, 0);
        QTest::newRow("geometry, two numbers: height read after the only comma")
            << QByteArray("WindowPos=100,200\r\n") << withGeometry(100, 200, 0, 200);
        QTest::newRow("geometry, three numbers")
            << QByteArray("WindowPos=100,200,300\r\n") << withGeometry(100, 200, 300, 0);
        QTest::newRow("geometry, nothing")
            << QByteArray("WindowPos=\r\n") << withGeometry(0, 0, 0, 0);
        QTest::newRow("geometry, fractions and signs")
            << QByteArray("WindowPos=-15,12.5,8415.25,6e3\r\n")
            << withGeometry(-15, 12.5f, 8415.25f, 6000);
        QTest::newRow("geometry, rounded to single precision")
            << QByteArray("WindowPos=0.1,16777217,1,2\r\n")
            << withGeometry(0.1f, 16777216.0f, 1, 2);
        QTest::newRow("geometry, leading numbers with blanks and text")
            << QByteArray("WindowPos= 120 ,abc,30px,4 5\r\n") << withGeometry(120, 0, 30, 45);
        QTest::newRow("geometry, more than four numbers")
            << QByteArray("WindowPos=1,2,3,4,5\r\n") << withGeometry(1, 2, 3, 4);
        QTest::newRow("geometry, later line wins")
            << QByteArray("WindowPos=1,2,3,4\r\nwindowpos=5,6,7,8\r\n") << withGeometry(5, 6, 7, 8);
        QTest::newRow("geometry, beyond single precision gives 0")
            << QByteArray("WindowPos=1e39,2,3,4\r\n") << withGeometry(0, 2, 3, 4);

        {
            StoredSettings s;
            s.key = "abc";
            s.maskKey = 1;
            QTest::newRow("a lone CR ends a line") << QByteArray("key=abc\rMaskKey=1\r") << s;
        }
        {
            StoredSettings s;
            s.key = "ab";
            QTest::newRow("a lone LF ends a line") << QByteArray("key=ab\ncd\r\n") << s;
            s.maskKey = 1;
            s.autoUpdate = 0;
            QTest::newRow("LF line ends, as Linux editors write")
                << QByteArray("key=ab\nMaskKey=1\nAutoUpdate=0\n") << s;
        }
        {
            StoredSettings s;
            s.key = "Tarn Veli";
            s.maskKey = 2;
            s.autoUpdate = 0;
            s.useCustom = true;
            s.codeTableName = "Caesar";
            s.geometry = WindowGeometry{1200, 900, 8415, 6000};
            QTest::newRow("a whole file")
                << QByteArray("; my notes\r\nkey=Tarn Veli\r\nMaskKey=2\r\nAutoUpdate=0\r\n"
                              "CodeType=1\r\nCustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n")
                << s;
        }
    }
    void reading()
    {
        QFETCH(QByteArray, file);
        QFETCH(StoredSettings, expected);
        QCOMPARE(readSettings(bytesOf(file)), expected);
    }

    void parseWindowPosTakesTheWholeLine()
    {
        QCOMPARE(parseWindowPos("windowpos=1200,900,8415,6000"),
                 (WindowGeometry{1200, 900, 8415, 6000}));
        QCOMPARE(parseWindowPos("WindowPos=100,200"), (WindowGeometry{100, 200, 0, 200}));
        QCOMPARE(parseWindowPos("WindowPos=100"), (WindowGeometry{100, 0, 0, 0}));
        QCOMPARE(parseWindowPos(""), (WindowGeometry{0, 0, 0, 0}));
    }

    void rewriting_data()
    {
        QTest::addColumn<QByteArray>("oldFile");
        QTest::addColumn<CurrentSettings>("current");
        QTest::addColumn<QByteArray>("expected");

        const QByteArray sixLines = "key=Tarn Veli\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\n"
                                    "CustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n";

        QTest::newRow("empty file gives the six lines in order")
            << QByteArray() << exampleSettings() << sixLines;
        QTest::newRow("the six lines rewrite to themselves")
            << sixLines << exampleSettings() << sixLines;
        QTest::newRow("the big example")
            << QByteArray("; my notes\r\nKey=Tarn Veli\r\ncodetype=1\r\nColor=blue\r\n")
            << exampleSettings()
            << QByteArray("; my notes\r\nkey=Tarn Veli\r\nCodeType=1\r\nColor=blue\r\n"
                          "MaskKey=0\r\nAutoUpdate=1\r\nCustCode=Caesar\r\n"
                          "WindowPos=1200,900,8415,6000\r\n");
        QTest::newRow("the big example without a final line end")
            << QByteArray("; my notes\r\nKey=Tarn Veli\r\ncodetype=1\r\nColor=blue")
            << exampleSettings()
            << QByteArray("; my notes\r\nkey=Tarn Veli\r\nCodeType=1\r\nColor=blue\r\n"
                          "MaskKey=0\r\nAutoUpdate=1\r\nCustCode=Caesar\r\n"
                          "WindowPos=1200,900,8415,6000\r\n");
        QTest::newRow("indented key line replaced")
            << QByteArray("  KEY=old\r\n") << exampleSettings("new")
            << QByteArray("key=new\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\n"
                          "CustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n");
        QTest::newRow("two key lines both rewritten")
            << QByteArray("key=one\r\nColor=blue\r\nkey=two\r\n") << exampleSettings("new")
            << QByteArray("key=new\r\nColor=blue\r\nkey=new\r\nMaskKey=0\r\nAutoUpdate=1\r\n"
                          "CodeType=1\r\nCustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n");
        QTest::newRow("foreign and blank lines kept byte for byte and in place")
            << QByteArray("\r\n  ; Notes  \r\nWindowPos=1,2,3,4\r\n\r\n\tkey=tabbed\r\n"
                          "Colour = Blue \r\nkeys\r\n")
            << exampleSettings()
            << QByteArray("\r\n  ; Notes  \r\nWindowPos=1200,900,8415,6000\r\n\r\n"
                          "\tkey=tabbed\r\nColour = Blue \r\nkeys\r\nkey=Tarn Veli\r\n"
                          "MaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\nCustCode=Caesar\r\n");
        QTest::newRow("any mode line is replaced")
            << QByteArray("CodeType=1 \r\n codetype=7\r\n") << exampleSettings()
            << QByteArray("CodeType=1\r\nCodeType=1\r\nkey=Tarn Veli\r\nMaskKey=0\r\n"
                          "AutoUpdate=1\r\nCustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n");
        QTest::newRow("lone CR and LF line ends")
            << QByteArray("; a\rcustcode=x\nColor=blue\r\n") << exampleSettings()
            << QByteArray("; a\r\nCustCode=Caesar\r\nColor=blue\r\nkey=Tarn Veli\r\nMaskKey=0\r\n"
                          "AutoUpdate=1\r\nCodeType=1\r\nWindowPos=1200,900,8415,6000\r\n");
        // A key or table name holding a line break would add a stray line at every
        // close; the file keeps what it said about it instead.
        for (const char *lineBreak : {"\r", "\n", "\r\n"}) {
            const QByteArray name =
                QByteArray(lineBreak).replace("\r", "CR ").replace("\n", "LF ").trimmed();
            CurrentSettings c = exampleSettings(std::string("a") + lineBreak + "MaskKey=2");
            QTest::newRow(("key holding " + name + ": the file keeps its key lines").constData())
                << QByteArray("KEY=old\r\nkey=older\r\n") << c
                << QByteArray("KEY=old\r\nkey=older\r\nMaskKey=0\r\nAutoUpdate=1\r\n"
                              "CodeType=1\r\nCustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n");
            QTest::newRow(("key holding " + name + ": no key line added").constData())
                << QByteArray() << c
                << QByteArray("MaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\nCustCode=Caesar\r\n"
                              "WindowPos=1200,900,8415,6000\r\n");
            c = exampleSettings();
            c.codeTableName = std::string("Caesar") + lineBreak + "key=stray";
            QTest::newRow(("table name holding " + name + ": the file keeps its line").constData())
                << QByteArray("custcode=Old\r\n") << c
                << QByteArray("custcode=Old\r\n") +
                       QByteArray(kExampleSettingsLines).replace("CustCode=Caesar\r\n", "");
            QTest::newRow(("table name holding " + name + ": no line added").constData())
                << QByteArray() << c
                << QByteArray(kExampleSettingsLines).replace("CustCode=Caesar\r\n", "");
        }
        {
            // A key longer than the next start applies keeps the file's key lines.
            const std::string longest(kLongestKey, 'k');
            CurrentSettings c = exampleSettings(longest + "k");
            QTest::newRow("key too long: the file keeps its key line")
                << QByteArray("key=old\r\n") << c
                << QByteArray("key=old\r\nMaskKey=0\r\nAutoUpdate=1\r\n"
                              "CodeType=1\r\nCustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n");
            // A key line that was too long to apply stays as it was while the key
            // is the default that stood in for it, whatever that default is.
            const QByteArray tooLong = "key=" + QByteArray(kLongestKey + 1, 'k') + "\r\n";
            c = exampleSettings();
            c.keepsKeyLines = true;
            QTest::newRow("key line not applied: the file keeps it")
                << tooLong + "MaskKey=1\r\n"
                << c
                << tooLong + QByteArray(kExampleSettingsLines).replace("key=Tarn Veli\r\n", "");
            QTest::newRow("key line not applied and gone since: none added")
                << QByteArray() << c
                << QByteArray(kExampleSettingsLines).replace("key=Tarn Veli\r\n", "");
            c = exampleSettings(longest + "k");
            c.key = longest;
            QTest::newRow("key of the longest length is written")
                << QByteArray("key=old\r\n") << c
                << QByteArray(kExampleSettingsLines)
                       .replace("Tarn Veli", QByteArray::fromStdString(longest));
        }
        {
            CurrentSettings c;
            c.key = "K";
            c.maskKey = 2;
            c.autoUpdate = 0;
            c.useCustom = false;
            c.codeTableName = "";
            c.geometry = {-1200, 0, 8415.5f, 0.1f};
            QTest::newRow("key-shift mode, grayed, empty name, negative and fractions")
                << QByteArray("; x\r\n") << c
                << QByteArray("; x\r\nkey=K\r\nMaskKey=2\r\nAutoUpdate=0\r\nCodeType=0\r\n"
                              "CustCode=\r\nWindowPos=-1200,0,8415.5,0.1\r\n");
        }
    }
    // The text charset's line is rewritten in place, and appended only when
    // the charset is not the default.
    void rewritingTextCharset_data()
    {
        QTest::addColumn<QByteArray>("oldFile");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray sixLines = "key=Tarn Veli\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\n"
                                    "CustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n";
        QTest::newRow("default, never chosen") << sixLines << false << sixLines;
        QTest::newRow("UTF-8 appended") << sixLines << true << sixLines + "TextCharset=UTF-8\r\n";
        QTest::newRow("UTF-8 in place") << "textcharset=windows-1252\r\n" + sixLines << true
                                        << "TextCharset=UTF-8\r\n" + sixLines;
        QTest::newRow("back to the default in place")
            << "; x\r\nTextCharset=UTF-8\r\n" + sixLines << false
            << "; x\r\nTextCharset=Windows-1252\r\n" + sixLines;
    }
    void rewritingTextCharset()
    {
        QFETCH(QByteArray, oldFile);
        QFETCH(bool, utf8);
        QFETCH(QByteArray, expected);
        CurrentSettings current = exampleSettings();
        current.textCharset = utf8 ? charset::TextCharset::Utf8 : charset::TextCharset::Windows1252;
        QCOMPARE(QByteArray::fromStdString(rewriteSettings(bytesOf(oldFile), current)), expected);
    }

    // The discarding question's line and the last folder's are appended only
    // when they are not the default, and rewritten in place; a folder that would
    // break its line leaves what the file said.
    void rewritingOptionalLines_data()
    {
        QTest::addColumn<QByteArray>("oldFile");
        QTest::addColumn<bool>("ask");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("expected");
        const QByteArray sixLines = "key=Tarn Veli\r\nMaskKey=0\r\nAutoUpdate=1\r\nCodeType=1\r\n"
                                    "CustCode=Caesar\r\nWindowPos=1200,900,8415,6000\r\n";
        QTest::newRow("defaults: nothing added") << sixLines << true << QByteArray() << sixLines;
        QTest::newRow("question off appended")
            << sixLines << false << QByteArray() << sixLines + "AskBeforeDiscarding=0\r\n";
        QTest::newRow("question back on in place")
            << "askbeforediscarding=0\r\n" + sixLines << true << QByteArray()
            << "AskBeforeDiscarding=1\r\n" + sixLines;
        QTest::newRow("folder appended once set")
            << sixLines << true << QByteArray("/home/ann") << sixLines + "LastFolder=/home/ann\r\n";
        QTest::newRow("folder in place")
            << "LastFolder=/tmp\r\n" + sixLines << true << QByteArray("/srv/a b")
            << "LastFolder=/srv/a b\r\n" + sixLines;
        QTest::newRow("a folder with a line break is not written")
            << "LastFolder=/tmp\r\n" + sixLines << true << QByteArray("/srv/a\nb")
            << "LastFolder=/tmp\r\n" + sixLines;
        QTest::newRow("nor appended") << sixLines << true << QByteArray("/srv/a\rb") << sixLines;
    }
    void rewritingOptionalLines()
    {
        QFETCH(QByteArray, oldFile);
        QFETCH(bool, ask);
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, expected);
        CurrentSettings current = exampleSettings();
        current.askBeforeDiscarding = ask;
        current.lastFolder = folder.toStdString();
        QCOMPARE(QByteArray::fromStdString(rewriteSettings(bytesOf(oldFile), current)), expected);
    }

    void rewriting()
    {
        QFETCH(QByteArray, oldFile);
        QFETCH(CurrentSettings, current);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(rewriteSettings(bytesOf(oldFile), current)), expected);
    }

    void geometryNumbers_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("whole") << 8415.0f << QByteArray("8415");
        QTest::newRow("zero") << 0.0f << QByteArray("0");
        QTest::newRow("negative zero") << -0.0f << QByteArray("0");
        QTest::newRow("negative") << -1200.0f << QByteArray("-1200");
        QTest::newRow("half") << 12.5f << QByteArray("12.5");
        QTest::newRow("tenth: shortest digits") << 0.1f << QByteArray("0.1");
        QTest::newRow("negative fraction") << -7.25f << QByteArray("-7.25");
        QTest::newRow("small: no exponent") << 1e-7f << QByteArray("0.0000001");
        QTest::newRow("large whole: no exponent") << 16777216.0f << QByteArray("16777216");
        QTest::newRow("a third") << (1.0f / 3.0f) << QByteArray("0.33333334");
    }
    void geometryNumbers()
    {
        QFETCH(float, value);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(formatGeometryNumber(value)), expected);
    }

    // What the close writes, the next start reads back unchanged, run after run.
    void rewriteReadsBack_data()
    {
        QTest::addColumn<CurrentSettings>("current");
        QTest::newRow("example") << exampleSettings();
        CurrentSettings c;
        c.key = "a=b,c \xFF";
        c.maskKey = 1;
        c.autoUpdate = 2;
        c.useCustom = false;
        c.codeTableName = "my table";
        c.geometry = {-0.1f, 1.0f / 3.0f, 123456.789f, 1e-7f};
        c.textCharset = charset::TextCharset::Utf8;
        c.askBeforeDiscarding = false;
        c.lastFolder = "/home/ann/a=b, c \xFF";
        QTest::newRow("awkward values") << c;
    }
    void rewriteReadsBack()
    {
        QFETCH(CurrentSettings, current);
        const std::string first = rewriteSettings("; notes\r\nKey=old\r\n", current);
        const StoredSettings stored = readSettings(first);
        QCOMPARE(stored.key, std::optional<std::string>(current.key));
        QCOMPARE(stored.maskKey, std::optional<int>(current.maskKey));
        QCOMPARE(stored.autoUpdate, std::optional<int>(current.autoUpdate));
        QCOMPARE(stored.useCustom, current.useCustom);
        QCOMPARE(stored.codeTableName, current.codeTableName);
        QVERIFY(stored.geometry.has_value());
        QCOMPARE(*stored.geometry, current.geometry);
        QCOMPARE(stored.textCharset, current.textCharset);
        QCOMPARE(stored.askBeforeDiscarding, current.askBeforeDiscarding);
        QCOMPARE(stored.lastFolder, current.lastFolder);
        QCOMPARE(rewriteSettings(first, current), first);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
