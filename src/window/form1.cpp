#include "form1.h"

#include "comforttexts.h"
#include "drawingpad.h"
#include "exercisefile.h"
#include "filedrop.h"
#include "guidedwriting.h"
#include "helpmenu.h"
#include "helptexts.h"
#include "layoutrule.h"
#include "picturebox.h"
#include "posedsound.h"
#include "progresscorner.h"
#include "progresstext.h"
#include "recentsmenu.h"
#include "strokecoach.h"
#include "texts.h"
#include "titledbox.h"
#include "tracemenu.h"
#include "twips.h"
#include "windowplace.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

constexpr int clientWidth = 449;  // 6735 twips
constexpr int clientHeight = 252; // 3780 twips

// How long a sound that cannot be played is told in the progress label's place.
constexpr int soundNoticeMs = 5000;

// The message box and the caption show CR LF line breaks as new lines.
QString displayed(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// The comment box and the message boxes lay out a line that has no break point in a time that
// grows with the square of its length (a 1 MB one takes minutes), and no one reads that far in
// them. Past this many characters the middle of a text gives way to an ellipsis, both ends
// staying readable, so that no record can freeze the window.
constexpr qsizetype longestShown = 10000;

QString shortened(const QString &text)
{
    if (text.size() <= longestShown)
        return text;
    const qsizetype half = longestShown / 2;
    return text.left(half) + QChar(0x2026) + text.right(half);
}

} // namespace

Form1::Form1(RandomSource &random, const QString &programFolder, const QString &historyFolder,
             QWidget *parent)
    : QMainWindow(parent), m_programFolder(programFolder),
      m_ownFolder(OwnExercisesMenu::folderBeside(historyFolder)),
      m_openDialog(programFolder, m_ownFolder), m_practice(*this, random),
      m_history(m_practice, *this, historyFolder, programFolder + texts::imagesFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(texts::captionBase);
    setWindowIcon(QIcon(QStringLiteral(":/icons/plumetto-32.png")));
    createControls();
    createMenus();
    m_sound = new PosedSound(this);
    new TraceMenu(*menuBar(), *m_picture1, {m_effacer, m_command1, m_bouttonjuste, m_bouttonfaux},
                  *m_sound, m_coach->writing());
    m_progression = new ProgressCorner(*menuBar());
    connect(m_sound, &PosedSound::failed, m_progression, [this](const QString &reason) {
        m_progression->showNotice(comforttexts::soundUnavailable.arg(reason), soundNoticeMs);
    });
    connect(new FileDrop(*this), &FileDrop::dropped, this, &Form1::openFile);
    // The first size on the first run; later, the size and place of the last run.
    resize(clientWidth, clientHeight + menuBar()->sizeHint().height());
    new WindowPlace(*this);
    m_practice.setObserver(this);
    m_practice.charger();
}

Form1::~Form1() = default;

void Form1::createControls()
{
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    setCentralWidget(m_client);

    m_commentaires = new QPlainTextEdit(m_client);
    m_commentaires->setObjectName(QStringLiteral("commentaires"));
    m_commentaires->setGeometry(fromTwips(120, 3000, 3135, 615));
    m_commentaires->setReadOnly(true);
    m_commentaires->setTabChangesFocus(true);

    m_effacer = new QPushButton(QStringLiteral("Effacer"), m_client);
    m_effacer->setObjectName(QStringLiteral("Effacer"));
    m_effacer->setGeometry(fromTwips(5640, 120, 975, 375));

    m_bouttonfaux = new QPushButton(QStringLiteral("Faux"), m_client);
    m_bouttonfaux->setObjectName(QStringLiteral("bouttonfaux"));
    m_bouttonfaux->setGeometry(fromTwips(5040, 3120, 1455, 495));
    m_bouttonfaux->setEnabled(false);

    m_bouttonjuste = new QPushButton(QStringLiteral("Juste"), m_client);
    m_bouttonjuste->setObjectName(QStringLiteral("bouttonjuste"));
    m_bouttonjuste->setGeometry(fromTwips(3360, 3120, 1455, 495));
    m_bouttonjuste->setEnabled(false);

    m_question = new QLineEdit(m_client);
    m_question->setObjectName(QStringLiteral("question"));
    m_question->setGeometry(fromTwips(120, 240, 3135, 375));
    m_question->setReadOnly(true);
    QFont questionFont = m_question->font();
    questionFont.setFamilies({QStringLiteral("MS Sans Serif"), questionFont.family()});
    questionFont.setPointSize(12);
    questionFont.setBold(true);
    m_question->setFont(questionFont);

    m_command1 = new QPushButton(QStringLiteral("Montrer la solution"), m_client);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(fromTwips(120, 720, 3135, 495));
    m_command1->setEnabled(false);

    m_imagesoluce = new PictureBox(m_client);
    m_imagesoluce->setObjectName(QStringLiteral("imagesoluce"));
    m_imagesoluce->setGeometry(fromTwips(120, 1320, 3135, 1575));

    m_picture1 = new DrawingPad(m_client);
    m_picture1->setObjectName(QStringLiteral("Picture1"));
    m_picture1->setGeometry(fromTwips(3360, 120, 3255, 2775));

    m_label1 = new QLabel(QStringLiteral("Dessinez :"), m_client);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(fromTwips(120, 0, 2175, 255));

    // Controls created earlier lie above later ones where they overlap.
    const QList<QWidget *> stacking{m_commentaires, m_effacer,  m_bouttonfaux,
                                    m_bouttonjuste, m_question, m_command1,
                                    m_imagesoluce,  m_picture1, m_label1};
    for (QWidget *control : stacking)
        control->lower();

    const QList<QWidget *> tabOrder{m_picture1,     m_imagesoluce, m_command1, m_question,
                                    m_bouttonjuste, m_bouttonfaux, m_effacer,  m_commentaires};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder.at(i), tabOrder.at(i + 1));
    m_picture1->setFocus();

    connect(m_command1, &QPushButton::clicked, this, [this] { m_practice.montrerSolution(); });
    connect(m_bouttonjuste, &QPushButton::clicked, this, [this] { m_practice.juste(); });
    connect(m_bouttonfaux, &QPushButton::clicked, this, [this] { m_practice.faux(); });
    m_coach = new StrokeCoach(*m_picture1, *m_imagesoluce, m_programFolder, this);
    // Every stroke written with Guider: Space then shows the solution.
    connect(&m_coach->writing(), &GuidedWriting::completed, m_command1,
            [this] { m_command1->setFocus(); });
    connect(m_effacer, &QPushButton::clicked, m_picture1, &DrawingPad::clear);
    // Wiping a pad with nothing drawn changes no stroke, yet the verdict goes from the screen.
    connect(m_effacer, &QPushButton::clicked, m_coach, &StrokeCoach::dropVerdict);
    connect(m_effacer, &QPushButton::clicked, m_imagesoluce, &PictureBox::stopStrokeOrder);
    connect(m_imagesoluce, &PictureBox::clicked, m_coach, &StrokeCoach::playStrokeOrder);
}

void Form1::createMenus()
{
    QMenu *exercices = menuBar()->addMenu(QStringLiteral("Exercices"));
    exercices->setObjectName(QStringLiteral("Exercices"));

    QAction *ouvrir = exercices->addAction(QStringLiteral("Ouvrir"));
    ouvrir->setObjectName(QStringLiteral("Ouvrir"));
    ouvrir->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(ouvrir, &QAction::triggered, this, [this] {
        if (m_history.open([this] { return m_practice.ouvrir(); }))
            m_recents->noteOpening(m_practice.fileName(), true);
    });

    m_aleatoire = exercices->addAction(QStringLiteral("Aleatoire"));
    m_aleatoire->setObjectName(QStringLiteral("Aleatoire"));
    m_aleatoire->setCheckable(true);
    connect(m_aleatoire, &QAction::triggered, this, &Form1::toggleRandomOrder);

    QAction *reset = exercices->addAction(QStringLiteral("Reset"));
    reset->setObjectName(QStringLiteral("Reset"));
    connect(reset, &QAction::triggered, this, [this] { m_practice.reset(); });

    m_own = new OwnExercisesMenu(m_practice, *this, m_programFolder, m_ownFolder,
                                 [this] { return m_history.recentMistakes(); });
    m_own->addNewExercise(*exercices);
    connect(m_own, &OwnExercisesMenu::created, this, &Form1::openFile);

    m_recents = new RecentsMenu(*exercices);
    connect(m_recents, &RecentsMenu::chosen, this, &Form1::openFile);
    m_history.addActions(exercices);
    m_own->addDrill(*exercices);

    addHelpMenus(*menuBar(), [this](const QString &title, const QString &text) {
        showMessage(text, MessageIcon::Information, title);
    });
}

void Form1::updateProgress()
{
    m_progression->setText(progressText(m_practice.progress()));
    m_own->refresh();
}

void Form1::openFile(const QString &path)
{
    m_recents->noteOpening(
        path, m_history.open([this, &path] { return m_practice.ouvrirFichier(path); }));
}

void Form1::toggleRandomOrder()
{
    // The action has already flipped its mark; the command owns the toggle, so that the mark
    // changes only once the notice is closed.
    {
        const QSignalBlocker blocker(m_aleatoire);
        m_aleatoire->setChecked(!m_aleatoire->isChecked());
    }
    m_practice.aleatoire();
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayoutRule();
    m_progression->fit();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    applyLayoutRule();
    m_progression->fit();
}

void Form1::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    // The history and its SQL driver wait until the window has been painted: the first
    // showing does not need them.
    if (m_painted)
        return;
    m_painted = true;
    m_history.openSoon();
}

void Form1::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    // A window manager adds its frame after the first showing, without resizing the client
    // area: the outer size has changed all the same.
    if (frameGeometry().size() != m_laidOutSize)
        applyLayoutRule();
}

void Form1::applyLayoutRule()
{
    LayoutControls controls{
        toTwips(m_picture1->geometry()),     toTwips(m_bouttonjuste->geometry()),
        toTwips(m_bouttonfaux->geometry()),  toTwips(m_effacer->geometry()),
        toTwips(m_commentaires->geometry()), toTwips(m_imagesoluce->geometry()),
    };
    const QRect outer = frameGeometry();
    m_laidOutSize = outer.size();
    applyLayout(outer.width() * twipsPerPixel, outer.height() * twipsPerPixel, controls);
    m_picture1->setGeometry(toPixels(controls.picture1));
    m_bouttonjuste->setGeometry(toPixels(controls.bouttonjuste));
    m_bouttonfaux->setGeometry(toPixels(controls.bouttonfaux));
    m_effacer->setGeometry(toPixels(controls.effacer));
    m_commentaires->setGeometry(toPixels(controls.commentaires));
    m_imagesoluce->setGeometry(toPixels(controls.imagesoluce));
}

void Form1::setText(TextBox box, const QString &text)
{
    if (box == TextBox::Question)
        m_question->setText(text);
    else
        m_commentaires->setPlainText(shortened(displayed(text)));
}

void Form1::setEnabled(Button button, bool enabled)
{
    // The Tracé menu's entries follow their buttons.
    switch (button) {
    case Button::Command1:
        m_command1->setEnabled(enabled);
        break;
    case Button::BouttonJuste:
        m_bouttonjuste->setEnabled(enabled);
        break;
    case Button::BouttonFaux:
        m_bouttonfaux->setEnabled(enabled);
        break;
    }
}

void Form1::clearPad()
{
    m_picture1->clear();
}

bool Form1::showPicture(const QString &path)
{
    if (!exercise::isOrdinaryFile(path)) {
        m_imagesoluce->clearPicture();
        return false;
    }
    return m_imagesoluce->showPicture(path);
}

void Form1::setCaption(const QString &caption)
{
    // "[*]" in a window title is the modification placeholder; double it to show it as it is.
    QString title = caption;
    title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(title);
}

void Form1::setBusy(bool busy)
{
    if (busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QGuiApplication::restoreOverrideCursor();
}

void Form1::showMessage(const QString &text, MessageIcon icon, const QString &title)
{
    QMessageBox::Icon look = QMessageBox::NoIcon;
    if (icon == MessageIcon::Information)
        look = QMessageBox::Information;
    else if (icon == MessageIcon::Error)
        look = QMessageBox::Critical;
    QMessageBox box(look, title.isEmpty() ? helptexts::defaultTitle : title,
                    shortened(displayed(text)), QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    makeRoomForTitle(box);
    box.exec();
}

QString Form1::programFolder() const
{
    return m_programFolder;
}

bool Form1::isOrdinaryFile(const QString &path) const
{
    return exercise::isOrdinaryFile(path);
}

void Form1::setDialogFilter(const QString &filter)
{
    m_openDialog.setFilter(filter);
}

QString Form1::showOpenDialog()
{
    return m_openDialog.exec(this);
}

bool Form1::randomOrderChecked() const
{
    return m_aleatoire->isChecked();
}

void Form1::setRandomOrderChecked(bool checked)
{
    m_aleatoire->setChecked(checked);
}

void Form1::started()
{
    m_coach->setExercise(m_practice.lignes());
    m_history.started();
    updateProgress();
}

void Form1::posed(const PracticeRecord &record)
{
    const QString picture = exercise::picturePath(m_programFolder, record.picture);
    m_coach->pose(picture);
    m_history.posed();
    updateProgress();
    m_sound->pose(picture);
}

void Form1::shown(const PracticeRecord &, const QString &picturePath)
{
    // Space then confirms the program's opinion; the learner stays the judge.
    const StrokeCoach::Outcome outcome = m_coach->check(picturePath);
    if (outcome != StrokeCoach::Outcome::NoCheck)
        (outcome == StrokeCoach::Outcome::Correct ? m_bouttonjuste : m_bouttonfaux)->setFocus();
}

void Form1::judged(const PracticeRecord &record, bool right)
{
    const GuidedWriting &writing = m_coach->writing();
    m_history.judged(record, right, m_picture1->ink(), m_coach->verdict(),
                     {writing.guided(), writing.misses(), writing.traced()});
    updateProgress();
}

void Form1::ended()
{
    m_coach->forget();
    m_history.ended();
    updateProgress();
    m_sound->pose({});
}

void Form1::cleared()
{
    m_coach->forget();
    m_history.cleared();
    updateProgress();
    m_sound->pose({});
}
