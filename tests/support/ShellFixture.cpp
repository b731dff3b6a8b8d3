#include "ShellFixture.h"

ShellFixture::ShellFixture(const QString &commandLine, bool load, const QString &webServiceBase)
    : viewer(new RecordingViewer)
{
    frmPdf::Setup setup;
    setup.viewer = viewer;
    setup.ui = &ui;
    setup.webServiceBase = webServiceBase;
    setup.bookmarkDir = dir.path();
    setup.commandLine = commandLine;
    window = std::make_unique<frmPdf>(setup);
    window->quitProgram = [this] { ++quitRequests; };
    if (load)
        window->Form_Load();
}
