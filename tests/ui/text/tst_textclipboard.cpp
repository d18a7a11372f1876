// Tests of what a text area hands the clipboard: a copy is the characters shown
// in UTF-8; the X selection offered is made only when asked for, keeps a small
// selection's text through a change and withdraws a large one, and gives
// nothing once its area is gone.
#include <memory>

#include <QTest>

#include "ui/text/textclipboard.h"

using namespace lorimand;
using displaytext::Charset;
using namespace Qt::StringLiterals;

class TestTextClipboard : public QObject
{
    Q_OBJECT

private slots:
    void copyIsTheShownText()
    {
        const text::TextBuffer text(std::string("a\x01\r\nb\xE9", 6));
        const std::unique_ptr<QMimeData> copied(copiedText(text, 0, 6, Charset::Windows1252));
        QCOMPARE(copied->text(), u"a\u2401\nb\u00E9"_s);
    }

    // What the offer gives when asked: the text as offered; after the text
    // changes, a small selection's text as it was and nothing of a large one.
    void offerGivesTheSelectionAsOffered_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("kept");
        QTest::newRow("asked before any change") << 100 << false << true;
        QTest::newRow("a small one, after a change") << 100 << true << true;
        QTest::newRow("a large one, after a change")
            << int(OfferedSelection::kKeptBytes) + 1 << true << false;
    }
    void offerGivesTheSelectionAsOffered()
    {
        QFETCH(int, size);
        QFETCH(bool, changed);
        QFETCH(bool, kept);
        QObject owner;
        text::TextBuffer text(std::string(static_cast<std::size_t>(size) + 2, 'x'));
        OfferedSelection offer(owner, text, 1, static_cast<std::size_t>(size) + 1,
                               Charset::Windows1252);
        if (changed) {
            offer.textChanging();
            (void)text.replace(0, text.size(), "changed");
        }
        QCOMPARE(offer.hasText(), kept);
        QCOMPARE(offer.text(), kept ? QString(size, u'x') : QString());
    }

    void offerGivesNothingOnceItsAreaIsGone()
    {
        const text::TextBuffer text(std::string("some text"));
        auto owner = std::make_unique<QObject>();
        OfferedSelection offer(*owner, text, 0, 4, Charset::Windows1252);
        QCOMPARE(offer.text(), u"some"_s);
        owner.reset();
        QCOMPARE(offer.text(), QString());
    }
};

QTEST_GUILESS_MAIN(TestTextClipboard)
#include "tst_textclipboard.moc"
