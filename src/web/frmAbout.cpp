#include "web/frmAbout.h"

#include "ui/DesignButton.h"
#include "ui/DesignFont.h"
#include "ui/Twips.h"
#include "web/VellumoLogo.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {
const QColor navy(0, 0, 128);
const QColor contactBlue(0, 0, 192);

QLabel *designLabel(QWidget *parent, const char *name, const QString &text,
                    const QRect &geometry, double pointSize, const QColor &colour,
                    bool bold = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    QFont font = songtiFont(pointSize);
    font.setBold(bold);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setGeometry(geometry);
    return label;
}

constexpr double line3Top = 1440; // twips

// The description wraps to two lines; a CJK font with taller lines than the
// design's needs more height than its rectangle has, so the label grows
// upwards into the room under the title and always ends above Line3.
void fitAboveLine3(QLabel *label)
{
    QRect place = label->geometry();
    place.setHeight(std::max(place.height(), label->heightForWidth(place.width())));
    place.moveBottom(std::min(place.bottom(), twips::toPixels(line3Top) - 3));
    label->setGeometry(place);
}

void drawDesignLine(QPainter &p, const QColor &colour, double x1, double y, double x2)
{
    p.setPen(QPen(colour, 1));
    p.drawLine(twips::toPixels(x1), twips::toPixels(y), twips::toPixels(x2), twips::toPixels(y));
}
} // namespace

frmAbout::frmAbout(const QWidget &mainWindow, const QString &productCaption,
                   const QString &version)
    : QDialog(nullptr, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                           | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    setFixedSize(twips::toPixels(5070), twips::toPixels(4470));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    Label1 = designLabel(this, "Label1", QStringLiteral("Vellumo"),
                         twips::rect(1320, 120, 2535, 615), 21.75, Qt::black, true);
    lblVer = designLabel(this, "lblVer", QString(), twips::rect(3480, 240, 855, 255), 10.5,
                         Qt::black);
    Label3 = designLabel(this, "Label3",
                         QStringLiteral("PDF格式是互联网上常用的文档格式之一，本软件是一款专业的"
                                        "PDF阅读软件,本软件为免费软件!"),
                         twips::rect(120, 960, 4695, 495), 9, navy);
    Label3->setWordWrap(true);
    fitAboveLine3(Label3);
    Label4 = designLabel(this, "Label4", QStringLiteral("作者：Vellumo 开发组"),
                         twips::rect(360, 1680, 3615, 255), 9, contactBlue);
    Label5 = designLabel(this, "Label5", QStringLiteral("联系邮箱：support@vellumo.example"),
                         twips::rect(360, 2040, 3495, 255), 9, contactBlue);
    Label6 = designLabel(this, "Label6", QStringLiteral("fk@vellumo.example"),
                         twips::rect(1200, 2280, 1935, 255), 9, contactBlue);
    Label8 = designLabel(this, "Label8",
                         QStringLiteral("官方网站：") + QStringLiteral(VELLUMO_WEB_SERVICE_BASE),
                         twips::rect(360, 2520, 3975, 255), 9, contactBlue);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips::rect(1440, 2760, 1785, 465));
    Image1->setPixmap(QPixmap::fromImage(vellumoLogo()));
    Label7 = designLabel(this, "Label7", QStringLiteral("感谢您使用本软件！"),
                         twips::rect(1440, 3480, 2175, 375), 9, Qt::black, true);

    dcButton1 = designButton(this, "dcButton1", QStringLiteral("确定(&O)"),
                             twips::rect(1560, 3960, 1455, 375));

    dcButton1->setFocus();
    connect(dcButton1, &QPushButton::clicked, this, &frmAbout::dcButton1_Click);

    Form_Load(mainWindow, productCaption, version);
}

void frmAbout::Form_Load(const QWidget &mainWindow, const QString &productCaption,
                         const QString &version)
{
    setWindowTitle(QStringLiteral("关于") + productCaption);
    setWindowIcon(mainWindow.windowIcon());
    lblVer->setText(version);
}

void frmAbout::dcButton1_Click()
{
    accept();
}

void frmAbout::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter p(this);
    drawDesignLine(p, Qt::black, 0, line3Top, 5160); // Line3
    drawDesignLine(p, QColor(255, 0, 0), 0, 3240, 5400);    // Line1
    drawDesignLine(p, contactBlue, 0, 3360, 5400);  // Line2
}
