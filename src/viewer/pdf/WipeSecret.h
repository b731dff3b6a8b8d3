#pragma once
// Passwords are overwritten as soon as the document they open is open, so no
// buffer of ours keeps them for the rest of the run. A copy that shares its
// buffer with another is detached first: only the buffer held here is wiped.

#include <QByteArray>
#include <QString>

#include <string.h>

inline void wipeSecret(QByteArray &secret)
{
    if (!secret.isEmpty())
        explicit_bzero(secret.data(), size_t(secret.size()));
    secret.clear();
}

inline void wipeSecret(QString &secret)
{
    if (!secret.isEmpty())
        explicit_bzero(secret.data(), size_t(secret.size()) * sizeof(QChar));
    secret.clear();
}
