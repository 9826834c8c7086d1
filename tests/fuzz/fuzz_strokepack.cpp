// Feeds arbitrary bytes to the stroke pack reader. Whatever opens must give each file alike
// whether read alone or with the whole pack, within the limits; packed again (which may fail:
// files packed small beside others can fill a block beyond its limit once gathered
// otherwise), they come back the same. A broken invariant aborts with a description, so libFuzzer keeps
// the input.

#include "strokepack.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto pack =
        StrokePack::fromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!pack)
        return 0;
    const QStringList names = pack->names();
    require(names.size() <= strokepack::maxFiles, "more files than the limit");
    const QList<NamedBytes> files = pack->files();
    qsizetype next = 0;
    for (const QString &name : names) {
        const std::optional<QByteArray> file = pack->file(name);
        if (!file)
            continue;
        require(file->size() <= strokepack::maxBlockBytes, "a file over the limit");
        require(next < files.size() && files[next].name == name && files[next].bytes == *file,
                "a file read alone differs from the same read with the pack");
        ++next;
    }
    require(next == files.size(), "the whole pack gives files that cannot be read alone");

    // Empty files cannot be packed again.
    QList<NamedBytes> packable;
    for (const NamedBytes &file : files) {
        if (!file.bytes.isEmpty())
            packable.append(file);
    }
    QString error;
    const QByteArray again = packStrokeFiles(packable, error);
    if (!error.isEmpty())
        return 0;
    const auto reread = StrokePack::fromBytes(again);
    require(reread && reread->files() == packable, "a pack made again gives other files");
    return 0;
}
