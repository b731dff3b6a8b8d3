// The one road by which a document gets into the viewer, and what the window
// shows once it is there.
#include "app/frmPdf.h"

#include "viewer/DocumentControl.h"
#include "web/StartPagePane.h"

#include <QAction>

namespace {
// Qt reads "[*]" in a window title as the place of the modified mark and drops
// it; doubled, it shows once.
QString literalInWindowTitle(const QString &text)
{
    return QString(text).replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
}
} // namespace

void frmPdf::openPdf(const QString &path, const QString &userPassword,
                     const QString &ownerPassword)
{
    m_document->open(path, userPassword, ownerPassword);
}

void frmPdf::documentOpened(const QString &documentPath)
{
    Toweb->hide();
    mnuSm->setChecked(true);
    mnuHm->setChecked(false);
    mnuKuandu->setChecked(true);
    mnuShiji->setChecked(false);
    mnuChicun->setChecked(false);
    mnuMp->setChecked(true);
    mnuSp->setChecked(false);
    mnuTuoya->setChecked(true);
    mnuXuanze->setChecked(false);
    setWindowTitle(noDocumentCaption() + QStringLiteral("   [")
                   + literalInWindowTitle(documentPath) + QStringLiteral("]"));
    focusPages();
}
