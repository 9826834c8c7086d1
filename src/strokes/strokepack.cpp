#include "strokepack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QUtf8StringView>
#include <QtEndian>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

constexpr char magic[] = "PLMSTRK1";
constexpr qsizetype magicSize = sizeof(magic) - 1;
constexpr qsizetype headerSize = magicSize + 8;
constexpr qsizetype blockRecordSize = 12;
// Files are gathered into blocks of about this size before packing: big enough for the
// files to share their common text, small enough that one file costs little to unpack.
constexpr qsizetype blockTarget = 32 * 1024;
// qCompress puts the unpacked size, big-endian, before the zlib stream.
constexpr qsizetype sizePrefix = 4;

// Reads numbers and names from a byte array, failing once for good at its end.
class Cursor
{
public:
    explicit Cursor(const QByteArray &bytes, qsizetype at = 0) : m_bytes(bytes), m_at(at) {}

    bool ok() const { return m_ok; }
    qsizetype at() const { return m_at; }

    quint32 u32() { return number<quint32>(); }
    quint16 u16() { return number<quint16>(); }

    QByteArrayView take(qsizetype size)
    {
        if (!m_ok || size < 0 || size > m_bytes.size() - m_at) {
            m_ok = false;
            return {};
        }
        const QByteArrayView view(m_bytes.constData() + m_at, size);
        m_at += size;
        return view;
    }

private:
    template <typename T> T number()
    {
        const QByteArrayView bytes = take(sizeof(T));
        return m_ok ? qFromLittleEndian<T>(bytes.data()) : T{};
    }

    const QByteArray &m_bytes;
    qsizetype m_at;
    bool m_ok = true;
};

void appendU32(QByteArray &bytes, quint32 value)
{
    char raw[sizeof value];
    qToLittleEndian(value, raw);
    bytes.append(raw, sizeof raw);
}

bool isUsableName(const QString &name, const QByteArray &utf8)
{
    return !name.isEmpty() && utf8.size() <= strokepack::maxNameBytes &&
           !name.contains(QLatin1Char('/'));
}

struct BlockRecord
{
    qsizetype offset = 0;
    qsizetype packedSize = 0;
    qsizetype size = 0;
};

struct EntryRecord
{
    QByteArrayView name; // UTF-8, inside the bytes parsed
    qsizetype block = 0;
    qsizetype offset = 0;
    qsizetype size = 0;
};

struct Index
{
    QList<BlockRecord> blocks;
    QList<EntryRecord> entries;
};

// The counts of blocks and files a pack's header gives; nothing when it is not a pack's or
// they are beyond the limits.
std::optional<std::pair<qsizetype, qsizetype>> headerCounts(QByteArrayView header)
{
    if (header.size() < headerSize || !header.startsWith(QByteArrayView(magic, magicSize)))
        return std::nullopt;
    const quint32 blocks = qFromLittleEndian<quint32>(header.data() + magicSize);
    const quint32 files = qFromLittleEndian<quint32>(header.data() + magicSize + 4);
    if (blocks > quint32(strokepack::maxFiles) || files > quint32(strokepack::maxFiles))
        return std::nullopt;
    return std::pair{qsizetype(blocks), qsizetype(files)};
}

// Reads the blocks and the files' index from `head`, the first bytes of a pack of packSize
// bytes (the whole pack, or at least up to its first block). Nothing when anything is out of
// place: a block beyond the pack, before the index's end or beyond the limits; a file beyond
// its block; a name that is empty, holds a "/", is not UTF-8, or is not after the name before.
std::optional<Index> readIndex(const QByteArray &head, qsizetype packSize)
{
    const auto counts = headerCounts(head);
    if (!counts)
        return std::nullopt;
    Index index;
    Cursor cursor(head, headerSize);
    for (qsizetype i = 0; i < counts->first; ++i) {
        BlockRecord block;
        block.offset = cursor.u32();
        block.packedSize = cursor.u32();
        block.size = cursor.u32();
        if (!cursor.ok() || block.packedSize <= sizePrefix ||
            block.packedSize > strokepack::maxPackedBlockBytes || block.size < 1 ||
            block.size > strokepack::maxBlockBytes || block.offset > packSize - block.packedSize)
            return std::nullopt;
        index.blocks.append(block);
    }
    QByteArrayView previous;
    for (qsizetype i = 0; i < counts->second; ++i) {
        EntryRecord entry;
        entry.name = cursor.take(cursor.u16());
        entry.block = cursor.u32();
        entry.offset = cursor.u32();
        entry.size = cursor.u32();
        if (!cursor.ok() || entry.block >= index.blocks.size() ||
            entry.offset > index.blocks[entry.block].size ||
            entry.size > index.blocks[entry.block].size - entry.offset || entry.name.isEmpty() ||
            entry.name.contains('/') || !QUtf8StringView(entry.name).isValidUtf8() ||
            (i > 0 && !(previous < entry.name)))
            return std::nullopt;
        index.entries.append(entry);
        previous = entry.name;
    }
    for (const BlockRecord &block : std::as_const(index.blocks)) {
        if (block.offset < cursor.at())
            return std::nullopt;
    }
    return index;
}

// A block's files, from its packed bytes; nothing when they do not unpack to its size.
std::optional<QByteArray> unpackBlock(QByteArrayView packed, qsizetype size)
{
    const auto *data = reinterpret_cast<const uchar *>(packed.data());
    if (packed.size() <= sizePrefix || qFromBigEndian<quint32>(data) != quint32(size))
        return std::nullopt;
    QByteArray bytes = qUncompress(data, packed.size());
    if (bytes.size() != size)
        return std::nullopt;
    return bytes;
}

// A file of at most `limit` bytes, read whole; nothing when it is not an ordinary file (a
// hidden one counts as missing, as for the pictures) or is larger.
std::optional<QByteArray> readSmallFile(const QString &path, qint64 limit)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.fileName().startsWith(QLatin1Char('.')))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // One byte past the limit, so that a file that grew after being looked at still fails.
    QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// The files of the pack at path whose UTF-8 names `wanted` accepts, reading from the file only
// its index and the blocks that hold them: what finding one picture's files costs.
QList<NamedBytes> readFromPack(const QString &path,
                               const std::function<bool(QByteArrayView)> &wanted)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > strokepack::maxPackBytes)
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qsizetype packSize = file.size();
    const auto counts = headerCounts(file.read(headerSize));
    if (!counts)
        return {};
    // The index ends where the first block starts.
    const QByteArray table = file.read(counts->first * blockRecordSize);
    qsizetype indexEnd = packSize;
    for (qsizetype at = 0; at + blockRecordSize <= table.size(); at += blockRecordSize)
        indexEnd = std::min<qsizetype>(indexEnd, qFromLittleEndian<quint32>(table.data() + at));
    if (!file.seek(0))
        return {};
    const QByteArray head = file.read(indexEnd);
    const std::optional<Index> index = readIndex(head, packSize);
    if (!index)
        return {};

    QList<NamedBytes> found;
    QHash<qsizetype, std::optional<QByteArray>> blocks;
    for (const EntryRecord &entry : index->entries) {
        if (!wanted(entry.name))
            continue;
        if (!blocks.contains(entry.block)) {
            const BlockRecord &block = index->blocks[entry.block];
            blocks[entry.block] = file.seek(block.offset)
                                      ? unpackBlock(file.read(block.packedSize), block.size)
                                      : std::nullopt;
        }
        if (const std::optional<QByteArray> &block = blocks[entry.block])
            found.append({QString::fromUtf8(entry.name), block->mid(entry.offset, entry.size)});
    }
    return found;
}

} // namespace

bool isVariantOf(const QString &fileName, const QString &base)
{
    const qsizetype dash = base.size();
    return fileName.size() > dash + 1 + 4 && fileName.startsWith(base) &&
           fileName[dash] == QLatin1Char('-') && fileName[dash + 1] >= QLatin1Char('A') &&
           fileName[dash + 1] <= QLatin1Char('Z') && fileName.endsWith(QLatin1String(".svg"));
}

std::optional<StrokePack> StrokePack::open(const QString &path)
{
    std::optional<QByteArray> bytes = readSmallFile(path, strokepack::maxPackBytes);
    if (!bytes)
        return std::nullopt;
    return fromBytes(std::move(*bytes));
}

std::optional<StrokePack> StrokePack::fromBytes(QByteArray bytes)
{
    if (bytes.size() > strokepack::maxPackBytes)
        return std::nullopt;
    const std::optional<Index> index = readIndex(bytes, bytes.size());
    if (!index)
        return std::nullopt;
    StrokePack pack;
    for (const BlockRecord &block : index->blocks)
        pack.m_blocks.append({block.offset, block.packedSize, block.size});
    for (const EntryRecord &entry : index->entries)
        pack.m_files.insert(QString::fromUtf8(entry.name), {entry.block, entry.offset, entry.size});
    pack.m_bytes = std::move(bytes);
    return pack;
}

std::optional<QByteArray> StrokePack::unpack(qsizetype index) const
{
    const Block &block = m_blocks[index];
    return unpackBlock(QByteArrayView(m_bytes).sliced(block.offset, block.packedSize), block.size);
}

std::optional<QByteArray> StrokePack::file(const QString &name) const
{
    const auto found = m_files.constFind(name);
    if (found == m_files.cend())
        return std::nullopt;
    const std::optional<QByteArray> block = unpack(found->block);
    if (!block)
        return std::nullopt;
    return block->mid(found->offset, found->size);
}

QList<NamedBytes> StrokePack::files() const
{
    QList<std::optional<QByteArray>> blocks(m_blocks.size());
    QList<bool> tried(m_blocks.size(), false);
    QList<NamedBytes> files;
    for (auto it = m_files.cbegin(); it != m_files.cend(); ++it) {
        if (!tried[it->block]) {
            blocks[it->block] = unpack(it->block);
            tried[it->block] = true;
        }
        if (blocks[it->block])
            files.append({it.key(), blocks[it->block]->mid(it->offset, it->size)});
    }
    return files;
}

QByteArray packStrokeFiles(QList<NamedBytes> files, QString &error)
{
    error.clear();
    if (files.size() > strokepack::maxFiles) {
        error = QStringLiteral("more than %1 files").arg(strokepack::maxFiles);
        return {};
    }
    // In the order of their UTF-8 bytes, which the reader checks.
    std::sort(files.begin(), files.end(), [](const NamedBytes &a, const NamedBytes &b) {
        return a.name.toUtf8() < b.name.toUtf8();
    });

    QByteArray index;
    QList<QByteArray> blocks(1);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const NamedBytes &file = files[i];
        const QByteArray name = file.name.toUtf8();
        if (!isUsableName(file.name, name) || (i > 0 && files[i - 1].name == file.name)) {
            error = QStringLiteral("unusable or repeated name \"%1\"").arg(file.name);
            return {};
        }
        if (file.bytes.isEmpty() || file.bytes.size() > strokepack::maxBlockBytes) {
            error = QStringLiteral("%1: empty, or over %2 bytes")
                        .arg(file.name)
                        .arg(strokepack::maxBlockBytes);
            return {};
        }
        if (blocks.last().size() + file.bytes.size() > std::max(blockTarget, file.bytes.size()))
            blocks.append(QByteArray());
        char length[2];
        qToLittleEndian(quint16(name.size()), length);
        index.append(length, sizeof length).append(name);
        appendU32(index, quint32(blocks.size() - 1));
        appendU32(index, quint32(blocks.last().size()));
        appendU32(index, quint32(file.bytes.size()));
        blocks.last().append(file.bytes);
    }
    if (blocks.last().isEmpty())
        blocks.removeLast();

    QByteArray data;
    QByteArray table;
    const qsizetype dataStart = headerSize + blocks.size() * blockRecordSize + index.size();
    for (const QByteArray &block : std::as_const(blocks)) {
        const QByteArray packed = qCompress(block, 9);
        if (packed.size() > strokepack::maxPackedBlockBytes) {
            error = QStringLiteral("a block packs to over %1 bytes")
                        .arg(strokepack::maxPackedBlockBytes);
            return {};
        }
        appendU32(table, quint32(dataStart + data.size()));
        appendU32(table, quint32(packed.size()));
        appendU32(table, quint32(block.size()));
        data.append(packed);
    }
    QByteArray pack(magic, magicSize);
    appendU32(pack, quint32(blocks.size()));
    appendU32(pack, quint32(files.size()));
    return pack + table + index + data;
}

PictureStrokeFiles strokeFilesBeside(const QString &picturePath)
{
    PictureStrokeFiles found;
    if (picturePath.isEmpty())
        return found;
    const QFileInfo picture(picturePath);
    const QDir folder = picture.dir();
    const QString base = picture.completeBaseName();
    const QString mainName = base + QStringLiteral(".svg");

    found.main = readSmallFile(folder.filePath(mainName), strokefile::maxBytes);
    QMap<QString, QByteArray> variants;
    // Listed whole and matched by hand: the base name may hold wildcard characters.
    for (const QString &name : folder.entryList({QStringLiteral("*.svg")}, QDir::Files)) {
        if (!isVariantOf(name, base))
            continue;
        if (std::optional<QByteArray> bytes =
                readSmallFile(folder.filePath(name), strokefile::maxBytes))
            variants.insert(name, *bytes);
    }

    const QByteArray baseUtf8 = base.toUtf8();
    const auto ours = [&baseUtf8](QByteArrayView name) {
        return name.startsWith(baseUtf8) && name.size() > baseUtf8.size() &&
               (name[baseUtf8.size()] == '-' || name[baseUtf8.size()] == '.');
    };
    for (const NamedBytes &file : readFromPack(folder.filePath(strokepack::fileName), ours)) {
        if (file.name == mainName && !found.main)
            found.main = file.bytes;
        else if (isVariantOf(file.name, base) && !variants.contains(file.name))
            variants.insert(file.name, file.bytes);
    }
    for (auto it = variants.cbegin(); it != variants.cend(); ++it)
        found.variants.append({it.key(), it.value()});
    return found;
}

std::optional<StrokeFile> readStrokeFileBeside(const QString &picturePath)
{
    if (picturePath.isEmpty())
        return std::nullopt;
    const QFileInfo picture(picturePath);
    const QString name = picture.completeBaseName() + QStringLiteral(".svg");
    std::optional<QByteArray> bytes =
        readSmallFile(picture.dir().filePath(name), strokefile::maxBytes);
    if (!bytes) {
        const QByteArray wanted = name.toUtf8();
        const QList<NamedBytes> packed =
            readFromPack(picture.dir().filePath(strokepack::fileName),
                         [&wanted](QByteArrayView entry) { return entry == wanted; });
        if (!packed.isEmpty())
            bytes = packed.first().bytes;
    }
    return bytes ? parseStrokeFile(*bytes) : std::nullopt;
}

QList<StrokeFile> readStrokeFilesBeside(const QString &picturePath)
{
    const PictureStrokeFiles found = strokeFilesBeside(picturePath);
    QList<StrokeFile> references;
    std::optional<StrokeFile> main = found.main ? parseStrokeFile(*found.main) : std::nullopt;
    if (!main)
        return references;
    references.append(std::move(*main));
    for (const NamedBytes &variant : found.variants)
        if (std::optional<StrokeFile> file = parseStrokeFile(variant.bytes))
            references.append(std::move(*file));
    return references;
}
