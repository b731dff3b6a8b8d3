#pragma once
// The message shown when bk.ini could not be written.

#include "ui/ModalUi.h"

inline void showBookmarkSaveFailure(ModalUi &ui, QWidget *parent)
{
    ui.messageBox(parent, QStringLiteral("无法保存书签！"), QStringLiteral("提示"), ModalUi::Icon::Error);
}
