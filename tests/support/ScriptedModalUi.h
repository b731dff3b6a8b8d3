#pragma once
// A ModalUi that answers from a script and records every exchange, so handlers
// run without a person. An exchange with no scripted answer fails the test.

#include "ui/ModalUi.h"

#include <QDialog>
#include <QStringList>
#include <deque>
#include <functional>

class ScriptedModalUi : public ModalUi {
public:
    struct Message {
        QString text;
        QString title;
        Icon icon;
    };
    struct Prompt {
        QString prompt;
        QString title;
        QString defaultText;
    };
    struct FileRequest {
        bool save;
        QString filter;
        QString presetName;
    };

    // Answers, consumed in order.
    std::deque<QString> inputAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::function<void(QDialog *)>> dialogActions; // act on the shown dialog
    std::deque<std::function<void(QMenu *)>> menuActions;     // e.g. trigger an item
    std::deque<bool> printAnswers;
    bool cancelProgress = false;
    int progressWaitMs = 60000; // how long a progress wait lasts before it gives up

    // What happened, in order.
    QList<Message> messages;
    QList<Prompt> prompts;
    QList<FileRequest> fileRequests;
    QList<QMenu *> poppedMenus;
    QStringList dialogClasses;
    int printDialogs = 0;
    QStringList progressLabels;

    QString inputBox(QWidget *, const QString &prompt, const QString &title,
                     const QString &defaultText) override;
    void messageBox(QWidget *, const QString &text, const QString &title, Icon icon) override;
    QString openFileName(QWidget *, const QString &filter, const QString &presetName) override;
    QString saveFileName(QWidget *, const QString &filter, const QString &presetName) override;
    void popupMenu(QMenu *menu) override;
    void runModal(QDialog *dialog) override;
    bool printDialog(QWidget *, QPrinter *) override;
    bool waitWithProgress(QWidget *, const QString &label, LongWork &work) override;
};
