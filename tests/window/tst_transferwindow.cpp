// Exporter and Importer as the learner meets them: the dialogs, the box that tells what an
// import added, a file refused, and an import cancelled from its progress dialog.
#include "historyrig.h"
#include "historytransfer.h"

#include <QFileDialog>
#include <QSqlQuery>
#include <QtTest>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTransferWindow : public QObject
{
    Q_OBJECT

private slots:
    void importedText_data();
    void importedText();
    void exportAndImport();
    void importCancelled();
};

void TestTransferWindow::importedText_data()
{
    QTest::addColumn<qint64>("added");
    QTest::addColumn<qint64>("present");
    QTest::addColumn<QString>("text");
    QTest::newRow("none") << qint64(0) << qint64(0) << "0 jugement ajouté, 0 déjà présent.";
    QTest::newRow("one") << qint64(1) << qint64(1) << "1 jugement ajouté, 1 déjà présent.";
    QTest::newRow("two") << qint64(2) << qint64(2) << "2 jugements ajoutés, 2 déjà présents.";
    QTest::newRow("thousands") << qint64(412) << qint64(1380)
                               << "412 jugements ajoutés, 1 380 déjà présents.";
    QTest::newRow("millions") << qint64(1234567) << qint64(999)
                              << "1 234 567 jugements ajoutés, 999 déjà présents.";
}

void TestTransferWindow::importedText()
{
    QFETCH(qint64, added);
    QFETCH(qint64, present);
    QFETCH(QString, text);
    QCOMPARE(::importedText(added, present), text);
}

// One computer exports its history; another imports it, twice, and refuses a file that is none.
void TestTransferWindow::exportAndImport()
{
    Program program;
    ModalAnswerer answerer;
    const QString key = program.folder() + QStringLiteral("/cle");
    QVERIFY(QDir().mkpath(key));
    const QString file = key + QStringLiteral("/sauvegarde.sqlite");
    {
        Window w(program, program.historyFolder());
        QVERIFY(w.show());
        w.open(answerer, program.exercise());
        w.judge(true);
        w.judge(false);
        // The dialog offers the day's export in the learner's folder; cancelled, it writes none.
        QString offered;
        answerer.cancel([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            offered = dialog->directory().absolutePath() + QLatin1Char(' ') +
                      dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
        });
        w.find<QAction>("Exporter")->trigger();
        QCOMPARE(offered, QDir::homePath() + QStringLiteral(" plumetto-historique-%1.sqlite")
                                                 .arg(start.toLocalTime().date().toString(
                                                     QStringLiteral("yyyy-MM-dd"))));
        answerer.chooseFile(file);
        w.find<QAction>("Exporter")->trigger();
        const QByteArray exported = bytesOf(file);
        QVERIFY(exported.startsWith("SQLite format 3"));
        QStringList seen;
        for (const SeenModal &modal : answerer.seen())
            seen.append(modal.className + QLatin1Char(' ') + modal.objectName);
        const QString exporting = QStringLiteral("QFileDialog DialogueExporter");
        QCOMPARE(seen.mid(1), (QStringList{exporting, exporting}));
        answerer.takeSeen();
    }

    Window w(program, program.folder() + QStringLiteral("/autre"));
    QVERIFY(w.show());
    QVERIFY(!w.reprendre->isEnabled());
    const QString importSeen = QStringLiteral("QFileDialog DialogueImporter");
    const auto told = [](const QString &text) {
        return messageBox(QMessageBox::Information, QStringLiteral("Plumetto"), text);
    };
    for (const char *text :
         {"2 jugements ajoutés, 0 déjà présent.", "0 jugement ajouté, 2 déjà présents."}) {
        answerer.chooseFile(file);
        answerer.pressOk();
        w.find<QAction>("Importer")->trigger();
        QCOMPARE(answerer.takeSeen(), (QStringList{importSeen, told(QString::fromUtf8(text))}));
    }
    // The unfinished exercise came with the judgements.
    QVERIFY(w.reprendre->isEnabled());
    QCOMPARE(w.resumeEntries(), QStringList{"cours.txt — 1 / 3"});

    answerer.chooseFile(program.exercise());
    answerer.pressOk();
    w.find<QAction>("Importer")->trigger();
    QCOMPARE(answerer.takeSeen(),
             (QStringList{importSeen,
                          messageBox(QMessageBox::Warning, QStringLiteral("Plumetto"),
                                     QStringLiteral("« %1 » n'est pas un historique de "
                                                    "Plumetto : rien n'a été importé.")
                                         .arg(QDir::toNativeSeparators(program.exercise())))}));
}

// While another program holds the history, the import waits behind its progress dialog; cancelled
// there, it adds nothing.
void TestTransferWindow::importCancelled()
{
    Program program;
    const QString other = program.folder() + QStringLiteral("/autre");
    {
        History history(other);
        QVERIFY(history.open());
        History::Judgement judgement;
        judgement.at = start;
        judgement.picture = QStringLiteral("hiragana/a.png");
        QVERIFY(history.record(judgement));
    }
    ModalAnswerer answerer;
    Window w(program, program.historyFolder());
    QVERIFY(w.show());
    {
        QSqlDatabase lock = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "lock");
        lock.setDatabaseName(program.historyFolder() + QStringLiteral("/plumetto.sqlite"));
        QVERIFY(lock.open());
        QVERIFY(QSqlQuery(lock).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        answerer.chooseFile(other + QStringLiteral("/plumetto.sqlite"));
        answerer.cancelProgress([&lock](QWidget *modal) {
            qobject_cast<QDialog *>(modal)->reject();
            QSqlQuery(lock).exec(QStringLiteral("ROLLBACK"));
        });
        w.find<QAction>("Importer")->trigger();
        lock.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("lock"));
    QCOMPARE(answerer.takeSeen(),
             (QStringList{"QFileDialog DialogueImporter", "QProgressDialog ProgressionImport"}));
    QCOMPARE(program.read(QStringLiteral("SELECT count(*) FROM judgements")), QStringLiteral("0"));
}

QTEST_MAIN(TestTransferWindow)
#include "tst_transferwindow.moc"
