#include "practice.h"

#include "exercisefile.h"
#include "randomsource.h"
#include "texts.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace {

QString commentText(QString comment)
{
    comment.replace(QStringLiteral("(egal)"), QStringLiteral("="));
    comment.replace(QStringLiteral("(return)"), QStringLiteral("\r\n"));
    return comment;
}

// Shows the wait cursor for as long as it lives.
class BusyWindow
{
public:
    explicit BusyWindow(WindowOps &window) : m_window(window) { m_window.setBusy(true); }
    ~BusyWindow() { m_window.setBusy(false); }
    BusyWindow(const BusyWindow &) = delete;
    BusyWindow &operator=(const BusyWindow &) = delete;

private:
    WindowOps &m_window;
};

} // namespace

Practice::Practice(WindowOps &window, RandomSource &random) : m_window(window), m_random(random) {}

void Practice::setObserver(PracticeObserver *observer)
{
    m_observer = observer != nullptr ? observer : &m_noObserver;
}

std::optional<PracticeRecord> Practice::currentRecord() const
{
    if (!m_progress.active || m_numero < 0 || m_numero >= upperBound())
        return std::nullopt;
    const QStringList parts = exercise::fields(m_lignes.at(m_numero));
    if (parts.size() < 3)
        return std::nullopt;
    return PracticeRecord{m_numero, parts.at(0), parts.at(1), parts.at(2)};
}

void Practice::setJudgementEnabled(bool enabled)
{
    m_window.setEnabled(Button::BouttonJuste, enabled);
    m_window.setEnabled(Button::BouttonFaux, enabled);
}

void Practice::startRun()
{
    m_progress = Progress{};
    m_progress.active = true;
    m_progress.inPlay = std::max(upperBound(), 0);
    m_posed.reset();
    m_waiting.reset();
    m_wrongOnce.reset();
    m_observer->started();
}

void Practice::charger()
{
    m_window.setDialogFilter(texts::dialogFilter);
    resetFound();
}

void Practice::resetFound()
{
    m_trouves = {marker};
    m_found.reset();
    m_found.set(marker);
}

bool Practice::isFound(std::int16_t index) const
{
    return index >= 0 && m_found.test(static_cast<std::size_t>(index));
}

QStringList Practice::currentFields() const
{
    if (m_numero < 0 || m_numero >= m_lignes.size())
        throw ExerciseError("no record at this index");
    return exercise::fields(m_lignes.at(m_numero));
}

void Practice::showLoadError()
{
    m_window.showMessage(texts::loadError, MessageIcon::Error, texts::loadErrorTitle);
}

void Practice::showBlankPicture(BlankFailure onFailure)
{
    const QString path = m_window.programFolder() + texts::blankPicture;
    if (m_window.showPicture(path))
        return;
    if (onFailure == BlankFailure::Throw)
        throw ExerciseError("the blank picture cannot be shown");
    m_window.showMessage(texts::notFoundPrefix + path + QLatin1Char('.'), MessageIcon::Error,
                         texts::notFoundTitle);
}

void Practice::suivant()
{
    if (m_numero == std::numeric_limits<std::int16_t>::max())
        throw ExerciseError("record index overflow");
    ++m_numero;
    if (m_numero == upperBound())
        m_numero = 0;
}

bool Practice::poserquestion()
{
    setJudgementEnabled(false);
    try {
        // The marker and every found index are skipped; the bitset answers for trouves.
        while (isFound(m_numero))
            suivant();

        const QStringList parts = currentFields();
        if (parts.isEmpty())
            throw ExerciseError("empty record");
        m_window.setText(TextBox::Question, parts.at(0));
        m_window.setText(TextBox::Commentaires, QString());
        if (parts.size() < 3)
            throw ExerciseError("record without a comment field");
        if (!parts.at(2).isEmpty())
            m_window.setText(TextBox::Commentaires, commentText(parts.at(2)));
        if (m_progress.active && m_numero >= 0) {
            const auto bit = static_cast<std::size_t>(m_numero);
            if (m_posed.test(bit))
                m_progress.secondPass = true;
            m_posed.set(bit);
            m_observer->posed({m_numero, parts.at(0), parts.at(1), parts.at(2)});
        }
    } catch (const ExerciseError &) {
        showLoadError();
        return false;
    } catch (const std::bad_alloc &) {
        // A record too big to cut in the memory left after reading it.
        showLoadError();
        return false;
    }
    return true;
}

void Practice::reinitialiser(BlankFailure onFailure)
{
    m_numero = 0;
    resetFound();
    m_window.setText(TextBox::Question, QString());
    // With the question gone nothing is left to judge, whatever was shown before.
    setJudgementEnabled(false);
    m_window.setEnabled(Button::Command1, false);
    m_window.clearPad();
    showBlankPicture(onFailure);
    m_window.setCaption(texts::captionBase);
    m_window.setText(TextBox::Commentaires, QString());
    m_progress = Progress{};
    m_mistakes.clear();
    m_observer->cleared();
}

void Practice::reset()
{
    reinitialiser(BlankFailure::Report);
    m_window.setEnabled(Button::Command1, true);
    startRun();
    poserquestion();
}

bool Practice::ouvrir()
{
    m_fileName.clear();
    const QString chosen = m_window.showOpenDialog();
    if (chosen.isEmpty())
        return false;
    return ouvrirFichier(chosen);
}

bool Practice::ouvrirFichier(const QString &path)
{
    m_fileName = path;
    m_review = false;
    m_fileSha256.clear();
    if (!m_window.isOrdinaryFile(m_fileName)) {
        m_window.showMessage(texts::notFoundPrefix + m_fileName + QLatin1Char('.'),
                             MessageIcon::Error, texts::notFoundTitle);
        return false;
    }

    try {
        reinitialiser(BlankFailure::Throw);
        exercise::Records pieces;
        QByteArray sha256;
        {
            const BusyWindow busy(m_window);
            pieces = exercise::Records(
                exercise::readText(m_fileName, m_fingerprinting ? &sha256 : nullptr));
        }
        if (pieces.size() - 1 > exercise::maxRecords)
            throw ExerciseError("too many records");
        m_lignes = std::move(pieces);
        m_fileSha256 = sha256;
        if (m_window.randomOrderChecked())
            melanger();
        m_window.setEnabled(Button::Command1, true);
        m_window.setCaption(texts::captionBase + m_fileName);
        showBlankPicture(BlankFailure::Throw);
    } catch (const ExerciseError &) {
        showLoadError();
        return false;
    } catch (const std::bad_alloc &) {
        showLoadError();
        return false;
    }
    startRun();
    return poserquestion();
}

bool Practice::refaireErreurs()
{
    // The review's opening clears the mistakes: it plays a copy.
    const QStringList records = m_mistakes;
    if (!startReview(records))
        return false;
    // Every run without a file starts named a review; this one is named after what it plays.
    m_window.setCaption(texts::captionBase + texts::mistakesName);
    return true;
}

void Practice::melanger()
{
    const int n = upperBound();
    if (n < 0)
        throw ExerciseError("nothing to reorder");
    // Each pass draws one of the u records still waiting, uniformly, as the element-by-element
    // removal would; the drawn record is swapped out of the waiting range instead of shifted
    // out, which keeps every order equally likely at a linear cost.
    for (int i = 0; i < n; ++i) {
        m_random.reseed();
        const int u = n - i;
        const int r = i + static_cast<int>(std::floor(m_random.draw() * u));
        m_lignes.swapItemsAt(i, std::min(r, n - 1));
    }
    // The text after the last "*" gives way to one empty element.
    m_lignes.clearAt(n);
}

void Practice::aleatoire()
{
    if (!m_fileName.isEmpty())
        m_window.showMessage(texts::randomNotice, MessageIcon::Information,
                             texts::randomNoticeTitle);
    m_window.setRandomOrderChecked(!m_window.randomOrderChecked());
}

void Practice::montrerSolution()
{
    const auto fail = [this] {
        showLoadError();
        reinitialiser(BlankFailure::Report);
    };
    try {
        const QStringList parts = currentFields();
        if (parts.size() < 2)
            throw ExerciseError("record without a picture field");
        const QString &name = parts.at(1);
        const QString path = exercise::picturePath(m_window.programFolder(), name);
        if (path.isEmpty() || !m_window.isOrdinaryFile(path)) {
            m_window.showMessage(texts::notFoundPrefix + name + texts::pictureNotFoundSuffix,
                                 MessageIcon::Error, texts::notFoundTitle);
            return;
        }
        if (!m_window.showPicture(path))
            throw ExerciseError("the solution picture cannot be read");
        setJudgementEnabled(true);
        if (m_progress.active && parts.size() >= 3)
            m_observer->shown({m_numero, parts.at(0), name, parts.at(2)}, path);
    } catch (const ExerciseError &) {
        fail();
    } catch (const std::bad_alloc &) {
        fail();
    }
}

void Practice::juste()
{
    const std::optional<PracticeRecord> record = currentRecord();
    m_trouves.append(m_numero);
    if (m_numero >= 0) {
        const auto bit = static_cast<std::size_t>(m_numero);
        m_found.set(bit);
        m_waiting.reset(bit);
    }
    m_progress.right = static_cast<int>(m_trouves.size()) - 1;
    m_progress.waiting = static_cast<int>(m_waiting.count());
    if (record)
        m_observer->judged(*record, true);
    if (m_trouves.size() - 1 == upperBound()) {
        const Progress summary = m_progress;
        m_window.showMessage(texts::exerciseDone, MessageIcon::None, QString());
        reinitialiser(BlankFailure::Report);
        for (int i = 0; i < upperBound(); ++i) {
            if (m_wrongOnce.test(static_cast<std::size_t>(i)))
                m_mistakes.append(m_lignes.at(i));
        }
        m_progress = summary;
        m_progress.active = false;
        m_progress.finished = true;
        m_observer->ended();
        return;
    }
    m_window.clearPad();
    showBlankPicture(BlankFailure::Report);
    nextQuestion();
}

void Practice::faux()
{
    if (const std::optional<PracticeRecord> record = currentRecord()) {
        const auto bit = static_cast<std::size_t>(record->index);
        m_waiting.set(bit);
        m_wrongOnce.set(bit);
        m_progress.waiting = static_cast<int>(m_waiting.count());
        m_progress.wrongOnce = static_cast<int>(m_wrongOnce.count());
        m_observer->judged(*record, false);
    }
    showBlankPicture(BlankFailure::Report);
    m_window.clearPad();
    nextQuestion();
}

void Practice::nextQuestion()
{
    try {
        suivant();
    } catch (const ExerciseError &) {
        // Only reachable far beyond the record limit; the posing reports the dead end.
    }
    poserquestion();
}
