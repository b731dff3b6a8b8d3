// File menu: save a copy, print, close.
#include "app/frmPdf.h"

#include "viewer/DocumentControl.h"
#include "viewer/ViewerControl.h"

void frmPdf::mnuSf_Click()
{
    const QString source = Pdfc->DocumentPath();
    Cdf.ShowSave(ui(), this, source);
    if (m_document->saveCopy(source, Cdf.FileName))
        Cdf.FileName.clear();
}

void frmPdf::mnuPr_Click()
{
    m_document->print();
}

void frmPdf::mnuCf_Click()
{
    m_document->close();
    setWindowTitle(noDocumentCaption());
}
