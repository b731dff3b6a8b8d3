#pragma once
// Turns the bytes of a fetched page into text. The character set comes from the
// Content-Type header, else from a <meta> declaration near the top of the page,
// else UTF-8; an unknown name falls back to UTF-8 as well.

#include <QByteArray>
#include <QString>

QString decodeHtml(const QByteArray &body, const QByteArray &contentType);
