// New Code Table: the dialog on its own (kinds, settings, name, preview), the
// window opening it by its keys and from the table list's menu and saving the
// table into the user's folder, and the word about a table that cannot be decoded.
#include <sys/stat.h>

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "engine/codetablefile.h"
#include "engine/tablecheck.h"
#include "mainwindowfixture.h"
#include "ui/main/newtabledialog.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

struct DialogParts
{
    QComboBox *kind;
    QSpinBox *shift;
    QLineEdit *keyword;
    QLineEdit *name;
    QLabel *preview;
    QLabel *problem;
    QPushButton *shuffleAgain;
    QPushButton *save;
};

DialogParts partsOf(QDialog &dialog)
{
    return {dialog.findChild<QComboBox *>(u"TableKind"_s),
            dialog.findChild<QSpinBox *>(u"TableShift"_s),
            dialog.findChild<QLineEdit *>(u"TableKeyword"_s),
            dialog.findChild<QLineEdit *>(u"TableName"_s),
            dialog.findChild<QLabel *>(u"Preview"_s),
            dialog.findChild<QLabel *>(u"Problem"_s),
            dialog.findChild<QPushButton *>(u"ShuffleAgain"_s),
            dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save)};
}

void chooseKind(QComboBox &list, TableKind kind)
{
    list.setCurrentIndex(list.findData(static_cast<int>(kind)));
}

// A scripted answer that fills the dialog as a user would and saves.
std::function<int(QDialog &)> fillAndSave(TableKind kind, const QString &name, int shift = 13)
{
    return [=](QDialog &dialog) {
        const DialogParts parts = partsOf(dialog);
        chooseKind(*parts.kind, kind);
        parts.shift->setValue(shift);
        QTest::keyClicks(parts.name, name);
        if (!parts.save->isEnabled()) {
            return int(QDialog::Rejected);
        }
        parts.save->click();
        return dialog.result();
    };
}

// As the keys or the table list's menu do; those two ways have a test of their own.
void openNewTable(const MainWindowFixture &f)
{
    f.child<QAction>("NewCodeTable")->trigger();
}

} // namespace

class TestNewTable : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Lists of codes are joined the way the language joins them.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    void nameProblems_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("problem");
        QTest::newRow("a plain name") << u"Mine"_s << QString();
        QTest::newRow("dots and blanks inside") << u"My table.v2"_s << QString();
        QTest::newRow("letters beyond ASCII") << u"Gr\u00fc\u00dfe"_s << QString();
        QTest::newRow("empty") << QString() << u"Give the table a name."_s;
        QTest::newRow("blanks alone") << u"   "_s << u"Give the table a name."_s;
        QTest::newRow("a folder") << u"../Mine"_s << u"A name cannot hold \"/\"."_s;
        QTest::newRow("hidden") << u".Mine"_s
                                << u"A name cannot start with a dot: the list leaves such files "
                                   "out."_s;
        QTest::newRow("a blank at the end")
            << u"Mine "_s << u"A name cannot start or end with a blank."_s;
        QTest::newRow("too long for a file")
            << QString(252, u'x') << u"The name is too long for a file name."_s;
        QTest::newRow("as long as a file may be") << QString(251, u'x') << QString();
    }
    void nameProblems()
    {
        QFETCH(QString, name);
        QFETCH(QString, problem);
        QCOMPARE(tableNameProblem(name), problem);
    }

    // Each kind enables the setting it takes; the preview is the sample through
    // the table Save writes; Save waits for a name and a good keyword.
    void dialogFollowsItsSettings()
    {
        SeededRandomSource random(5);
        NewTableDialog dialog(random);
        const DialogParts parts = partsOf(dialog);
        QCOMPARE(parts.kind->count(), int(kTableKinds.size()));
        QVERIFY(!parts.save->isEnabled());
        QVERIFY(parts.problem->text().isEmpty());

        chooseKind(*parts.kind, TableKind::ShiftLetters);
        QVERIFY(parts.shift->isEnabled());
        QVERIFY(!parts.keyword->isEnabled());
        QVERIFY(!parts.shuffleAgain->isEnabled());
        QCOMPARE(parts.preview->text(), u"Gur dhvpx oebja sbk whzcf bire gur ynml qbt."_s);
        parts.shift->setValue(1);
        QCOMPARE(parts.preview->text(), u"Uif rvjdl cspxo gpy kvnqt pwfs uif mbaz eph."_s);

        chooseKind(*parts.kind, TableKind::KeywordAlphabet);
        QVERIFY(parts.keyword->isEnabled());
        QVERIFY(!parts.shift->isEnabled());
        QTest::keyClicks(parts.name, u"Mine"_s);
        QVERIFY(!parts.save->isEnabled());
        QCOMPARE(parts.problem->text(),
                 u"A keyword holds one or more of the letters a to z, and nothing else."_s);
        QTest::keyClicks(parts.keyword, u"Zebra"_s);
        QVERIFY(parts.save->isEnabled());
        QVERIFY(parts.problem->text().isEmpty());
        QCOMPARE(parts.preview->text(), u"Sfa otgbi epmvl cmw htknq muap sfa jzyx rmd."_s);
        QTest::keyClicks(parts.keyword, u"1"_s);
        QVERIFY(!parts.save->isEnabled());
        QVERIFY(parts.preview->text().isEmpty());
        parts.keyword->clear();
        QTest::keyClicks(parts.keyword, u"Zebra"_s);

        parts.name->setText(u"a/b"_s);
        QVERIFY(!parts.save->isEnabled());
        QCOMPARE(parts.problem->text(), u"A name cannot hold \"/\"."_s);
        parts.name->setText(u"Zebra"_s);
        QVERIFY(parts.save->isEnabled());
        QCOMPARE(dialog.name(), u"Zebra"_s);
        const CodeTables saved = codeTablesOf(dialog.table());
        QCOMPARE(translateThroughTable("abc", saved.encodeTable), std::string("zeb"));
    }

    void shuffleAgainDrawsANewTable()
    {
        SeededRandomSource random(9);
        NewTableDialog dialog(random);
        const DialogParts parts = partsOf(dialog);
        for (const TableKind kind : {TableKind::ShuffleLetters, TableKind::ShuffleCharacters}) {
            chooseKind(*parts.kind, kind);
            QVERIFY(parts.shuffleAgain->isEnabled());
            const std::array<unsigned char, 256> before = dialog.table().encodesAs;
            const QString preview = parts.preview->text();
            parts.shuffleAgain->click();
            QVERIFY(dialog.table().encodesAs != before);
            QVERIFY(parts.preview->text() != preview);
            QVERIFY(checkTable(codeTablesOf(dialog.table())).decodable());
        }
    }

    void windowSavesAndChoosesTheTable_data()
    {
        QTest::addColumn<bool>("byKeys");
        QTest::newRow("by its keys") << true;
        QTest::newRow("from the table list's menu") << false;
    }
    // Saved as NAME.sbt in the user's table folder, made for the user alone when
    // missing; the list shows it, chosen and loaded, and Auto follows it.
    void windowSavesAndChoosesTheTable()
    {
        QFETCH(bool, byKeys);
        MainWindowFixture f;
        f.platform.userTables = f.path(u"data/lorimand"_s);
        f.writeFile(u"Readme.txt"_s, "help");
        f.writeFile(u"ROT13.sbt"_s, "97=110\r\n110=97\r\n");
        QVERIFY(f.window->startUp());
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        f.useCustom()->click();
        f.normal()->setBytes("abc");
        f.normal()->selectWholeText();
        QTest::keyClicks(f.normal(), u"Hello"_s);
        f.platform.dialogAnswers.enqueue(fillAndSave(TableKind::ShiftLetters, u"Mine"_s, 1));
        if (byKeys) {
            QTest::keySequence(f.window.get(), QKeySequence(MainWindow::kNewTableShortcut));
        } else {
            bool found = false;
            QTimer::singleShot(0, f.codeName(), [&] {
                auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
                QAction *entry = menu != nullptr && !menu->actions().isEmpty()
                                     ? menu->actions().front()
                                     : nullptr;
                found = entry != nullptr && entry->text() == u"&New Code Table..."_s;
                if (menu != nullptr) {
                    menu->close();
                }
                if (found) {
                    entry->trigger();
                }
            });
            QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2),
                                    f.codeName()->mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(f.codeName(), &event);
            QVERIFY(found);
        }
        QCOMPARE(f.platform.dialogTitles, QStringList{u"New Code Table"_s});
        QVERIFY(f.platform.messages.isEmpty());

        const QByteArray saved = f.readFile(u"data/lorimand/Mine.sbt"_s);
        QVERIFY(saved.startsWith("Lorimand code table: each letter moves 1 places"));
        QVERIFY(saved.contains("\r\n97=98\r\n"));
        struct stat folder = {};
        QCOMPARE(::stat(QFile::encodeName(f.platform.userTables).constData(), &folder), 0);
        QCOMPARE(folder.st_mode & 0777U, 0700U);
        QCOMPARE(f.codeName()->currentText(), u"Mine"_s);
        QCOMPARE(f.window->codeTables(), parseCodeTable(saved.toStdString()).tables);
        QCOMPARE(f.encoded()->bytes(), std::string("Ifmmp"));
        QVERIFY(f.platform.notices.isEmpty());
    }

    // A name taken asks first; No goes back to the dialog as it was, Yes replaces.
    void aNameTakenAsksFirst()
    {
        MainWindowFixture f;
        f.platform.userTables = f.path(u"mine"_s);
        QVERIFY(QDir().mkpath(f.platform.userTables));
        f.writeFile(u"mine/Mine.sbt"_s, "97=98\r\n98=97\r\n");
        QVERIFY(f.window->startUp());
        QString nameWhenBack;
        f.platform.dialogAnswers.enqueue(fillAndSave(TableKind::ReverseAlphabet, u"Mine"_s));
        f.platform.dialogAnswers.enqueue([&](QDialog &dialog) {
            nameWhenBack = partsOf(dialog).name->text();
            return int(QDialog::Rejected);
        });
        f.platform.answers.enqueue(QMessageBox::No);
        openNewTable(f);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text,
                 u"You have a code table called \"Mine\" already. Replace it?"_s);
        QCOMPARE(f.platform.messages[0].defaultButton, QMessageBox::No);
        QCOMPARE(nameWhenBack, u"Mine"_s);
        QCOMPARE(f.readFile(u"mine/Mine.sbt"_s), QByteArray("97=98\r\n98=97\r\n"));

        f.platform.dialogAnswers.enqueue(fillAndSave(TableKind::ReverseAlphabet, u"Mine"_s));
        f.platform.answers.enqueue(QMessageBox::Yes);
        openNewTable(f);
        QVERIFY(f.readFile(u"mine/Mine.sbt"_s).contains("\r\n97=122\r\n"));
        QCOMPARE(f.codeName()->currentText(), u"Mine"_s);
    }

    // A failed write names the file and why, and goes back to the dialog; no
    // folder for the tables at all is said at once.
    void failuresAreSaid()
    {
        MainWindowFixture f;
        f.platform.userTables = f.path(u"tables"_s);
        QVERIFY(f.window->startUp());
        f.files.failWrites = true;
        int runs = 0;
        f.platform.dialogAnswers.enqueue([&](QDialog &dialog) {
            ++runs;
            return fillAndSave(TableKind::ShuffleLetters, u"Mine"_s)(dialog);
        });
        f.platform.dialogAnswers.enqueue([&](QDialog &) {
            ++runs;
            return int(QDialog::Rejected);
        });
        openNewTable(f);
        QCOMPARE(runs, 2);
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text,
                 u"Cannot save \"%1/Mine.sbt\":\nThe disk is full"_s.arg(f.platform.userTables));
        QCOMPARE(f.codeName()->findText(u"Mine"_s), -1);

        f.platform.userTables.clear();
        openNewTable(f);
        QCOMPARE(f.platform.messages.size(), 2);
        QCOMPARE(f.platform.messages[1].text,
                 u"There is no folder for your own code tables: neither XDG_DATA_HOME nor HOME "
                 "is set."_s);
        QCOMPARE(f.platform.dialogTitles.size(), 2);
    }

    // A table that cannot be decoded is pointed out without waiting, once.
    void undecodableTableIsSaidOnce()
    {
        MainWindowFixture f;
        f.writeFile(u"Bad.sbt"_s, "97=120\r\n98=120\r\n");
        f.writeFile(u"Good.sbt"_s, "97=98\r\n98=97\r\n");
        // Bad comes first in the list, so start-up chooses it.
        QVERIFY(f.window->startUp());
        QCOMPARE(f.codeName()->currentText(), u"Bad"_s);
        const auto choose = [&f](const QString &name) {
            const int index = f.codeName()->findText(name);
            f.codeName()->setCurrentIndex(index);
            emit f.codeName()->activated(index);
        };
        QCOMPARE(f.platform.notices.size(), 1);
        // Said at start-up, before the window appears, yet the window's own.
        QCOMPARE(f.platform.notices[0].parent, f.window.get());
        QCOMPARE(f.platform.notices[0].title, u"Custom Code"_s);
        QCOMPARE(f.platform.notices[0].text,
                 u"The code table \"Bad\" cannot be decoded:\n\n"
                 "Decoding cannot tell A, B and X apart: all encode as X\n"
                 "Decoding cannot tell a, b and x apart: all encode as x"_s);
        QVERIFY(f.platform.messages.isEmpty());
        choose(u"Good"_s);
        QCOMPARE(f.platform.notices.size(), 1);
        choose(u"Bad"_s);
        QCOMPARE(f.platform.notices.size(), 1);
        // Changed, and wrong in a new way: said again.
        f.writeFile(u"Bad.sbt"_s, "49=50\r\n");
        choose(u"Bad"_s);
        QCOMPARE(f.platform.notices.size(), 2);
        QVERIFY(f.platform.notices[1].text.endsWith(
            u"Decoding cannot tell 1 from 2: both encode as 2"_s));
        // A line break passes whole, so the code that encodes as LF cannot follow a CR.
        f.writeFile(u"Bad.sbt"_s, "10=164\r\n164=10\r\n");
        choose(u"Bad"_s);
        QCOMPARE(f.platform.notices.size(), 3);
        QVERIFY(f.platform.notices[2].text.endsWith(
            u"After a CR, \u00a4 encodes as code 10, which decodes as code 10"_s));
    }

    void manyProblemsAreCut()
    {
        MainWindowFixture f;
        QByteArray table;
        for (int code = 33; code < 60; ++code) {
            table += QByteArray::number(code) + "=32\r\n";
        }
        for (int code = 160; code < 170; ++code) {
            table += QByteArray::number(code) + "=" + QByteArray::number(code + 40) + "\r\n";
        }
        f.writeFile(u"Wide.sbt"_s, table);
        QVERIFY(f.window->startUp());
        QCOMPARE(f.platform.notices.size(), 1);
        const QStringList lines = f.platform.notices[0].text.split(u'\n');
        QCOMPARE(lines.size(), 2 + 8 + 1);
        QVERIFY2(lines.back().startsWith(u"and "_s) && lines.back().endsWith(u" more"_s),
                 qPrintable(lines.back()));
    }
};

QTEST_MAIN(TestNewTable)
#include "tst_newtable.moc"
