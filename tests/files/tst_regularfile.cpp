#include "regularfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

class TestRegularFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QDir root(m_dir.path());
        // Several pieces of the hashing long.
        for (const auto &[name, size] : {std::pair{"empty", 0}, {"ten", 10}, {"long", 200007}}) {
            QFile file(root.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(size, 'x')) == size);
        }
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
        QTest::addColumn<qint64>("maxBytes");
        QTest::addColumn<bool>("read");

        QTest::newRow("at the limit") << "ten" << qint64(10) << true;
        QTest::newRow("a byte over the limit") << "ten" << qint64(9) << false;
        QTest::newRow("empty") << "empty" << qint64(0) << true;
        QTest::newRow("long, at the limit") << "long" << qint64(200007) << true;
        QTest::newRow("long, a byte over") << "long" << qint64(200006) << false;
        QTest::newRow("a link to a file") << "link" << qint64(10) << true;
        // Regular, with a size of 0 whatever it holds.
        QTest::newRow("a file of /proc") << "/proc/self/status" << qint64(1 << 20) << true;
        QTest::newRow("missing") << "none" << qint64(10) << false;
        QTest::newRow("no name") << "" << qint64(10) << false;
        QTest::newRow("a folder") << "folder" << qint64(10) << false;
        // No writer: opening it to read would wait forever.
        QTest::newRow("a FIFO") << "fifo" << qint64(10) << false;
        QTest::newRow("a link to a FIFO") << "fifolink" << qint64(10) << false;
        QTest::newRow("a link to /dev/zero") << "zero" << qint64(10) << false;
        QTest::newRow("a dangling link") << "dangling" << qint64(10) << false;
    }

    void read()
    {
        QFETCH(QString, name);
        QFETCH(qint64, maxBytes);
        QFETCH(bool, read);
        const QString path = name.isEmpty() ? name : QDir(m_dir.path()).filePath(name);
        const std::optional<QByteArray> bytes = files::readRegular(path, maxBytes);
        const std::optional<QByteArray> digest = files::sha256OfFile(path, maxBytes);
        QCOMPARE(bytes.has_value(), read);
        QCOMPARE(digest.has_value(), read);
        if (!read || name.startsWith(u'/')) {
            QVERIFY(!read || bytes->startsWith("Name:"));
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray whole = file.readAll();
        QCOMPARE(*bytes, whole);
        QCOMPARE(*digest, QCryptographicHash::hash(whole, QCryptographicHash::Sha256));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestRegularFile)
#include "tst_regularfile.moc"
