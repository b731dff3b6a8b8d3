#include "ShellFixture.h"

ShellFixture::ShellFixture(const QString &commandLine, bool load)
    : viewer(new RecordingViewer)
{
    frmPdf::Setup setup;
    setup.viewer = viewer;
    setup.ui = &ui;
    setup.webServiceBase = QStringLiteral("http://127.0.0.1:9");
    setup.bookmarkDir = dir.path();
    setup.commandLine = commandLine;
    window = std::make_unique<frmPdf>(setup);
    window->quitProgram = [this] { ++quitRequests; };
    if (load)
        window->Form_Load();
}
