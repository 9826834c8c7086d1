#include "soundfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestSoundFile : public QObject
{
    Q_OBJECT

private slots:
    void soundFile_data();
    void soundFile();
};

void TestSoundFile::soundFile_data()
{
    QTest::addColumn<QStringList>("files"); // a name ending in "/" is a folder
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("expected");

    QTest::newRow("ogg before wav") << QStringList{"ka.png", "ka.ogg", "ka.wav"} << "ka.png"
                                    << "ka.ogg";
    QTest::newRow("wav alone") << QStringList{"ka.png", "ka.wav"} << "ka.png"
                               << "ka.wav";
    QTest::newRow("none") << QStringList{"ka.png", "ka.mp3", "ki.ogg"} << "ka.png"
                          << "";
    QTest::newRow("picture missing") << QStringList{"ka.ogg"} << "ka.png"
                                     << "ka.ogg";
    QTest::newRow("folder named ogg") << QStringList{"ka.ogg/", "ka.wav"} << "ka.png"
                                      << "ka.wav";
    QTest::newRow("folders only") << QStringList{"ka.ogg/", "ka.wav/"} << "ka.png"
                                  << "";
    QTest::newRow("last suffix only") << QStringList{"a.b.ogg", "a.ogg"} << "a.b.png"
                                      << "a.b.ogg";
    QTest::newRow("hidden") << QStringList{".png", ".ogg", ".wav"} << ".png"
                            << "";
    QTest::newRow("no picture") << QStringList{".ogg"} << ""
                                << "";
}

void TestSoundFile::soundFile()
{
    QFETCH(QStringList, files);
    QFETCH(QString, picture);
    QFETCH(QString, expected);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QDir dir(folder.path());
    for (const QString &name : files) {
        if (name.endsWith(QLatin1Char('/'))) {
            QVERIFY(dir.mkdir(name));
        } else {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    // An empty picture path stays empty rather than naming the temporary folder.
    const QString picturePath = picture.isEmpty() ? picture : dir.filePath(picture);
    QCOMPARE(soundFileFor(picturePath), expected.isEmpty() ? expected : dir.filePath(expected));
}

QTEST_GUILESS_MAIN(TestSoundFile)
#include "tst_soundfile.moc"
