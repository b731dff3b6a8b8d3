#pragma once
// Fixture documents for the viewer and text tests, written into a temporary directory.

#include "FileBytes.h"
#include "viewer/pdf/fixtures/SamplePdfWriter.h"

#include <QTemporaryDir>
#include <QTest>

class Fixtures {
public:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A document whose page n (from 1) reads "Page n" and "第n页".
    QString pages(const QString &name, int count, const QString &user = {},
                  const QString &owner = {}, QSizeF size = QSizeF(595, 842))
    {
        SampleDocument doc;
        for (int i = 1; i <= count; ++i)
            doc.pages.append(SamplePage::withLines(
                {QStringLiteral("Page %1").arg(i), QStringLiteral("第%1页").arg(i)}, 24, size));
        doc.userPassword = user;
        doc.ownerPassword = owner;
        return write(name, doc);
    }

    QString write(const QString &name, const SampleDocument &doc)
    {
        const QString file = path(name);
        QString error;
        if (!SamplePdfWriter::write(doc, file, &error))
            QTest::qFail(qPrintable(error), __FILE__, __LINE__);
        return file;
    }

    QString bytes(const QString &name, const QByteArray &content)
    {
        return writeBytes(path(name), content);
    }

private:
    QTemporaryDir m_dir;
};

// Known text: page 1 Latin and Chinese lines; page 2 a Chinese phrase broken over
// two lines; page 3 full-width letters and digits.
inline SampleDocument knownTextDocument()
{
    SampleDocument doc;
    doc.pages.append(SamplePage::withLines({"Hello Vellumo reader", "第一页的中文内容"}));
    doc.pages.append(SamplePage::withLines({"The quick brown fox", "这是一个中文", "文档的例子"}));
    doc.pages.append(SamplePage::withLines({"ＰＤＦ version ２０２６", "hello again"}));
    return doc;
}
