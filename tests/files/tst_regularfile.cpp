#include "regularfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using Bytes = std::optional<QByteArray>;

class TestRegularFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QDir root(m_dir.path());
        const auto write = [&root](const char *name, const QByteArray &bytes) {
            QFile file(root.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        };
        write("empty", {});
        write("ten", "0123456789");
        write("eleven", "0123456789a");
        QVERIFY(root.mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(QFile::encodeName(root.filePath("fifo")).constData(), 0600), 0);
        QVERIFY(QFile::link(root.filePath("ten"), root.filePath("link")));
        QVERIFY(QFile::link(root.filePath("fifo"), root.filePath("fifolink")));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), root.filePath("zero")));
        QVERIFY(QFile::link(root.filePath("gone"), root.filePath("dangling")));
    }
    // A read that waits would hang the run: end it with a failure instead.
    void init() { ::alarm(60); }
    void cleanup() { ::alarm(0); }

    void read_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Bytes>("bytes"); // read with a limit of 10 bytes

        QTest::newRow("at the limit") << "ten" << Bytes("0123456789");
        QTest::newRow("empty") << "empty" << Bytes("");
        QTest::newRow("a link to a file") << "link" << Bytes("0123456789");
        QTest::newRow("a byte over the limit") << "eleven" << Bytes();
        QTest::newRow("missing") << "none" << Bytes();
        QTest::newRow("no name") << "" << Bytes();
        QTest::newRow("a folder") << "folder" << Bytes();
        // No writer: opening it to read would wait forever.
        QTest::newRow("a FIFO") << "fifo" << Bytes();
        QTest::newRow("a link to a FIFO") << "fifolink" << Bytes();
        QTest::newRow("a link to /dev/zero") << "zero" << Bytes();
        QTest::newRow("a dangling link") << "dangling" << Bytes();
    }

    void read()
    {
        QFETCH(QString, name);
        QFETCH(Bytes, bytes);
        const QString path = name.isEmpty() ? name : QDir(m_dir.path()).filePath(name);
        QCOMPARE(files::readRegular(path, 10), bytes);
        const Bytes digest = files::sha256OfFile(path, 10);
        QCOMPARE(digest.has_value(), bytes.has_value());
        if (bytes)
            QCOMPARE(*digest, QCryptographicHash::hash(*bytes, QCryptographicHash::Sha256));
    }

    void readsWhatStatCallsEmpty()
    {
        // The files of /proc are regular, with a size of 0 whatever they hold.
        const Bytes status = files::readRegular(QStringLiteral("/proc/self/status"), 1 << 20);
        QVERIFY(status && status->startsWith("Name:") && status->endsWith('\n'));
        QCOMPARE(files::readRegular(QStringLiteral("/proc/self/status"), 10), Bytes());
    }

    void hashesInPieces()
    {
        // Several reading pieces long.
        QByteArray bytes(200 * 1024 + 7, 'x');
        bytes[1000] = 'y';
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("long"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QCOMPARE(files::sha256OfFile(path, bytes.size()),
                 QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
        QCOMPARE(files::sha256OfFile(path, bytes.size() - 1), Bytes());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestRegularFile)
#include "tst_regularfile.moc"
