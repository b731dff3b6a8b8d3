// The main window's menus and toolbar as designed.
#include "app/frmPdf.h"

#include "app/ClassicMenuStyle.h"
#include "bookmarks/BookmarkMenu.h"
#include "ui/DesignButton.h"
#include "ui/DesignFont.h"
#include "ui/Twips.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

QAction *frmPdf::addItem(QMenu *menu, QAction *&item, const char *name, const QString &caption,
                         const QKeySequence &shortcut, void (frmPdf::*handler)())
{
    item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    item->setShortcut(shortcut);
    connect(item, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    return item;
}

QAction *frmPdf::addSeparator(QMenu *menu, QAction *&item, const char *name)
{
    item = menu->addSeparator();
    item->setObjectName(QLatin1String(name));
    return item;
}

void frmPdf::buildMenus()
{
    auto topMenu = [this](QMenu *&menu, const char *name, const QString &caption) {
        menu = menuBar()->addMenu(caption);
        menu->setObjectName(QLatin1String(name));
        menu->menuAction()->setObjectName(QLatin1String(name));
    };
    const QKeySequence none;

    topMenu(mnuFile, "mnuFile", QStringLiteral("文件(&F)"));
    addItem(mnuFile, mnuOpen, "mnuOpen", QStringLiteral("打开(&O)..."), QKeySequence(Qt::CTRL | Qt::Key_O), &frmPdf::mnuOpen_Click);
    addItem(mnuFile, mnuCf, "mnuCf", QStringLiteral("关闭(&C)"), QKeySequence(Qt::CTRL | Qt::Key_W), &frmPdf::mnuCf_Click);
    addSeparator(mnuFile, hen1, "hen1");
    addItem(mnuFile, mnuSf, "mnuSf", QStringLiteral("保存文件(&S)"), QKeySequence(Qt::CTRL | Qt::Key_S), &frmPdf::mnuSf_Click);
    addSeparator(mnuFile, hen2, "hen2");
    addItem(mnuFile, mnuPr, "mnuPr", QStringLiteral("打印(&P)..."), QKeySequence(Qt::CTRL | Qt::Key_P), &frmPdf::mnuPr_Click);
    addSeparator(mnuFile, hen3, "hen3");
    addItem(mnuFile, mnuExit, "mnuExit", QStringLiteral("退出(&X)"), QKeySequence(Qt::CTRL | Qt::Key_Q), &frmPdf::mnuExit_Click);

    topMenu(mnuOp, "mnuOp", QStringLiteral("选项(&O)"));
    addItem(mnuOp, mnuBack, "mnuBack", QStringLiteral("返回首页(&H)"), none, &frmPdf::mnuBack_Click);
    addItem(mnuOp, mnuLastpage, "mnuLastpage", QStringLiteral("转到末页(&E)"), none, &frmPdf::mnuLastpage_Click);
    addItem(mnuOp, mnuBp, "mnuBp", QStringLiteral("上一页(&B)"), QKeySequence(Qt::CTRL | Qt::Key_B), &frmPdf::mnuBp_Click);
    addItem(mnuOp, mnuNp, "mnuNp", QStringLiteral("下一页(&N)"), QKeySequence(Qt::CTRL | Qt::Key_N), &frmPdf::mnuNp_Click);
    addItem(mnuOp, mnuGopage, "mnuGopage", QStringLiteral("转到页面(&P)..."), QKeySequence(Qt::Key_F9), &frmPdf::mnuGopage_Click);
    addSeparator(mnuOp, hen5, "hen5");
    mnuXuan = mnuOp->addMenu(QStringLiteral("旋转(&X)"));
    mnuXuan->setObjectName(QStringLiteral("mnuXuan"));
    mnuXuan->menuAction()->setObjectName(QStringLiteral("mnuXuan"));
    addItem(mnuXuan, mnuTo0, "mnuTo0", QStringLiteral("旋转0度"), none, &frmPdf::mnuTo0_Click);
    addItem(mnuXuan, mnuTo90, "mnuTo90", QStringLiteral("旋转90度"), none, &frmPdf::mnuTo90_Click);
    addItem(mnuXuan, mnuTo180, "mnuTo180", QStringLiteral("旋转180度"), none, &frmPdf::mnuTo180_Click);
    addItem(mnuXuan, mnuTo360, "mnuTo360", QStringLiteral("旋转270度"), none, &frmPdf::mnuTo360_Click);

    topMenu(mnuSuof, "mnuSuof", QStringLiteral("缩放(B)"));
    addItem(mnuSuof, mnuDa, "mnuDa", QStringLiteral("放大(&I)"), QKeySequence(Qt::Key_F4), &frmPdf::mnuDa_Click);
    addItem(mnuSuof, mnuXiao, "mnuXiao", QStringLiteral("缩小(&O)"), QKeySequence(Qt::Key_F5), &frmPdf::mnuXiao_Click);
    addSeparator(mnuSuof, hen6, "hen6");
    addItem(mnuSuof, mnuShiji, "mnuShiji", QStringLiteral("实际窗口(&W)"), none, &frmPdf::mnuShiji_Click);
    addItem(mnuSuof, mnuChicun, "mnuChicun", QStringLiteral("实际尺寸(&L)"), none, &frmPdf::mnuChicun_Click);
    addItem(mnuSuof, mnuKuandu, "mnuKuandu", QStringLiteral("适合宽度(&D)"), none, &frmPdf::mnuKuandu_Click);

    topMenu(mnuSearch, "mnuSearch", QStringLiteral("查找(&S)"));
    addItem(mnuSearch, mnuFindt, "mnuFindt", QStringLiteral("全文查找文字(&T)..."), QKeySequence(Qt::CTRL | Qt::Key_F), &frmPdf::mnuFindt_Click);
    addItem(mnuSearch, mnuFindnext, "mnuFindnext", QStringLiteral("查找下一个(&N)"), QKeySequence(Qt::Key_F3), &frmPdf::mnuFindnext_Click);
    addSeparator(mnuSearch, hen9, "hen9");
    addItem(mnuSearch, mnuJiansuo, "mnuJiansuo", QStringLiteral("全文检索(J)..."), QKeySequence(Qt::CTRL | Qt::Key_J), &frmPdf::mnuJiansuo_Click);
    addSeparator(mnuSearch, hen10, "hen10");
    addItem(mnuSearch, mnuCopy, "mnuCopy", QStringLiteral("复制所选文字(&C)"), QKeySequence(Qt::CTRL | Qt::Key_C), &frmPdf::mnuCopy_Click);
    addItem(mnuSearch, mnuSt, "mnuSt", QStringLiteral("显示所选内容(&S)"), QKeySequence(Qt::CTRL | Qt::Key_Z), &frmPdf::mnuSt_Click);

    topMenu(mnuMode, "mnuMode", QStringLiteral("模式(&M)"));
    addItem(mnuMode, mnuSp, "mnuSp", QStringLiteral("显示单页(&S)"), none, &frmPdf::mnuSp_Click);
    addItem(mnuMode, mnuMp, "mnuMp", QStringLiteral("显示连续页(&P)"), none, &frmPdf::mnuMp_Click);
    addSeparator(mnuMode, hen7, "hen7");
    addItem(mnuMode, mnuTuoya, "mnuTuoya", QStringLiteral("鼠标拖压模式(&T)"), none, &frmPdf::mnuTuoya_Click);
    addItem(mnuMode, mnuXuanze, "mnuXuanze", QStringLiteral("鼠标选择模式(&X)"), none, &frmPdf::mnuXuanze_Click);
    addSeparator(mnuMode, hen8, "hen8");
    addItem(mnuMode, mnuSm, "mnuSm", QStringLiteral("显示目录(&L)"), QKeySequence(Qt::CTRL | Qt::Key_F2), &frmPdf::mnuSm_Click);
    addItem(mnuMode, mnuHm, "mnuHm", QStringLiteral("隐藏目录(&H)"), QKeySequence(Qt::CTRL | Qt::Key_F3), &frmPdf::mnuHm_Click);
    // Check marks are set at run time; the items are checkable so the marks can show.
    for (QAction *item : {mnuShiji, mnuChicun, mnuKuandu, mnuSp, mnuMp, mnuTuoya, mnuXuanze, mnuSm, mnuHm})
        item->setCheckable(true);

    topMenu(mnuShu, "mnuShu", QStringLiteral("书签(&K)"));
    addItem(mnuShu, mnuAddbk, "mnuAddbk", QStringLiteral("添加此页到书签(&A)..."), QKeySequence(Qt::CTRL | Qt::Key_D), &frmPdf::mnuAddbk_Click);
    addItem(mnuShu, mnuBkm, "mnuBkm", QStringLiteral("删除指定书签(&L)..."), none, &frmPdf::mnuBkm_Click);
    addSeparator(mnuShu, henshu, "henshu");
    m_bookmarkMenu = new BookmarkMenu(mnuShu, m_bookmarkDir, *m_ui, this);
    connect(m_bookmarkMenu, &BookmarkMenu::chosen, this,
            [this](int index) { mnuBk_Click(qint16(index)); });

    topMenu(mnuHelp, "mnuHelp", QStringLiteral("帮助(&H)"));
    addItem(mnuHelp, mnuNethelp, "mnuNethelp", QStringLiteral("在线帮助中心(&N)"), QKeySequence(Qt::Key_F1), &frmPdf::mnuNethelp_Click);
    addItem(mnuHelp, mnuFankui, "mnuFankui", QStringLiteral("用户意见反馈(&B)"), none, &frmPdf::mnuFankui_Click);
    addSeparator(mnuHelp, hen12, "hen12");
    addItem(mnuHelp, mnuJup, "mnuJup", QStringLiteral("版本检查更新(&U)"), none, &frmPdf::mnuJup_Click);
    addSeparator(mnuHelp, hen13, "hen13");
    addItem(mnuHelp, mnuAbout, "mnuAbout", QStringLiteral("关于(&A)..."), none, &frmPdf::mnuAbout_Click);

    auto *menuStyle = new ClassicMenuStyle;
    menuStyle->setParent(this);
    for (QMenu *menu : {mnuFile, mnuOp, mnuXuan, mnuSuof, mnuSearch, mnuMode, mnuShu, mnuHelp})
        menu->setStyle(menuStyle);
}

void frmPdf::buildToolbar()
{
    Picbar = new QWidget(centralWidget());
    Picbar->setObjectName(QStringLiteral("Picbar"));
    Picbar->setGeometry(twips::rect(0, 0, 15135, 375));
    Picbar->setFocusPolicy(Qt::TabFocus);

    static const char *const captions[11] = {
        "打开(O)...", "上一页(&B)", "下一页(&N)", "放大(&I)", "缩小(&O)", "查找(&F)",
        "旋转(&X)",   "隐藏目录(&S)", "打印(&P)", "关于(&A)...", "转到该页"};
    const QColor toolbarGrey(192, 192, 192);
    for (int i = 0; i < 11; ++i) {
        const QRect place = i < 10 ? twips::rect(1080.0 * i, 0, 1095, 375)
                                   : twips::rect(13920, 120, 1095, 255);
        QPushButton *button = designButton(Picbar, QStringLiteral("Cmdc_%1").arg(i).toLatin1().constData(),
                                           QString(), place, toolbarGrey);
        // A click leaves the keyboard focus where it was, so the reading keys
        // keep scrolling the pages after a toolbar button was used.
        button->setFocusPolicy(Qt::TabFocus);
        connect(button, &QPushButton::clicked, this, [this, i] { Cmdc_Click(qint16(i)); });
        Cmdc[i] = button;
        setToolbarCaption(i, QString::fromUtf8(captions[i]));
    }

    lblPage = new QLabel(Picbar);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setGeometry(twips::rect(11040, 120, 2895, 255));

    // Created after the label, whose rectangle it overlaps, so it stays on top.
    Txtp = new QLineEdit(QStringLiteral("0"), Picbar);
    Txtp->setObjectName(QStringLiteral("Txtp"));
    Txtp->setFont(songtiFont(7.5));
    Txtp->setGeometry(twips::rect(13080, 120, 855, 225));
    Cmdc[10]->raise();
}
