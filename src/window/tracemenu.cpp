#include "tracemenu.h"

#include "comforttexts.h"
#include "drawingpad.h"
#include "guidedwriting.h"
#include "posedsound.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>

namespace {

const QString grilleKey = QStringLiteral("trace/grille");
const QString prononcerKey = QStringLiteral("trace/prononcer");
const QString guiderKey = QStringLiteral("trace/guider");
const QString calqueKey = QStringLiteral("trace/calque");

void remember(const QString &key, bool on)
{
    QSettings(QCoreApplication::applicationName()).setValue(key, on);
}

} // namespace

TraceMenu::TraceMenu(QMenuBar &bar, DrawingPad &pad, const Buttons &buttons, PosedSound &sound,
                     GuidedWriting &writing)
    : QObject(&bar)
{
    QMenu *trace = bar.addMenu(comforttexts::traceMenu);
    trace->setObjectName(QStringLiteral("Trace"));
    const auto add = [trace](const char *name, const QString &text, const QKeySequence &key) {
        QAction *action = trace->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        return action;
    };

    QAction *annuler = add("Annuler", comforttexts::annuler, QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(annuler, &QAction::triggered, &pad, &DrawingPad::undoLastStroke);
    // Nothing to take back on an empty pad.
    annuler->setEnabled(false);
    connect(&pad, &DrawingPad::inkChanged, annuler,
            [annuler, &pad] { annuler->setEnabled(!pad.ink().isEmpty()); });
    QAction *effacer = add("EffacerTout", buttons.effacer->text(), QKeySequence(Qt::Key_Escape));
    connect(effacer, &QAction::triggered, buttons.effacer, &QPushButton::click);
    trace->addSeparator();

    standFor(add("Solution", buttons.command1->text(), QKeySequence(Qt::Key_S)), buttons.command1);
    standFor(add("JugerJuste", buttons.bouttonjuste->text(), QKeySequence(Qt::Key_J)),
             buttons.bouttonjuste);
    standFor(add("JugerFaux", buttons.bouttonfaux->text(), QKeySequence(Qt::Key_F)),
             buttons.bouttonfaux);
    trace->addSeparator();

    QAction *ecouter = add("Ecouter", comforttexts::ecouter, QKeySequence(Qt::Key_P));
    ecouter->setEnabled(sound.available());
    connect(ecouter, &QAction::triggered, &sound, &PosedSound::play);
    connect(&sound, &PosedSound::availableChanged, ecouter, &QAction::setEnabled);

    const QSettings settings(QCoreApplication::applicationName());
    QAction *prononcer = add("Prononcer", comforttexts::prononcer, {});
    prononcer->setCheckable(true);
    prononcer->setChecked(settings.value(prononcerKey, false).toBool());
    sound.setSpeakEachSound(prononcer->isChecked());
    connect(prononcer, &QAction::toggled, &sound, [&sound](bool on) {
        sound.setSpeakEachSound(on);
        remember(prononcerKey, on);
    });

    QAction *grille = add("Grille", comforttexts::grille, {});
    grille->setCheckable(true);
    grille->setChecked(settings.value(grilleKey, false).toBool());
    pad.setGuideGrid(grille->isChecked());
    connect(grille, &QAction::toggled, &pad, [&pad](bool on) {
        pad.setGuideGrid(on);
        remember(grilleKey, on);
    });

    const auto mark = [&](const char *name, const QString &text, Qt::Key key,
                          const QString &settingsKey, void (GuidedWriting::*set)(bool)) {
        QAction *action = add(name, text, QKeySequence(key));
        action->setCheckable(true);
        action->setChecked(settings.value(settingsKey, false).toBool());
        (writing.*set)(action->isChecked());
        connect(action, &QAction::toggled, &writing, [&writing, set, settingsKey](bool on) {
            (writing.*set)(on);
            remember(settingsKey, on);
        });
    };
    mark("Guider", comforttexts::guider, Qt::Key_G, guiderKey, &GuidedWriting::setGuiding);
    mark("Calque", comforttexts::calque, Qt::Key_M, calqueKey, &GuidedWriting::setModelShown);
}

void TraceMenu::standFor(QAction *action, QPushButton *button)
{
    action->setEnabled(button->isEnabled());
    // click() does nothing on a disabled button.
    connect(action, &QAction::triggered, button, &QPushButton::click);
    m_entries.insert(button, action);
    button->installEventFilter(this);
}

bool TraceMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::EnabledChange) {
        if (QAction *action = m_entries.value(watched))
            action->setEnabled(static_cast<QWidget *>(watched)->isEnabled());
    }
    return QObject::eventFilter(watched, event);
}
