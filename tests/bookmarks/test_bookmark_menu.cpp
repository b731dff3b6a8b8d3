// The Bookmarks menu: items built at start-up from bk.ini, adding the current page,
// jumping to a bookmark, and the manager keeping menu, list and file in step. The
// bookmark menu is checked on a menu of its own; the window only for what it adds.
#include "DiskFull.h"
#include "FileBytes.h"
#include "ShellFixture.h"
#include "bookmarks/BookmarkMenu.h"
#include "bookmarks/frmBk.h"

#include <QAction>
#include <QFileInfo>
#include <QIcon>
#include <QListWidget>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QString kLimitText = QStringLiteral("最多只能添加20个书签！请您删除其他无用的书签后再继续添加！");

// A bookmark menu on a menu of its own, with bk.ini in a temporary directory.
struct MenuFixture {
    QTemporaryDir dir;
    ScriptedModalUi ui;
    QWidget window;
    QMenu *menu = new QMenu(&window);
    BookmarkMenu bookmarks{menu, dir.path(), ui, &window};
    MenuFixture()
    {
        QPixmap icon(16, 16);
        icon.fill(Qt::darkRed);
        window.setWindowIcon(QIcon(icon));
    }
    const QVector<QAction *> &items() const { return bookmarks.items(); }
};

template <typename Fixture>
QString bkIni(Fixture &f) { return f.dir.filePath(QStringLiteral("bk.ini")); }

// Indices of the visible bookmark items 0..20.
QList<int> visibleItems(const QVector<QAction *> &items)
{
    QList<int> visible;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->isVisible())
            visible << i;
    }
    return visible;
}

QByteArray storeText(const QByteArray &nextnum, const QList<QPair<QByteArray, QByteArray>> &bookmarks)
{
    QByteArray text = "[bkinfo]\nnextnum=" + nextnum + "\n";
    for (int i = 0; i < bookmarks.size(); ++i) {
        const QByteArray n = QByteArray::number(i + 1);
        text += "path" + n + "=" + bookmarks[i].first + "\npage" + n + "=" + bookmarks[i].second + "\n";
    }
    return text;
}

} // namespace

class TestBookmarkMenu : public QObject {
    Q_OBJECT
private slots:
    void startupBuildsTwentyItemsFromAnOldChineseFile()
    {
        MenuFixture f;
        // Written by an earlier installation under a Chinese Windows code page.
        writeBytes(bkIni(f), "[bkinfo]\r\nnextnum=3\r\npath1=D:\\\xCA\xE9\xBC\xAE\\\xD6\xB8\xC4\xCF.pdf\r\n"
                             "page1=12\r\npath2=/home/u/a&b.pdf\r\npage2=1\r\n");
        QCOMPARE(f.items().size(), 1);
        QCOMPARE(f.items()[0]->text(), QStringLiteral("尚未添加书签"));
        QCOMPARE(f.items()[0]->objectName(), QStringLiteral("mnuBk"));
        f.bookmarks.createItems();

        QCOMPARE(f.items().size(), 21);
        QVERIFY(!f.items()[0]->isEnabled());
        // Qt reports hidden actions as disabled; every shown item can be chosen.
        for (int i = 1; i <= 20; ++i) {
            QCOMPARE(f.items()[i]->isEnabled(), f.items()[i]->isVisible());
            QCOMPARE(f.items()[i]->objectName(), QStringLiteral("mnuBk(%1)").arg(i));
        }
        // Items 1..20 follow item 0 at the end of the menu, in order.
        QCOMPARE(f.menu->actions(), QList<QAction *>(f.items().begin(), f.items().end()));
        QCOMPARE(visibleItems(f.items()), (QList<int>{1, 2}));
        QCOMPARE(f.items()[1]->text(), QStringLiteral("[D:\\书籍\\指南.pdf]，第12页"));
        QCOMPARE(f.items()[2]->text(), QStringLiteral("[/home/u/a&&b.pdf]，第1页"));
    }

    void emptyOrUnreadableStoreShowsOnlyThePlaceholder_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("counter 1") << QByteArray("[bkinfo]\nnextnum=1\n");
        QTest::newRow("counter not a number, no path stored") << QByteArray("[bkinfo]\nnextnum=zwei\npath1=\n");
    }

    void emptyOrUnreadableStoreShowsOnlyThePlaceholder()
    {
        QFETCH(QByteArray, content);
        MenuFixture f;
        if (!content.isEmpty())
            writeBytes(bkIni(f), content);
        f.bookmarks.createItems();
        QCOMPARE(visibleItems(f.items()), QList<int>{0});
        QVERIFY(!f.items()[0]->isEnabled());
    }

    void addingWritesNumberedEntriesAndDeletingRenumbers()
    {
        MenuFixture f;
        writeBytes(bkIni(f), "[bkinfo]\nnextnum=1\n");
        f.bookmarks.createItems();
        f.bookmarks.add(QStringLiteral("D:\\Books\\guide.pdf"), 12);
        f.bookmarks.add(QStringLiteral("E:\\Papers\\survey.pdf"), 1);

        QCOMPARE(readBytes(bkIni(f)), QByteArray("[bkinfo]\nnextnum=3\npath1=D:\\Books\\guide.pdf\n"
                                                 "page1=12\npath2=E:\\Papers\\survey.pdf\npage2=1\n"));
        QCOMPARE(f.ui.messages.size(), 2);
        QCOMPARE(f.ui.messages[1].text, QStringLiteral("添加书签成功！"));
        QCOMPARE(f.ui.messages[1].title, QStringLiteral("Vellumo 添加书签"));
        QCOMPARE(f.ui.messages[1].icon, ModalUi::Icon::Information);
        QCOMPARE(visibleItems(f.items()), (QList<int>{1, 2}));
        QVERIFY(f.items()[2]->isEnabled());
        QCOMPARE(f.items()[1]->text(), QStringLiteral("[D:\\Books\\guide.pdf]，第12页"));
        QCOMPARE(f.items()[2]->text(), QStringLiteral("[E:\\Papers\\survey.pdf]，第1页"));

        f.ui.dialogActions.push_back([&f](QDialog *dialog) {
            auto *manager = qobject_cast<frmBk *>(dialog);
            QVERIFY(manager);
            QCOMPARE(manager->windowIcon().cacheKey(), f.window.windowIcon().cacheKey());
            QCOMPARE(manager->lstBk->currentRow(), 0);
            manager->dcButton1->click();
            // List, menu and file agree while the manager is still open.
            QCOMPARE(manager->lstBk->count(), 1);
            QCOMPARE(manager->lstBk->item(0)->text(), QStringLiteral("E:\\Papers\\survey.pdf，第1页"));
            QCOMPARE(visibleItems(f.items()), QList<int>{1});
            QCOMPARE(f.items()[1]->text(), QStringLiteral("[E:\\Papers\\survey.pdf]，第1页"));
            manager->dcButton2->click();
        });
        f.bookmarks.manage(f.window.windowIcon());
        QCOMPARE(f.ui.dialogClasses, QStringList{"frmBk"});

        QByteArray expected = "[bkinfo]\nnextnum=2\npath1=E:\\Papers\\survey.pdf\npage1=1\n";
        for (int i = 2; i <= 20; ++i)
            expected += "path" + QByteArray::number(i) + "=\npage" + QByteArray::number(i) + "=\n";
        QCOMPARE(readBytes(bkIni(f)), expected);
    }

    void deletingTheLastBookmarkShowsThePlaceholderAgain()
    {
        ShellFixture f;
        f.viewer->documentPath = QStringLiteral("/a.pdf");
        f.viewer->currentPage = 3;
        f.window->mnuAddbk_Click();
        QCOMPARE(f.window->mnuBk()[1]->text(), QStringLiteral("[/a.pdf]，第3页"));
        QCOMPARE(visibleItems(f.window->mnuBk()), QList<int>{1});
        f.ui.dialogActions.push_back([&f](QDialog *dialog) {
            auto *manager = qobject_cast<frmBk *>(dialog);
            QCOMPARE(manager->windowIcon().cacheKey(), f.window->windowIcon().cacheKey());
            manager->dcButton1->click();
            QCOMPARE(manager->lstBk->count(), 0);
            manager->dcButton2->click();
        });
        f.window->mnuBkm_Click();
        QCOMPARE(visibleItems(f.window->mnuBk()), QList<int>{0});
        QVERIFY(!f.window->mnuBk()[0]->isEnabled());
    }

    void noDocumentAddsNothing()
    {
        ShellFixture f;
        f.window->mnuAddbk_Click();
        QVERIFY(!QFile::exists(bkIni(f)));
        QVERIFY(f.ui.messages.isEmpty());
    }

    void samePageTwiceGivesTwoBookmarks()
    {
        MenuFixture f;
        f.bookmarks.createItems();
        f.bookmarks.add(QStringLiteral("/a.pdf"), 4);
        f.bookmarks.add(QStringLiteral("/a.pdf"), 4);
        QCOMPARE(visibleItems(f.items()), (QList<int>{1, 2}));
        QCOMPARE(f.items()[1]->text(), f.items()[2]->text());
    }

    void addingTakesTheNextNumberUpToTwenty_data()
    {
        QTest::addColumn<QByteArray>("counter");
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("nineteen bookmarks take a twentieth") << QByteArray("20") << 19 << true;
        QTest::newRow("twenty bookmarks") << QByteArray("21") << 20 << false;
        QTest::newRow("hand-edited counter") << QByteArray("30") << 20 << false;
        // An unreadable counter must not make the add overwrite bookmark 1.
        QTest::newRow("counter beyond 32767") << QByteArray("40000") << 3 << true;
    }

    void addingTakesTheNextNumberUpToTwenty()
    {
        QFETCH(QByteArray, counter);
        QFETCH(int, stored);
        QFETCH(bool, accepted);
        MenuFixture f;
        QList<QPair<QByteArray, QByteArray>> bookmarks;
        for (int i = 1; i <= stored; ++i)
            bookmarks.append({"/b" + QByteArray::number(i) + ".pdf", QByteArray::number(i)});
        const QByteArray before = storeText(counter, bookmarks);
        writeBytes(bkIni(f), before);
        f.bookmarks.createItems();
        QCOMPARE(visibleItems(f.items()).size(), stored);
        QCOMPARE(f.items()[stored]->text(),
                 QStringLiteral("[/b%1.pdf]，第%1页").arg(stored));

        f.bookmarks.add(QStringLiteral("/new.pdf"), 1);
        QCOMPARE(f.ui.messages.size(), 1);
        if (accepted) {
            QCOMPARE(f.ui.messages[0].text, QStringLiteral("添加书签成功！"));
            bookmarks.append(qMakePair(QByteArray("/new.pdf"), QByteArray("1")));
            QCOMPARE(readBytes(bkIni(f)), storeText(QByteArray::number(stored + 2), bookmarks));
            QCOMPARE(visibleItems(f.items()).size(), stored + 1);
            QCOMPARE(f.items()[stored + 1]->text(), QStringLiteral("[/new.pdf]，第1页"));
        } else {
            QCOMPARE(f.ui.messages[0].text, kLimitText);
            QCOMPARE(f.ui.messages[0].title, QStringLiteral("提示"));
            QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Information);
            QCOMPARE(readBytes(bkIni(f)), before);
        }
    }

    void unwritableStoreShowsTheFailureNotSuccess_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QList<int>>("itemsShown");
        QTest::newRow("disk full") << "disk full" << QList<int>{1};
        // Saving would write wherever the link points.
        QTest::newRow("bk.ini a symbolic link") << "link" << QList<int>{1};
        // Far beyond any store the program writes: its first part is listed, the
        // file is not rewritten.
        QTest::newRow("bk.ini over 1 MiB") << "large" << QList<int>{1};
        // The add would pass the size the store reads back, and lock every
        // bookmark away.
        QTest::newRow("an add would pass 1 MiB") << "near the limit" << QList<int>{1};
    }

    void unwritableStoreShowsTheFailureNotSuccess()
    {
        QFETCH(QString, kind);
        QFETCH(QList<int>, itemsShown);
        MenuFixture f;
        QByteArray before = storeText("2", {{"/a.pdf", "1"}});
        QString stored = bkIni(f);
        if (kind == "link") {
            stored = f.dir.filePath(QStringLiteral("elsewhere.ini"));
            QVERIFY(QFile::link(stored, bkIni(f)));
        } else if (kind == "large") {
            before += "; " + QByteArray(1024 * 1024, 'x') + "\n";
        } else if (kind == "near the limit") {
            before += "; " + QByteArray(1024 * 1024 - 1 - before.size() - 3, 'x') + "\n";
            QCOMPARE(before.size(), 1024 * 1024 - 1);
        }
        writeBytes(stored, before);
        f.bookmarks.createItems();
        QCOMPARE(visibleItems(f.items()), itemsShown);
        std::optional<DiskFull> full;
        if (kind == "disk full")
            full.emplace(before.size());
        f.bookmarks.add(QStringLiteral("/b.pdf"), 0);
        full.reset();
        QCOMPARE(readBytes(stored), before);
        QCOMPARE(QFileInfo(bkIni(f)).isSymLink(), kind == "link");
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("无法保存书签！"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Error);
        QCOMPARE(visibleItems(f.items()), itemsShown);
    }

    void choosingABookmarkOpensItAndThenSetsThePage_data()
    {
        QTest::addColumn<QByteArray>("page");
        QTest::addColumn<int>("openStatus");
        QTest::addColumn<QStringList>("afterOpen");
        QTest::newRow("opened") << QByteArray("12") << 0 << QStringList{"setCurrentPage(12)"};
        QTest::newRow("cannot open, page set all the same") << QByteArray("7") << 3
                                                            << QStringList{"setCurrentPage(7)"};
        QTest::newRow("page not a number") << QByteArray("zwölf") << 0 << QStringList{};
    }

    void choosingABookmarkOpensItAndThenSetsThePage()
    {
        QFETCH(QByteArray, page);
        QFETCH(int, openStatus);
        QFETCH(QStringList, afterOpen);
        ShellFixture f(QString(), false);
        const QString pdf = f.dir.filePath(QStringLiteral("指南.pdf"));
        writeBytes(pdf, "%PDF-1.4\n");
        writeBytes(bkIni(f), storeText("2", {{pdf.toUtf8(), page}}));
        f.window->Form_Load();
        f.viewer->openStatuses.push_back(openStatus);
        f.viewer->clearCalls();

        f.window->mnuBk()[1]->trigger();

        QCOMPARE(f.viewer->opens.size(), 1);
        QCOMPARE(f.viewer->opens[0].path, pdf);
        QCOMPARE(f.viewer->opens[0].userPassword, QString());
        QCOMPARE(f.viewer->opens[0].ownerPassword, QString());
        const qsizetype opened = f.viewer->calls.indexOf(QStringLiteral("OpenDocument(%1,,)").arg(pdf));
        QStringList pageCalls;
        for (const QString &call : f.viewer->calls.mid(opened))
            if (call.startsWith(QStringLiteral("setCurrentPage")))
                pageCalls << call;
        QCOMPARE(pageCalls, afterOpen);
    }

    void bookmarkOfARemovedFileShowsTheMessageAndChangesNothing()
    {
        ShellFixture f(QString(), false);
        const QByteArray store = storeText("2", {{"/gone/away.pdf", "3"}});
        writeBytes(bkIni(f), store);
        f.window->Form_Load();
        f.viewer->documentPath = QStringLiteral("/open.pdf");
        f.viewer->clearCalls();

        f.window->mnuBk()[1]->trigger();

        QCOMPARE(f.viewer->callCount(QStringLiteral("OpenDocument")), 0);
        QCOMPARE(f.viewer->callCount(QStringLiteral("setCurrentPage")), 0);
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].text, QStringLiteral("此文件不存在！"));
        QCOMPARE(f.ui.messages[0].title, QStringLiteral("提示"));
        QCOMPARE(f.ui.messages[0].icon, ModalUi::Icon::Error);
        QCOMPARE(readBytes(bkIni(f)), store);
        QCOMPARE(visibleItems(f.window->mnuBk()), QList<int>{1});
    }
};

QTEST_MAIN(TestBookmarkMenu)
#include "test_bookmark_menu.moc"
