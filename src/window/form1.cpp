#include "form1.h"

#include "comforttexts.h"
#include "drawingpad.h"
#include "exercisefile.h"
#include "helptexts.h"
#include "layoutrule.h"
#include "picturebox.h"
#include "progresslabel.h"
#include "progresstext.h"
#include "recentfiles.h"
#include "soundfile.h"
#include "soundplayer.h"
#include "strokecheck.h"
#include "strokepack.h"
#include "texts.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalBlocker>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int clientWidth = 449;  // 6735 twips
constexpr int clientHeight = 252; // 3780 twips

// Geometry in twips, as the window is designed.
QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

TwipsRect toTwips(const QRect &r)
{
    return {r.x() * twipsPerPixel, r.y() * twipsPerPixel, r.width() * twipsPerPixel,
            r.height() * twipsPerPixel};
}

QRect toPixels(const TwipsRect &r)
{
    return {qRound(r.left / twipsPerPixel), qRound(r.top / twipsPerPixel),
            qRound(r.width / twipsPerPixel), qRound(r.height / twipsPerPixel)};
}

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

// The checkable settings of the Tracé menu, kept between runs.
const QString grilleKey = QStringLiteral("trace/grille");
const QString prononcerKey = QStringLiteral("trace/prononcer");

// The file a drag carries when it carries exactly one local file, else an empty text.
QString draggedFile(const QMimeData *mime)
{
    if (mime == nullptr || !mime->hasUrls())
        return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    const QString path = urls.first().toLocalFile();
    return QFileInfo(path).isDir() ? QString() : path;
}

} // namespace

QString matchingNameFilter(const QString &nameFilter)
{
    // The patterns stand between the last parentheses, separated by spaces.
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    if (open < 0 || !nameFilter.endsWith(QLatin1Char(')')))
        return nameFilter;
    QStringList patterns =
        nameFilter.mid(open + 1, nameFilter.size() - open - 2).split(QLatin1Char(' '));
    if (!patterns.contains(QStringLiteral("*.*")))
        return nameFilter;
    for (QString &pattern : patterns) {
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return nameFilter.left(open + 1) + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
}

QStringList nameFiltersFrom(const QString &filter)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &label = parts.at(i);
        const QString &pattern = parts.at(i + 1);
        if (label.isEmpty() && pattern.isEmpty())
            continue;
        const QString suffix = QLatin1Char('(') + pattern + QLatin1Char(')');
        result.append(label.endsWith(suffix) ? label : label + QLatin1Char(' ') + suffix);
    }
    return result;
}

Form1::Form1(RandomSource &random, const QString &programFolder, const QString &historyFolder,
             QWidget *parent)
    : QMainWindow(parent), m_programFolder(programFolder), m_practice(*this, random),
      m_history(m_practice, *this, historyFolder, programFolder + texts::imagesFolder)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(texts::captionBase);
    setWindowIcon(QIcon(QStringLiteral(":/icons/plumetto-32.png")));
    createControls();
    createMenus();
    createTraceMenu();
    createProgressLabel();
    setAcceptDrops(true);
    resize(clientWidth, clientHeight + menuBar()->sizeHint().height());

    m_practice.setObserver(this);
    // The load handler.
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
    connect(m_effacer, &QPushButton::clicked, m_picture1, &DrawingPad::clear);
    connect(m_effacer, &QPushButton::clicked, m_imagesoluce, &PictureBox::stopStrokeOrder);
    connect(m_imagesoluce, &PictureBox::clicked, this, &Form1::playStrokeOrder);
}

void Form1::createMenus()
{
    QMenu *exercices = menuBar()->addMenu(QStringLiteral("Exercices"));
    exercices->setObjectName(QStringLiteral("Exercices"));

    QAction *ouvrir = exercices->addAction(QStringLiteral("Ouvrir"));
    ouvrir->setObjectName(QStringLiteral("Ouvrir"));
    ouvrir->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(ouvrir, &QAction::triggered, this, [this] {
        if (m_history.open([this] { return m_practice.ouvrir(); })) {
            recentfiles::add(m_practice.fileName());
            updateRecentsMenu();
        }
    });

    m_aleatoire = exercices->addAction(QStringLiteral("Aleatoire"));
    m_aleatoire->setObjectName(QStringLiteral("Aleatoire"));
    m_aleatoire->setCheckable(true);
    connect(m_aleatoire, &QAction::triggered, this, &Form1::toggleRandomOrder);

    QAction *reset = exercices->addAction(QStringLiteral("Reset"));
    reset->setObjectName(QStringLiteral("Reset"));
    connect(reset, &QAction::triggered, this, [this] { m_practice.reset(); });

    m_recents = exercices->addMenu(comforttexts::recents);
    m_recents->setObjectName(QStringLiteral("Recents"));
    m_recents->menuAction()->setObjectName(QStringLiteral("Recents"));
    updateRecentsMenu();
    m_history.addActions(exercices);

    QAction *site = menuBar()->addAction(QStringLiteral("Visiter le site de Plumetto"));
    site->setObjectName(QStringLiteral("site"));
    connect(site, &QAction::triggered, this,
            [] { QDesktopServices::openUrl(QUrl(helptexts::siteUrl)); });

    QMenu *aide = menuBar()->addMenu(QStringLiteral("Aide"));
    aide->setObjectName(QStringLiteral("Aide"));
    const struct
    {
        const char *name;
        const char *caption;
        QString title;
        QString text;
        QKeySequence shortcut;
    } boxes[] = {
        {"about", "A propos", helptexts::aboutTitle, helptexts::aboutText, {}},
        {"Histoire", "Histoire", helptexts::histoireTitle, helptexts::histoireText, {}},
        {"Comment", "Comment faire ?", helptexts::commentTitle, helptexts::commentText,
         QKeySequence(Qt::CTRL | Qt::Key_H)},
        {"creation", "Creer un cours", helptexts::creationTitle, helptexts::creationText, {}},
    };
    for (const auto &box : boxes) {
        QAction *action = aide->addAction(QString::fromUtf8(box.caption));
        action->setObjectName(QString::fromUtf8(box.name));
        action->setShortcut(box.shortcut);
        connect(action, &QAction::triggered, this,
                [this, title = box.title, text = box.text] { showInformation(title, text); });
    }
}

void Form1::createTraceMenu()
{
    QMenu *trace = menuBar()->addMenu(comforttexts::traceMenu);
    trace->setObjectName(QStringLiteral("Trace"));
    const auto add = [trace](const char *name, const QString &text, const QKeySequence &key) {
        QAction *action = trace->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(key);
        return action;
    };

    m_annuler = add("Annuler", comforttexts::annuler, QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(m_annuler, &QAction::triggered, m_picture1, &DrawingPad::undoLastStroke);
    // Nothing to take back on an empty pad.
    m_annuler->setEnabled(false);
    connect(m_picture1, &DrawingPad::inkChanged, m_annuler,
            [this] { m_annuler->setEnabled(!m_picture1->ink().isEmpty()); });
    QAction *effacer = add("EffacerTout", m_effacer->text(), QKeySequence(Qt::Key_Escape));
    connect(effacer, &QAction::triggered, m_effacer, &QPushButton::click);
    trace->addSeparator();

    // Each does what its button does, named as it is, and is enabled with it (see setEnabled).
    m_solution = add("Solution", m_command1->text(), QKeySequence(Qt::Key_S));
    m_jugerJuste = add("JugerJuste", m_bouttonjuste->text(), QKeySequence(Qt::Key_J));
    m_jugerFaux = add("JugerFaux", m_bouttonfaux->text(), QKeySequence(Qt::Key_F));
    const QList<std::pair<QAction *, QPushButton *>> buttons{
        {m_solution, m_command1}, {m_jugerJuste, m_bouttonjuste}, {m_jugerFaux, m_bouttonfaux}};
    for (const auto &[action, button] : buttons) {
        action->setEnabled(button->isEnabled());
        // click() does nothing on a disabled button.
        connect(action, &QAction::triggered, button, &QPushButton::click);
    }
    trace->addSeparator();

    m_ecouter = add("Ecouter", comforttexts::ecouter, QKeySequence(Qt::Key_P));
    m_ecouter->setEnabled(false);
    connect(m_ecouter, &QAction::triggered, this, &Form1::playPosedSound);

    const QSettings settings(QCoreApplication::applicationName());
    m_prononcer = add("Prononcer", comforttexts::prononcer, {});
    m_prononcer->setCheckable(true);
    m_prononcer->setChecked(settings.value(prononcerKey, false).toBool());
    connect(m_prononcer, &QAction::toggled, this, [](bool on) {
        QSettings(QCoreApplication::applicationName()).setValue(prononcerKey, on);
    });

    QAction *grille = add("Grille", comforttexts::grille, {});
    grille->setCheckable(true);
    grille->setChecked(settings.value(grilleKey, false).toBool());
    m_picture1->setGuideGrid(grille->isChecked());
    connect(grille, &QAction::toggled, this, [this](bool on) {
        m_picture1->setGuideGrid(on);
        QSettings(QCoreApplication::applicationName()).setValue(grilleKey, on);
    });
}

void Form1::createProgressLabel()
{
    m_progression = new ProgressLabel(menuBar());
    m_progression->setObjectName(QStringLiteral("progression"));
    m_progression->setContentsMargins(0, 0, 6, 0);
    m_progression->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    menuBar()->setCornerWidget(m_progression, Qt::TopRightCorner);
}

void Form1::updateProgress()
{
    const QString text = progressText(m_practice.progress());
    if (!text.isEmpty() && !m_progressionFont) {
        // A size below the menus' leaves their room to the menus and fits "12 / 46 · 3 à
        // revoir" beside them at the window's first size. Set with the first text: finding
        // the font costs more than the rest of the label at start-up.
        QFont small = m_progression->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        m_progression->setFont(small);
        m_progressionFont = true;
    }
    m_progression->setText(text);
    m_progression->setToolTip(text);
    fitProgressLabel();
}

void Form1::fitProgressLabel()
{
    // The menu bar gives its corner widget the width it asks for, pushing menus that no longer
    // fit into an overflow button: the label asks for no more than the menus leave free. The
    // bar lays out its items again when its corner widget is shown.
    // An empty label takes next to no room; the next text fits it again.
    if (m_progression->text().isEmpty())
        return;
    const auto relayout = [this] {
        if (!menuBar()->isVisible())
            return;
        m_progression->hide();
        m_progression->show();
    };
    m_progression->setRoom(0);
    relayout();
    int menusEnd = 0;
    for (QAction *action : menuBar()->actions())
        menusEnd = std::max(menusEnd, menuBar()->actionGeometry(action).right() + 1);
    const int gap = menuBar()->fontMetrics().averageCharWidth();
    m_progression->setRoom(menuBar()->width() - menusEnd - gap);
    relayout();
}

void Form1::updateRecentsMenu()
{
    // The entries go later: this may run while one of them is being triggered.
    const QList<QAction *> old = m_recents->actions();
    for (QAction *action : old) {
        m_recents->removeAction(action);
        action->deleteLater();
    }
    const QStringList files = recentfiles::load();
    for (const QString &file : files) {
        QAction *action =
            m_recents->addAction(QString(file).replace(QLatin1Char('&'), QStringLiteral("&&")));
        connect(action, &QAction::triggered, this, [this, file] { openFile(file); });
    }
    m_recents->menuAction()->setEnabled(!files.isEmpty());
}

void Form1::openFile(const QString &path)
{
    if (m_history.open([this, &path] { return m_practice.ouvrirFichier(path); }))
        recentfiles::add(path);
    else if (!exercise::isOrdinaryFile(path))
        recentfiles::remove(path);
    updateRecentsMenu();
}

void Form1::setPosedSound(const QString &path)
{
    m_posedSound = path;
    m_ecouter->setEnabled(!path.isEmpty());
}

void Form1::playPosedSound()
{
    if (m_posedSound.isEmpty())
        return;
    if (!m_sound)
        m_sound = std::make_unique<SoundPlayer>();
    m_sound->play(m_posedSound);
}

void Form1::dragEnterEvent(QDragEnterEvent *event)
{
    if (draggedFile(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent *event)
{
    const QString path = draggedFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // The opening may show a box: not while the drag is still being finished.
    QMetaObject::invokeMethod(
        this, [this, path] { openFile(path); }, Qt::QueuedConnection);
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

void Form1::showInformation(const QString &title, const QString &text)
{
    showMessage(text, MessageIcon::Information, title);
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayoutRule();
    fitProgressLabel();
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    applyLayoutRule();
    m_history.openSoon();
    fitProgressLabel();
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
    switch (button) {
    case Button::Command1:
        m_command1->setEnabled(enabled);
        m_solution->setEnabled(enabled);
        break;
    case Button::BouttonJuste:
        m_bouttonjuste->setEnabled(enabled);
        m_jugerJuste->setEnabled(enabled);
        break;
    case Button::BouttonFaux:
        m_bouttonfaux->setEnabled(enabled);
        m_jugerFaux->setEnabled(enabled);
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
    m_nameFilters = nameFiltersFrom(filter);
}

QString Form1::showOpenDialog()
{
    QFileDialog dialog(this);
    dialog.setObjectName(QStringLiteral("CDC"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    QStringList matching;
    for (const QString &filter : std::as_const(m_nameFilters))
        matching.append(matchingNameFilter(filter));
    dialog.setNameFilters(matching);
    if (!matching.isEmpty())
        dialog.selectNameFilter(matching.first());
    // The list of file types reads as the filter names them ("Tous (*.*)"), while the dialog
    // applies the pattern that matches what the name promises.
    if (auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < types->count() && i < m_nameFilters.size(); ++i)
            types->setItemText(i, m_nameFilters.at(i));
    }
    // The folder of the last exercise chosen in this run, or the courses shipped beside the
    // program.
    const QDir courses(m_programFolder + QStringLiteral("/exercices"));
    if (!m_lastFolder.isEmpty() && QDir(m_lastFolder).exists())
        dialog.setDirectory(m_lastFolder);
    else if (courses.exists())
        dialog.setDirectory(courses);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QString chosen = dialog.selectedFiles().value(0);
    if (!chosen.isEmpty())
        m_lastFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

bool Form1::randomOrderChecked() const
{
    return m_aleatoire->isChecked();
}

void Form1::setRandomOrderChecked(bool checked)
{
    m_aleatoire->setChecked(checked);
}

Ink Form1::padInk() const
{
    return m_picture1->ink();
}

void Form1::forgetStrokeCheck()
{
    m_strokeFile.reset();
    m_checkText.clear();
    m_picture1->setVerdict({});
    m_picture1->clearOverlay();
    m_imagesoluce->stopStrokeOrder();
}

void Form1::checkStrokes(const QString &picturePath)
{
    forgetStrokeCheck();
    // A stroke file is optional: one that is missing or unusable turns the check off quietly.
    m_strokeFile = readStrokeFileBeside(picturePath);
    if (!m_strokeFile)
        return;
    const Ink &ink = m_picture1->ink();
    const StrokeVerdict verdict = checkInk(ink, *m_strokeFile);
    m_checkText = verdictText(verdict);
    m_picture1->setVerdict(m_checkText);
    const bool strokeAtFault =
        verdict.fault == StrokeFault::Order || verdict.fault == StrokeFault::Direction ||
        verdict.fault == StrokeFault::Shape || verdict.fault == StrokeFault::Place;
    if (strokeAtFault && verdict.stroke > 0) {
        const int index = verdict.stroke - 1;
        m_picture1->setOverlay(referenceStrokeInInkFrame(*m_strokeFile, ink, index), verdict.stroke,
                               referenceNumberInInkFrame(*m_strokeFile, ink, index));
    }
    // Space then confirms the program's opinion; the learner stays the judge.
    (verdict.fault == StrokeFault::None ? m_bouttonjuste : m_bouttonfaux)->setFocus();
}

void Form1::playStrokeOrder()
{
    if (!m_strokeFile || m_imagesoluce->picture().isNull())
        return;
    m_imagesoluce->playStrokeOrder(m_strokeFile->strokes, m_strokeFile->viewBox,
                                   m_strokeFile->numberPositions);
}

void Form1::started()
{
    m_history.started();
    updateProgress();
}

void Form1::posed(const PracticeRecord &record)
{
    forgetStrokeCheck();
    m_history.posed();
    updateProgress();
    const QString picture = exercise::picturePath(m_programFolder, record.picture);
    setPosedSound(picture.isEmpty() ? QString() : soundFileFor(picture));
    if (m_prononcer->isChecked())
        playPosedSound();
}

void Form1::shown(const PracticeRecord &, const QString &picturePath)
{
    checkStrokes(picturePath);
}

void Form1::judged(const PracticeRecord &record, bool right)
{
    m_history.judged(record, right, padInk(), m_checkText);
    updateProgress();
}

void Form1::ended()
{
    m_history.ended();
    updateProgress();
    setPosedSound({});
}

void Form1::cleared()
{
    forgetStrokeCheck();
    m_history.cleared();
    updateProgress();
    setPosedSound({});
}
