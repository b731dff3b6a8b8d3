// bk.ini as any bytes: every key read back, a write that must then read back exactly,
// and no other key disturbed by it.
#include "bookmarks/IniText.h"

#include <QList>
#include <cstdint>
#include <cstdlib>

namespace {
struct Name {
    QString section, key;
};

// Section and key names as a reader would find them, at most a few dozen.
QList<Name> namesIn(const QByteArray &content)
{
    QList<Name> names;
    QString section;
    for (const QByteArray &raw : content.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[') && line.endsWith(']'))
            section = IniText::decode(line.mid(1, line.size() - 2)).trimmed();
        else if (const int eq = line.indexOf('='); eq > 0)
            names.append({section, IniText::decode(line.left(eq)).trimmed()});
        if (names.size() >= 32)
            break;
    }
    return names;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), int(size));
    const QList<Name> names = namesIn(content);
    const IniText original(content);
    QList<std::optional<QByteArray>> before;
    for (const Name &n : names)
        before.append(original.value(n.section, n.key));

    IniText edited(content);
    edited.setValue(QStringLiteral("bkinfo"), QStringLiteral("path1"), QStringLiteral("/书/第一本.pdf"));
    // Written out and parsed again, as the next operation reads it.
    const IniText written(edited.content());
    const std::optional<QByteArray> readBack =
        written.value(QStringLiteral("bkinfo"), QStringLiteral("path1"));
    if (!readBack || IniText::decode(*readBack) != QStringLiteral("/书/第一本.pdf"))
        std::abort();

    for (int i = 0; i < names.size(); ++i) {
        const Name &n = names[i];
        if (n.section.compare(QStringLiteral("bkinfo"), Qt::CaseInsensitive) == 0
            && n.key.compare(QStringLiteral("path1"), Qt::CaseInsensitive) == 0)
            continue;
        if (written.value(n.section, n.key) != before[i])
            std::abort();
    }
    return 0;
}
