#pragma once
// Writing and reading whole test files as bytes.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

// Returns path; a file that cannot be written fails the test.
inline QString writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        QTest::qFail(qPrintable("cannot write " + path), __FILE__, __LINE__);
    return path;
}

// "" when the file cannot be read.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A file of the given size with no bytes on disk but its last line, the end a
// PDF has: MuPDF scans the whole of it for objects when it finds no table.
// Returns path; a file that cannot be made fails the test.
inline QString writeHugeSparseFile(const QString &path, qint64 size)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size - 6) || !file.seek(size - 6)
        || file.write("%%EOF\n") != 6)
        QTest::qFail(qPrintable("cannot write " + path), __FILE__, __LINE__);
    return path;
}
