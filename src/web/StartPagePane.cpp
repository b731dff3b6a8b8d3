#include "web/StartPagePane.h"

StartPagePane::StartPagePane(QWidget *parent) : QTextBrowser(parent) {}

void StartPagePane::Navigate(const QString &address)
{
    m_address = address;
}
