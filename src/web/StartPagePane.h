#pragma once
// The start-page pane laid over the empty viewer.

#include <QTextBrowser>

class StartPagePane : public QTextBrowser {
    Q_OBJECT
public:
    explicit StartPagePane(QWidget *parent = nullptr);
    void Navigate(const QString &address);
    QString address() const { return m_address; }

private:
    QString m_address;
};
