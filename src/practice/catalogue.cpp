#include "catalogue.h"

#include "regularfile.h"

namespace {

// The shipped catalogue holds some 2300 lines in about 400 KB; anything far larger is not one.
constexpr qint64 maxCatalogueBytes = 16 * 1024 * 1024;

// Field `index` of a record, fields cut at "=", or an empty text.
QString fieldOf(const QString &record, int index)
{
    return record.section(QLatin1Char('='), index, index);
}

int numberOf(const QString &text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value > 0 ? value : 0;
}

// One code point: a single UTF-16 unit that is no half of a pair, or a valid pair.
bool isOneCharacter(const QString &text)
{
    if (text.size() == 1)
        return !text.at(0).isSurrogate();
    return text.size() == 2 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate();
}

} // namespace

QString Catalogue::Entry::sound() const
{
    return fieldOf(record, 0);
}

QString Catalogue::Entry::picture() const
{
    return fieldOf(record, 1).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

QString Catalogue::pathIn(const QString &programFolder)
{
    return programFolder + QStringLiteral("/exercices/catalogue.tsv");
}

Catalogue Catalogue::read(const QString &path)
{
    const std::optional<QByteArray> bytes = files::readRegular(path, maxCatalogueBytes);
    return bytes ? parse(*bytes) : Catalogue();
}

Catalogue Catalogue::parse(const QByteArray &bytes)
{
    Catalogue catalogue;
    const QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList columns = line.split(QLatin1Char('\t'));
        if (columns.size() < 3)
            continue;
        Entry entry;
        entry.character = columns.at(0);
        entry.record = columns.at(1);
        entry.course = columns.at(2);
        entry.grade = numberOf(columns.value(3));
        entry.jlpt = numberOf(columns.value(4));
        entry.frequency = numberOf(columns.value(5));
        const QString picture = entry.picture();
        if (!isOneCharacter(entry.character) || picture.isEmpty() ||
            catalogue.m_byCharacter.contains(entry.character) ||
            catalogue.m_byPicture.contains(picture))
            continue;
        catalogue.m_byCharacter.insert(entry.character, catalogue.m_entries.size());
        catalogue.m_byPicture.insert(picture, catalogue.m_entries.size());
        catalogue.m_entries.append(std::move(entry));
    }
    return catalogue;
}

const Catalogue::Entry *Catalogue::find(const QString &character) const
{
    const auto it = m_byCharacter.constFind(character);
    return it == m_byCharacter.cend() ? nullptr : &m_entries.at(*it);
}

const Catalogue::Entry *Catalogue::findPicture(const QString &picture) const
{
    const auto it =
        m_byPicture.constFind(QString(picture).replace(QLatin1Char('\\'), QLatin1Char('/')));
    return it == m_byPicture.cend() ? nullptr : &m_entries.at(*it);
}

qsizetype Catalogue::indexOf(const Entry *entry) const
{
    if (entry == nullptr || m_entries.isEmpty() || entry < &m_entries.first() ||
        entry > &m_entries.last())
        return -1;
    return entry - &m_entries.first();
}
