// Find Key in the window: the dialog of candidates on its own, and the window
// opening it from the keyboard and from Encoded's context menu, in key-shift and
// code-table mode, with a choice and with Cancel.
#include <functional>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "engine/keyfinder.h"
#include "mainwindowfixture.h"
#include "ui/main/findkeydialog.h"

using namespace Qt::StringLiterals;

using namespace lorimand;
using namespace lorimand::test;

namespace {

const std::string kLetter = "Dear Anna,\r\nthe garden looks lovely this spring; the roses are out "
                            "and the plums will be ripe soon.\r\nLove, Tom";

QListWidget *candidatesOf(QDialog &dialog)
{
    return dialog.findChild<QListWidget *>(u"Candidates"_s);
}

// Triggers Find Key from Encoded's context menu, as a right click does.
bool findKeyFromContextMenu(ByteTextEdit &area)
{
    bool found = false;
    QTimer::singleShot(0, &area, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        const QList<QAction *> actions = menu->actions();
        QAction *last = actions.isEmpty() ? nullptr : actions.back();
        // The window's entry comes last, after a separator of its own.
        if (last != nullptr && last->text() == u"Find &Key..."_s && actions.size() >= 2 &&
            actions[actions.size() - 2]->isSeparator()) {
            found = true;
            menu->close();
            last->trigger();
        } else {
            menu->close();
        }
    });
    const QPoint where(5, 5);
    QContextMenuEvent event(QContextMenuEvent::Mouse, where, area.viewport()->mapToGlobal(where));
    QApplication::sendEvent(area.viewport(), &event);
    return found;
}

} // namespace

class TestFindKey : public QObject
{
    Q_OBJECT

private slots:
    // The dialog lists its candidates best first with the first chosen; Use is
    // off while nothing is chosen; Enter on a row takes it.
    void dialogListsAndChooses()
    {
        const QList<FindKeyDialog::Candidate> candidates{{u"Shift 48, key dD"_s, u"Dear Anna"_s},
                                                         {u"Shift 46, key H"_s, u"Fgct"_s}};
        FindKeyDialog dialog(u"Best first."_s, candidates);
        QListWidget *list = candidatesOf(dialog);
        QVERIFY(list != nullptr);
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), u"Shift 48, key dD\nDear Anna"_s);
        QCOMPARE(list->item(1)->text(), u"Shift 46, key H\nFgct"_s);
        QCOMPARE(dialog.chosen(), 0);
        QCOMPARE(dialog.findChild<QLabel *>(u"Explanation"_s)->text(), u"Best first."_s);
        QPushButton *use = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
        QVERIFY(use->isEnabled());
        list->setCurrentRow(-1);
        QVERIFY(!use->isEnabled());

        list->setCurrentRow(1);
        emit list->itemActivated(list->item(1));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.chosen(), 1);

        FindKeyDialog empty(u"None."_s, {});
        QCOMPARE(empty.chosen(), -1);
        QVERIFY(!empty.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled());
    }

    void keyModeChoosesAndDecodes_data()
    {
        QTest::addColumn<bool>("fromMenu");
        QTest::addColumn<bool>("masked");
        QTest::addColumn<bool>("large");
        QTest::newRow("by its keys") << false << false << false;
        QTest::newRow("from Encoded's menu, key masked") << true << true << false;
        QTest::newRow("a text larger than the sample") << false << false << true;
    }
    // The true shift is listed first with a preview of its first lines; choosing
    // it puts a key of that shift into the key field and decodes, one undo step.
    void keyModeChoosesAndDecodes()
    {
        QFETCH(bool, fromMenu);
        QFETCH(bool, masked);
        QFETCH(bool, large);
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        if (masked) {
            f.maskKey()->click();
        }
        std::string plain = kLetter;
        while (large && plain.size() <= kRankingSampleBytes) {
            plain += "\r\n" + kLetter;
        }
        f.normal()->setBytes("before");
        f.encoded()->setBytes(withKey(plain, Direction::Encode, "secret"));
        RuntimeGenerator generator;
        const int shift = shiftForKey("secret", generator);

        QStringList titles;
        QString preview;
        QString explanation;
        f.platform.dialogAnswers.enqueue([&](QDialog &dialog) {
            QListWidget *list = candidatesOf(dialog);
            for (int i = 0; i < list->count(); ++i) {
                titles.append(list->item(i)->text().section(u'\n', 0, 0));
            }
            preview = list->item(0)->text().section(u'\n', 1);
            explanation = dialog.findChild<QLabel *>(u"Explanation"_s)->text();
            list->setCurrentRow(0);
            return int(QDialog::Accepted);
        });
        if (fromMenu) {
            QVERIFY(findKeyFromContextMenu(*f.encoded()));
        } else {
            f.window->show();
            QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
            f.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
            f.encoded()->setFocus();
            QTest::keyClick(f.encoded(), Qt::Key_K, Qt::ControlModifier);
        }
        QCOMPARE(f.platform.dialogTitles, QStringList{u"Find Key"_s});
        QCOMPARE(titles.size(), 10);
        const QString key = QString::fromLatin1(keyForShift(shift));
        QCOMPARE(titles[0],
                 masked ? u"Shift %1"_s.arg(shift) : u"Shift %1, key %2"_s.arg(shift).arg(key));
        QCOMPARE(preview, u"Dear Anna,\nthe garden looks lovely this spring; the roses are out "
                          "and the plums will be ripe soon."_s);
        QCOMPARE(explanation.contains(u"sample"_s), large);

        QCOMPARE(f.key()->bytes(), keyForShift(shift));
        QCOMPARE(f.key()->isMasked(), masked);
        QCOMPARE(f.normal()->bytes(), plain);
        f.normal()->undo();
        QCOMPARE(f.normal()->bytes(), std::string("before"));
        QCOMPARE(f.encoded()->bytes(), withKey(plain, Direction::Encode, "secret"));
    }

    // Cancel leaves the key, both texts and their undo as they were.
    void cancelChangesNothing()
    {
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.normal()->setBytes("before", ByteTextEdit::History::Fresh);
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        const std::string encoded = withKey(kLetter, Direction::Encode, "secret");
        f.encoded()->setBytes(encoded, ByteTextEdit::History::Fresh);
        QVERIFY(findKeyFromContextMenu(*f.encoded()));
        QCOMPARE(f.platform.dialogTitles.size(), 1);
        QCOMPARE(f.key()->bytes(), std::string("TarnVeli"));
        QCOMPARE(f.normal()->bytes(), std::string("before"));
        QCOMPARE(f.encoded()->bytes(), encoded);
        QVERIFY(!f.normal()->isUndoAvailable());
    }

    // In code-table mode the tables are listed, best first; the one chosen is
    // selected in the list and decodes. A table that does not load is left out.
    void codeTableModeListsTables()
    {
        MainWindowFixture f;
        QByteArray swap;
        for (int c = 'a'; c <= 'z'; ++c) {
            swap +=
                QByteArray::number(c) + '=' + QByteArray::number('a' + (c - 'a' + 7) % 26) + "\r\n";
        }
        f.writeFile(u"Alpha.sbt"_s, "97=1\r\n101=2\r\n");
        f.writeFile(u"Broken.sbt"_s, "97=300\r\n");
        f.writeFile(u"Seven.sbt"_s, swap);
        QVERIFY(f.window->startUp());
        f.useCustom()->click();
        f.autoUpdate()->setCheckState(Qt::Unchecked);
        QCOMPARE(f.codeName()->currentText(), u"Alpha"_s);
        // Broken's message on start-up is not Find Key's concern.
        f.platform.messages.clear();

        std::string encoded;
        for (const char c : std::string("we meet at noon by the gate")) {
            encoded += c >= 'a' && c <= 'z' ? static_cast<char>('a' + (c - 'a' + 7) % 26) : c;
        }
        f.encoded()->setBytes(encoded);
        QStringList titles;
        f.platform.dialogAnswers.enqueue([&](QDialog &dialog) {
            QListWidget *list = candidatesOf(dialog);
            for (int i = 0; i < list->count(); ++i) {
                titles.append(list->item(i)->text());
            }
            return int(QDialog::Accepted);
        });
        f.window->findChild<QAction *>(u"FindKey"_s)->trigger();
        // Alpha's decode side leaves this text as it is.
        QCOMPARE(titles, (QStringList{u"Seven\nwe meet at noon by the gate"_s,
                                      u"Alpha\n"_s + QString::fromStdString(encoded)}));
        QCOMPARE(f.codeName()->currentText(), u"Seven"_s);
        QCOMPARE(f.normal()->bytes(), std::string("we meet at noon by the gate"));
        QVERIFY(f.platform.messages.isEmpty());
    }

    // With no encoded text there is nothing to rank: a message, no dialog.
    void emptyTextSaysSo()
    {
        MainWindowFixture f;
        QVERIFY(f.window->startUp());
        f.encoded()->setBytes({});
        f.window->findChild<QAction *>(u"FindKey"_s)->trigger();
        QVERIFY(f.platform.dialogTitles.isEmpty());
        QCOMPARE(f.platform.messages.size(), 1);
        QCOMPARE(f.platform.messages[0].text, u"There is no encoded text to find the key of."_s);
    }
};

QTEST_MAIN(TestFindKey)
#include "tst_findkey.moc"
