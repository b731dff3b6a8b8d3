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
