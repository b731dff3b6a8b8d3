#pragma once
// Puts a recorder in place of the desktop's browser call for the lifetime of
// the object.

#include "web/BrowserOpener.h"

#include <QList>

class RecordingOpener {
public:
    RecordingOpener()
        : m_previous(browser::replaceOpener([this](const QUrl &url) { opened << url; }))
    {
    }
    ~RecordingOpener() { browser::replaceOpener(std::move(m_previous)); }
    RecordingOpener(const RecordingOpener &) = delete;
    RecordingOpener &operator=(const RecordingOpener &) = delete;

    QList<QUrl> opened;

private:
    browser::Opener m_previous;
};
