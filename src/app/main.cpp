// Starts the reader: Qt with its Chinese translations, the MuPDF viewer, the main window.
#include "app/CommandLine.h"
#include "app/frmPdf.h"
#include "ui/QtModalUi.h"
#include "viewer/pdf/MuPdfViewer.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
    const int code = app.exec();
    // Bookmarks reach the disk the moment they change, so nothing is left to
    // save: tearing down the window would only wait for renders, the text index
    // and web requests that nobody will see.
    std::fflush(nullptr);
    std::_Exit(code);
}
