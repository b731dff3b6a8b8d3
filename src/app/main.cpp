// Starts the reader: the document opening beside Qt and its Chinese translations,
// the MuPDF viewer, the main window.
#include "app/CommandLine.h"
#include "app/frmPdf.h"
#include "ui/QtModalUi.h"
#include "viewer/pdf/BackgroundOpen.h"
#include "viewer/pdf/MuPdfViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QLibraryInfo>
#include <QLocale>
#include <QThread>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char *argv[])
{
    // Qt takes the first thread that asks for its thread data as the main one;
    // asked here, before the opening thread can, so that it is this one.
    QThread::currentThread();
    // The document opens while Qt starts up; the window's first open takes it over.
    openEarly(commandLineText(argc, argv));
    // Owned apart from the window, so it can go at quit while the window stays.
    auto app = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumo"));

    // Qt's own dialogs and standard buttons speak Chinese ("确定", "取消").
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"),
                            QStringLiteral("_"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);

    QtModalUi ui;
    frmPdf::Setup setup;
    setup.viewer = new MuPdfViewer(ui);
    setup.ui = &ui;
    setup.webServiceBase = QStringLiteral(VELLUMO_WEB_SERVICE_BASE);
    setup.bookmarkDir = QCoreApplication::applicationDirPath();
    setup.commandLine = commandLineText(QCoreApplication::arguments());

    frmPdf window(setup);
    window.Form_Load();
    window.show();
    const int code = QApplication::exec();
    // Bookmarks reach the disk the moment they change, so nothing is left to
    // save: tearing down the window would only wait for renders, the text index
    // and web requests that nobody will see. Text copied here is the exception:
    // Qt hands it to the desktop's clipboard manager as the application object
    // goes, and it would be lost with the process.
    std::fflush(nullptr);
    const QClipboard *clipboard = QGuiApplication::clipboard();
    if (clipboard->ownsClipboard() || clipboard->ownsSelection())
        app.reset();
    std::_Exit(code);
}
