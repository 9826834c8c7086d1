#include "soundplayer.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QTest>

#include <unistd.h>

// Playing where no sound can be made, as on a build server: false, and one line on standard
// error for the player's first failure only. Playing to ALSA's null device, which needs no
// sound card: at once, the player destroyed while the sound plays.
class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void failsQuietlyOnce_data();
    void failsQuietlyOnce();
    void noDeviceWritesNothingElse();
    void playsToNullDevice();
};

namespace {

const QString sound = QStringLiteral(PLUMETTO_APP_DIR "/images/hiragana/ka.ogg");
const QRegularExpression warning(QStringLiteral("^Cannot play "));

} // namespace

void TestSoundPlayer::failsQuietlyOnce_data()
{
    QTest::addColumn<QByteArray>("driver"); // libcanberra's output, when chosen
    QTest::addColumn<QStringList>("paths");

    const QString missing = QDir::temp().filePath(QStringLiteral("plumetto-missing.ogg"));
    QTest::newRow("missing file") << QByteArray() << QStringList{missing, missing, missing};
    QTest::newRow("folder") << QByteArray() << QStringList{QDir::tempPath(), QDir::tempPath()};
    QTest::newRow("no output") << QByteArray("plumetto-none") << QStringList{sound, sound, sound};
    QTest::newRow("missing, then no output")
        << QByteArray("plumetto-none") << QStringList{missing, sound, sound};
}

void TestSoundPlayer::failsQuietlyOnce()
{
    QFETCH(QByteArray, driver);
    QFETCH(QStringList, paths);

    if (!driver.isEmpty())
        qputenv("CANBERRA_DRIVER", driver);
    QTest::ignoreMessage(QtWarningMsg, warning);
    QTest::failOnWarning(warning);
    SoundPlayer player;
    for (const QString &path : paths)
        QVERIFY(!player.play(path));
    QCOMPARE(player.failures(), paths.size());
    qunsetenv("CANBERRA_DRIVER");
}

// Where there is no sound card, ALSA's own complaints must not reach standard error.
void TestSoundPlayer::noDeviceWritesNothingElse()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QFileInfo::exists(QStringLiteral("/dev/snd")) ||
        qEnvironmentVariableIsSet("PULSE_SERVER") ||
        (!runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/pulse/native"))))
        QSKIP("A sound device may exist here");
    QTemporaryFile captured;
    QVERIFY(captured.open());
    const int saved = dup(STDERR_FILENO);
    QVERIFY(saved >= 0);
    QVERIFY(dup2(captured.handle(), STDERR_FILENO) >= 0);
    QTest::ignoreMessage(QtWarningMsg, warning);
    bool played = true;
    {
        SoundPlayer player;
        played = player.play(sound) || player.play(sound);
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
    QTest::failOnWarning(warning);
    {
        SoundPlayer player;
        QVERIFY(player.play(sound));
        QVERIFY(player.play(sound)); // cuts the first one short
        QCOMPARE(player.failures(), 0);
    }
    qunsetenv("CANBERRA_DRIVER");
    qunsetenv("CANBERRA_DEVICE");
}

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
