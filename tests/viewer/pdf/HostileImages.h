#pragma once
// Image data that declares far more pixels in its own header than the few
// bytes it holds; the system's decoders size their buffers from the header.

#include <QByteArray>

namespace hostile {

inline QByteArray bigEndian(quint64 value, int bytes)
{
    QByteArray out(bytes, '\0');
    for (int i = bytes - 1; i >= 0; --i, value >>= 8)
        out[i] = char(value & 0xFF);
    return out;
}

inline QByteArray box(const char *type, const QByteArray &content)
{
    return bigEndian(8 + quint64(content.size()), 4) + type + content;
}

// A JP2 file whose one grey tile is `side` pixels square and holds one empty packet.
inline QByteArray jpxDeclaring(quint32 side)
{
    const QByteArray size = bigEndian(side, 4), zero = bigEndian(0, 4);
    QByteArray codestream = QByteArray::fromHex("ff4f" "ff510029" "0000") + size + size + zero
                            + zero + size + size + zero + zero + QByteArray::fromHex("0001" "070101");
    codestream += QByteArray::fromHex("ff52000c" "00" "00000100" "0004040001"); // one layer, no levels
    codestream += QByteArray::fromHex("ff5c0004" "40" "40");                     // no quantisation
    codestream += QByteArray::fromHex("ff90000a" "0000" "0000000f" "0001"); // the tile part, 15 bytes
    codestream += QByteArray::fromHex("ff93" "00" "ffd9");
    const QByteArray header = box("ihdr", size + size + QByteArray::fromHex("0001" "07070000"))
                              + box("colr", QByteArray::fromHex("01000000000011"));
    return QByteArray::fromHex("0000000c6a5020200d0a870a") + box("ftyp", "jp2 " + zero + "jp2 ")
           + box("jp2h", header) + box("jp2c", codestream);
}

// A progressive colour JPEG `side` pixels square: its first scan, of DC
// coefficients only, ends after four bytes, which libjpeg pads with zeros.
inline QByteArray progressiveJpegDeclaring(quint16 side)
{
    const QByteArray size = bigEndian(side, 2);
    return QByteArray::fromHex("ffd8" "ffdb004300") + QByteArray(64, '\x01')
           + QByteArray::fromHex("ffc2001108") + size + size
           + QByteArray::fromHex("03" "011100" "021100" "031100")
           + QByteArray::fromHex("ffc4001400" "01000000000000000000000000000000" "00")
           + QByteArray::fromHex("ffda000c03" "0100" "0200" "0300" "000000")
           + QByteArray::fromHex("00000000" "ffd9");
}

} // namespace hostile
