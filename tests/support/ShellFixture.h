#pragma once
// A main window around a recording viewer and a scripted modal seam, with bk.ini
// in a temporary directory and, unless given another, an unreachable web service.

#include "FormControls.h"
#include "RecordingViewer.h"
#include "ScriptedModalUi.h"
#include "app/frmPdf.h"

#include <QTemporaryDir>
#include <memory>

struct ShellFixture {
    explicit ShellFixture(const QString &commandLine = QString(), bool load = true,
                          const QString &webServiceBase = QStringLiteral("http://127.0.0.1:9"));

    QTemporaryDir dir;
    ScriptedModalUi ui;
    RecordingViewer *viewer; // owned by the window
    std::unique_ptr<frmPdf> window;
    int quitRequests = 0;
};
