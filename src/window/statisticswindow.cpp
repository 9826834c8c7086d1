#include "statisticswindow.h"

#include "judgementchart.h"

#include "inkcodec.h"
#include "inkpainter.h"
#include "picturebox.h"
#include "statisticstexts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QImageReader>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSet>
#include <QSplitter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <memory>

namespace {

ChartTexts chartTexts()
{
    return {statisticstexts::chartTitle, statisticstexts::rightSeries,
            statisticstexts::wrongSeries};
}

} // namespace

namespace {

constexpr int cellSize = 44;
constexpr int cellGap = 4;
constexpr int headingHeight = 24;
constexpr int drawingSize = 120;

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

// ---- The grid ---------------------------------------------------------------------------------

CharacterGrid::CharacterGrid(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("grille"));
    setMouseTracking(false);
}

void CharacterGrid::setGroups(QList<Group> groups)
{
    m_groups = std::move(groups);
    placeCells();
    update();
}

void CharacterGrid::placeCells()
{
    m_cellRects.clear();
    m_headings.clear();
    const int perRow = std::max(1, (width() - cellGap) / (cellSize + cellGap));
    int y = 0;
    for (const Group &group : m_groups) {
        m_headings.append(QRect(cellGap, y, std::max(width() - 2 * cellGap, 1), headingHeight));
        y += headingHeight;
        QList<QRect> rects;
        rects.reserve(group.cells.size());
        for (qsizetype i = 0; i < group.cells.size(); ++i)
            rects.append(QRect(cellGap + int(i % perRow) * (cellSize + cellGap),
                               y + int(i / perRow) * (cellSize + cellGap), cellSize, cellSize));
        const int rows = int((group.cells.size() + perRow - 1) / perRow);
        y += rows * (cellSize + cellGap) + cellGap;
        m_cellRects.append(std::move(rects));
    }
    // The scroll area gives the grid its width; its height follows from that.
    if (minimumHeight() != y)
        setMinimumHeight(y);
}

QRect CharacterGrid::cellRect(const QString &picture) const
{
    for (qsizetype g = 0; g < m_groups.size(); ++g)
        for (qsizetype i = 0; i < m_groups[g].cells.size(); ++i)
            if (m_groups[g].cells[i].picture == picture)
                return m_cellRects[g][i];
    return {};
}

const CharacterGrid::Cell *CharacterGrid::cellAt(QPoint point) const
{
    for (qsizetype g = 0; g < m_groups.size(); ++g)
        for (qsizetype i = 0; i < m_groups[g].cells.size(); ++i)
            if (m_cellRects[g][i].contains(point))
                return &m_groups[g].cells[i];
    return nullptr;
}

bool CharacterGrid::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const Cell *cell = cellAt(help->pos()))
            QToolTip::showText(help->globalPos(), cell->tip, this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void CharacterGrid::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont headingFont = font();
    headingFont.setBold(true);
    for (qsizetype g = 0; g < m_groups.size(); ++g) {
        painter.setFont(headingFont);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(m_headings[g], Qt::AlignLeft | Qt::AlignVCenter, m_groups[g].folder);
        painter.setFont(font());
        for (qsizetype i = 0; i < m_groups[g].cells.size(); ++i) {
            const Cell &cell = m_groups[g].cells[i];
            const QRect &r = m_cellRects[g][i];
            painter.setPen(cell.colour.darker(130));
            painter.setBrush(cell.colour);
            painter.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
            painter.setPen(Qt::black);
            painter.drawText(
                r.adjusted(2, 2, -2, -2), Qt::AlignCenter,
                painter.fontMetrics().elidedText(cell.label, Qt::ElideRight, r.width() - 4));
        }
    }
}

void CharacterGrid::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        if (const Cell *cell = cellAt(event->position().toPoint()))
            emit clicked(cell->picture);
    QWidget::mousePressEvent(event);
}

void CharacterGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeCells();
}

// ---- A drawing --------------------------------------------------------------------------------

InkView::InkView(Ink ink, QWidget *parent) : QWidget(parent), m_ink(std::move(ink))
{
    setFixedSize(drawingSize, drawingSize);
}

void InkView::paintEvent(QPaintEvent *)
{
    // A drawing may hold a quarter of a million points: it is painted once, and a repaint of
    // the window only copies it.
    const qreal ratio = devicePixelRatioF();
    if (m_pixels.isNull() || m_pixels.devicePixelRatio() != ratio) {
        m_pixels = QImage(size() * ratio, QImage::Format_RGB32);
        m_pixels.setDevicePixelRatio(ratio);
        QPainter painter(&m_pixels);
        paintDrawing(painter);
    }
    QPainter(this).drawImage(QPointF(0, 0), m_pixels);
}

void InkView::paintDrawing(QPainter &painter) const
{
    painter.fillRect(rect(), Qt::white);
    painter.setPen(QColor(180, 180, 180));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    QRectF bounds;
    qreal widest = 1;
    for (const InkStroke &stroke : m_ink) {
        widest = std::max(widest, stroke.width);
        for (const InkPoint &p : stroke.points)
            bounds = bounds.isNull() ? QRectF(p.pos, QSizeF(0.01, 0.01))
                                     : bounds.united(QRectF(p.pos, QSizeF(0.01, 0.01)));
    }
    if (bounds.isNull())
        return;
    bounds.adjust(-widest, -widest, widest, widest);
    const qreal margin = 6;
    const qreal scale = std::min((width() - 2 * margin) / bounds.width(),
                                 (height() - 2 * margin) / bounds.height());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(QPointF(width() / 2.0, height() / 2.0) - bounds.center() * scale);
    paintInk(painter, m_ink, scale);
}

// ---- The window -------------------------------------------------------------------------------

StatisticsWindow::StatisticsWindow(History &history, const QString &imagesFolder, QWidget *parent,
                                   const QDateTime &now)
    : QWidget(parent, Qt::Window), m_history(history), m_imagesFolder(imagesFolder)
{
    setObjectName(QStringLiteral("statistiques"));
    setWindowTitle(statisticstexts::statisticsTitle);
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_totals = new QLabel(this);
    m_totals->setObjectName(QStringLiteral("totaux"));

    m_grid = new CharacterGrid;
    auto *scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("defilementgrille"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_grid);

    m_chart = judgementchart::make(chartTexts());
    if (!m_chart) {
        // Without its module the window shows all the rest.
        m_chart = new QLabel(statisticstexts::noChart);
        m_chart->setObjectName(QStringLiteral("graphique"));
    }

    m_drawingsTitle = new QLabel(statisticstexts::clickHint);
    m_drawingsTitle->setObjectName(QStringLiteral("titredessins"));
    m_solution = new PictureBox;
    m_solution->setObjectName(QStringLiteral("solution"));
    m_solution->setFixedSize(drawingSize, drawingSize);
    m_drawings = new QWidget;
    m_drawings->setObjectName(QStringLiteral("dessins"));
    m_drawingsLayout = new QHBoxLayout(m_drawings);
    m_drawingsLayout->setContentsMargins(0, 0, 0, 0);
    auto *drawingRow = new QHBoxLayout;
    drawingRow->addWidget(m_solution);
    drawingRow->addWidget(m_drawings);
    drawingRow->addStretch();

    auto *bottom = new QWidget;
    auto *bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->addWidget(m_chart, 1);
    bottomLayout->addWidget(m_drawingsTitle);
    bottomLayout->addLayout(drawingRow);

    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(scroll);
    splitter->addWidget(bottom);
    splitter->setStretchFactor(0, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_totals);
    layout->addWidget(splitter, 1);
    resize(860, 820);

    connect(m_grid, &CharacterGrid::clicked, this, &StatisticsWindow::showCharacter);
    refresh(now);
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
    showGrid(*characters, now);
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

namespace {

// What a cell shows: the character itself where the picture is named by its code point (the
// kanji courses' pictures), else the sound, else the picture's name.
QString cellLabel(const QString &picture, const QString &sound)
{
    const QString name = QFileInfo(picture).completeBaseName();
    static const QRegularExpression codePoint(QStringLiteral("^[0-9a-f]{4,5}$"));
    if (codePoint.match(name).hasMatch()) {
        const char32_t unicode = name.toUInt(nullptr, 16);
        if (QChar::isPrint(unicode))
            return QString::fromUcs4(&unicode, 1);
    }
    return sound.isEmpty() ? name : sound;
}

} // namespace

void StatisticsWindow::showGrid(const QList<History::Character> &characters, const QDateTime &now)
{
    Q_UNUSED(now);
    std::map<QString, CharacterGrid::Group> groups;
    QSet<QString> seen;
    for (const History::Character &c : characters) {
        seen.insert(c.picture);
        const QString tip = statisticstexts::cellTip.arg(
            c.sound, c.picture, QString::number(c.judgements), localText(c.lastJudgement),
            c.lastVerdict == History::Verdict::Juste ? statisticstexts::verdictRight
                                                     : statisticstexts::verdictWrong,
            localText(c.due));
        CharacterGrid::Group &group = groups[c.folder];
        group.folder = c.folder.isEmpty() ? statisticstexts::otherFolder : c.folder;
        group.cells.append(
            {c.picture, cellLabel(c.picture, c.sound), colourOf(c.retrievability), tip});
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
            group.cells.append({picture, cellLabel(picture, {}), neverSeenColour,
                                picture + QLatin1Char('\n') + statisticstexts::neverSeen});
        }
    }
    QList<CharacterGrid::Group> list;
    for (auto &[folder, group] : groups)
        list.append(std::move(group));
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
    m_drawingsTitle->setText(statisticstexts::drawingsOf.arg(picture));
    if (!m_solution->showPicture(QDir(m_imagesFolder).filePath(picture)))
        m_solution->clearPicture();
    const auto drawings = m_history.lastDrawings(picture, drawingsShown);
    int shown = 0;
    if (drawings) {
        for (const History::Drawing &drawing : *drawings) {
            std::optional<Ink> ink = decodeInk(drawing.strokes);
            if (ink && ink->isEmpty())
                continue;
            QWidget *view = nullptr;
            if (ink) {
                view = new InkView(std::move(*ink), m_drawings);
            } else {
                // Damaged, or larger than any drawing the pad records: painting it could take
                // minutes.
                auto *note = new QLabel(statisticstexts::drawingNotShown, m_drawings);
                note->setAlignment(Qt::AlignCenter);
                note->setWordWrap(true);
                note->setFixedSize(drawingSize, drawingSize);
                view = note;
            }
            view->setToolTip(localText(drawing.at) + QStringLiteral(", ") +
                             (drawing.verdict == History::Verdict::Juste
                                  ? statisticstexts::verdictRight
                                  : statisticstexts::verdictWrong));
            m_drawingsLayout->addWidget(view);
            ++shown;
        }
    }
    if (shown == 0) {
        auto *none = new QLabel(statisticstexts::noDrawing, m_drawings);
        m_drawingsLayout->addWidget(none);
    }
}
