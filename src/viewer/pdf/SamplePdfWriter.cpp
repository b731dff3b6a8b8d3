#include "SamplePdfWriter.h"

#include "shim/shim_writer.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <vector>

namespace {

bool isLatin(char16_t c) { return c < 0x100; }

void appendLatinRun(QByteArray &out, const QString &run)
{
    out += '(';
    for (QChar ch : run) {
        const char c = char(ch.unicode());
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    out += ") Tj ";
}

void appendChineseRun(QByteArray &out, const QString &run)
{
    // The GB font's CMap reads UTF-16BE, surrogate pairs included.
    out += '<';
    for (QChar ch : run)
        out += QByteArray::number(ch.unicode(), 16).rightJustified(4, '0');
    out += "> Tj ";
}

// One text object per line; the font switches between Latin and Chinese runs.
QByteArray contentStream(const SamplePage &page)
{
    QByteArray out = "0 g\n";
    for (const SampleTextLine &line : page.lines) {
        const QByteArray size = QByteArray::number(line.fontSize);
        out += "BT 1 0 0 1 " + QByteArray::number(line.x) + ' '
               + QByteArray::number(page.size.height() - line.baseline) + " Tm ";
        const QString &text = line.text;
        for (int start = 0; start < text.size();) {
            const bool latin = isLatin(text[start].unicode());
            int end = start;
            while (end < text.size() && isLatin(text[end].unicode()) == latin)
                ++end;
            out += (latin ? "/F1 " : "/F2 ") + size + " Tf ";
            const QString run = text.mid(start, end - start);
            if (latin)
                appendLatinRun(out, run);
            else
                appendChineseRun(out, run);
            start = end;
        }
        out += "ET\n";
    }
    return out;
}

struct FlatOutline {
    std::vector<QByteArray> titles;
    std::vector<vshim_out_outline_item> items;
};

void flatten(const QList<SampleOutlineEntry> &entries, int parent, int pageCount,
             FlatOutline &flat)
{
    for (const SampleOutlineEntry &entry : entries) {
        const int index = int(flat.items.size());
        flat.titles.push_back(entry.title.toUtf8());
        flat.items.push_back({nullptr, qBound(0, entry.page - 1, pageCount - 1), parent,
                              float(entry.top)});
        flatten(entry.children, index, pageCount, flat);
    }
}

QString pseudoWord(quint32 &seed)
{
    static const char *const syllables[] = {"lo", "rem", "ip", "sum", "do", "lor", "sit", "a",
                                            "met", "con", "sec", "te", "tur", "ad", "pi", "scing",
                                            "e", "lit", "sed", "ei", "us", "mod", "tem", "por"};
    QString word;
    seed = seed * 1103515245u + 12345u;
    const int parts = 1 + int((seed >> 16) % 3);
    for (int i = 0; i < parts; ++i) {
        seed = seed * 1103515245u + 12345u;
        word += QLatin1String(syllables[(seed >> 16) % (sizeof syllables / sizeof *syllables)]);
    }
    return word;
}

} // namespace

SamplePage SamplePage::withLines(const QStringList &lines, double fontSize, QSizeF size)
{
    SamplePage page;
    page.size = size;
    double baseline = 72 + fontSize;
    for (const QString &text : lines) {
        page.lines.append({text, 72, baseline, fontSize});
        baseline += fontSize * 1.5;
    }
    return page;
}

SampleDocument SampleDocument::textHeavy(int pageCount)
{
    SampleDocument doc;
    quint32 seed = 20240607u;
    for (int p = 1; p <= pageCount; ++p) {
        QStringList lines;
        lines << QStringLiteral("Page %1 of %2").arg(p).arg(pageCount);
        lines << QStringLiteral("第%1页：中文文本渲染与检索测试。").arg(p);
        for (int l = 0; l < 48; ++l) {
            QString line;
            while (line.size() < 88)
                line += pseudoWord(seed) + QLatin1Char(' ');
            lines << line.trimmed();
        }
        doc.pages.append(SamplePage::withLines(lines, 10));
    }
    for (int chapter = 1; chapter <= pageCount; chapter += 50) {
        SampleOutlineEntry entry{QStringLiteral("Chapter %1").arg(chapter / 50 + 1), chapter, {}};
        for (int section = chapter; section < chapter + 50 && section <= pageCount; section += 10)
            entry.children.append({QStringLiteral("Section at page %1").arg(section), section, {}});
        doc.outline.append(entry);
    }
    return doc;
}

SampleDocument SampleDocument::sample()
{
    SampleDocument doc;
    doc.pages.append(SamplePage::withLines(
        {QStringLiteral("Vellumo sample document"), QStringLiteral("欢迎使用 Vellumo 阅读器。"),
         QStringLiteral("This page is the cover."), QStringLiteral("中文与 English 混排的一行。")},
        18));
    doc.pages.append(SamplePage::withLines(
        {QStringLiteral("Chapter 1: Reading"), QStringLiteral("第一章：阅读"),
         QStringLiteral("Use the toolbar to move between pages, zoom and rotate."),
         QStringLiteral("使用工具栏翻页、缩放和旋转。")}));
    doc.pages.append(SamplePage::withLines(
        {QStringLiteral("Section 1.1: Searching"), QStringLiteral("第一节：检索"),
         QStringLiteral("Search finds words such as Vellumo on every page."),
         QStringLiteral("检索功能可以在所有页面中查找文字。")}));
    doc.pages.append(SamplePage::withLines(
        {QStringLiteral("Chapter 2: Bookmarks"), QStringLiteral("第二章：书签"),
         QStringLiteral("Bookmarks remember a document and a page."),
         QStringLiteral("书签记住文档和页码。")},
        12, QSizeF(842, 595)));
    doc.outline = {
        {QStringLiteral("封面 Cover"), 1, {}},
        {QStringLiteral("第一章 Reading"), 2, {{QStringLiteral("第一节 Searching"), 3, {}}}},
        {QStringLiteral("第二章 Bookmarks"), 4, {}},
    };
    return doc;
}

bool SamplePdfWriter::write(const SampleDocument &document, const QString &path, QString *error)
{
    auto fail = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (document.pages.isEmpty())
        return fail(QStringLiteral("a document needs at least one page"));

    std::vector<QByteArray> contents;
    std::vector<vshim_out_page> pages;
    for (const SamplePage &page : document.pages) {
        contents.push_back(contentStream(page));
        pages.push_back({float(page.size.width()), float(page.size.height()),
                         contents.back().constData(), size_t(contents.back().size())});
    }
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i].content = contents[i].constData(); // vector growth moved the buffers

    FlatOutline outline;
    flatten(document.outline, -1, int(pages.size()), outline);
    for (size_t i = 0; i < outline.items.size(); ++i)
        outline.items[i].title = outline.titles[i].constData();

    const QByteArray user = document.userPassword.toUtf8();
    const QByteArray owner = document.ownerPassword.toUtf8();
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString partial = target + QStringLiteral(".partial");
    const QByteArray partialName = QFile::encodeName(partial);

    vshim_out_document out{pages.data(), int(pages.size()), outline.items.data(),
                           int(outline.items.size()), user.constData(), owner.constData(),
                           document.compress ? 1 : 0};
    vshim_error err;
    if (vshim_write_pdf(&out, partialName.constData(), &err) != 0) {
        QFile::remove(partial);
        return fail(QString::fromUtf8(err.message));
    }
    if (std::rename(partialName.constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(partial);
        return fail(QStringLiteral("cannot replace %1").arg(QDir::toNativeSeparators(target)));
    }
    return true;
}
