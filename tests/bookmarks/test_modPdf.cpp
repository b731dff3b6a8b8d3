// The INI layer behind bk.ini: Windows-style lookups, edits that keep the rest of the
// file, old Chinese code-page files, and writes that never leave a broken file.
#include "DiskFull.h"
#include "FileBytes.h"
#include "bookmarks/BookmarkStore.h"
#include "bookmarks/modPdf.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using modPdf::ReadIniValue;
using modPdf::WriteIniValue;

class TestModPdf : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_file;

private slots:
    void init() { m_file = m_dir.filePath(QStringLiteral("bk.ini")); QFile::remove(m_file); }

    void missingFileSectionKeyAndEmptyValueReadEmpty()
    {
        QCOMPARE(ReadIniValue("bkinfo", "nextnum", m_file), QString());
        writeBytes(m_file, "[other]\nnextnum=7\n[bkinfo]\npage5=\npath1=x\n");
        QCOMPARE(ReadIniValue("missing", "path1", m_file), QString());
        QCOMPARE(ReadIniValue("bkinfo", "path2", m_file), QString());
        QCOMPARE(ReadIniValue("bkinfo", "page5", m_file), QString());
        QCOMPARE(ReadIniValue("bkinfo", "nextnum", m_file), QString());   // only in [other]
        QCOMPARE(ReadIniValue("bkinfo", "path1", m_file), QStringLiteral("x"));
        QCOMPARE(ReadIniValue("bkinfo", "x", m_dir.path()), QString());   // a directory
    }

    void namesMatchWithoutLetterCase()
    {
        writeBytes(m_file, "[BkInfo]\nNEXTNUM=4\n");
        QCOMPARE(ReadIniValue("bkinfo", "nextnum", m_file), QStringLiteral("4"));
        QCOMPARE(BookmarkStore::readCounter(m_file), qint16(4));

        // The value is replaced on its own line; the stored spelling stays.
        QVERIFY(WriteIniValue("bkinfo", "Nextnum", "5", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("[BkInfo]\nNEXTNUM=5\n"));
    }

    void writeCreatesFileAndSectionThenAppendsAndReplaces()
    {
        QVERIFY(WriteIniValue("bkinfo", "path1", "a.pdf", m_file));
        QVERIFY(WriteIniValue("bkinfo", "page1", "3", m_file));
        QVERIFY(WriteIniValue("bkinfo", "path1", "", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("[bkinfo]\npath1=\npage1=3\n"));
    }

    void otherContentIsKeptAsItWas()
    {
        const QByteArray before = "; written by hand\n[bkinfo]\nnextnum = 2\npath1=a.pdf\n\n"
                                  "[window]\nleft=3\n";
        writeBytes(m_file, before);
        QCOMPARE(ReadIniValue("bkinfo", "nextnum", m_file), QStringLiteral("2"));
        QVERIFY(WriteIniValue("bkinfo", "page1", "9", m_file));
        QVERIFY(WriteIniValue("window", "top", "4", m_file));
        QVERIFY(WriteIniValue("new", "k", "v", m_file));
        QCOMPARE(readBytes(m_file),
                 QByteArray("; written by hand\n[bkinfo]\nnextnum = 2\npath1=a.pdf\npage1=9\n\n"
                            "[window]\nleft=3\ntop=4\n[new]\nk=v\n"));
    }

    void windowsLineEndsAndByteOrderMark()
    {
        writeBytes(m_file, "\xEF\xBB\xBF[bkinfo]\r\nnextnum=2\r\n");
        QCOMPARE(ReadIniValue("bkinfo", "nextnum", m_file), QStringLiteral("2"));
        QVERIFY(WriteIniValue("bkinfo", "nextnum", "3", m_file));
        QVERIFY(WriteIniValue("bkinfo", "path1", "b.pdf", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("\xEF\xBB\xBF[bkinfo]\r\nnextnum=3\r\npath1=b.pdf\r\n"));
    }

    void chineseValuesInUtf8AndInTheOldGb18030CodePage()
    {
        const QString path = QStringLiteral("D:\\书籍\\指南.pdf");
        // An earlier installation under a Chinese Windows code page wrote GB18030.
        writeBytes(m_file, "[bkinfo]\nnextnum=2\npath1=D:\\\xCA\xE9\xBC\xAE\\\xD6\xB8\xC4\xCF.pdf\n");
        QCOMPARE(ReadIniValue("bkinfo", "path1", m_file), path);

        // New values go in as UTF-8; the old bytes of other keys stay untouched.
        QVERIFY(WriteIniValue("bkinfo", "path2", QStringLiteral("/文档/报告.pdf"), m_file));
        QCOMPARE(readBytes(m_file),
                 QByteArray("[bkinfo]\nnextnum=2\npath1=D:\\\xCA\xE9\xBC\xAE\\\xD6\xB8\xC4\xCF.pdf\n")
                     + QStringLiteral("path2=/文档/报告.pdf\n").toUtf8());
        QCOMPARE(ReadIniValue("bkinfo", "path1", m_file), path);
        QCOMPARE(ReadIniValue("bkinfo", "path2", m_file), QStringLiteral("/文档/报告.pdf"));
    }

    void failedWriteLeavesTheOldFileIntact()
    {
        const QByteArray before = "[bkinfo]\nnextnum=2\npath1=a.pdf\npage1=1\n";
        writeBytes(m_file, before);
        {
            DiskFull full(before.size() + 4);
            QVERIFY(!WriteIniValue("bkinfo", "path2", QString(200, QLatin1Char('x')), m_file));
        }
        QCOMPARE(readBytes(m_file), before);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"bk.ini"});   // no temporary left

        QVERIFY(!WriteIniValue("bkinfo", "path1", "x", m_dir.filePath("missing/bk.ini")));
    }

    void failedWriteInReadOnlyDirectory()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only directories; the full-disk case covers root");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("bk.ini"));
        writeBytes(file, "[bkinfo]\nnextnum=1\n");
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(!WriteIniValue("bkinfo", "nextnum", "2", file));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(file), QByteArray("[bkinfo]\nnextnum=1\n"));
    }

    void valuesThatWouldBreakTheLineAreRefused()
    {
        writeBytes(m_file, "[bkinfo]\nnextnum=1\n");
        QVERIFY(!WriteIniValue("bkinfo", "path1", "a\nnextnum=9", m_file));
        QVERIFY(!WriteIniValue("bkinfo", "path1", "a\rb", m_file));
        QVERIFY(!WriteIniValue("bkinfo", "a=b", "1", m_file));
        QCOMPARE(readBytes(m_file), QByteArray("[bkinfo]\nnextnum=1\n"));
    }

    void valueBufferCutsAndStopsAtNul()
    {
        writeBytes(m_file, "[bkinfo]\nlong=" + QByteArray(12000, 'a') + "\nshort=bb\nnul=cc"
                               + QByteArray(1, '\0') + "dd\n");
        QCOMPARE(ReadIniValue("bkinfo", "long", m_file), QString(10239, QLatin1Char('a')));
        QCOMPARE(ReadIniValue("bkinfo", "nul", m_file), QStringLiteral("cc"));
        // The buffer keeps the rest of earlier values behind the terminating NUL.
        QCOMPARE(ReadIniValue("bkinfo", "short", m_file), QStringLiteral("bb"));
        QCOMPARE(modPdf::NextNullField(), QStringLiteral("dd"));
        QCOMPARE(modPdf::NextNullField(), QString(10239 - 6, QLatin1Char('a')));
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

    void numbersReadFromTheStore()
    {
        QCOMPARE(BookmarkStore::readCounter(m_file), qint16(1));   // no file
        const QList<QPair<QByteArray, int>> counters = {
            {"3", 3}, {" 7.9 ", 7}, {"abc", 1}, {"", 1}, {"0", 1}, {"-4", 1}, {"40000", 1}, {"25", 25}};
        for (const auto &[text, expected] : counters) {
            writeBytes(m_file, "[bkinfo]\nnextnum=" + text + "\n");
            QCOMPARE(BookmarkStore::readCounter(m_file), qint16(expected));
        }
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

QTEST_GUILESS_MAIN(TestModPdf)
#include "test_modPdf.moc"
