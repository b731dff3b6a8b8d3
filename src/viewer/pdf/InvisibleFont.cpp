#include "InvisibleFont.h"

#include <QFontDatabase>
#include <QStringList>
#include <QtEndian>

#include <map>

namespace {

constexpr quint16 kUnitsPerEm = 1000;
constexpr qint16 kAscent = 800;
constexpr qint16 kDescent = -200;
constexpr quint16 kFirstCode = 0x20;
constexpr quint16 kLastCode = 0xFFFD;
// Glyph n is code point n; glyph 0 stays the missing glyph.
constexpr quint16 kGlyphCount = kLastCode + 1;
const char kFamily[] = "Vellumo Text Layer";

// Big-endian writer for font tables.
class Table {
public:
    Table &u16(quint16 v) { put(&v, 2); return *this; }
    Table &i16(qint16 v) { return u16(quint16(v)); }
    Table &u32(quint32 v) { put(&v, 4); return *this; }
    Table &zeros(int count) { m_bytes.append(count, '\0'); return *this; }
    Table &bytes(const QByteArray &b) { m_bytes.append(b); return *this; }
    const QByteArray &data() const { return m_bytes; }

private:
    template <typename T> void put(const T *v, int size)
    {
        const T big = qToBigEndian(*v);
        m_bytes.append(reinterpret_cast<const char *>(&big), size);
    }
    QByteArray m_bytes;
};

quint32 checksum(const QByteArray &table)
{
    QByteArray padded = table;
    padded.append((4 - padded.size() % 4) % 4, '\0');
    quint32 sum = 0;
    for (int i = 0; i < padded.size(); i += 4)
        sum += qFromBigEndian<quint32>(padded.constData() + i);
    return sum;
}

QByteArray head()
{
    return Table()
        .u32(0x00010000).u32(0x00010000).u32(0).u32(0x5F0F3CF5)
        .u16(0x000B).u16(kUnitsPerEm).zeros(16) // flags, units, created and modified
        .i16(0).i16(kDescent).i16(kUnitsPerEm).i16(kAscent)
        .u16(0).u16(8).i16(2).i16(0).i16(0) // style, smallest size, direction, short loca, glyf format
        .data();
}

QByteArray hhea()
{
    return Table()
        .u32(0x00010000).i16(kAscent).i16(kDescent).i16(0)
        .u16(kUnitsPerEm).i16(0).i16(0).i16(0) // widest advance, side bearings, extent
        .i16(1).i16(0).i16(0).zeros(8).i16(0) // upright caret, reserved, metric format
        .u16(1) // one advance for every glyph
        .data();
}

QByteArray maxp()
{
    Table t;
    t.u32(0x00010000).u16(kGlyphCount).zeros(8).u16(2).zeros(16);
    return t.data();
}

QByteArray os2()
{
    Table t;
    t.u16(4).i16(kUnitsPerEm).u16(400).u16(5).u16(0) // version, width, weight, width class, embeddable
        .zeros(22) // sub- and superscript, strikeout, family class
        .zeros(10) // panose
        .u32(0xFFFFFFFF).u32(0xFFFFFFFF).u32(0xFFFFFFFF).u32(0x03FFFFFF)
        .bytes("VLMO").u16(0x0040).u16(kFirstCode).u16(kLastCode)
        .i16(kAscent).i16(kDescent).i16(0).u16(quint16(kAscent)).u16(quint16(-kDescent))
        .u32(0x003F01FF).u32(0) // Latin, Greek, Cyrillic … and the CJK code pages
        .i16(500).i16(700).u16(0).u16(0x20).u16(1);
    return t.data();
}

QByteArray hmtx()
{
    Table t;
    t.u16(kUnitsPerEm).i16(0).zeros(2 * (kGlyphCount - 1));
    return t.data();
}

QByteArray loca()
{
    Table t;
    t.zeros(2 * (kGlyphCount + 1)); // every glyph empty
    return t.data();
}

QByteArray cmap()
{
    // Format 4: one segment mapping kFirstCode…kLastCode onto the same glyph
    // numbers, then the closing segment the format needs.
    Table segments;
    segments.u16(4).u16(32).u16(0) // format, length, language
        .u16(4).u16(4).u16(1).u16(0)      // 2 segments: doubled, search range, selector, shift
        .u16(kLastCode).u16(0xFFFF).u16(0) // end codes, pad
        .u16(kFirstCode).u16(0xFFFF)       // start codes
        .i16(0).i16(1)                     // deltas
        .u16(0).u16(0);                    // no range offsets
    return Table().u16(0).u16(1).u16(3).u16(1).u32(12).bytes(segments.data()).data();
}

QByteArray name()
{
    const QStringList strings = {QString::fromLatin1(kFamily), QStringLiteral("Regular"),
                                 QString::fromLatin1(kFamily), QStringLiteral("VellumoTextLayer")};
    const quint16 ids[] = {1, 2, 4, 6};
    Table records;
    Table text;
    for (int i = 0; i < strings.size(); ++i) {
        const int offset = text.data().size();
        for (QChar c : strings[i])
            text.u16(c.unicode());
        records.u16(3).u16(1).u16(0x409).u16(ids[i])
            .u16(quint16(text.data().size() - offset)).u16(quint16(offset));
    }
    const quint16 count = quint16(strings.size());
    return Table().u16(0).u16(count).u16(6 + 12 * count)
        .bytes(records.data()).bytes(text.data()).data();
}

QByteArray post()
{
    return Table().u32(0x00030000).u32(0).i16(-100).i16(50).zeros(20).data();
}

} // namespace

bool invisibleFontCovers(char32_t code)
{
    return code >= kFirstCode && code <= kLastCode;
}

QByteArray invisibleFontData()
{
    // Sorted by tag, as the table directory needs.
    const std::map<QByteArray, QByteArray> tables = {
        {"OS/2", os2()}, {"cmap", cmap()}, {"glyf", QByteArray(4, '\0')},
        {"head", head()}, {"hhea", hhea()}, {"hmtx", hmtx()}, {"loca", loca()},
        {"maxp", maxp()}, {"name", name()}, {"post", post()}};
    const quint16 count = quint16(tables.size());
    Table font;
    font.u32(0x00010000).u16(count).u16(128).u16(3).u16(count * 16 - 128);
    quint32 offset = 12 + 16 * count;
    QByteArray body;
    for (const auto &[tag, data] : tables) {
        font.bytes(tag).u32(checksum(data)).u32(offset).u32(quint32(data.size()));
        QByteArray padded = data;
        padded.append((4 - padded.size() % 4) % 4, '\0');
        body.append(padded);
        offset += quint32(padded.size());
    }
    return font.bytes(body).data();
}

QString invisibleFontFamily()
{
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFontFromData(invisibleFontData());
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString() : families.first();
    }();
    return family;
}
