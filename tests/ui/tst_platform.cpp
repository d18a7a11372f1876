// The platform services where they do more than pass a call on to Qt.
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "ui/platform.h"

using namespace lorimand;

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
    // The save dialog refuses a name in a folder that does not exist, says
    // why, and lets the user choose again.
    void saveRefusesAMissingFolder()
    {
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("missing/out.txt"));
        const QString existing = folder.filePath(QStringLiteral("out.txt"));
        QStringList choices{missing, existing};
        QStringList messages;
        QTimer user;
        user.setInterval(10);
        connect(&user, &QTimer::timeout, this, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                messages << box->text();
                box->accept();
            } else if (auto *dialog = qobject_cast<QFileDialog *>(modal);
                       dialog && dialog->isVisible() && !choices.isEmpty()) {
                // Typed as a user types it: the name box takes a whole path.
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                QVERIFY(name);
                name->setText(choices.takeFirst());
                QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
            }
        });
        user.start();
        QtPlatform platform;
        QCOMPARE(platform.chooseFileToSave(nullptr, QStringLiteral("Save")), existing);
        QVERIFY(choices.isEmpty());
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains(folder.filePath(QStringLiteral("missing"))));
        QVERIFY(messages[0].contains(QStringLiteral("does not exist")));
    }

    // A notice returns at once and leaves its message open, not blocking the
    // window beneath it, until the user closes it.
    void noticeDoesNotWait()
    {
        QWidget window;
        window.show();
        QtPlatform platform;
        platform.showNotice(&window, QStringLiteral("Custom Code"), QStringLiteral("Bad table"));
        auto *box = window.findChild<QMessageBox *>();
        QVERIFY(box != nullptr);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(box->windowTitle(), QStringLiteral("Custom Code"));
        QCOMPARE(box->text(), QStringLiteral("Bad table"));
        const QPointer<QMessageBox> closed(box);
        box->button(QMessageBox::Ok)->click();
        QTRY_VERIFY(closed.isNull());
    }

    // A notice belongs to its window: it closes when the window closes, also
    // one given before the window first appeared (at start-up), so that no
    // window is left to keep the program running.
    void noticeClosesWithItsWindow_data()
    {
        QTest::addColumn<bool>("beforeTheWindowAppears");
        QTest::newRow("window shown") << false;
        QTest::newRow("before the window appears") << true;
    }
    void noticeClosesWithItsWindow()
    {
        QFETCH(bool, beforeTheWindowAppears);
        QWidget window;
        if (!beforeTheWindowAppears) {
            window.show();
        }
        QtPlatform platform;
        platform.showNotice(&window, QStringLiteral("Custom Code"), QStringLiteral("Bad table"));
        window.show();
        const QPointer<QMessageBox> box(window.findChild<QMessageBox *>());
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(box->isWindow());

        QVERIFY(window.close());
        QTRY_VERIFY(box.isNull());
        for (const QWidget *widget : QApplication::topLevelWidgets()) {
            QVERIFY2(!widget->isVisible(), widget->metaObject()->className());
        }
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
