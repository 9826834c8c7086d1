// The stroke check as the learner meets it in the window: the verdict in the pad, the stroke at
// fault drawn over the drawing, the focus on the suggested judgement, and the stroke order.
#include "drawingpad.h"
#include "form1.h"
#include "history.h"
#include "modalanswerer.h"
#include "picturebox.h"
#include "randomsource.h"
#include "strokefile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStyle>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// か, as the project ships it.
const QString kaStrokes = QStringLiteral(PLUMETTO_STROKE_DATA "/0304b.svg");

} // namespace

class TestStrokeWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verdict_data();
    void verdict();
    void staleVerdict_data();
    void staleVerdict();
    void noStrokeFileNoCheck();
    void strokeOrderOnClick();
    void spaceAfterStrokeOrder();
    void endBoxHasRoomForItsTitle();

private:
    // Draws the reference strokes on the pad, in the order given, each as drawn or reversed.
    static void draw(DrawingPad *pad, const QList<int> &order, int reversed);
    Form1 *openKa(SystemRandom &random,
                  const QString &record = QStringLiteral("ka=ka.png=*ka=ka.png=*"),
                  const QString &historyFolder = QString());

    QTemporaryDir m_folder;
    std::unique_ptr<Form1> m_form;
};

void TestStrokeWindow::initTestCase()
{
    QVERIFY(m_folder.isValid());
    QDir dir(m_folder.path());
    QVERIFY(dir.mkpath(QStringLiteral("images")));
    QImage white(200, 200, QImage::Format_RGB32);
    white.fill(Qt::white);
    QVERIFY(white.save(dir.filePath(QStringLiteral("images/vide.jpg"))));
    QVERIFY(white.save(dir.filePath(QStringLiteral("images/ka.png"))));
    QVERIFY(white.save(dir.filePath(QStringLiteral("images/plain.png"))));
    QVERIFY(QFile::copy(kaStrokes, dir.filePath(QStringLiteral("images/ka.svg"))));
}

void TestStrokeWindow::draw(DrawingPad *pad, const QList<int> &order, int reversed)
{
    const std::optional<StrokeFile> file = readStrokeFile(kaStrokes);
    QVERIFY(file);
    for (int index : order) {
        QPolygonF line = flattenPath(file->strokes.at(index));
        if (index == reversed)
            std::reverse(line.begin(), line.end());
        pad->setCurrentPoint(line.first() * 1.5);
        for (const QPointF &point : std::as_const(line))
            pad->drawLineTo(point * 1.5);
        // A move without a button ends the stroke, as the mouse does.
        QMouseEvent release(QEvent::MouseMove, line.last() * 1.5, pad->mapToGlobal(QPointF()),
                            Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(pad, &release);
    }
}

Form1 *TestStrokeWindow::openKa(SystemRandom &random, const QString &record,
                                const QString &historyFolder)
{
    const QString exercise = QDir(m_folder.path()).filePath(QStringLiteral("ka.txt"));
    QFile file(exercise);
    if (!file.open(QIODevice::WriteOnly) || file.write(record.toUtf8()) < 0)
        return nullptr;
    file.close();
    m_form = std::make_unique<Form1>(random, m_folder.path(), historyFolder);
    m_form->show();
    ModalAnswerer answerer;
    answerer.chooseFile(exercise);
    m_form->findChild<QAction *>(QStringLiteral("Ouvrir"))->trigger();
    return m_form.get();
}

void TestStrokeWindow::verdict_data()
{
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("reversed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("overlay");
    QTest::addColumn<QString>("focus");

    QTest::newRow("correct") << QList<int>{0, 1, 2} << -1
                             << "Correct : les 3 traits sont dans l'ordre et le bon sens." << false
                             << "bouttonjuste";
    QTest::newRow("nothing") << QList<int>{} << -1 << "Rien n'est tracé." << false << "bouttonfaux";
    QTest::newRow("one missing") << QList<int>{0, 1} << -1 << "3 traits attendus, 2 tracés."
                                 << false << "bouttonfaux";
    QTest::newRow("out of turn") << QList<int>{1, 0, 2} << -1
                                 << "Trait 1 : tracé en position 2, revoyez l'ordre des traits."
                                 << true << "bouttonfaux";
    QTest::newRow("backwards") << QList<int>{0, 1, 2} << 1
                               << "Trait 2 : tracé dans le mauvais sens." << true << "bouttonfaux";
}

void TestStrokeWindow::verdict()
{
    QFETCH(QList<int>, order);
    QFETCH(int, reversed);
    QFETCH(QString, text);
    QFETCH(bool, overlay);
    QFETCH(QString, focus);

    SystemRandom random(1);
    Form1 *form = openKa(random);
    QVERIFY(form);
    auto *pad = form->findChild<DrawingPad *>(QStringLiteral("Picture1"));
    auto *label = pad->findChild<QLabel *>(QStringLiteral("verdict"));
    QVERIFY(label);
    draw(pad, order, reversed);
    const QImage drawn = pad->image();
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();

    QCOMPARE(label->text(), text);
    QVERIFY(!label->isHidden());
    // One line at the pad's bottom edge, leaving the drawing above it in sight.
    QCOMPARE(label->geometry().bottom(), pad->height() - 1);
    QVERIFY(label->width() <= pad->width());
    QVERIFY2(label->height() <= 0.15 * pad->height(),
             qPrintable(QStringLiteral("%1 of %2").arg(label->height()).arg(pad->height())));
    QCOMPARE(pad->hasOverlay(), overlay);
    QCOMPARE(pad->image(), drawn);
    QVERIFY(form->focusWidget());
    QCOMPARE(form->focusWidget()->objectName(), focus);

    // The judgement wipes the pad, and the verdict with it.
    form->findChild<QPushButton *>(QStringLiteral("bouttonfaux"))->click();
    QVERIFY(label->isHidden());
    QVERIFY(!pad->hasOverlay());
}

void TestStrokeWindow::staleVerdict_data()
{
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("stored");
    const QList<int> outOfTurn{1, 0, 2};
    QTest::newRow("unchanged") << outOfTurn << QString()
                               << QStringLiteral(
                                      "Trait 1 : tracé en position 2, revoyez l'ordre des traits.");
    QTest::newRow("Effacer") << outOfTurn << "Effacer" << QString();
    QTest::newRow("Effacer, nothing drawn") << QList<int>{} << "Effacer" << QString();
    QTest::newRow("Ctrl+Z") << outOfTurn << "Ctrl+Z" << QString();
    QTest::newRow("Tracé's Annuler") << outOfTurn << "Annuler" << QString();
    QTest::newRow("another stroke") << outOfTurn << "stroke" << QString();
}

// A verdict is about the drawing it was made on: once the drawing changes, it is neither shown
// nor stored beside the judgement.
void TestStrokeWindow::staleVerdict()
{
    QFETCH(QList<int>, order);
    QFETCH(QString, change);
    QFETCH(QString, stored);

    SystemRandom random(1);
    QTemporaryDir history;
    Form1 *form = openKa(random, QStringLiteral("ka=ka.png=*ka=ka.png=*"), history.path());
    QVERIFY(form);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    auto *pad = form->findChild<DrawingPad *>(QStringLiteral("Picture1"));
    auto *label = pad->findChild<QLabel *>(QStringLiteral("verdict"));
    draw(pad, order, -1);
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(!label->isHidden());

    if (change == QLatin1String("Effacer"))
        form->findChild<QPushButton *>(QStringLiteral("Effacer"))->click();
    else if (change == QLatin1String("Ctrl+Z"))
        QTest::keyClick(pad, Qt::Key_Z, Qt::ControlModifier);
    else if (change == QLatin1String("Annuler"))
        form->findChild<QAction *>(QStringLiteral("Annuler"))->trigger();
    else if (change == QLatin1String("stroke"))
        draw(pad, {0}, -1);
    QCOMPARE(label->isHidden(), stored.isEmpty());
    QCOMPARE(pad->hasOverlay(), !order.isEmpty() && !stored.isEmpty());

    form->findChild<QPushButton *>(QStringLiteral("bouttonjuste"))->click();
    m_form.reset();
    History reader(history.path());
    QVERIFY(reader.open());
    QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
    QVERIFY(query.exec(QStringLiteral("SELECT ifnull(\"check\", 'null') FROM judgements")));
    QVERIFY(query.next());
    QCOMPARE(query.value(0).toString(), stored.isEmpty() ? QStringLiteral("null") : stored);
}

void TestStrokeWindow::noStrokeFileNoCheck()
{
    SystemRandom random(1);
    Form1 *form = openKa(random, QStringLiteral("ka=plain.png=*"));
    QVERIFY(form);
    auto *pad = form->findChild<DrawingPad *>(QStringLiteral("Picture1"));
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(pad->findChild<QLabel *>(QStringLiteral("verdict"))->isHidden());
    // A stroke file that does not parse is no file at all.
    QFile broken(QDir(m_folder.path()).filePath(QStringLiteral("images/plain.svg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<svg><g id=\"kvg:StrokePaths\"><path d=\"M1,1 Q 2 2\"/></g></svg>");
    broken.close();
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QVERIFY(pad->findChild<QLabel *>(QStringLiteral("verdict"))->isHidden());
    QVERIFY(broken.remove());
}

void TestStrokeWindow::strokeOrderOnClick()
{
    SystemRandom random(1);
    Form1 *form = openKa(random);
    QVERIFY(form);
    auto *box = form->findChild<PictureBox *>(QStringLiteral("imagesoluce"));
    // Nothing to play before the solution is shown.
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!box->isPlayingStrokeOrder());
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isPlayingStrokeOrder());
    // A command stops it.
    form->findChild<QPushButton *>(QStringLiteral("bouttonjuste"))->click();
    QVERIFY(!box->isPlayingStrokeOrder());
}

// A click on the solution plays the stroke order and leaves the keyboard focus on the judgement
// the check suggested, which Space then presses.
void TestStrokeWindow::spaceAfterStrokeOrder()
{
    SystemRandom random(1);
    Form1 *form = openKa(random);
    QVERIFY(form);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form));
    draw(form->findChild<DrawingPad *>(QStringLiteral("Picture1")), {0, 1, 2}, -1);
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    auto *box = form->findChild<PictureBox *>(QStringLiteral("imagesoluce"));
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {},
                      box->mapTo(form, box->rect().center()));
    QVERIFY(box->isPlayingStrokeOrder());
    QTest::keyClick(form->windowHandle(), Qt::Key_Space);
    QCOMPARE(form->practice().trouves().size(), 2);
}

// "Exercice terminé." has no title of its own: its box leaves a title bar room for the whole of
// the default title beside the bar's icon and buttons.
void TestStrokeWindow::endBoxHasRoomForItsTitle()
{
    SystemRandom random(1);
    Form1 *form = openKa(random, QStringLiteral("ka=ka.png=*"));
    QVERIFY(form);
    form->findChild<QPushButton *>(QStringLiteral("Command1"))->click();
    ModalAnswerer answerer;
    int width = 0;
    int titleWidth = 0;
    int barHeight = 0;
    answerer.pressOk([&](QWidget *box) {
        QFont bold = box->font();
        bold.setBold(true);
        width = box->width();
        titleWidth = QFontMetrics(bold).horizontalAdvance(box->windowTitle());
        barHeight = box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    });
    form->findChild<QPushButton *>(QStringLiteral("bouttonjuste"))->click();
    QCOMPARE(answerer.takeSeen().size(), 1);
    QVERIFY2(
        width >= titleWidth + 5 * barHeight,
        qPrintable(QStringLiteral("%1 < %2 + 5 * %3").arg(width).arg(titleWidth).arg(barHeight)));
}

QTEST_MAIN(TestStrokeWindow)
#include "tst_strokewindow.moc"
