#include "viewer/frmPs.h"

#include "ui/DesignButton.h"
#include "ui/Twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
QLineEdit *passwordBox(QWidget *parent, const QRect &geometry)
{
    auto *box = new QLineEdit(parent);
    box->setEchoMode(QLineEdit::Password);
    // Every character shows as "*", the mark users know from other programs,
    // not the style's bullet.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    box->setGeometry(geometry);
    return box;
}
} // namespace

frmPs::frmPs(const QString &pendingPath, QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                          | Qt::CustomizeWindowHint),
      m_pendingPath(pendingPath)
{
    setObjectName(QStringLiteral("frmPs"));
    setWindowTitle(QStringLiteral("请您输入文件密码"));
    setFixedSize(twips::toPixels(4680), twips::toPixels(1830));

    Label1 = new QLabel(QStringLiteral("用户口令:"), this);
    Label1->setGeometry(twips::rect(120, 240, 1215, 255));
    txtUpw = passwordBox(this, twips::rect(1560, 240, 2535, 270));
    Label2 = new QLabel(QStringLiteral("所有者口令:"), this);
    Label2->setGeometry(twips::rect(120, 840, 1095, 255));
    dcButton1 = designButton(this, "dcButton1", QStringLiteral("确定(&O)"),
                             twips::rect(600, 1320, 1455, 375));
    dcButton2 = designButton(this, "dcButton2", QStringLiteral("取消(&C)"),
                             twips::rect(2400, 1320, 1455, 375));
    txtOpw = passwordBox(this, twips::rect(1560, 840, 2535, 270));

    txtUpw->setObjectName(QStringLiteral("txtUpw"));
    txtOpw->setObjectName(QStringLiteral("txtOpw"));

    setTabOrder(txtUpw, dcButton1);
    setTabOrder(dcButton1, dcButton2);
    setTabOrder(dcButton2, txtOpw);
    txtUpw->setFocus();

    // Centred on the main window, also before that is first shown (a document
    // named on the command line asks during start-up).
    if (parent)
        move(parent->window()->frameGeometry().center() - rect().center());

    connect(dcButton1, &QPushButton::clicked, this, &frmPs::dcButton1_Click);
    connect(dcButton2, &QPushButton::clicked, this, &frmPs::dcButton2_Click);
}

void frmPs::dcButton1_Click()
{
    emit passwordsGiven(m_pendingPath, txtUpw->text(), txtOpw->text());
    done(QDialog::Accepted);
}

void frmPs::dcButton2_Click()
{
    done(QDialog::Rejected);
    emit cancelled();
}

void frmPs::done(int result)
{
    txtUpw->clear();
    txtOpw->clear();
    QDialog::done(result);
}
