#include "soundplayer.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

// Playing where no sound can be made, as on a build server: false, one line on standard error
// for the player's first failure, nothing more. And playing without waiting for the sound's end,
// to ALSA's null device, which needs no sound card.
class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void failsQuietlyOnce_data();
    void failsQuietlyOnce();
    void noDeviceWritesNothingElse();
    void playsToNullDevice();

private:
    QTemporaryDir folder;
    QString wav;
};

namespace {

// A tenth of a second of silence: 8 kHz, mono, 16-bit PCM.
QByteArray silentWav()
{
    const quint32 samples = 800;
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    bytes.append(QByteArray(samples * 2, '\0'));
    return bytes;
}

bool soundDeviceMayExist()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return QFileInfo::exists(QStringLiteral("/dev/snd")) ||
           (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pulse/native"))) ||
           qEnvironmentVariableIsSet("PULSE_SERVER");
}

} // namespace

void TestSoundPlayer::initTestCase()
{
    QVERIFY(folder.isValid());
    wav = QDir(folder.path()).filePath(QStringLiteral("a.wav"));
    QFile file(wav);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(silentWav()) > 0);
}

void TestSoundPlayer::failsQuietlyOnce_data()
{
    QTest::addColumn<QByteArray>("driver"); // libcanberra's choice of output, when given
    QTest::addColumn<QStringList>("paths");

    const QString missing = QDir(folder.path()).filePath(QStringLiteral("missing.ogg"));
    QTest::newRow("missing file") << QByteArray() << QStringList{missing, missing, missing};
    QTest::newRow("folder") << QByteArray() << QStringList{folder.path(), folder.path()};
    QTest::newRow("no output") << QByteArray("plumetto-none") << QStringList{wav, wav, wav};
    QTest::newRow("missing, then no output")
        << QByteArray("plumetto-none") << QStringList{missing, wav, wav};
}

void TestSoundPlayer::failsQuietlyOnce()
{
    QFETCH(QByteArray, driver);
    QFETCH(QStringList, paths);

    if (!driver.isEmpty())
        qputenv("CANBERRA_DRIVER", driver);
    const QRegularExpression warning(QStringLiteral("^Cannot play "));
    QTest::ignoreMessage(QtWarningMsg, warning);
    QTest::failOnWarning(warning);
    SoundPlayer player;
    for (const QString &path : paths)
        QVERIFY(!player.play(path));
    QCOMPARE(player.failures(), paths.size());
    qunsetenv("CANBERRA_DRIVER");
}

// ALSA writes its own complaints on standard error when there is no sound card; they must not
// reach the user's terminal at every play.
void TestSoundPlayer::noDeviceWritesNothingElse()
{
    if (soundDeviceMayExist())
        QSKIP("A sound device may exist here");
    QTemporaryFile captured;
    QVERIFY(captured.open());
    const int saved = dup(STDERR_FILENO);
    QVERIFY(saved >= 0);
    QVERIFY(dup2(captured.handle(), STDERR_FILENO) >= 0);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^Cannot play ")));
    bool played = true;
    {
        SoundPlayer player;
        played = player.play(wav) || player.play(wav);
    }
    dup2(saved, STDERR_FILENO);
    close(saved);
    QVERIFY(!played);
    captured.seek(0);
    QCOMPARE(captured.readAll(), QByteArray());
}

void TestSoundPlayer::playsToNullDevice()
{
    qputenv("CANBERRA_DRIVER", "alsa");
    qputenv("CANBERRA_DEVICE", "null");
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^Cannot play ")));
    {
        SoundPlayer player;
        // A shipped Ogg Vorbis file, then a WAV file cutting it short.
        QVERIFY(player.play(QStringLiteral(PLUMETTO_APP_DIR "/images/hiragana/ka.ogg")));
        QVERIFY(player.play(wav));
        QCOMPARE(player.failures(), 0);
        // Destroyed while the sound still plays.
    }
    qunsetenv("CANBERRA_DRIVER");
    qunsetenv("CANBERRA_DEVICE");
}

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
