// The one road by which a document gets into the viewer.
#include "app/frmPdf.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"
#include "viewer/frmPs.h"
#include "web/StartPagePane.h"

#include <QAction>
#include <QScopedValueRollback>

#include <optional>

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
    // The open may wait with the window still answering; a drop meanwhile must
    // not start a second open inside this one.
    const QScopedValueRollback<bool> opening(m_opening, true);
    const int status = Pdfc->OpenDocument(path, userPassword, ownerPassword);
    switch (status) {
    case ViewerControl::Opened:
        Toweb->hide();
        Pdfc->setOutlineVisible(1);
        mnuSm->setChecked(true);
        mnuHm->setChecked(false);
        Pdfc->setFitMode(2);
        mnuKuandu->setChecked(true);
        mnuShiji->setChecked(false);
        mnuChicun->setChecked(false);
        Pdfc->setPageLayout(1);
        mnuMp->setChecked(true);
        mnuSp->setChecked(false);
        Pdfc->setMouseMode(0);
        mnuTuoya->setChecked(true);
        mnuXuanze->setChecked(false);
        setWindowTitle(noDocumentCaption() + QStringLiteral("   [")
                       + literalInWindowTitle(Pdfc->DocumentPath()) + QStringLiteral("]"));
        focusPages();
        return;
    case ViewerControl::CannotOpen:
        ui().messageBox(this, QStringLiteral("无法打开文件！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    case ViewerControl::PageTreeUnreadable:
        ui().messageBox(this, QStringLiteral("无法读取文档目录！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    case ViewerControl::Damaged:
        ui().messageBox(this, QStringLiteral("此文件已破坏！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    case ViewerControl::PasswordNeeded: {
        // What the prompt handed on; the retry opens the path the prompt asked for.
        struct Retry {
            QString path, userPassword, ownerPassword;
        };
        std::optional<Retry> retry;
        {
            frmPs prompt(path, this);
            connect(&prompt, &frmPs::passwordsGiven, this,
                    [&retry](const QString &pending, const QString &user, const QString &owner) {
                        retry = Retry{pending, user, owner};
                    });
            connect(&prompt, &frmPs::cancelled, this,
                    [this] { setWindowTitle(noDocumentCaption()); });
            ui().runModal(&prompt);
        }
        // Once the prompt is gone; a wrong password brings a fresh prompt.
        if (retry)
            openPdf(retry->path, retry->userPassword, retry->ownerPassword);
        return;
    }
    default:
        return;
    }
}
