#include "app/CommandLine.h"

#include "viewer/pdf/NativeFileName.h"

#include <QByteArrayList>

QString commandLineText(int argc, const char *const argv[])
{
    QByteArrayList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(argv[i]);
    return pathFromNativeBytes(arguments.join(' '));
}
