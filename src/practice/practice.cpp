#include "practice.h"

#include "exercisefile.h"
#include "randomsource.h"
#include "texts.h"

#include <QDir>

#include <cmath>
#include <limits>
#include <new>
#include <utility>

namespace {

// The solution picture named by a record, below the images folder. A "\" is a folder
// separator. Returns an empty text when the name leads outside the images folder, an absolute
// name included.
QString picturePath(const QString &programFolder, const QString &name)
{
    const QString images = QDir::cleanPath(programFolder + texts::imagesFolder) + QLatin1Char('/');
    QString relative = name;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // Only a leading "/" makes a name absolute: QDir would take a leading ":" for a resource.
    if (relative.startsWith(QLatin1Char('/')))
        return {};
    const QString path = QDir::cleanPath(images + relative);
    if (!path.startsWith(images))
        return {};
    return path;
}

QString commentText(QString comment)
{
    comment.replace(QStringLiteral("(egal)"), QStringLiteral("="));
    comment.replace(QStringLiteral("(return)"), QStringLiteral("\r\n"));
    return comment;
}

} // namespace

Practice::Practice(WindowOps &window, RandomSource &random) : m_window(window), m_random(random) {}

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

void Practice::poserquestion()
{
    m_window.setEnabled(Button::BouttonJuste, false);
    m_window.setEnabled(Button::BouttonFaux, false);
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
    } catch (const ExerciseError &) {
        showLoadError();
    } catch (const std::bad_alloc &) {
        // A record too big to cut in the memory left after reading it.
        showLoadError();
    }
}

void Practice::reinitialiser(BlankFailure onFailure)
{
    m_numero = 0;
    resetFound();
    m_window.setText(TextBox::Question, QString());
    m_window.setEnabled(Button::Command1, false);
    m_window.clearPad();
    showBlankPicture(onFailure);
    m_window.setCaption(texts::captionBase);
    m_window.setText(TextBox::Commentaires, QString());
}

void Practice::reset()
{
    reinitialiser(BlankFailure::Report);
    m_window.setEnabled(Button::Command1, true);
    poserquestion();
}

void Practice::ouvrir()
{
    m_fileName.clear();
    m_fileName = m_window.showOpenDialog();
    if (m_fileName.isEmpty())
        return;
    if (!m_window.isOrdinaryFile(m_fileName)) {
        m_window.showMessage(texts::notFoundPrefix + m_fileName + QLatin1Char('.'),
                             MessageIcon::Error, texts::notFoundTitle);
        return;
    }

    try {
        reinitialiser(BlankFailure::Throw);
        QStringList pieces = exercise::cutRecords(exercise::readText(m_fileName));
        if (pieces.size() - 1 > exercise::maxRecords)
            throw ExerciseError("too many records");
        m_lignes = std::move(pieces);
        if (m_window.randomOrderChecked())
            melanger();
        m_window.setEnabled(Button::Command1, true);
        m_window.setCaption(texts::captionBase + m_fileName);
        showBlankPicture(BlankFailure::Throw);
    } catch (const ExerciseError &) {
        showLoadError();
        return;
    } catch (const std::bad_alloc &) {
        showLoadError();
        return;
    }
    poserquestion();
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
    m_lignes[n] = QString();
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
        // A solution shown earlier may have enabled the judgement; no question is posed now.
        m_window.setEnabled(Button::BouttonJuste, false);
        m_window.setEnabled(Button::BouttonFaux, false);
    };
    try {
        const QStringList parts = currentFields();
        if (parts.size() < 2)
            throw ExerciseError("record without a picture field");
        const QString &name = parts.at(1);
        const QString path = picturePath(m_window.programFolder(), name);
        if (path.isEmpty() || !m_window.isOrdinaryFile(path)) {
            m_window.showMessage(texts::notFoundPrefix + name + texts::pictureNotFoundSuffix,
                                 MessageIcon::Error, texts::notFoundTitle);
            return;
        }
        if (!m_window.showPicture(path))
            throw ExerciseError("the solution picture cannot be read");
        m_window.setEnabled(Button::BouttonJuste, true);
        m_window.setEnabled(Button::BouttonFaux, true);
    } catch (const ExerciseError &) {
        fail();
    } catch (const std::bad_alloc &) {
        fail();
    }
}

void Practice::juste()
{
    m_trouves.append(m_numero);
    if (m_numero >= 0)
        m_found.set(static_cast<std::size_t>(m_numero));
    if (m_trouves.size() - 1 == upperBound()) {
        m_window.showMessage(texts::exerciseDone, MessageIcon::None, QString());
        reinitialiser(BlankFailure::Report);
        // No judgement is possible once no question is posed.
        m_window.setEnabled(Button::BouttonJuste, false);
        m_window.setEnabled(Button::BouttonFaux, false);
        return;
    }
    m_window.clearPad();
    showBlankPicture(BlankFailure::Report);
    nextQuestion();
}

void Practice::faux()
{
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
