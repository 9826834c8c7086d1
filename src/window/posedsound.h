#pragma once

#include <QObject>
#include <QString>

#include <memory>

class SoundPlayer;

// The sound of the record posed now: Écouter plays it, and with "Prononcer chaque son" it plays
// at each posing. The player is made at the first play, so that a run without sound never
// loads the sound library. A sound that cannot be played is told once per run; later tries go
// on, since a sound device may come back.
class PosedSound : public QObject
{
    Q_OBJECT

public:
    explicit PosedSound(QObject *parent = nullptr);
    ~PosedSound() override;

    // The record whose solution picture is at `picturePath` is posed; an empty path poses none.
    void pose(const QString &picturePath);
    void play();
    bool available() const { return !m_path.isEmpty(); }

    void setSpeakEachSound(bool on) { m_speakEach = on; }

signals:
    void availableChanged(bool available);
    // The first play of the run that failed: `reason` says why, in French.
    void failed(const QString &reason);

private:
    QString m_path;
    bool m_speakEach = false;
    std::unique_ptr<SoundPlayer> m_player;
};
