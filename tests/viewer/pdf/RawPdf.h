#pragma once
// Hand-made PDF files for hostile and damaged input: objects written as text,
// numbered from 1 in the order added, with a correct cross-reference table or
// stream, so whatever is odd about a file is exactly what the test put there.

#include <QByteArray>
#include <QList>

class RawPdf {
public:
    // Adds an object ("<< /Type /Page ... >>") and returns its number.
    int add(const QByteArray &body)
    {
        m_objects.append({body, {}, false});
        return int(m_objects.size());
    }
    // Adds a stream object; dict is the stream's dictionary without /Length.
    int addStream(const QByteArray &dict, const QByteArray &data)
    {
        m_objects.append({dict, data, true});
        return int(m_objects.size());
    }

    // A PDF 1.4 file with a cross-reference table.
    QByteArray classic(int root) const
    {
        QByteArray out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
        QList<qsizetype> offsets;
        for (int i = 0; i < m_objects.size(); ++i) {
            offsets.append(out.size());
            out += objectText(i + 1, m_objects[i]);
        }
        const qsizetype xref = out.size();
        out += "xref\n0 " + QByteArray::number(m_objects.size() + 1) + "\n0000000000 65535 f \n";
        for (qsizetype offset : offsets)
            out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        out += "trailer\n<< /Size " + QByteArray::number(m_objects.size() + 1) + " /Root "
               + QByteArray::number(root) + " 0 R >>\nstartxref\n" + QByteArray::number(xref)
               + "\n%%EOF\n";
        return out;
    }

    // A PDF 1.5 file whose plain objects sit in one object stream, indexed by a
    // cross-reference stream; stream objects stay outside, as they must. A
    // compressed object stream is deflated, as most producers write it.
    QByteArray withObjectStreams(int root, bool compressed = false) const
    {
        const int objStm = int(m_objects.size()) + 1;
        const int xrefStm = objStm + 1;
        QByteArray index, bodies;
        QList<int> packed; // object numbers inside the object stream
        QList<int> slot(xrefStm + 1, -1); // each object's place in it
        for (int i = 0; i < m_objects.size(); ++i) {
            if (m_objects[i].stream)
                continue;
            index += QByteArray::number(i + 1) + ' ' + QByteArray::number(bodies.size()) + ' ';
            bodies += m_objects[i].body + '\n';
            slot[i + 1] = int(packed.size());
            packed.append(i + 1);
        }
        index += '\n';

        QByteArray out = "%PDF-1.5\n%\xE2\xE3\xCF\xD3\n";
        QList<qsizetype> offsets(xrefStm + 1, 0);
        for (int i = 0; i < m_objects.size(); ++i) {
            if (!m_objects[i].stream)
                continue;
            offsets[i + 1] = out.size();
            out += objectText(i + 1, m_objects[i]);
        }
        offsets[objStm] = out.size();
        // qCompress puts the length in front of the zlib stream.
        const QByteArray data = compressed ? qCompress(index + bodies, 9).mid(4) : index + bodies;
        out += objectText(objStm, {"<< /Type /ObjStm /N " + QByteArray::number(packed.size())
                                       + " /First " + QByteArray::number(index.size())
                                       + (compressed ? " /Filter /FlateDecode >>" : " >>"),
                                   data, true});
        offsets[xrefStm] = out.size();

        // Entries of 1 + 4 + 2 bytes: type, offset or object stream, generation or index.
        QByteArray table;
        auto entry = [&table](int type, quint32 field2, quint16 field3) {
            table += char(type);
            for (int shift = 24; shift >= 0; shift -= 8)
                table += char((field2 >> shift) & 0xff);
            table += char(field3 >> 8);
            table += char(field3 & 0xff);
        };
        entry(0, 0, 0xffff);
        for (int n = 1; n <= xrefStm; ++n) {
            const int at = slot[n];
            if (at >= 0)
                entry(2, quint32(objStm), quint16(at));
            else
                entry(1, quint32(offsets[n]), 0);
        }
        out += objectText(xrefStm, {"<< /Type /XRef /Size " + QByteArray::number(xrefStm + 1)
                                        + " /W [1 4 2] /Root " + QByteArray::number(root)
                                        + " 0 R >>",
                                    table, true});
        out += "startxref\n" + QByteArray::number(offsets[xrefStm]) + "\n%%EOF\n";
        return out;
    }

private:
    struct Object {
        QByteArray body; // the dictionary, for a stream
        QByteArray data;
        bool stream;
    };

    static QByteArray objectText(int number, const Object &object)
    {
        QByteArray out = QByteArray::number(number) + " 0 obj\n";
        if (object.stream) {
            QByteArray dict = object.body;
            dict.chop(2); // ">>"
            out += dict + " /Length " + QByteArray::number(object.data.size()) + " >>\nstream\n"
                   + object.data + "\nendstream";
        } else {
            out += object.body;
        }
        return out + "\nendobj\n";
    }

    QList<Object> m_objects;
};
