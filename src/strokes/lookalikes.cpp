#include "lookalikes.h"

#include "strokepack.h"
#include "stroketexts.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <map>

#include <limits>

void LookAlikeIndex::add(const QString &sound, const QList<StrokeFile> &references)
{
    if (references.isEmpty())
        return;
    const QString &character = references.first().character;
    if (character.isEmpty() || m_byCharacter.contains(character))
        return;
    const qsizetype index = m_characters.size();
    m_characters.append({character, sound});
    m_byCharacter.insert(character, index);
    for (const StrokeFile &reference : references)
        m_byCount[int(reference.strokes.size())].push_back(
            {index, drawingShape(referenceLines(reference))});
}

std::optional<LookAlike> LookAlikeIndex::find(const Ink &ink, const QString &posed,
                                              const CheckThresholds &thresholds) const
{
    return find(drawingShape(inkLines(ink)), posed, thresholds);
}

std::optional<LookAlike> LookAlikeIndex::find(const DrawingShape &drawing, const QString &posed,
                                              const CheckThresholds &thresholds) const
{
    const auto found = m_byCount.constFind(int(drawing.strokes.size()));
    if (drawing.strokes.empty() || found == m_byCount.cend())
        return std::nullopt;
    qsizetype best = -1;
    qreal bestDistance = std::numeric_limits<qreal>::infinity();
    for (const Reference &reference : *found) {
        if (m_characters.at(reference.character).character == posed)
            continue;
        if (checkDrawing(drawing, reference.shape, thresholds).fault != StrokeFault::None)
            continue;
        const qreal distance = drawingDistance(drawing, reference.shape);
        if (best < 0 || distance < bestDistance) {
            best = reference.character;
            bestDistance = distance;
        }
    }
    if (best < 0)
        return std::nullopt;
    return m_characters.at(best);
}

std::optional<LookAlike> findLookAlike(const Ink &ink, const QString &posed,
                                       std::initializer_list<const LookAlikeIndex *> indexes,
                                       const CheckThresholds &thresholds)
{
    const DrawingShape drawing = drawingShape(inkLines(ink));
    for (const LookAlikeIndex *index : indexes)
        if (index != nullptr)
            if (auto found = index->find(drawing, posed, thresholds))
                return found;
    return std::nullopt;
}

namespace {

// A folder's stroke files by name: the loose ones, read when asked for, before the packed ones.
class FolderFiles
{
public:
    explicit FolderFiles(const QString &folder) : m_folder(folder)
    {
        for (const QString &name : m_folder.entryList({QStringLiteral("*.svg")}, QDir::Files))
            m_loose.insert(name, {});
        if (const auto pack = StrokePack::open(m_folder.filePath(strokepack::fileName)))
            for (const NamedBytes &file : pack->files())
                m_packed.insert(file.name, file.bytes);
    }

    std::optional<StrokeFile> read(const QString &name) const
    {
        if (m_loose.contains(name))
            if (auto file = readStrokeFile(m_folder.filePath(name)))
                return file;
        const auto packed = m_packed.constFind(name);
        if (packed == m_packed.cend())
            return std::nullopt;
        return parseStrokeFile(*packed);
    }

    // The names of the variants of `base`, loose or packed, sorted and once each.
    QStringList variantsOf(const QString &base) const
    {
        QStringList names;
        const QString prefix = base + QLatin1Char('-');
        for (const QMap<QString, QByteArray> *files : {&m_loose, &m_packed})
            for (auto it = files->lowerBound(prefix);
                 it != files->cend() && it.key().startsWith(prefix); ++it)
                if (isVariantOf(it.key(), base) && !names.contains(it.key()))
                    names.append(it.key());
        names.sort();
        return names;
    }

private:
    QDir m_folder;
    QMap<QString, QByteArray> m_loose; // names only
    QMap<QString, QByteArray> m_packed;
};

} // namespace

LookAlikeIndex lookAlikeIndexOfPictures(const QList<PictureSound> &pictures)
{
    LookAlikeIndex index;
    std::map<QString, FolderFiles> folders;
    for (const PictureSound &picture : pictures) {
        if (picture.picturePath.isEmpty())
            continue;
        const QFileInfo info(picture.picturePath);
        const QString folder = info.absolutePath();
        auto files = folders.find(folder);
        if (files == folders.end())
            files = folders.emplace(folder, FolderFiles(folder)).first;
        const QString base = info.completeBaseName();
        QList<StrokeFile> references;
        if (auto main = files->second.read(base + QStringLiteral(".svg")))
            references.append(std::move(*main));
        else
            continue;
        for (const QString &name : files->second.variantsOf(base))
            if (auto variant = files->second.read(name))
                references.append(std::move(*variant));
        index.add(picture.sound, references);
    }
    return index;
}

QString lookAlikeText(const LookAlike &lookAlike)
{
    return stroketexts::lookAlike.arg(lookAlike.character, lookAlike.sound);
}
