#include "posedsound.h"

#include "soundfile.h"
#include "soundplayer.h"

PosedSound::PosedSound(QObject *parent) : QObject(parent) {}

PosedSound::~PosedSound() = default;

void PosedSound::pose(const QString &picturePath)
{
    m_path = picturePath.isEmpty() ? QString() : soundFileFor(picturePath);
    emit availableChanged(available());
    if (m_speakEach)
        play();
}

void PosedSound::play()
{
    if (m_path.isEmpty())
        return;
    if (!m_player)
        m_player = std::make_unique<SoundPlayer>();
    if (!m_player->play(m_path) && m_player->failures() == 1)
        emit failed(m_player->lastError());
}
