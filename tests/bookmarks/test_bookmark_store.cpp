// The store behind bk.ini: Windows-style INI lookups, edits that keep the rest of the
// file, old Chinese code-page files, the counter and its recovery, and writes that
// never leave a broken file.
#include "DiskFull.h"
#include "FileBytes.h"
#include "IniValue.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/IniFileEdit.h"
#include "bookmarks/modPdf.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {
// One edit of one key, as the store makes them.
bool writeValue(const QString &section, const QString &key, const QString &value, const QString &file)
{
    IniFileEdit edit(file);
    edit.setValue(section, key, value);
    return edit.commit();
}

// "path/page" of each bookmark the store lists.
QStringList listed(const QString &file)
{
    QStringList result;
    for (const BookmarkStore::Bookmark &bookmark : BookmarkStore::read(file))
        result << bookmark.path + "/" + bookmark.page;
    return result;
}
} // namespace

class TestBookmarkStore : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

private slots:
    void init() { m_file = m_dir.filePath(QStringLiteral("bk.ini")); QFile::remove(m_file); }

    void missingFileSectionKeyAndEmptyValueReadEmpty()
    {
        QCOMPARE(readIniFile(m_file), std::optional<QByteArray>(QByteArray()));
        const QByteArray content = "[other]\nnextnum=7\n[bkinfo]\npage5=\npath1=x\n";
        QCOMPARE(iniValue(content, "missing", "path1"), QByteArray("(missing)"));
        QCOMPARE(iniValue(content, "bkinfo", "path2"), QByteArray("(missing)"));
        QCOMPARE(iniValue(content, "bkinfo", "page5"), QByteArray());
        QCOMPARE(iniValue(content, "bkinfo", "nextnum"), QByteArray("(missing)"));   // only in [other]
        QCOMPARE(iniValue(content, "bkinfo", "path1"), QByteArray("x"));
        QCOMPARE(readIniFile(m_dir.path()), std::nullopt);   // a directory
    }

    void namesMatchWithoutLetterCase()
    {
        writeBytes(m_file, "[BkInfo]\nNEXTNUM=4\nPath1=a.pdf\nPAGE1=2\n");
        QCOMPARE(listed(m_file), (QStringList{"a.pdf/2", "/", "/"}));

        // The value is replaced on its own line; the stored spelling stays.
        QVERIFY(writeValue("bkinfo", "Nextnum", "5", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("[BkInfo]\nNEXTNUM=5\nPath1=a.pdf\nPAGE1=2\n"));
    }

    void writeCreatesFileAndSectionThenAppendsAndReplaces()
    {
        QVERIFY(writeValue("bkinfo", "path1", "a.pdf", m_file));
        QVERIFY(writeValue("bkinfo", "page1", "3", m_file));
        QVERIFY(writeValue("bkinfo", "path1", "", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("[bkinfo]\npath1=\npage1=3\n"));
    }

    void otherContentIsKeptAsItWas()
    {
        const QByteArray before = "; written by hand\n[bkinfo]\nnextnum = 2\npath1=a.pdf\n\n"
                                  "[window]\nleft=3\n";
        writeBytes(m_file, before);
        QCOMPARE(listed(m_file), QStringList{"a.pdf/"});
        QVERIFY(writeValue("bkinfo", "page1", "9", m_file));
        QVERIFY(writeValue("window", "top", "4", m_file));
        QVERIFY(writeValue("new", "k", "v", m_file));
        QCOMPARE(readBytes(m_file),
                 QByteArray("; written by hand\n[bkinfo]\nnextnum = 2\npath1=a.pdf\npage1=9\n\n"
                            "[window]\nleft=3\ntop=4\n[new]\nk=v\n"));
    }

    void windowsLineEndsAndByteOrderMark()
    {
        writeBytes(m_file, "\xEF\xBB\xBF[bkinfo]\r\nnextnum=2\r\n");
        QCOMPARE(listed(m_file), QStringList{"/"});
        QVERIFY(writeValue("bkinfo", "nextnum", "3", m_file));
        QVERIFY(writeValue("bkinfo", "path1", "b.pdf", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("\xEF\xBB\xBF[bkinfo]\r\nnextnum=3\r\npath1=b.pdf\r\n"));
    }

    void chineseValuesInUtf8AndInTheOldGb18030CodePage()
    {
        const QString path = QStringLiteral("D:\\书籍\\指南.pdf");
        // An earlier installation under a Chinese Windows code page wrote GB18030.
        writeBytes(m_file, "[bkinfo]\nnextnum=2\npath1=D:\\\xCA\xE9\xBC\xAE\\\xD6\xB8\xC4\xCF.pdf\n");
        QCOMPARE(listed(m_file), QStringList{path + "/"});

        // New values go in as UTF-8; the old bytes of other keys stay untouched.
        QVERIFY(writeValue("bkinfo", "path2", QStringLiteral("/文档/报告.pdf"), m_file));
        QCOMPARE(readBytes(m_file),
                 QByteArray("[bkinfo]\nnextnum=2\npath1=D:\\\xCA\xE9\xBC\xAE\\\xD6\xB8\xC4\xCF.pdf\n")
                     + QStringLiteral("path2=/文档/报告.pdf\n").toUtf8());
        QVERIFY(writeValue("bkinfo", "nextnum", "3", m_file));
        QCOMPARE(listed(m_file), (QStringList{path + "/", QStringLiteral("/文档/报告.pdf/")}));
    }

    void failedWriteLeavesTheOldFileIntact()
    {
        const QByteArray before = "[bkinfo]\nnextnum=2\npath1=a.pdf\npage1=1\n";
        writeBytes(m_file, before);
        {
            DiskFull full(before.size() + 4);
            QVERIFY(!writeValue("bkinfo", "path2", QString(200, QLatin1Char('x')), m_file));
        }
        QCOMPARE(readBytes(m_file), before);
        // No temporary file left; the lock file stays for the next edit.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), (QStringList{"bk.ini", "bk.ini.lock"}));

        QVERIFY(!writeValue("bkinfo", "path1", "x", m_dir.filePath("missing/bk.ini")));
    }

    void failedWriteInReadOnlyDirectory()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only directories; the full-disk case covers root");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bk.ini"));
        writeBytes(file, "[bkinfo]\nnextnum=1\n");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!writeValue("bkinfo", "nextnum", "2", file));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(file), QByteArray("[bkinfo]\nnextnum=1\n"));
    }

    void valuesThatWouldBreakTheLineAreRefused()
    {
        writeBytes(m_file, "[bkinfo]\nnextnum=1\n");
        QVERIFY(!writeValue("bkinfo", "path1", "a\nnextnum=9", m_file));
        QVERIFY(!writeValue("bkinfo", "path1", "a\rb", m_file));
        QVERIFY(!writeValue("bkinfo", "a=b", "1", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("[bkinfo]\nnextnum=1\n"));
    }

    void blanksAndQuotesAroundAValue_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("plain") << "/tmp/x/a b.pdf" << QByteArray("/tmp/x/a b.pdf");
        // Read back without its blank, the path would name another file.
        QTest::newRow("trailing blank") << "/tmp/x/trail.pdf " << QByteArray("\"/tmp/x/trail.pdf \"");
        QTest::newRow("leading tab") << "\ta.pdf" << QByteArray("\"\ta.pdf\"");
        QTest::newRow("quoted itself") << "'a.pdf'" << QByteArray("\"'a.pdf'\"");
        QTest::newRow("one quote") << "\"a.pdf" << QByteArray("\"a.pdf");
    }

    void blanksAndQuotesAroundAValue()
    {
        QFETCH(QString, value);
        QFETCH(QByteArray, stored);
        QVERIFY(writeValue("bkinfo", "path1", value, m_file));
        QVERIFY(writeValue("bkinfo", "nextnum", "2", m_file));
        QCOMPARE(readBytes(m_file), "[bkinfo]\npath1=" + stored + "\nnextnum=2\n");
        QCOMPARE(listed(m_file), QStringList{value + "/"});
    }

    void filesWrittenElsewhereReadAsWindowsReadsThem()
    {
        writeBytes(m_file, "[bkinfo]\nnextnum=4\npath1= a.pdf \npath2=\"b.pdf \"\npath3='c.pdf\"\n");
        QCOMPARE(listed(m_file), (QStringList{"a.pdf/", "b.pdf /", "'c.pdf\"/"}));
    }

    void storedTextsAreCutAtTheBufferAndAtNul()
    {
        writeBytes(m_file, "[bkinfo]\nnextnum=2\npath1=" + QByteArray(12000, 'a') + "\npage1=cc"
                               + QByteArray(1, '\0') + "dd\n");
        QCOMPARE(listed(m_file), QStringList{QString(10239, QLatin1Char('a')) + "/cc"});
    }

    void fileExists()
    {
        QVERIFY(!modPdf::FileExists(QString()));
        QVERIFY(!modPdf::FileExists(m_dir.path()));
        QVERIFY(!modPdf::FileExists(m_file));
        const QString hidden = m_dir.filePath(QStringLiteral(".hidden.pdf"));
        writeBytes(hidden, "x");
        QFile::setPermissions(hidden, QFile::ReadOwner);
        QVERIFY(modPdf::FileExists(hidden));
    }

    void countFromTheCounterOrElseFromTheStoredPaths_data()
    {
        QTest::addColumn<QByteArray>("counter");   // "(none)": no counter line
        QTest::addColumn<int>("storedPaths");      // path1 … path<n> hold paths
        QTest::addColumn<int>("count");
        QTest::newRow("3") << QByteArray("3") << 2 << 2;
        QTest::newRow("7.9, blanks around") << QByteArray(" 7.9 ") << 2 << 6;
        QTest::newRow("21") << QByteArray("21") << 20 << 20;
        QTest::newRow("1 hides stored paths") << QByteArray("1") << 2 << 0;
        // A counter that cannot be read as 1 … 21 gives way to the stored paths, so
        // the next add cannot overwrite bookmark 1.
        QTest::newRow("40000") << QByteArray("40000") << 3 << 3;
        QTest::newRow("40000, nothing stored") << QByteArray("40000") << 0 << 0;
        QTest::newRow("25") << QByteArray("25") << 20 << 20;
        QTest::newRow("0") << QByteArray("0") << 1 << 1;
        QTest::newRow("-4") << QByteArray("-4") << 0 << 0;
        QTest::newRow("not a number") << QByteArray("abc") << 2 << 2;
        QTest::newRow("empty") << QByteArray("") << 0 << 0;
        QTest::newRow("missing") << QByteArray("(none)") << 4 << 4;
        QTest::newRow("missing, at most 20") << QByteArray("(none)") << 25 << 20;
    }

    void countFromTheCounterOrElseFromTheStoredPaths()
    {
        QFETCH(QByteArray, counter);
        QFETCH(int, storedPaths);
        QFETCH(int, count);
        QByteArray text = "[bkinfo]\n";
        if (counter != "(none)")
            text += "nextnum=" + counter + "\n";
        for (int i = 1; i <= storedPaths; ++i)
            text += "path" + QByteArray::number(i) + "=/p" + QByteArray::number(i) + ".pdf\n";
        text += "path" + QByteArray::number(storedPaths + 2) + "=/after-a-gap.pdf\n";
        writeBytes(m_file, text);
        QCOMPARE(BookmarkStore::read(m_file).size(), count);
    }

    void pageNumbers()
    {
        QCOMPARE(BookmarkStore::pageNumber("12"), std::optional<int>(12));
        QCOMPARE(BookmarkStore::pageNumber("-2.5"), std::optional<int>(-3));
        QCOMPARE(BookmarkStore::pageNumber("zwölf"), std::nullopt);
        QCOMPARE(BookmarkStore::pageNumber(""), std::nullopt);
        QCOMPARE(BookmarkStore::pageNumber("3000000000"), std::nullopt);
    }

    void fileLivesBesideTheProgramUnlessThatDirectoryIsNotWritable()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString config = QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
                                   .filePath(QStringLiteral("bk.ini"));
        QCOMPARE(BookmarkStore::filePath(m_dir.path()), m_file);
        QCOMPARE(BookmarkStore::filePath(m_dir.filePath(QStringLiteral("no-such-dir"))), config);
        QVERIFY(QFileInfo(config).dir().exists());

        if (geteuid() == 0)
            QSKIP("root can write into any directory");
        QTemporaryDir installed;
        QFile::setPermissions(installed.path(), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(BookmarkStore::filePath(installed.path()), config);
        QFile::setPermissions(installed.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeBytes(installed.filePath(QStringLiteral("bk.ini")), "[bkinfo]\n");
        QFile::setPermissions(installed.path(), QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(BookmarkStore::filePath(installed.path()), installed.filePath(QStringLiteral("bk.ini")));
        QFile::setPermissions(installed.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

QTEST_GUILESS_MAIN(TestBookmarkStore)
#include "test_bookmark_store.moc"
