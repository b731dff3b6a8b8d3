#pragma once
// Fixture documents for the viewer tests, written into a temporary directory.

#include "viewer/pdf/SamplePdfWriter.h"

#include <QFile>
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
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            QTest::qFail("cannot write fixture", __FILE__, __LINE__);
        return file.fileName();
    }

private:
    QTemporaryDir m_dir;
};
