#pragma once
// Fixture documents with known text for the text-layer tests, written into a
// temporary directory.

#include "viewer/pdf/SamplePdfWriter.h"

#include <QTemporaryDir>
#include <QtTest>

// Page 1: Latin and Chinese lines; page 2: a Chinese phrase broken over two lines;
// page 3: full-width letters and digits.
inline SampleDocument knownTextDocument()
{
    SampleDocument doc;
    doc.pages.append(SamplePage::withLines({"Hello Vellumo reader", "第一页的中文内容"}));
    doc.pages.append(SamplePage::withLines({"The quick brown fox", "这是一个中文", "文档的例子"}));
    doc.pages.append(SamplePage::withLines({"ＰＤＦ version ２０２６", "hello again"}));
    return doc;
}

inline QString writeFixture(const QTemporaryDir &dir, const QString &name,
                            const SampleDocument &doc)
{
    const QString path = dir.filePath(name);
    QString error;
    if (!SamplePdfWriter::write(doc, path, &error))
        qFatal("cannot write fixture %s: %s", qPrintable(path), qPrintable(error));
    return path;
}
