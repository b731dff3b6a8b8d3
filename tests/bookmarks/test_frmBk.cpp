// The bookmark manager: deleting renumbers the rest without gaps, the selection
// follows the deleted line, and a file that cannot be written loses nothing.
#include "DiskFull.h"
#include "FileBytes.h"
#include "IniValue.h"
#include "ScriptedModalUi.h"
#include "bookmarks/frmBk.h"

#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

class TestFrmBk : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;
    ScriptedModalUi m_ui;
    int m_showbkCalls = 0;

    std::unique_ptr<frmBk> openManager()
    {
        return std::make_unique<frmBk>(m_file, m_ui, QIcon(), [this](const auto &) { ++m_showbkCalls; });
    }

    // Stores bookmarks 1..n as a.pdf/1, b.pdf/2, ..., with the counter n + 1 unless given.
    void storeBookmarks(int count, const QByteArray &counter = QByteArray())
    {
        QByteArray text = "[bkinfo]\nnextnum=" + (counter.isEmpty() ? QByteArray::number(count + 1) : counter) + "\n";
        for (int i = 1; i <= count; ++i)
            text += "path" + QByteArray::number(i) + "=" + QByteArray(1, char('a' + i - 1)) + ".pdf\npage"
                    + QByteArray::number(i) + "=" + QByteArray::number(i) + "\n";
        writeBytes(m_file, text);
    }

    static QStringList lines(const frmBk &manager)
    {
        QStringList result;
        for (int i = 0; i < manager.lstBk->count(); ++i)
            result << manager.lstBk->item(i)->text();
        return result;
    }

    // path<n>/page<n> for n = 1..20, as written in the file.
    QStringList storedBookmarks() const
    {
        const QByteArray content = readBytes(m_file);
        QStringList result;
        for (int i = 1; i <= 20; ++i)
            result << stored(content, "path" + QString::number(i)) + "/" + stored(content, "page" + QString::number(i));
        return result;
    }

    QString storedCounter() const { return stored(readBytes(m_file), "nextnum"); }

    static QString stored(const QByteArray &content, const QString &key)
    {
        return QString::fromUtf8(iniValue(content, "bkinfo", key));
    }

    static QStringList expectedStore(const QStringList &bookmarks)
    {
        QStringList result = bookmarks;
        while (result.size() < 20)
            result << "/";
        return result;
    }

private slots:
    void init()
    {
        m_file = m_dir.filePath(QStringLiteral("bk.ini"));
        QFile::remove(m_file);
        m_ui.messages.clear();
        m_showbkCalls = 0;
    }

    void windowLayout()
    {
        QPixmap pixmap(32, 32);
        pixmap.fill(Qt::red);
        const QIcon icon(pixmap);
        frmBk manager(m_file, m_ui, icon, [](const auto &) {});
        QCOMPARE(manager.windowTitle(), QStringLiteral("删除书签"));
        QCOMPARE(manager.size(), QSize(476, 409));
        QCOMPARE(manager.lstBk->geometry(), QRect(8, 8, 457, 354));
        QCOMPARE(manager.dcButton1->geometry(), QRect(80, 376, 121, 25));
        QCOMPARE(manager.dcButton2->geometry(), QRect(264, 376, 121, 25));
        QCOMPARE(manager.dcButton1->text(), QStringLiteral("删除选中书签(&D)"));
        QCOMPARE(manager.dcButton2->text(), QStringLiteral("返回(&R)"));
        QVERIFY(!manager.dcButton1->autoDefault());   // Enter never deletes
        QCOMPARE(manager.windowIcon().cacheKey(), icon.cacheKey());
        QVERIFY(!(manager.windowFlags() & Qt::WindowMaximizeButtonHint));
    }

    void emptyStoreListsNothingAndDeleteChangesNothing()
    {
        writeBytes(m_file, "[bkinfo]\nnextnum=1\n");
        auto manager = openManager();
        QCOMPARE(manager->lstBk->count(), 0);
        QCOMPARE(m_showbkCalls, 1);
        manager->dcButton1->click();
        QCOMPARE(readBytes(m_file), QByteArray("[bkinfo]\nnextnum=1\n"));
    }

    void deleteRenumbersAndMovesTheSelection_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("row");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<int>("selectedAfter");
        QTest::newRow("first of three") << 3 << 0 << QStringList{"b.pdf/2", "c.pdf/3"} << 0;
        QTest::newRow("middle of three") << 3 << 1 << QStringList{"a.pdf/1", "c.pdf/3"} << 0;
        QTest::newRow("last of three") << 3 << 2 << QStringList{"a.pdf/1", "b.pdf/2"} << 1;
        QTest::newRow("only one") << 1 << 0 << QStringList{} << -1;
        QTest::newRow("last of twenty") << 20 << 19 << QStringList{} << 18;
    }

    void deleteRenumbersAndMovesTheSelection()
    {
        QFETCH(int, count);
        QFETCH(int, row);
        QFETCH(QStringList, remaining);
        QFETCH(int, selectedAfter);
        storeBookmarks(count);
        if (count == 20) {
            for (int i = 1; i <= 19; ++i)
                remaining << QString(QChar('a' + i - 1)) + ".pdf/" + QString::number(i);
        }

        auto manager = openManager();
        manager->lstBk->setCurrentRow(row);
        manager->dcButton1->click();

        QCOMPARE(storedBookmarks(), expectedStore(remaining));
        QCOMPARE(storedCounter(), QString::number(remaining.size() + 1));
        QCOMPARE(manager->lstBk->count(), remaining.size());
        QCOMPARE(manager->lstBk->currentRow(), selectedAfter);
        QCOMPARE(m_showbkCalls, 2);   // the main window's items follow every refill
        QVERIFY(m_ui.messages.isEmpty());
        // All forty numbered keys exist afterwards, the unused ones empty.
        const QByteArray text = readBytes(m_file);
        for (int i = 1; i <= 20; ++i) {
            QVERIFY(text.contains("\npath" + QByteArray::number(i) + "="));
            QVERIFY(text.contains("\npage" + QByteArray::number(i) + "="));
        }
    }

    void handEditedCounter_data()
    {
        QTest::addColumn<QByteArray>("counter");
        QTest::addColumn<int>("lineCount");
        QTest::addColumn<QStringList>("afterDeletingTheLastLine");
        // A counter from 1 to 21 holds, lines without a stored bookmark included;
        // deleting one of those rebuilds the store from the stored paths.
        QTest::newRow("21") << QByteArray("21") << 20 << QStringList{"a.pdf/1", "b.pdf/2", "c.pdf/3"};
        // Beyond, the stored paths give the count, and the list never grows past 20.
        QTest::newRow("25") << QByteArray("25") << 3 << QStringList{"a.pdf/1", "b.pdf/2"};
        QTest::newRow("32767") << QByteArray("32767") << 3 << QStringList{"a.pdf/1", "b.pdf/2"};
    }

    void handEditedCounter()
    {
        QFETCH(QByteArray, counter);
        QFETCH(int, lineCount);
        QFETCH(QStringList, afterDeletingTheLastLine);
        storeBookmarks(3, counter);
        auto manager = openManager();
        QCOMPARE(manager->lstBk->count(), lineCount);
        QCOMPARE(lines(*manager).mid(0, 3), (QStringList{"a.pdf，第1页", "b.pdf，第2页", "c.pdf，第3页"}));
        QCOMPARE(lines(*manager).mid(3), QStringList(lineCount - 3, QStringLiteral("，第页")));

        manager->lstBk->setCurrentRow(lineCount - 1);
        manager->dcButton1->click();
        QCOMPARE(storedBookmarks(), expectedStore(afterDeletingTheLastLine));
        QCOMPARE(storedCounter(), QString::number(afterDeletingTheLastLine.size() + 1));
        QCOMPARE(manager->lstBk->count(), afterDeletingTheLastLine.size());
    }

    void ctrlClickKeepsTheLineToDeleteSelected()
    {
        storeBookmarks(3);
        auto manager = openManager();
        manager->show();
        manager->lstBk->setCurrentRow(1);
        const QRect line = manager->lstBk->visualItemRect(manager->lstBk->item(1));
        QTest::mouseClick(manager->lstBk->viewport(), Qt::LeftButton, Qt::ControlModifier, line.center());
        QCOMPARE(manager->lstBk->selectedItems(), QList<QListWidgetItem *>{manager->lstBk->item(1)});

        manager->dcButton1->click();
        QCOMPARE(lines(*manager), (QStringList{"a.pdf，第1页", "c.pdf，第3页"}));
        QCOMPARE(manager->lstBk->selectedItems(), QList<QListWidgetItem *>{manager->lstBk->item(0)});
    }

    void unwritableStoreShowsTheMessageAndKeepsTheFile_data()
    {
        QTest::addColumn<bool>("overLimit");
        QTest::newRow("disk full") << false;
        // Listed from its first part; a rewrite from that part would lose the rest.
        QTest::newRow("bk.ini over 1 MiB") << true;
    }

    void unwritableStoreShowsTheMessageAndKeepsTheFile()
    {
        QFETCH(bool, overLimit);
        storeBookmarks(3);
        if (overLimit)
            writeBytes(m_file, readBytes(m_file) + "; " + QByteArray(1024 * 1024, 'x') + "\n");
        const QByteArray before = readBytes(m_file);
        auto manager = openManager();
        manager->lstBk->setCurrentRow(1);
        {
            std::optional<DiskFull> full;
            if (!overLimit)
                full.emplace(before.size() - 1);
            manager->dcButton1->click();
        }
        QCOMPARE(readBytes(m_file), before);
        QCOMPARE(m_ui.messages.size(), 1);
        QCOMPARE(m_ui.messages[0].text, QStringLiteral("无法保存书签！"));
        QCOMPARE(m_ui.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(m_ui.messages[0].icon, ModalUi::Icon::Error);
        QCOMPARE(manager->lstBk->count(), 3);
    }

    void returnButtonClosesTheWindow()
    {
        storeBookmarks(1);
        auto manager = openManager();
        manager->show();
        manager->dcButton2->click();
        QVERIFY(!manager->isVisible());
        QCOMPARE(manager->result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(TestFrmBk)
#include "test_frmBk.moc"
