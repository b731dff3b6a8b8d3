#include "viewer/DocumentControl.h"

#include "ui/ModalUi.h"
#include "viewer/ViewerControl.h"
#include "viewer/frmPs.h"

#include <QFileInfo>
#include <QScopedValueRollback>

#include <optional>

DocumentControl::DocumentControl(ViewerControl &viewer, ModalUi &ui, QWidget *window)
    : QObject(window), m_viewer(viewer), m_ui(ui), m_window(window)
{
}

void DocumentControl::open(const QString &path, const QString &userPassword,
                           const QString &ownerPassword)
{
    // The open may wait with the window still answering; a drop meanwhile must
    // not start a second open inside this one.
    const QScopedValueRollback<bool> opening(m_opening, true);
    const int status = m_viewer.OpenDocument(path, userPassword, ownerPassword);
    switch (status) {
    case ViewerControl::Opened:
        m_viewer.setOutlineVisible(1);
        m_viewer.setFitMode(2);
        m_viewer.setPageLayout(1);
        m_viewer.setMouseMode(0);
        emit opened(m_viewer.DocumentPath());
        return;
    case ViewerControl::CannotOpen:
        m_ui.messageBox(m_window, QStringLiteral("无法打开文件！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    case ViewerControl::PageTreeUnreadable:
        m_ui.messageBox(m_window, QStringLiteral("无法读取文档目录！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    case ViewerControl::Damaged:
        m_ui.messageBox(m_window, QStringLiteral("此文件已破坏！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return;
    case ViewerControl::PasswordNeeded: {
        // What the prompt handed on; the retry opens the path the prompt asked for.
        struct Retry {
            QString path, userPassword, ownerPassword;
        };
        std::optional<Retry> retry;
        {
            frmPs prompt(path, m_window);
            connect(&prompt, &frmPs::passwordsGiven, this,
                    [&retry](const QString &pending, const QString &user, const QString &owner) {
                        retry = Retry{pending, user, owner};
                    });
            connect(&prompt, &frmPs::cancelled, this, &DocumentControl::passwordCancelled);
            m_ui.runModal(&prompt);
        }
        // Once the prompt is gone; a wrong password brings a fresh prompt.
        if (retry)
            open(retry->path, retry->userPassword, retry->ownerPassword);
        return;
    }
    default:
        return;
    }
}

bool DocumentControl::saveCopy(const QString &source, const QString &target)
{
    if (target.isEmpty() || source.isEmpty())
        return false;
    // The open document as its own target already holds these bytes.
    const bool itself = QFileInfo(source).canonicalFilePath() == QFileInfo(target).canonicalFilePath()
                        && QFileInfo::exists(target);
    const int saved = itself ? ViewerControl::Saved : m_viewer.SaveCopy(target);
    if (saved == ViewerControl::SaveCancelled)
        return false;
    if (saved != ViewerControl::Saved) {
        m_ui.messageBox(m_window, QStringLiteral("无法保存文件！"), QStringLiteral("提示"),
                        ModalUi::Icon::Error);
        return false;
    }
    return true;
}

void DocumentControl::print()
{
    if (!m_viewer.DocumentPath().isEmpty())
        m_viewer.PrintDocument();
}

void DocumentControl::close()
{
    m_viewer.CloseDocument();
}
