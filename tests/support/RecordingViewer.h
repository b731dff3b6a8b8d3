#pragma once
// A ViewerControl that records every call in order and answers from fields the
// test sets, so the shell can be checked without a PDF engine.

#include "viewer/ViewerControl.h"

#include <QStringList>
#include <deque>
#include <functional>

class RecordingViewer : public ViewerControl {
    Q_OBJECT
public:
    // Answers.
    std::deque<int> openStatuses;     // consumed by OpenDocument; empty means 0
    std::function<void()> duringOpen; // run inside OpenDocument, as a progress wait lets events in
    QString pathAfterOpen;            // DocumentPath after a successful open; "" = the argument
    QString documentPath;
    int currentPage = 0;
    int pageCount = 0;
    double zoomFactor = 1.0;
    QString selectedText;
    int findResult = 0;
    int searchAllResult = 0;
    int saveStatus = 0;
    qint16 mouseMode = 0;
    int outlineVisible = 0;

    // Every call as "Name(args)" in order; puts as "setName(value)".
    QStringList calls;
    struct OpenCall {
        QString path, userPassword, ownerPassword;
    };
    QList<OpenCall> opens;

    int callCount(const QString &prefix) const;
    void clearCalls() { calls.clear(); }

    int OpenDocument(const QString &path, const QString &userPassword,
                     const QString &ownerPassword) override;
    void CloseDocument() override;
    int CurrentPage() const override;
    void setCurrentPage(int page) override;
    int PageCount() const override;
    double ZoomFactor() const override;
    void setZoomFactor(double factor) override;
    QString SelectedText() const override;
    void PrintDocument() override;
    int SaveCopy(const QString &target) override;
    int FindText(const QString &text) override;
    void FindNext() override;
    int SearchAll(const QString &text) override;
    qint16 MouseMode() const override;
    void setMouseMode(qint16 mode) override;
    QString DocumentPath() const override;
    int OutlineVisible() const override;
    void setOutlineVisible(int visible) override;
    void setPageLayout(qint16 layout) override;
    void setFitMode(qint16 mode) override;
    void setRotation(int degrees) override;

private:
    void record(const QString &call) const { const_cast<RecordingViewer *>(this)->calls << call; }
};
