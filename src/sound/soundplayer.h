#pragma once

#include <QString>

#include <memory>

// Plays short sound files through libcanberra (PulseAudio or ALSA), which is loaded on the
// first play. Playing returns at once; the player shows nothing itself, it only says why a
// sound could not be played.
class SoundPlayer
{
public:
    SoundPlayer();
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer &) = delete;
    SoundPlayer &operator=(const SoundPlayer &) = delete;

    // Starts playing the .ogg or .wav file at path, stopping the sound this player started
    // before. False when it cannot: no such file, no libcanberra, no sound device, a file it
    // cannot decode. The player's first failure is told on standard error, later ones are not.
    bool play(const QString &path);

    // How many plays have failed.
    int failures() const { return failed; }
    // Why the last play failed, in French for the learner ("fichier introuvable : ka.ogg").
    const QString &lastError() const { return error; }

private:
    struct Canberra;

    // Loads libcanberra and makes its context, or says why it could not.
    static std::unique_ptr<Canberra> load(QString &why);
    bool fail(const QString &path, const QString &reason);

    std::unique_ptr<Canberra> canberra;
    bool loadTried = false;
    int failed = 0;
    QString error;
};
