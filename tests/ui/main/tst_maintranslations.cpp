// The main window in each language it speaks: every caption keeps one access key
// of its own, and fits its control where the layout rules put it at the
// window's minimum size.
#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

#include "engine/tablemaker.h"
#include "mainwindowfixture.h"
#include "ui/captions.h"
#include "ui/language.h"
#include "ui/main/mainlayout.h"
#include "ui/main/newtabledialog.h"
#include "ui/main/wrappingbutton.h"

using namespace Qt::StringLiterals;
using namespace lorimand;
using lorimand::test::MainWindowFixture;

namespace {

// Every control with an access key, and where the layout rules put it at the
// minimum size. The mode options lie in their group at places of their own.
struct Captioned
{
    const char *name;
    twips::Rect MainLayout::*box;
};
constexpr Captioned kWindowCaptions[] = {
    {"Label1", &MainLayout::label1},
    {"Label2", &MainLayout::label2},
    {"MaskKey", &MainLayout::maskKey},
    {"DecodeButton", &MainLayout::decodeButton},
    {"EncodeButton", &MainLayout::encodeButton},
    {"AutoUpdate", &MainLayout::autoUpdate},
    {"LoadText", &MainLayout::loadText},
    {"LoadCode", &MainLayout::loadCode},
    {"SaveText", &MainLayout::saveText},
    {"SaveCode", &MainLayout::saveCode},
};
constexpr struct
{
    const char *name;
    twips::Rect box;
} kModeCaptions[] = {{"UseKey", {0, 60, 1695, 195}}, {"UseCustom", {0, 360, 1635, 195}}};

// The access-key marks of a caption: "&&" is a plain ampersand.
int accessKeyMarks(const QString &caption)
{
    int marks = 0;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size()) {
            marks += caption[i + 1] == u'&' ? 0 : 1;
            ++i;
        }
    }
    return marks;
}

// Why a control's caption does not fit a box of that size, or empty when it does.
// An option's caption has the room from where its style starts it, beside the
// indicator, to the control's edge, on one line; a button's has the room inside
// its frame and may wrap onto as many lines as that height takes.
QString clippedCaption(const QAbstractButton &control, QSize box)
{
    QStyleOptionButton option;
    option.initFrom(&control);
    option.rect = QRect(QPoint(), box);
    option.text = control.text();
    const QFontMetrics metrics(control.font());
    const QStyle &style = *control.style();
    QRect room;
    int flags = Qt::TextShowMnemonic;
    if (qobject_cast<const QCheckBox *>(&control) || qobject_cast<const QRadioButton *>(&control)) {
        const QRect start = style.subElementRect(qobject_cast<const QCheckBox *>(&control)
                                                     ? QStyle::SE_CheckBoxContents
                                                     : QStyle::SE_RadioButtonContents,
                                                 &option, &control);
        room = QRect(start.left(), 0, box.width() - start.left(), box.height());
        flags |= static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        room = style.subElementRect(QStyle::SE_PushButtonContents, &option, &control);
        flags |= Qt::AlignCenter | Qt::TextWordWrap;
    }
    const QRect needed = metrics.boundingRect(room, flags, control.text());
    if (room.contains(needed)) {
        return {};
    }
    return u"%1: \"%2\" needs %3 x %4 pixels, has %5 x %6"_s
        .arg(control.objectName(), control.text())
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

} // namespace

class TestMainTranslations : public QObject
{
    Q_OBJECT

private slots:
    void languages_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("en") << u"en"_s;
        for (const QString &language : translatedLanguages()) {
            QTest::newRow(language.toUtf8().constData()) << language;
        }
    }

    void translationLoads_data() { languages_data(); }
    void translationLoads()
    {
        QFETCH(QString, language);
        const Translations translations(language);
        QVERIFY(translations.loaded());
        QCOMPARE(currentLanguage(), language);
        const MainWindowFixture fixture;
        const auto *load = fixture.child<QAbstractButton>("LoadText");
        QCOMPARE(load->text() == u"&Load Normal Text"_s, language == u"en");
    }

    void accessKeysAreUnique_data() { languages_data(); }
    void accessKeysAreUnique()
    {
        QFETCH(QString, language);
        const Translations translations(language);
        const MainWindowFixture fixture;
        QStringList captions;
        for (const Captioned &control : kWindowCaptions) {
            captions << fixture.child<QWidget>(control.name)->property("text").toString();
        }
        for (const auto &option : kModeCaptions) {
            captions << fixture.child<QAbstractButton>(option.name)->text();
        }
        QHash<QKeySequence, QString> taken;
        for (const QString &caption : std::as_const(captions)) {
            QVERIFY2(accessKeyMarks(caption) == 1, qPrintable(caption));
            const QKeySequence key = QKeySequence::mnemonic(caption);
            QVERIFY2(!key.isEmpty(), qPrintable(caption));
            QVERIFY2(!taken.contains(key), qPrintable(u"\"%1\" and \"%2\" share %3"_s.arg(
                                               taken.value(key), caption, key.toString())));
            taken.insert(key, caption);
        }
        // The tool tips name the translated keys.
        const auto *save = fixture.child<QAbstractButton>("SaveText");
        QCOMPARE(save->toolTip(), accessKeyToolTip(save->text()));
    }

    // The context menu's entries, in the order it shows them; Encoded's adds Find Key.
    void contextMenuKeysAreUnique_data() { languages_data(); }
    void contextMenuKeysAreUnique()
    {
        QFETCH(QString, language);
        const Translations translations(language);
        const char *const entries[] = {"&Undo", "&Redo",  "Cu&t",
                                       "&Copy", "&Paste", "Character &Set"};
        QStringList captions;
        for (const char *entry : entries) {
            captions << QCoreApplication::translate("lorimand::ByteTextEdit", entry);
        }
        captions << QCoreApplication::translate("lorimand::MainWindow", "Find &Key...");
        QSet<QKeySequence> taken;
        for (const QString &caption : std::as_const(captions)) {
            QCOMPARE(accessKeyMarks(caption), 1);
            const QKeySequence key = QKeySequence::mnemonic(caption);
            QVERIFY2(!taken.contains(key), qPrintable(caption));
            taken.insert(key);
        }
        // The character-set submenu's two entries.
        const QString windows =
            QCoreApplication::translate("lorimand::ByteTextEdit", "&Windows-1252");
        const QString utf8 = QCoreApplication::translate("lorimand::ByteTextEdit", "&UTF-8");
        QVERIFY(QKeySequence::mnemonic(windows) != QKeySequence::mnemonic(utf8));
    }

    // New Code Table's fields and buttons, Qt's own buttons among them.
    void newTableKeysAreUnique_data() { languages_data(); }
    void newTableKeysAreUnique()
    {
        QFETCH(QString, language);
        const Translations translations(language);
        SeededRandomSource random(1);
        const NewTableDialog dialog(random);
        QStringList captions;
        for (const QLabel *label : dialog.findChildren<QLabel *>()) {
            if (label->buddy()) {
                captions << label->text();
            }
        }
        for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>()) {
            captions << button->text();
        }
        QCOMPARE(captions.size(), 7); // four fields, Shuffle Again, Save and Cancel
        QHash<QKeySequence, QString> taken;
        int withKeys = 0;
        for (const QString &caption : std::as_const(captions)) {
            QVERIFY2(accessKeyMarks(caption) <= 1, qPrintable(caption));
            const QKeySequence key = QKeySequence::mnemonic(caption);
            if (key.isEmpty()) {
                continue;
            }
            ++withKeys;
            QVERIFY2(!taken.contains(key), qPrintable(u"\"%1\" and \"%2\" share %3"_s.arg(
                                               taken.value(key), caption, key.toString())));
            taken.insert(key, caption);
        }
        QVERIFY(withKeys >= 5);
    }

    void captionsFitAtTheMinimumSize_data() { languages_data(); }
    void captionsFitAtTheMinimumSize()
    {
        QFETCH(QString, language);
        const Translations translations(language);
        const MainWindowFixture fixture;
        QCOMPARE(fixture.window->size(), twips::clientSize(kMainMinimumSize));
        const MainLayout layout = arrangeMainWindow(twips::outerSize(fixture.window->size()));
        QStringList clipped;
        for (const Captioned &control : kWindowCaptions) {
            const auto *button = fixture.child<QAbstractButton>(control.name);
            if (!button) {
                continue; // the labels lie under Normal and are never seen
            }
            const QRect box = twips::toPixels(layout.*control.box);
            QCOMPARE(button->geometry(), box);
            if (const QString why = clippedCaption(*button, box.size()); !why.isEmpty()) {
                clipped << why;
            }
        }
        for (const auto &option : kModeCaptions) {
            const auto *button = fixture.child<QAbstractButton>(option.name);
            const QRect box = twips::toPixels(option.box);
            QCOMPARE(button->geometry(), box);
            if (const QString why = clippedCaption(*button, box.size()); !why.isEmpty()) {
                clipped << why;
            }
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(u"; "_s)));
    }
};

QTEST_MAIN(TestMainTranslations)
#include "tst_maintranslations.moc"
