#include "statisticswindow.h"

#include "judgementchart.h"

#include "inkcodec.h"
#include "picturebox.h"
#include "statisticstexts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QSet>
#include <QSettings>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

namespace {

ChartTexts chartTexts()
{
    return {statisticstexts::chartTitle, statisticstexts::rightSeries,
            statisticstexts::wrongSeries};
}

// Red for a character about to be forgotten, through yellow, to green for one well known.
QColor colourOf(double retrievability)
{
    const double r = std::clamp(retrievability, 0.0, 1.0);
    return QColor::fromHsvF(float(r * 120.0 / 360.0), 0.7f, 0.92f);
}

const QColor neverSeenColour(200, 200, 200);

QString localText(const QDateTime &time)
{
    return time.isValid() ? time.toLocalTime().toString(statisticstexts::dateFormat) : QString();
}

} // namespace

namespace {

// The window's size when it opens, unless the learner gave it another; never more than this
// share of the screen's available area, nor less than the smallest size it can show.
const QSize preferredSize(860, 820);
constexpr double screenShare = 0.9;
const QSize smallestSize(320, 240);
const QString sizeKey = QStringLiteral("statistiques/taille");

// Where a picture's character stands among the courses' characters; those outside them after.
qsizetype rankOf(const Catalogue &catalogue, const QString &picture)
{
    const qsizetype index = catalogue.indexOf(catalogue.findPicture(picture));
    return index < 0 ? std::numeric_limits<qsizetype>::max() : index;
}

} // namespace

// ---- The window -------------------------------------------------------------------------------

StatisticsWindow::StatisticsWindow(History &history, const QString &imagesFolder, QWidget *parent,
                                   const QDateTime &now)
    : QWidget(parent, Qt::Window), m_history(history), m_imagesFolder(imagesFolder)
{
    setObjectName(QStringLiteral("statistiques"));
    setWindowTitle(statisticstexts::statisticsTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The catalogue lies beside the images folder, in the program's folder.
    if (!imagesFolder.isEmpty())
        m_catalogue = Catalogue::read(
            Catalogue::pathIn(QDir::cleanPath(imagesFolder + QStringLiteral("/.."))));

    m_totals = new QLabel;
    m_totals->setObjectName(QStringLiteral("totaux"));
    m_totals->setWordWrap(true);

    m_grid = new CharacterGrid;
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("defilementgrille"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_grid);
    // Two rows of characters at the least, however small the window.
    scroll->setMinimumHeight(CharacterGrid::twoRowsHeight());

    judgementchart::Absence absence = judgementchart::Absence::Missing;
    m_chart = judgementchart::make(chartTexts(), &absence);
    if (!m_chart) {
        // Without its module the window shows all the rest.
        auto *note =
            new QLabel(absence == judgementchart::Absence::Refused ? statisticstexts::chartRefused
                                                                   : statisticstexts::noChart);
        note->setWordWrap(true);
        note->setObjectName(QStringLiteral("graphique"));
        m_chart = note;
    }

    m_drawingsTitle = new QLabel(statisticstexts::clickHint);
    m_drawingsTitle->setObjectName(QStringLiteral("titredessins"));
    m_drawingsTitle->setWordWrap(true);
    m_solution = new PictureBox;
    m_solution->setObjectName(QStringLiteral("solution"));
    m_solution->setFixedSize(InkView::side, InkView::side);
    m_drawings = new QWidget;
    m_drawings->setObjectName(QStringLiteral("dessins"));
    m_drawingsLayout = new QHBoxLayout(m_drawings);
    m_drawingsLayout->setContentsMargins(0, 0, 0, 0);
    // The solution and the drawings scroll across rather than widen the window.
    auto *drawingRow = new QWidget;
    auto *drawingRowLayout = new QHBoxLayout(drawingRow);
    drawingRowLayout->setContentsMargins(0, 0, 0, 0);
    drawingRowLayout->addWidget(m_solution, 0, Qt::AlignTop);
    drawingRowLayout->addWidget(m_drawings, 0, Qt::AlignTop);
    drawingRowLayout->addStretch();
    auto *drawingScroll = new QScrollArea;
    drawingScroll->setObjectName(QStringLiteral("defilementdessins"));
    drawingScroll->setWidgetResizable(true);
    drawingScroll->setFrameShape(QFrame::NoFrame);
    drawingScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    drawingScroll->setWidget(drawingRow);
    // High enough for a drawing, its two lines of caption and the scroll bar across.
    drawingScroll->setMinimumHeight(InkView::side + 2 * fontMetrics().lineSpacing() +
                                    style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                                    2 * drawingRowLayout->spacing());

    auto *bottom = new QWidget;
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->addWidget(m_chart, 1);
    bottomLayout->addWidget(m_drawingsTitle);
    bottomLayout->addWidget(drawingScroll);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(scroll);
    splitter->addWidget(bottom);
    splitter->setStretchFactor(0, 1);
    splitter->setChildrenCollapsible(false);

    // What does not fit in a small window scrolls, the chart and the drawings first.
    auto *content = new QWidget;
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->addWidget(m_totals);
    contentLayout->addWidget(splitter, 1);
    auto *outer = new QScrollArea;
    outer->setObjectName(QStringLiteral("defilement"));
    outer->setWidgetResizable(true);
    outer->setFrameShape(QFrame::NoFrame);
    outer->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(outer);

    setMinimumSize(smallestSize);
    QSize wanted = QSettings(QCoreApplication::applicationName()).value(sizeKey).toSize();
    if (!wanted.isValid())
        wanted = preferredSize;
    const QScreen *shownOn = screen() ? screen() : QGuiApplication::primaryScreen();
    if (shownOn)
        wanted =
            wanted.boundedTo((QSizeF(shownOn->availableGeometry().size()) * screenShare).toSize());
    resize(wanted.expandedTo(smallestSize));

    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);
    connect(m_grid, &CharacterGrid::clicked, this, &StatisticsWindow::showCharacter);
    refresh(now);
}

StatisticsWindow::~StatisticsWindow()
{
    // The main window closing takes this one with it, without hiding it first.
    if (isVisible())
        rememberSize();
}

void StatisticsWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        rememberSize();
}

void StatisticsWindow::rememberSize()
{
    if (!isMaximized() && !isMinimized() && !isFullScreen())
        QSettings(QCoreApplication::applicationName()).setValue(sizeKey, size());
}

bool StatisticsWindow::refresh(const QDateTime &now)
{
    const auto totals = m_history.totals(now);
    const auto characters = totals ? m_history.characters(now) : std::nullopt;
    const auto days = characters ? m_history.judgementsPerDay(now) : std::nullopt;
    m_loaded = days.has_value();
    if (!m_loaded)
        return false;
    showTotals(*totals);
    showGrid(*characters);
    showChart(*days);
    return true;
}

void StatisticsWindow::showTotals(const History::Totals &totals)
{
    const QLocale french(QLocale::French, QLocale::France);
    m_totals->setText(statisticstexts::totals.arg(totals.charactersSeen)
                          .arg(totals.judgements)
                          .arg(french.toString(totals.shareRight() * 100, 'f', 0))
                          .arg(totals.dueToday));
}

CharacterGrid::Cell StatisticsWindow::cellFor(const QString &picture, const QString &sound) const
{
    CharacterGrid::Cell cell;
    cell.picture = picture;
    if (const Catalogue::Entry *entry = m_catalogue.findPicture(picture)) {
        cell.label = entry->character;
        cell.reading = entry->sound();
        return cell;
    }
    // The character itself where the picture is named by its code point (the kanji courses'
    // pictures), else the sound, else the picture's name.
    const QString name = QFileInfo(picture).completeBaseName();
    static const QRegularExpression codePoint(QStringLiteral("^[0-9a-f]{4,5}$"));
    if (codePoint.match(name).hasMatch()) {
        const char32_t unicode = name.toUInt(nullptr, 16);
        if (QChar::isPrint(unicode)) {
            cell.label = QString::fromUcs4(&unicode, 1);
            return cell;
        }
    }
    cell.label = sound.isEmpty() ? name : sound;
    return cell;
}

void StatisticsWindow::showGrid(const QList<History::Character> &characters)
{
    std::map<QString, CharacterGrid::Group> groups;
    QSet<QString> seen;
    for (const History::Character &c : characters) {
        seen.insert(c.picture);
        const bool wrong = c.lastVerdict == History::Verdict::Faux;
        CharacterGrid::Cell cell = cellFor(c.picture, c.sound);
        cell.tip = statisticstexts::cellTip.arg(
            c.sound, c.picture, QString::number(c.judgements), localText(c.lastJudgement),
            wrong ? statisticstexts::verdictWrong : statisticstexts::verdictRight,
            localText(c.due));
        // Judged wrong last: red until it is judged right again, however well it is known.
        cell.colour = colourOf(wrong ? 0 : c.retrievability);
        CharacterGrid::Group &group = groups[c.folder];
        group.folder = c.folder.isEmpty() ? statisticstexts::otherFolder : c.folder;
        group.cells.append(std::move(cell));
    }
    // The pictures of the same folders never judged yet, in grey.
    const QStringList filters = {QStringLiteral("*.png"), QStringLiteral("*.jpg"),
                                 QStringLiteral("*.jpeg"), QStringLiteral("*.gif"),
                                 QStringLiteral("*.bmp")};
    for (auto &[folder, group] : groups) {
        if (folder.isEmpty() || m_imagesFolder.isEmpty())
            continue;
        const QDir dir(QDir(m_imagesFolder).filePath(folder));
        for (const QString &name : dir.entryList(filters, QDir::Files, QDir::Name)) {
            const QString picture = folder + QLatin1Char('/') + name;
            // Pictures drawn twice as large for dense screens are the same character.
            if (seen.contains(picture) || name.contains(QLatin1String("@2x.")))
                continue;
            CharacterGrid::Cell cell = cellFor(picture, {});
            cell.colour = neverSeenColour;
            cell.tip = picture + QLatin1Char('\n') + statisticstexts::neverSeen;
            group.cells.append(std::move(cell));
        }
    }
    // In the courses' order, each group where its first character stands; the rest after, by
    // name.
    const auto before = [this](const CharacterGrid::Cell &a, const CharacterGrid::Cell &b) {
        return std::pair(rankOf(m_catalogue, a.picture), a.picture) <
               std::pair(rankOf(m_catalogue, b.picture), b.picture);
    };
    QList<CharacterGrid::Group> list;
    for (auto &[folder, group] : groups) {
        std::sort(group.cells.begin(), group.cells.end(), before);
        list.append(std::move(group));
    }
    std::stable_sort(list.begin(), list.end(), [&before](const auto &a, const auto &b) {
        return before(a.cells.first(), b.cells.first());
    });
    m_grid->setGroups(std::move(list));
}

void StatisticsWindow::showChart(const QList<History::Day> &days)
{
    QList<ChartDay> shown;
    shown.reserve(days.size());
    for (const History::Day &day : days)
        shown.append({day.day.toString(statisticstexts::dayFormat), day.right, day.wrong});
    judgementchart::show(m_chart, shown, chartTexts());
}

void StatisticsWindow::showCharacter(const QString &picture)
{
    // The drawings before are dropped before the new ones come in.
    while (QLayoutItem *item = m_drawingsLayout->takeAt(0)) {
        const std::unique_ptr<QLayoutItem> owned(item);
        if (QWidget *widget = owned->widget())
            widget->deleteLater();
    }
    const CharacterGrid::Cell *cell = m_grid->cell(picture);
    const CharacterGrid::Cell heading = cell ? *cell : cellFor(picture, {});
    m_drawingsTitle->setText(statisticstexts::drawingsOf.arg(
        heading.label, heading.reading.isEmpty() ? picture : heading.reading));
    if (!m_solution->showPicture(QDir(m_imagesFolder).filePath(picture)))
        m_solution->clearPicture();
    const auto drawings = m_history.lastDrawings(picture, drawingsShown);
    int shown = 0;
    for (const History::Drawing &drawing : drawings.value_or(QList<History::Drawing>())) {
        std::optional<Ink> ink = decodeInk(drawing.strokes);
        if (ink && ink->isEmpty())
            continue;
        auto *column = new QWidget(m_drawings);
        auto *columnLayout = new QVBoxLayout(column);
        columnLayout->setContentsMargins(0, 0, 0, 0);
        if (ink) {
            columnLayout->addWidget(new InkView(std::move(*ink)));
        } else {
            // Damaged, or larger than any drawing the pad records: painting it could take
            // minutes.
            auto *note = new QLabel(statisticstexts::drawingNotShown);
            note->setAlignment(Qt::AlignCenter);
            note->setWordWrap(true);
            note->setFixedSize(InkView::side, InkView::side);
            columnLayout->addWidget(note);
        }
        const QString verdict = drawing.verdict == History::Verdict::Juste
                                    ? statisticstexts::verdictRight
                                    : statisticstexts::verdictWrong;
        auto *caption = new QLabel(statisticstexts::drawingCaption.arg(
            drawing.at.toLocalTime().toString(statisticstexts::drawingDateFormat), verdict));
        caption->setObjectName(QStringLiteral("legende"));
        caption->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        columnLayout->addWidget(caption);
        column->setToolTip(localText(drawing.at) + QStringLiteral(", ") + verdict);
        m_drawingsLayout->addWidget(column, 0, Qt::AlignTop);
        ++shown;
    }
    if (shown == 0) {
        auto *none = new QLabel(statisticstexts::noDrawing, m_drawings);
        m_drawingsLayout->addWidget(none);
    }
}
