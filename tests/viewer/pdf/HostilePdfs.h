#pragma once
// Small hand-made PDFs, each hostile in one way a real attack or a broken
// producer is: loops, absurd sizes, deep nesting, work that grows without end.

#include "HostileImages.h"
#include "RawPdf.h"

#include <QByteArray>
#include <QList>

namespace hostile {

struct File {
    const char *name;
    QByteArray bytes;
    // What is hostile in it is left out, the rest opens, and a shown viewer keeps
    // its window answering while it reads the file through.
    bool inWindow = false;
};

inline QByteArray textContent(const QByteArray &text)
{
    return "BT /F1 24 Tf 72 720 Td (" + text + ") Tj ET";
}

// A readable two-page document: the base the damaged variants start from.
inline RawPdf twoPages(int *root)
{
    RawPdf pdf;
    *root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [4 0 R 5 0 R] /Count 2 >>");
    pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
            "/Resources << /Font << /F1 3 0 R >> >> /Contents 6 0 R >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
            "/Resources << /Font << /F1 3 0 R >> >> /Contents 7 0 R >>");
    pdf.addStream("<< >>", textContent("First page"));
    pdf.addStream("<< >>", textContent("Second page"));
    return pdf;
}

// One page with the given page-dictionary extras, resources and content.
inline QByteArray onePage(const QByteArray &pageExtras, const QByteArray &resources,
                          const QByteArray &content)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R " + pageExtras + " /Resources << " + resources
            + " >> /Contents 4 0 R >>");
    pdf.addStream("<< >>", content);
    return pdf.classic(root);
}

// One page whose content draws the XObject /X, given by its dictionary entries and data.
inline QByteArray xobjectPage(const QByteArray &mediaBox, const QByteArray &content,
                              const QByteArray &xobjectEntries, const QByteArray &data)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox
            + " /Resources << /XObject << /X 5 0 R >> >> /Contents 4 0 R >>");
    pdf.addStream("<< >>", content);
    pdf.addStream("<< /Type /XObject " + xobjectEntries + " >>", data);
    return pdf.classic(root);
}

// One page drawing an image with the given dictionary entries and data.
inline QByteArray imagePage(const QByteArray &imageEntries, const QByteArray &data)
{
    return xobjectPage("[0 0 595 842]", "q 500 0 0 500 40 40 cm /X Do Q",
                       "/Subtype /Image " + imageEntries, data);
}

inline QByteArray nestedArray(int depth)
{
    return QByteArray(depth, '[') + QByteArray(depth, ']');
}

inline QByteArray nestedDict(int depth)
{
    return QByteArray("<< /A ").repeated(depth) + QByteArray(" >>").repeated(depth);
}

// Adds a filled square as object firstForm, then forms firstForm + 1 ... + levels,
// each drawing the one before it eight times: 8^levels fills from a few kilobytes.
// The caller must have added exactly firstForm - 1 objects before.
inline void addFormChain(RawPdf &pdf, int firstForm, int levels)
{
    pdf.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] >>", "0 0 1 1 re f");
    for (int level = 1; level <= levels; ++level) {
        QByteArray draw;
        for (int i = 0; i < 8; ++i)
            draw += "q 0.3 0 0 0.3 " + QByteArray::number((i % 3) * 0.33) + ' '
                    + QByteArray::number((i / 3) * 0.33) + " cm /X Do Q\n";
        pdf.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Resources << /XObject "
                      "<< /X " + QByteArray::number(firstForm + level - 1) + " 0 R >> >> >>",
                      draw);
    }
}

// A page drawing the last form of a chain.
inline QByteArray formBomb(int levels)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    const int firstForm = 5;
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /XObject << /X "
            + QByteArray::number(firstForm + levels) + " 0 R >> >> /Contents 4 0 R >>");
    pdf.addStream("<< >>", "q 500 0 0 500 40 40 cm /X Do Q");
    addFormChain(pdf, firstForm, levels);
    return pdf.classic(root);
}

// An outline nested `depth` levels deep: each entry's /First is the next.
inline QByteArray deepOutline(int depth)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
    pdf.add("<< /First 5 0 R /Last 5 0 R >>");
    for (int i = 1; i < depth; ++i)
        pdf.add("<< /Title (l) /First " + QByteArray::number(5 + i) + " 0 R >>");
    pdf.add("<< /Title (l) /Dest [3 0 R /Fit] >>");
    return pdf.withObjectStreams(root);
}

// Named destinations in a name tree nested `depth` levels deep, one name
// looked up by a link on the page and by the outline. A `broken` node has a
// string where a key belongs, so its object stream fails to load there.
inline QByteArray deepNameTree(int depth, const QByteArray &wanted = "deep", int broken = -1)
{
    RawPdf pdf;
    const int tree = 5;
    const int entry = tree + depth;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R /Names << /Dests "
                             + QByteArray::number(tree) + " 0 R >> >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Annots [<< /Type /Annot "
            "/Subtype /Link /Rect [0 0 100 100] /Dest (" + wanted + ") >>] >>");
    pdf.add("<< /First " + QByteArray::number(entry) + " 0 R /Last " + QByteArray::number(entry)
            + " 0 R >>");
    for (int i = 0; i + 1 < depth; ++i)
        pdf.add("<< /Kids [" + QByteArray::number(tree + i + 1) + " 0 R] /Limits "
                + (i == broken ? "(a) (z)] >>" : "[(a) (z)] >>"));
    pdf.add("<< /Names [(deep) [3 0 R /Fit]] /Limits [(deep) (deep)] >>");
    pdf.add("<< /Title (deep) /Parent 4 0 R /Dest (" + wanted + ") >>");
    return pdf.withObjectStreams(root);
}

// A page drawn in a layer whose /Order arrays nest `depth` levels deep.
inline QByteArray deepLayerOrder(int depth)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R /OCProperties << /OCGs [5 0 R] "
                             "/D << /Order 6 0 R >> >> >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] "
            "/Resources << /Properties << /L 5 0 R >> >> /Contents 4 0 R >>");
    pdf.addStream("<< >>", "/OC /L BDC 0 0 10 10 re f EMC");
    pdf.add("<< /Type /OCG /Name (layer) >>");
    for (int i = 0; i + 1 < depth; ++i)
        pdf.add("[" + QByteArray::number(7 + i) + " 0 R]");
    pdf.add("[5 0 R]");
    return pdf.withObjectStreams(root);
}

// An outline of `chapters` chapters, each with two sections of three entries
// unless `flat`, all sharing one title of `titleBytes` bytes.
inline QByteArray longTitles(int chapters, int titleBytes, bool flat = false)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R /Outlines 5 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
    const int title = pdf.add("(" + QByteArray(titleBytes, 'W') + ")");
    const int chapter0 = title + 2, section0 = chapter0 + chapters, entry0 = section0 + 2 * chapters;
    auto ref = [](int n) { return QByteArray::number(n) + " 0 R"; };
    pdf.add("<< /First " + ref(chapter0) + " /Last " + ref(chapter0 + chapters - 1) + " >>");
    // `count` siblings numbered from `first` below `parent`; sibling i has `kids`
    // children numbered from kidsFirst + i * kids.
    auto siblings = [&](int parent, int first, int count, int kids, int kidsFirst) {
        for (int i = 0; i < count; ++i) {
            QByteArray entry = "<< /Title " + ref(title) + " /Parent " + ref(parent)
                               + " /Dest [3 0 R /Fit]";
            if (i > 0)
                entry += " /Prev " + ref(first + i - 1);
            if (i + 1 < count)
                entry += " /Next " + ref(first + i + 1);
            if (kids > 0)
                entry += " /First " + ref(kidsFirst + i * kids) + " /Last "
                         + ref(kidsFirst + i * kids + kids - 1);
            pdf.add(entry + " >>");
        }
    };
    siblings(title + 1, chapter0, chapters, flat ? 0 : 2, section0);
    for (int c = 0; c < chapters && !flat; ++c)
        siblings(chapter0 + c, section0 + 2 * c, 2, 3, entry0 + 6 * c);
    for (int s = 0; s < 2 * chapters && !flat; ++s)
        siblings(section0 + s, entry0 + 3 * s, 3, 0, 0);
    return pdf.classic(root);
}

// `pages` pages in one flat page tree. The `shared` objects are numbered from 3,
// before the pages, and `pageEntries` goes into every page's dictionary.
inline QByteArray flatPages(int pages, const QList<QByteArray> &shared = {},
                            const QByteArray &pageEntries = {})
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    const int firstPage = 3 + int(shared.size());
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(firstPage + i) + " 0 R ";
    pdf.add("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
    for (const QByteArray &object : shared)
        pdf.add(object);
    for (int i = 0; i < pages; ++i)
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] " + pageEntries + ">>");
    return pdf.classic(root);
}

// `pages` pages sharing one /Annots array that lists the same link `references` times.
inline QByteArray sharedAnnots(int pages, int references)
{
    return flatPages(pages,
                     {"[" + QByteArray("4 0 R ").repeated(references) + "]",
                      "<< /Type /Annot /Subtype /Link /Rect [10 10 100 100] "
                      "/A << /S /URI /URI (https://example.org/) >> >>"},
                     "/Annots 3 0 R ");
}

// A page filled with a pattern whose cell repeats every thousandth of a point:
// 5·10^11 repetitions in a loop of MuPDF's that never looks at the time limit.
inline QByteArray tinyStepPattern()
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
            "/Resources << /Pattern << /P 5 0 R >> >> /Contents 4 0 R >>");
    pdf.addStream("<< >>", "/Pattern cs /P scn 0 0 595 842 re f");
    pdf.addStream("<< /Type /Pattern /PatternType 1 /PaintType 1 /TilingType 1 "
                  "/BBox [0 0 1 1] /XStep 0.001 /YStep 0.001 /Resources << >> >>",
                  "0 0 1 1 re f");
    return pdf.classic(root);
}

// One page whose dictionary holds `count` copies of `element` in an array, in a
// deflated object stream: millions of objects from a few kilobytes.
inline QByteArray manyObjects(const QByteArray &element, int count)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Junk [" + element.repeated(count)
            + "] >>");
    return pdf.withObjectStreams(root, true);
}

// `pages` pages sharing one content stream of 100 000 characters, "page " over
// and over in tiny print: 20 000 hits of "page" on each.
inline QByteArray pagesOfOneWord(int pages)
{
    RawPdf pdf;
    const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
    const int firstPage = 5;
    QByteArray kids;
    for (int i = 0; i < pages; ++i)
        kids += QByteArray::number(firstPage + i) + " 0 R ";
    pdf.add("<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages) + " >>");
    pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    const QByteArray line = "(" + QByteArray("page ").repeated(80) + ") '\n";
    pdf.addStream("<< >>", "BT /F1 1 Tf 2 TL 20 800 Td\n" + line.repeated(250) + "ET");
    for (int i = 0; i < pages; ++i)
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
                "/Resources << /Font << /F1 3 0 R >> >> /Contents 4 0 R >>");
    return pdf.classic(root);
}

inline QList<File> all()
{
    QList<File> files;
    {
        // Kids lead back to the root of the page tree.
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
        pdf.add("<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>");
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
        pdf.add("<< /Type /Pages /Parent 2 0 R /Kids [2 0 R] /Count 1 >>");
        files.append({"kids-loop", pdf.classic(root)});
    }
    {
        // The page tree's root lists itself as its only kid.
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
        pdf.add("<< /Type /Pages /Kids [2 0 R] /Count 1 >>");
        files.append({"kids-self", pdf.classic(root)});
    }
    {
        // Inherited attributes looked up through a Parent chain that loops.
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
        pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 /Parent 4 0 R >>");
        pdf.add("<< /Type /Page /Parent 2 0 R >>");
        pdf.add("<< /Type /Pages /Kids [2 0 R] /Count 1 /Parent 2 0 R >>");
        files.append({"parent-loop", pdf.classic(root)});
    }
    {
        // A page written straight into /Kids rather than as an object of its own.
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
        pdf.add("<< /Type /Pages /Count 2 /Kids [<< /Type /Page /Parent 2 0 R "
                "/MediaBox [0 0 300 100] >> 3 0 R] >>");
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 400] >>");
        files.append({"page-inside-kids", pdf.classic(root)});
    }
    {
        // The page tree claims far more pages than it holds.
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
        pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 2147483647 >>");
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
        files.append({"huge-count", pdf.classic(root)});
    }
    files.append({"deep-array-in-page", onePage("/MediaBox [0 0 200 200] /Junk " + nestedArray(50000),
                                                 {}, "0 0 10 10 re f")});
    files.append({"deep-array-in-content",
                  onePage("/MediaBox [0 0 200 200]", {}, nestedArray(50000) + " TJ 0 0 10 10 re f")});
    files.append({"deep-dict-in-page", onePage("/MediaBox [0 0 200 200] /Junk " + nestedDict(50000),
                                                {}, "0 0 10 10 re f")});
    // An image that claims 100 000 × 100 000 pixels and holds a few bytes.
    files.append({"huge-image", imagePage("/Width 100000 /Height 100000 /ColorSpace /DeviceRGB "
                                          "/BitsPerComponent 8", QByteArray(64, '\x7f'))});
    // Images whose own headers declare 400 and 768 million samples (1.6 and 1.5 GB
    // in the decoders) behind dictionaries that say 100 pixels wide; MuPDF cuts a
    // JPEG's height to the dictionary's, not its width.
    files.append({"jpx-bomb", imagePage("/Width 100 /Height 100 /ColorSpace /DeviceGray "
                                        "/BitsPerComponent 8 /Filter /JPXDecode",
                                        jpxDeclaring(20000)), true});
    files.append({"jpeg-bomb", imagePage("/Width 100 /Height 16000 /ColorSpace /DeviceRGB "
                                         "/BitsPerComponent 8 /Filter /DCTDecode",
                                         progressiveJpegDeclaring(16000)), true});
    files.append({"form-bomb", formBomb(9)});
    files.append({"pattern-tiny-step", tinyStepPattern(), true});
    // 40 million integers and 30 million empty arrays, about 80 KB each: 3.1 and
    // 2.2 GB once read when small objects were counted by the bytes asked for.
    files.append({"many-integers", manyObjects("0 ", 40000000)});
    files.append({"many-empty-arrays", manyObjects("[]", 30000000)});
    // 80 000 hits of the word the window rows search for.
    files.append({"many-hits", pagesOfOneWord(4), true});
    // A form that draws itself.
    files.append({"form-draws-itself",
                  xobjectPage("[0 0 200 200]", "/X Do",
                              "/Subtype /Form /BBox [0 0 1 1] "
                              "/Resources << /XObject << /X 5 0 R >> >>",
                              "/X Do 0 0 1 1 re f")});
    files.append({"absurd-page", onePage("/MediaBox [0 0 1000000 1000000]", {},
                                         "0 0 1000000 1000000 re f")});
    files.append({"empty-page-box", onePage("/MediaBox [0 0 0 0]", {}, "0 0 10 10 re f")});
    files.append({"inverted-page-box", onePage("/MediaBox [500 500 -500 -500]", {}, "")});
    files.append({"overflowing-page-box",
                  onePage("/MediaBox [-3.4e38 -3.4e38 3.4e38 3.4e38] /Rotate 90", {}, "")});
    files.append({"odd-rotation", onePage("/MediaBox [0 0 200 300] /Rotate -2147483647", {}, "")});
    {
        // An outline whose entry is its own next sibling and first child.
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>");
        pdf.add("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
        pdf.add("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] >>");
        pdf.add("<< /First 5 0 R /Last 5 0 R /Count 1 >>");
        pdf.add("<< /Title (loop) /Parent 4 0 R /Next 5 0 R /First 5 0 R /Dest [3 0 R /Fit] >>");
        files.append({"outline-loop", pdf.classic(root)});
    }
    files.append({"outline-deep", deepOutline(100000), true});
    files.append({"name-tree-deep", deepNameTree(100000), true});
    // A name missing from a chain of 30 nodes: MuPDF searches each node's kid
    // twice, 2^30 steps.
    files.append({"name-tree-miss", deepNameTree(30, "dream")});
    // The first read of the catalog fails with the object stream, a later one
    // finds it and the 150 nodes read before the broken one.
    files.append({"name-tree-broken-stream", deepNameTree(600, "deep", 150)});
    files.append({"layer-order-deep", deepLayerOrder(100000), true});
    files.append({"outline-long-titles", longTitles(100, 1 << 20), true});
    // Marking the section being read once laid out every title to learn its row's
    // height: the window stood still for seconds.
    files.append({"outline-wide", longTitles(65536, 1000, true), true});
    files.append({"shared-annots", sharedAnnots(10, 200000), true});
    {
        RawPdf pdf;
        const int root = pdf.add("<< /Type /Catalog /Pages 2 0 R >>");
        pdf.add("<< /Type /Pages /Kids [] /Count 0 >>");
        files.append({"no-pages", pdf.classic(root)});
    }
    files.append({"root-not-a-dictionary", [] {
                      RawPdf pdf;
                      return pdf.classic(pdf.add("(just a string)"));
                  }()});
    files.append({"empty-file", QByteArray()});
    files.append({"header-only", QByteArray("%PDF-1.7\n")});
    files.append({"not-a-pdf", QByteArray("This is a plain text file, not a document.\n")});
    return files;
}

} // namespace hostile
