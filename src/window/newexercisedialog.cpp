#include "newexercisedialog.h"

#include "exercisefile.h"
#include "helptexts.h"
#include "historytexts.h"
#include "ownexercisetexts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTextCursor>
#include <QVBoxLayout>

namespace texts = ownexercisetexts;

namespace {

// The characters without a picture listed in full; a longer list ends in an ellipsis.
constexpr qsizetype listedUnmatched = 20;

QString countText(qsizetype count)
{
    return (count > 1 ? texts::characters : texts::oneCharacter).arg(count);
}

QString unmatchedText(const QStringList &unmatched)
{
    QString list = unmatched.mid(0, listedUnmatched).join(QStringLiteral(", "));
    if (unmatched.size() > listedUnmatched)
        list += QStringLiteral(", ") + texts::andOthers.arg(unmatched.size());
    return texts::sansModele.arg(list);
}

QString failureReason(QFileDevice::FileError error)
{
    switch (error) {
    case QFileDevice::OpenError:
    case QFileDevice::PermissionsError:
        return texts::openFailed;
    case QFileDevice::WriteError:
    case QFileDevice::ResourceError:
        return texts::writeFailed;
    case QFileDevice::RenameError:
        return texts::replaceFailed;
    default:
        return texts::otherFailure;
    }
}

QLabel *wrappedLabel(const QString &text, const char *name, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

NewExerciseDialog::NewExerciseDialog(Catalogue catalogue, const QString &folder, Mistakes mistakes,
                                     QWidget *parent)
    : QDialog(parent), m_catalogue(std::move(catalogue)), m_folder(folder),
      m_mistakes(std::move(mistakes))
{
    setObjectName(QStringLiteral("nouvelexercice"));
    setWindowTitle(texts::title);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(wrappedLabel(texts::caracteres, "consigne", this));
    m_caracteres = new QPlainTextEdit(this);
    m_caracteres->setObjectName(QStringLiteral("caracteres"));
    m_caracteres->setTabChangesFocus(true);
    layout->addWidget(m_caracteres, 1);
    m_sansModele = wrappedLabel(QString(), "sansmodele", this);
    m_sansModele->setVisible(false);
    layout->addWidget(m_sansModele);

    auto *groups = new QHBoxLayout;
    auto *groupLabel = new QLabel(texts::groupe, this);
    groups->addWidget(groupLabel);
    m_groupe = new QComboBox(this);
    m_groupe->setObjectName(QStringLiteral("groupe"));
    groupLabel->setBuddy(m_groupe);
    groups->addWidget(m_groupe, 1);
    auto *ajouter = new QPushButton(texts::ajouter, this);
    ajouter->setObjectName(QStringLiteral("ajouter"));
    ajouter->setAutoDefault(false);
    groups->addWidget(ajouter);
    layout->addLayout(groups);
    m_groupeNote = wrappedLabel(QString(), "groupenote", this);
    m_groupeNote->setVisible(false);
    layout->addWidget(m_groupeNote);

    m_compte = wrappedLabel(countText(0), "compte", this);
    layout->addWidget(m_compte);
    auto *form = new QFormLayout;
    m_nom = new QLineEdit(this);
    m_nom->setObjectName(QStringLiteral("nom"));
    form->addRow(texts::nom, m_nom);
    layout->addLayout(form);
    m_raison = wrappedLabel(QString(), "raison", this);
    // Kept on its line when empty, so that the dialog does not move as the name is typed.
    m_raison->setMinimumHeight(m_raison->fontMetrics().height());
    layout->addWidget(m_raison);

    auto *buttons = new QDialogButtonBox(this);
    m_creer = buttons->addButton(texts::creer, QDialogButtonBox::AcceptRole);
    m_creer->setObjectName(QStringLiteral("creer"));
    QPushButton *annuler = buttons->addButton(texts::annuler, QDialogButtonBox::RejectRole);
    annuler->setObjectName(QStringLiteral("annuler"));
    layout->addWidget(buttons);

    addGroups();
    ajouter->setEnabled(!m_groups.isEmpty());
    connect(ajouter, &QPushButton::clicked, this, &NewExerciseDialog::addGroup);
    connect(m_caracteres, &QPlainTextEdit::textChanged, this, &NewExerciseDialog::updateSelection);
    connect(m_nom, &QLineEdit::textChanged, this, &NewExerciseDialog::updateState);
    connect(buttons, &QDialogButtonBox::accepted, this, &NewExerciseDialog::create);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    updateState();
    resize(520, 420);
}

void NewExerciseDialog::addGroups()
{
    const Catalogue &catalogue = m_catalogue;
    for (const QString &course : ownexercise::courses(catalogue)) {
        QString name = course;
        if (name.endsWith(QStringLiteral(".txt")))
            name.chop(4);
        m_groups.append({texts::courseGroup.arg(name), [&catalogue, course] {
                             return ownexercise::charactersWhere(
                                 catalogue, [&](const auto &e) { return e.course == course; });
                         }});
    }
    const auto has = [&](auto belongs) {
        return !ownexercise::charactersWhere(catalogue, belongs).isEmpty();
    };
    for (const int grade : {1, 2, 3, 4, 5, 6, 8}) {
        const auto belongs = [grade](const Catalogue::Entry &e) { return e.grade == grade; };
        if (!has(belongs))
            continue;
        const QString label = grade == 1   ? texts::firstGrade
                              : grade == 8 ? texts::laterGroup
                                           : texts::gradeGroup.arg(grade);
        m_groups.append({label, [&catalogue, belongs] {
                             return ownexercise::charactersWhere(catalogue, belongs);
                         }});
    }
    for (const int level : {4, 3, 2, 1}) {
        const auto belongs = [level](const Catalogue::Entry &e) { return e.jlpt == level; };
        if (has(belongs))
            m_groups.append({texts::jlptGroup.arg(level), [&catalogue, belongs] {
                                 return ownexercise::charactersWhere(catalogue, belongs);
                             }});
    }
    if (m_mistakes) {
        m_groups.append({texts::mistakesGroup, [this] {
                             const std::optional<QStringList> pictures = m_mistakes();
                             return pictures
                                        ? ownexercise::charactersOfPictures(m_catalogue, *pictures)
                                        : QString();
                         }});
    }
    for (const Group &group : std::as_const(m_groups))
        m_groupe->addItem(group.label);
}

void NewExerciseDialog::addGroup()
{
    const qsizetype index = m_groupe->currentIndex();
    if (index < 0 || index >= m_groups.size())
        return;
    const QString characters = m_groups.at(index).characters();
    if (characters.isEmpty()) {
        m_groupeNote->setText(texts::noMistakes);
        m_groupeNote->setVisible(true);
        return;
    }
    // Appended after what is there, on a line of its own, as the learner could have typed it.
    QTextCursor cursor = m_caracteres->textCursor();
    cursor.movePosition(QTextCursor::End);
    const QString text = m_caracteres->toPlainText();
    cursor.insertText(text.isEmpty() || text.endsWith(QLatin1Char('\n'))
                          ? characters
                          : QLatin1Char('\n') + characters);
    m_caracteres->setTextCursor(cursor);
}

void NewExerciseDialog::updateSelection()
{
    m_groupeNote->setVisible(false);
    m_selection = ownexercise::select(m_caracteres->toPlainText(), m_catalogue);
    m_compte->setText(countText(m_selection.entries.size()));
    m_sansModele->setVisible(!m_selection.unmatched.isEmpty());
    if (!m_selection.unmatched.isEmpty())
        m_sansModele->setText(unmatchedText(m_selection.unmatched));
    updateState();
}

void NewExerciseDialog::updateState()
{
    QString reason;
    if (m_selection.entries.isEmpty())
        reason = texts::noCharacter;
    else if (m_selection.entries.size() > exercise::maxRecords)
        reason = texts::tooManyCharacters.arg(exercise::maxRecords);
    else {
        switch (ownexercise::checkName(m_nom->text())) {
        case ownexercise::NameProblem::Empty:
            reason = texts::noName;
            break;
        case ownexercise::NameProblem::Slash:
            reason = texts::slashInName;
            break;
        case ownexercise::NameProblem::Dot:
            reason = texts::dotFirst;
            break;
        case ownexercise::NameProblem::TooLong:
            reason = texts::nameTooLong;
            break;
        case ownexercise::NameProblem::None:
            break;
        }
    }
    m_raison->setText(reason);
    m_creer->setEnabled(reason.isEmpty());
}

void NewExerciseDialog::create()
{
    if (!m_creer->isEnabled())
        return;
    const QString path = QDir(m_folder).filePath(ownexercise::fileNameOf(m_nom->text()));
    if (!save(path, ownexercise::fileBytes(m_selection.entries))) {
        m_nom->setFocus();
        return;
    }
    m_created = path;
    accept();
}

bool NewExerciseDialog::save(const QString &path, const QByteArray &bytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    const auto fail = [&](const QString &reason) {
        QMessageBox box(QMessageBox::Critical, helptexts::defaultTitle,
                        texts::notSaved.arg(shown, reason), QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return false;
    };
    if (!QDir().mkpath(m_folder))
        return fail(texts::folderFailed);
    const QFileInfo existing(path);
    if (existing.exists() || existing.isSymLink()) {
        QMessageBox box(QMessageBox::Question, helptexts::defaultTitle,
                        texts::replaceQuestion.arg(existing.fileName()),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setTextFormat(Qt::PlainText);
        box.button(QMessageBox::Yes)->setText(historytexts::yes);
        box.button(QMessageBox::No)->setText(historytexts::no);
        box.setDefaultButton(QMessageBox::No);
        box.exec();
        if (box.clickedButton() != box.button(QMessageBox::Yes))
            return false;
    }
    // Written beside under another name and renamed over it once whole.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(failureReason(file.error()));
    if (file.write(bytes) != bytes.size()) {
        const QFileDevice::FileError error = file.error();
        file.cancelWriting();
        return fail(failureReason(error));
    }
    if (!file.commit())
        return fail(failureReason(file.error()));
    return true;
}
