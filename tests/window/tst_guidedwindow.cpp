// Writing with help in the window: each stroke checked as it ends (Guider), the faint model
// (Calque), and the whole drawing checked against variants and look-alikes. The program folder
// is the build's own, with its catalogue and stroke packs.
#include "drawingpad.h"
#include "form1.h"
#include "guidedwriting.h"
#include "guidelayers.h"
#include "history.h"
#include "lookalikesearch.h"
#include "randomsource.h"
#include "strokeguide.h"

#include <QAction>
#include <QPushButton>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString strokes(const char *name)
{
    return QStringLiteral(PLUMETTO_STROKE_DATA "/") + QLatin1String(name);
}

// か, as the project ships it.
const QString ka = strokes("0304b.svg");

enum Way { AsIs, Reversed, Short, Shifted };

// Stroke `index` of the file drawn in the pad's guide square as the mouse draws: pressed,
// moved, let go.
void drawStroke(DrawingPad *pad, const QString &file, int index, int way = AsIs)
{
    const std::optional<StrokeFile> strokes = readStrokeFile(file);
    QVERIFY(strokes);
    const QRectF square = guideSquare(pad->size());
    QPolygonF line = frameTransform(*strokes, square).map(flattenPath(strokes->strokes.at(index)));
    if (way == Reversed)
        std::reverse(line.begin(), line.end());
    else if (way == Short)
        line.resize(std::max<qsizetype>(2, line.size() / 4));
    else if (way == Shifted)
        line.translate(0, square.height() / 3);
    const auto send = [pad](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, pad->mapToGlobal(at),
                          type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(pad, &event);
    };
    send(QEvent::MouseButtonPress, line.first(), Qt::LeftButton);
    for (const QPointF &point : std::as_const(line))
        send(QEvent::MouseMove, point, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, line.last(), Qt::NoButton);
}

// Pixels of a grab of the pad that are neither white nor black.
int greyPixels(const QImage &shot)
{
    int count = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            count += qGray(shot.pixel(x, y)) > 40 && qGray(shot.pixel(x, y)) < 250;
    return count;
}

} // namespace

class TestGuidedWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The marks of the Tracé menu are remembered: these tests keep theirs apart.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_folder.path());
    }

    void init()
    {
        m_form.reset();
        QSettings(QCoreApplication::applicationName()).clear();
    }

    void refusals_data()
    {
        QTest::addColumn<int>("stroke");
        QTest::addColumn<int>("way");
        QTest::addColumn<QString>("text");

        QTest::newRow("reversed") << 0 << int(Reversed)
                                  << "Trait 1 sur 3 : dans le mauvais sens, recommencez.";
        QTest::newRow("later") << 2 << int(AsIs)
                               << "Trait 1 sur 3 : ce trait vient plus tard, recommencez.";
        QTest::newRow("shape") << 0 << int(Short) << "Trait 1 sur 3 : forme à revoir, recommencez.";
        QTest::newRow("place") << 0 << int(Shifted) << "Trait 1 sur 3 : mal placé, recommencez.";
    }

    // A refused stroke is taken back at once, pixels and ink, and fades out on screen.
    void refusals()
    {
        QFETCH(int, stroke);
        QFETCH(int, way);
        QFETCH(QString, text);

        QVERIFY(open(QStringLiteral("ka=hiragana/ka.png=*"), true, false));
        const QImage blank = pad()->image();
        drawStroke(pad(), ka, stroke, way);
        QCOMPARE(label(), text);
        QVERIFY(pad()->ink().isEmpty());
        QCOMPARE(pad()->image(), blank);
        QVERIFY(pad()->guideLayers().isFading());
        QTRY_VERIFY_WITH_TIMEOUT(!pad()->guideLayers().isFading(), 3 * GuideLayers::fadeMs);
    }

    void guidedSequence()
    {
        QTemporaryDir history;
        QVERIFY(open(QStringLiteral("ka=hiragana/ka.png=*ka=hiragana/ka.png=*"), true, false,
                     history.path()));
        auto *writing = m_form->findChild<GuidedWriting *>();
        const GuideLayers &layers = pad()->guideLayers();
        // The square is outlined although the grid is off.
        QVERIFY(layers.outline() && !pad()->guideGrid());
        drawStroke(pad(), ka, 0);
        QCOMPARE(label(), QStringLiteral("Trait 1 sur 3 : bien."));

        // The third refusal of the same stroke shows it, until a stroke is accepted.
        drawStroke(pad(), ka, 1, Reversed);
        drawStroke(pad(), ka, 1, Reversed);
        QVERIFY(!layers.hasHint());
        drawStroke(pad(), ka, 2);
        QCOMPARE(label(), QStringLiteral("Trait 2 sur 3 : suivez le modèle."));
        QVERIFY(layers.hasHint());
        drawStroke(pad(), ka, 1);
        QCOMPARE(label(), QStringLiteral("Trait 2 sur 3 : bien."));
        QVERIFY(!layers.hasHint());

        // Annuler takes back the last stroke, which is expected again (and its hint with it).
        find<QAction>("Annuler")->trigger();
        QCOMPARE(pad()->ink().size(), 1);
        QVERIFY(layers.hasHint());
        drawStroke(pad(), ka, 1);
        QCOMPARE(label(), QStringLiteral("Trait 2 sur 3 : bien."));

        // Effacer starts again from the first stroke; neither forgets the refusals.
        find<QPushButton>("Effacer")->click();
        for (int stroke : {0, 1, 2})
            drawStroke(pad(), ka, stroke);
        QCOMPARE(label(), QStringLiteral("Tracé complet : 3 traits, 3 reprises."));
        QCOMPARE(m_form->focusWidget(), find<QPushButton>("Command1"));
        // Nothing more is taken.
        drawStroke(pad(), ka, 0, Shifted);
        QCOMPARE(pad()->ink().size(), 3);
        QCOMPARE(writing->misses(), 3);
        QVERIFY(writing->guided() && writing->traced());

        // The solution checks the whole drawing as before; the next question starts afresh.
        QTest::keyClick(m_form->focusWidget(), Qt::Key_Space);
        QCOMPARE(label(),
                 QStringLiteral("Correct : les 3 traits sont dans l'ordre et le bon sens."));
        find<QPushButton>("bouttonjuste")->click();
        QCOMPARE(writing->misses(), 0);
        QVERIFY(writing->guided() && !writing->traced());

        // What helped the drawing went with its judgement.
        m_form.reset();
        History reader(history.path());
        QVERIFY(reader.open());
        QSqlQuery query(QSqlDatabase::database(reader.connectionName()));
        QVERIFY(query.exec(QStringLiteral("SELECT * FROM judgements")) && query.next());
        QCOMPARE(query.value(QStringLiteral("guided")).toInt(), 1);
        QCOMPARE(query.value(QStringLiteral("misses")).toInt(), 3);
        QCOMPARE(query.value(QStringLiteral("traced")).toInt(), 1);
    }

    void model_data()
    {
        QTest::addColumn<QString>("picture");
        QTest::addColumn<bool>("guider");
        QTest::addColumn<bool>("calque");
        QTest::addColumn<bool>("shown");

        QTest::newRow("Calque") << "hiragana/ka.png" << false << true << true;
        QTest::newRow("Calque and Guider") << "hiragana/ka.png" << true << true << true;
        QTest::newRow("no stroke file") << "vide.jpg" << true << true << false;
    }

    // The model lies under the drawing on screen only; without a stroke file the pad is as it
    // is without help, and nothing drawn on it is refused.
    void model()
    {
        QFETCH(QString, picture);
        QFETCH(bool, guider);
        QFETCH(bool, calque);
        QFETCH(bool, shown);

        QVERIFY(open(QStringLiteral("ka=%1=*").arg(picture), guider, calque));
        const QImage blank = pad()->image();
        QCOMPARE(pad()->guideLayers().hasModel(), shown);
        QCOMPARE(pad()->guideLayers().outline(), shown);
        QCOMPARE(greyPixels(pad()->grab().toImage()) > 0, shown);
        QCOMPARE(pad()->image(), blank);

        drawStroke(pad(), ka, 0, Reversed);
        QCOMPARE(pad()->ink().size(), shown && guider ? 0 : 1);
        find<QAction>("Calque")->setChecked(false);
        QVERIFY(!pad()->guideLayers().hasModel());
        const GuidedWriting *writing = m_form->findChild<GuidedWriting *>();
        QCOMPARE(writing->traced(), shown);
        QCOMPARE(writing->guided(), shown && guider);
    }

    void wholeDrawing_data()
    {
        QTest::addColumn<QString>("records");
        QTest::addColumn<QString>("drawn");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("focus");

        QTest::newRow("a shipped character")
            << "o=hiragana/o.png=*" << strokes("03042.svg") << "Ceci ressemble à あ (a)."
            << "bouttonfaux";
        QTest::newRow("the exercise's own record first")
            << "o=hiragana/o.png=*A=hiragana/a.png=*" << strokes("03042.svg")
            << "Ceci ressemble à あ (A)."
            << "bouttonfaux";
        QTest::newRow("a variant") << "m=kanji/04e3b.png=*" << strokes("04e3b-VtLst.svg")
                                   << "Correct : les 5 traits sont dans l'ordre et le bon sens."
                                   << "bouttonjuste";
    }

    // The solution checks the whole drawing against the character's stroke files, variants
    // included; あ drawn when お is asked is named, rather than judged by its strokes.
    void wholeDrawing()
    {
        QFETCH(QString, records);
        QFETCH(QString, drawn);
        QFETCH(QString, text);
        QFETCH(QString, focus);

        QVERIFY(open(records, false, false));
        QTRY_VERIFY_WITH_TIMEOUT(m_form->findChild<LookAlikeSearch *>()->isReady(), 60000);
        for (qsizetype stroke = 0; stroke < readStrokeFile(drawn)->strokes.size(); ++stroke)
            drawStroke(pad(), drawn, int(stroke));
        find<QPushButton>("Command1")->click();
        QCOMPARE(label(), text);
        QVERIFY(!pad()->hasOverlay());
        QCOMPARE(m_form->focusWidget()->objectName(), focus);
    }

private:
    // The window on the exercise of `records`, Guider and Calque as given, its first question
    // posed.
    Form1 *open(const QString &records, bool guider, bool calque, const QString &history = {})
    {
        QFile file(m_folder.filePath(QStringLiteral("exercice.txt")));
        if (!file.open(QIODevice::WriteOnly) || file.write(records.toUtf8()) < 0)
            return nullptr;
        file.close();
        m_form = std::make_unique<Form1>(m_random, QStringLiteral(PLUMETTO_APP_DIR), history);
        m_form->show();
        find<QAction>("Guider")->setChecked(guider);
        find<QAction>("Calque")->setChecked(calque);
        m_form->openFile(file.fileName());
        return QTest::qWaitForWindowExposed(m_form.get()) ? m_form.get() : nullptr;
    }
    template <class T> T *find(const char *name) const
    {
        return m_form->findChild<T *>(QLatin1String(name));
    }
    DrawingPad *pad() const { return find<DrawingPad>("Picture1"); }
    QString label() const { return pad()->verdict(); }

    QTemporaryDir m_folder;
    SystemRandom m_random{1};
    std::unique_ptr<Form1> m_form;
};

QTEST_MAIN(TestGuidedWindow)
#include "tst_guidedwindow.moc"
