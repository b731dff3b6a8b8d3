#pragma once
// A viewer whose engine reports long work as jobs (LongWork) and never waits:
// opening a slow file, a search that waits for the text index, a print, saving
// a copy. The calls of ViewerControl, which answer only when the work is done,
// are made here once from the engine's begin… calls: each starts the job and
// waits for it through the modal seam's progress dialog (quick work shows none;
// cancelling it cancels the job).
//
// GUI thread. A job the begin… calls return may be held past the viewer's
// end: it is cancelled then, and ends.

#include "viewer/ViewerControl.h"

#include <memory>

class LongWork;
class ModalUi;

class WaitingViewer : public ViewerControl {
    Q_OBJECT
public:
    int OpenDocument(const QString &path, const QString &userPassword,
                     const QString &ownerPassword) final;
    int FindText(const QString &text) final;
    void FindNext() final;
    int SearchAll(const QString &text) final;
    void PrintDocument() final;
    int SaveCopy(const QString &target) final;

    // Each returns its job at once, finished already when the work was quick.
    // Null means nothing was started, and the call above answers as for a
    // failure (cannot open, not found, nothing printed, not saved).
    // An open's answer is an OpenStatus; the document is shown when it finishes.
    virtual std::shared_ptr<LongWork> beginOpen(const QString &path, const QString &userPassword,
                                                const QString &ownerPassword) = 0;
    // A find's answer is 1, 0 or SearchIncomplete, a search-all's the number of
    // hits or as a find's; the hits are shown when it finishes.
    virtual std::shared_ptr<LongWork> beginFind(const QString &text) = 0;
    virtual std::shared_ptr<LongWork> beginFindNext() = 0;
    virtual std::shared_ptr<LongWork> beginSearchAll(const QString &text) = 0;
    // Asks for the printer first; null when the user cancelled that. A failed
    // print fails with the message for the user.
    virtual std::shared_ptr<LongWork> beginPrint() = 0;
    // The answer is a SaveStatus.
    virtual std::shared_ptr<LongWork> beginSaveCopy(const QString &target) = 0;

protected:
    explicit WaitingViewer(ModalUi &ui, QWidget *parent = nullptr);
    // Waits for a search (also one of the viewer's own, find previous) and
    // gives its answer: as FindText's, SearchCancelled when the user gave up.
    int waitForSearch(const std::shared_ptr<LongWork> &search);

private:
    // Waits for the job with the progress dialog under label; false when there
    // is no job or the user gave up, which cancels it.
    bool waitFor(const std::shared_ptr<LongWork> &work, const QString &label);
    // The job's answer when it finished, otherwise `otherwise`.
    static int answerOf(const std::shared_ptr<LongWork> &work, int otherwise);

    ModalUi &m_ui;
};
