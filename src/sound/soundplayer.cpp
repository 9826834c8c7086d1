#include "soundplayer.h"

#include "exercisefile.h"
#include "soundtexts.h"

#include <QFile>
#include <QFileInfo>

#include <canberra.h>
#include <dlfcn.h>

namespace {

struct LibraryCloser
{
    void operator()(void *handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

// ALSA's own error handler, as libasound declares it.
using AlsaErrorHandler = void (*)(const char *file, int line, const char *function, int error,
                                  const char *format, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler);

void ignoreAlsaError(const char *, int, const char *, int, const char *, ...) {}

template <typename Function> Function symbol(void *library, const char *name)
{
    return reinterpret_cast<Function>(dlsym(library, name));
}

struct ContextDestroyer
{
    decltype(&ca_context_destroy) destroy = nullptr;
    void operator()(ca_context *context) const { destroy(context); }
};

// The one sound event a player plays at a time.
constexpr uint32_t soundId = 1;

} // namespace

struct SoundPlayer::Canberra
{
    // Declared first, so that both libraries outlive the context.
    Library alsa;
    Library library;
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_play) play = nullptr;
    decltype(&ca_context_cancel) cancel = nullptr;
    decltype(&ca_strerror) strerror = nullptr;
    std::unique_ptr<ca_context, ContextDestroyer> context;
};

std::unique_ptr<SoundPlayer::Canberra> SoundPlayer::load(QString &why)
{
    auto loaded = std::make_unique<Canberra>();
    // Where there is no sound device, ALSA writes a dozen lines of its own on standard error at
    // the first play; the player's one line is enough. Nothing else in the program uses ALSA.
    loaded->alsa.reset(dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL));
    if (loaded->alsa) {
        if (const auto setHandler =
                symbol<AlsaSetErrorHandler>(loaded->alsa.get(), "snd_lib_error_set_handler"))
            setHandler(ignoreAlsaError);
    }
    loaded->library.reset(dlopen("libcanberra.so.0", RTLD_LAZY | RTLD_LOCAL));
    if (!loaded->library) {
        why = soundtexts::libraryMissing;
        return nullptr;
    }
    void *library = loaded->library.get();
    loaded->create = symbol<decltype(&ca_context_create)>(library, "ca_context_create");
    loaded->play = symbol<decltype(&ca_context_play)>(library, "ca_context_play");
    loaded->cancel = symbol<decltype(&ca_context_cancel)>(library, "ca_context_cancel");
    loaded->strerror = symbol<decltype(&ca_strerror)>(library, "ca_strerror");
    auto &destroy = loaded->context.get_deleter().destroy;
    destroy = symbol<decltype(&ca_context_destroy)>(library, "ca_context_destroy");
    if (!loaded->create || !loaded->play || !loaded->cancel || !loaded->strerror || !destroy) {
        why = soundtexts::libraryIncomplete;
        return nullptr;
    }
    ca_context *context = nullptr;
    if (const int error = loaded->create(&context); error != CA_SUCCESS) {
        why = soundtexts::libraryError.arg(QString::fromUtf8(loaded->strerror(error)));
        return nullptr;
    }
    loaded->context.reset(context);
    return loaded;
}

SoundPlayer::SoundPlayer() = default;
SoundPlayer::~SoundPlayer() = default;

bool SoundPlayer::play(const QString &path)
{
    if (!exercise::isOrdinaryFile(path))
        return fail(path, soundtexts::fileMissing.arg(QFileInfo(path).fileName()));
    if (!loadTried) {
        loadTried = true;
        QString why;
        canberra = load(why);
        if (!canberra)
            return fail(path, why);
    }
    if (!canberra)
        return fail(path, soundtexts::libraryMissing);

    ca_context *context = canberra->context.get();
    canberra->cancel(context, soundId);
    const QByteArray file = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const int error =
        canberra->play(context, soundId, CA_PROP_MEDIA_FILENAME, file.constData(), nullptr);
    // With no sound device, libcanberra says "File or data not found" too.
    if (error != CA_SUCCESS)
        return fail(path,
                    soundtexts::libraryError.arg(QString::fromUtf8(canberra->strerror(error))));
    return true;
}

bool SoundPlayer::fail(const QString &path, const QString &reason)
{
    error = reason;
    if (failed++ == 0)
        qWarning("Cannot play %s: %s. Other sounds that fail to play will not be reported.",
                 qUtf8Printable(path), qUtf8Printable(reason));
    return false;
}
