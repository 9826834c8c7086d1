// strokepack: packs stroke files into one file, as the program finds them beside the pictures.

#include "strokepack.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <cstdio>

namespace {

const char usage[] =
    "Usage: strokepack --list FILE --output PACK\n"
    "\n"
    "Writes PACK, the stroke files named in FILE packed together. FILE is UTF-8 text, one\n"
    "file a line: the name it takes in the pack (\"06c34.svg\", \"06c34-Kaisho.svg\"), a tab,\n"
    "and the path of the file to pack. Each file is packed unchanged; put the pack in the\n"
    "pictures' folder as strokes.pack.\n";

int fail(const QString &message)
{
    std::fprintf(stderr, "strokepack: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QString list;
    QString output;
    for (qsizetype i = 1; i + 1 < arguments.size(); i += 2) {
        if (arguments[i] == QLatin1String("--list"))
            list = arguments[i + 1];
        else if (arguments[i] == QLatin1String("--output"))
            output = arguments[i + 1];
    }
    if (list.isEmpty() || output.isEmpty() || arguments.size() != 5) {
        std::fputs(usage, stderr);
        return 2;
    }

    QFile listFile(list);
    if (!listFile.open(QIODevice::ReadOnly))
        return fail(list + QStringLiteral(": ") + listFile.errorString());
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(listFile.readAll());
    if (utf8.hasError())
        return fail(list + QStringLiteral(": not UTF-8 text"));

    QList<NamedBytes> files;
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringList columns = lines[i].split(QLatin1Char('\t'));
        if (columns.size() != 2)
            return fail(
                QStringLiteral("%1:%2: expected a name, a tab and a path").arg(list).arg(i + 1));
        QFile file(columns[1]);
        if (!file.open(QIODevice::ReadOnly))
            return fail(columns[1] + QStringLiteral(": ") + file.errorString());
        files.append({columns[0], file.readAll()});
    }

    QString error;
    const QByteArray pack = packStrokeFiles(files, error);
    if (!error.isEmpty())
        return fail(list + QStringLiteral(": ") + error);
    QSaveFile out(output);
    if (!out.open(QIODevice::WriteOnly) || out.write(pack) != pack.size() || !out.commit())
        return fail(output + QStringLiteral(": ") + out.errorString());
    return 0;
}
