// For tests of a text area's UTF-8 view: byte strings (valid text in every
// encoded length, every kind of byte that is not part of a character, and
// characters a text area cannot show as themselves), each of which must read
// back unchanged in both views, and the key that switches the view.
#pragma once

#include <QByteArray>
#include <QTest>

namespace lorimand::testing {

// Umlauts, Greek, CJK and an emoji, with LF and CR LF line breaks.
inline const QByteArray
    kUtf8Letter("Gr\xC3\xBC\xC3\x9F"
                "e aus K\xC3\xB6ln\n"
                "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1"
                "\r\n\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80\r\n");

// Adds the byte strings to a Qt Test table with a QByteArray column "bytes".
inline void addUtf8Rows()
{
    QTest::newRow("letter") << kUtf8Letter;
    QTest::newRow("above U+FFFF") << QByteArray("\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xF0\x90\x80\x80");
    QTest::newRow("every length at its edges")
        << QByteArray("\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF");
    QTest::newRow("byte FF and FE") << QByteArray("a\xFF\xFE"
                                                  "b");
    QTest::newRow("overlong NUL") << QByteArray("\xC0\x80");
    QTest::newRow("overlong slash in three") << QByteArray("\xE0\x80\xAF");
    QTest::newRow("overlong in four") << QByteArray("\xF0\x80\x80\x80");
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80");
    QTest::newRow("lone continuation bytes") << QByteArray("\x80"
                                                           "a\xBF\xBF"
                                                           "b");
    QTest::newRow("surrogates") << QByteArray("\xED\xA0\x80\xED\xBF\xBF");
    QTest::newRow("surrogate pair in six bytes") << QByteArray("\xED\xA0\xBD\xED\xB8\x80");
    QTest::newRow("cut short at the end") << QByteArray("ab\xF0\x9F\x98");
    QTest::newRow("cut short before ASCII") << QByteArray("\xE4\xBD"
                                                          "x\xC3\n");
    QTest::newRow("lead byte before a lead byte") << QByteArray("\xC3\xC3\xBC");
    QTest::newRow("CR LF and lone LF") << QByteArray("\xC3\xA4\r\n\xC3\xB6\n\xC3\xBC\r\n");
    QTest::newRow("lone CR after a character") << QByteArray("\xC3\xA4\r\xC3\xB6");
    QTest::newRow("NUL and controls") << QByteArray("\0\xC3\xA4\x01\x1B\x7F\t", 8);
    QTest::newRow("C1 controls") << QByteArray("\xC2\x80\xC2\x9F");
    QTest::newRow("Windows-1252 text") << QByteArray("Gr\xFC\xDF"
                                                     "e \x80 \x93zitiert\x94");
    QTest::newRow("a picture's bytes") << QByteArray("\xE2\x90\x80\xE2\x90\x8A\xE2\x90\xA1");
    QTest::newRow("a mark's bytes") << QByteArray("\xEF\x9E\x80\xEF\x9F\xBF");
    QTest::newRow("line and paragraph separators") << QByteArray("a\xE2\x80\xA8"
                                                                 "b\xE2\x80\xA9"
                                                                 "c");
    QTest::newRow("frame characters") << QByteArray("\xEF\xB7\x90\xEF\xB7\x91");
    QTest::newRow("byte order mark and object character") << QByteArray("\xEF\xBB\xBF"
                                                                        "a\xEF\xBF\xBC");
    QTest::newRow("no-break space") << QByteArray("a\xC2\xA0"
                                                  "b");
}

// Ctrl+Alt+U with the text a keyboard gives it, a control code.
inline void pressCharsetKey(QWidget &widget)
{
    const auto modifiers = Qt::ControlModifier | Qt::AltModifier;
    QTest::sendKeyEvent(QTest::Press, &widget, Qt::Key_U, QString(QChar(0x15)), modifiers);
    QTest::sendKeyEvent(QTest::Release, &widget, Qt::Key_U, QString(QChar(0x15)), modifiers);
}

} // namespace lorimand::testing
