#include "catalogue.h"

#include <QHash>

namespace kanacourse {

namespace {

QString number(int value)
{
    return value > 0 ? QString::number(value) : QString();
}

} // namespace

QByteArray catalogueBytes(const QList<CatalogueLine> &lines)
{
    QString text =
        QStringLiteral("# character\trecord\tcourse\tgrade\tJLPT level\tfrequency rank\n");
    QHash<QString, const TableEntry *> seen;
    for (const CatalogueLine &line : lines) {
        const TableEntry &entry = line.entry;
        const auto fail = [&entry](const QString &why) {
            throw TableError(QStringLiteral("%1:%2: %3")
                                 .arg(entry.source)
                                 .arg(entry.line)
                                 .arg(why)
                                 .toStdString());
        };
        if (entry.kana.toUcs4().size() != 1)
            continue;
        if (line.course.isEmpty())
            fail(QStringLiteral("no course named for the catalogue"));
        const TableEntry *&first = seen[entry.kana];
        if (first)
            fail(QStringLiteral("\"%1\" is in the catalogue already, from %2:%3")
                     .arg(entry.kana, first->source)
                     .arg(first->line));
        first = &entry;
        text += QStringList{entry.kana,          line.record,        line.course,
                            number(entry.grade), number(entry.jlpt), number(entry.frequency)}
                    .join(QLatin1Char('\t')) +
                QLatin1Char('\n');
    }
    return text.toUtf8();
}

} // namespace kanacourse
