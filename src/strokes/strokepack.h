#pragma once

#include "strokefile.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

// A pack of stroke files: the stroke files of one picture folder, main files and variants,
// compressed together in one file beside the pictures and found by name. Each file comes out
// byte for byte as it went in, its licence comment included. A pack that is damaged, or made
// to harm, is read within the limits below and yields nothing where it is wrong.
//
// Layout, integers little-endian: "PLMSTRK1"; the number of blocks and of files (u32 each);
// per block its offset in the pack, its packed size and its size (u32 each); per file, sorted
// by name, its name's length (u16), its name in UTF-8, its block, its offset in the block and
// its size (u32 each); then the blocks, each made by qCompress of its files one after the
// other. The names are sorted by their UTF-8 bytes.
namespace strokepack {
// The pack's name in a picture folder.
inline const QString fileName = QStringLiteral("strokes.pack");
inline constexpr qint64 maxPackBytes = 64 * 1024 * 1024;
inline constexpr int maxFiles = 16384;
inline constexpr int maxNameBytes = 255;
// A block unpacks to at most maxBlockBytes and is at most maxPackedBlockBytes packed, which
// also bounds what a block made to inflate far beyond its stated size can cost.
inline constexpr int maxBlockBytes = 64 * 1024;
inline constexpr int maxPackedBlockBytes = 16 * 1024;
} // namespace strokepack

struct NamedBytes
{
    QString name;
    QByteArray bytes;
    bool operator==(const NamedBytes &) const = default;
};

class StrokePack
{
public:
    // Reads a whole pack and its index: nothing when the file is missing, over
    // strokepack::maxPackBytes, not a pack, or its index is damaged or beyond the limits.
    static std::optional<StrokePack> open(const QString &path);
    static std::optional<StrokePack> fromBytes(QByteArray bytes);

    // The files' names, sorted.
    QStringList names() const { return m_files.keys(); }
    // The named file's bytes; nothing when the pack does not hold it or its block is damaged.
    std::optional<QByteArray> file(const QString &name) const;
    // Every file, sorted by name, each block unpacked once: the way to read a whole folder's
    // strokes. The files of a damaged block are left out.
    QList<NamedBytes> files() const;

private:
    struct Block
    {
        qsizetype offset = 0;
        qsizetype packedSize = 0;
        qsizetype size = 0;
    };
    struct Place
    {
        qsizetype block = 0;
        qsizetype offset = 0;
        qsizetype size = 0;
    };

    std::optional<QByteArray> unpack(qsizetype block) const;

    QByteArray m_bytes;
    QList<Block> m_blocks;
    QMap<QString, Place> m_files;
};

// The bytes of a pack of the files. Empty, with the reason in `error`, when two files share a
// name, a name is empty, holds a "/" or is over strokepack::maxNameBytes in UTF-8, a file is
// empty or over strokepack::maxBlockBytes, or there are over strokepack::maxFiles files.
QByteArray packStrokeFiles(QList<NamedBytes> files, QString &error);

// The stroke files of the picture at picturePath ("kanji/06c34.png"): its own, named after it
// with ".svg" ("06c34.svg"), and its variants, "06c34-Kaisho.svg", whose part after the dash
// starts with a capital letter. Each is the file beside the picture when there is one (so that
// a learner's own files win), else the file of that name in the pack of the picture's folder.
struct PictureStrokeFiles
{
    std::optional<QByteArray> main;
    QList<NamedBytes> variants; // sorted by name
};
PictureStrokeFiles strokeFilesBeside(const QString &picturePath);
// Whether `fileName` names a variant of the stroke file of the picture whose name without
// extension is `base`: "06c34-Kaisho.svg" for "06c34".
bool isVariantOf(const QString &fileName, const QString &base);

// The picture's own stroke file, found as above, parsed: nothing when there is none or it is
// unusable.
std::optional<StrokeFile> readStrokeFileBeside(const QString &picturePath);
// The picture's stroke file and its usable variants, found as above and parsed, the main file
// first and the variants by name: the references of a character. Empty when the main file is
// missing or unusable.
QList<StrokeFile> readStrokeFilesBeside(const QString &picturePath);
