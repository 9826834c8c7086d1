#pragma once

#include "catalogue.h"
#include "ownexercise.h"

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The dialog "nouvelexercice" that makes an exercise of the characters the learner chooses: a
// text pasted or typed, or groups of shipped characters added to it, and a name. "Créer" writes
// the file into the learner's folder, asking before it replaces one.
class NewExerciseDialog : public QDialog
{
    Q_OBJECT

public:
    // The pictures judged "Faux" lately; nothing when the history cannot tell.
    using Mistakes = std::function<std::optional<QStringList>()>;

    // `folder` is where the exercise is written; it is made when needed.
    NewExerciseDialog(Catalogue catalogue, const QString &folder, Mistakes mistakes,
                      QWidget *parent = nullptr);

    // The file written, once the dialog has been accepted.
    const QString &createdPath() const { return m_created; }

private:
    struct Group
    {
        QString label;
        std::function<QString()> characters;
    };

    void addGroups();
    void addGroup();
    void updateSelection();
    void updateState();
    void create();
    // Writes the file, replacing one only if the learner agrees; false, saying why, when it
    // is not written.
    bool save(const QString &path, const QByteArray &bytes);

    Catalogue m_catalogue;
    QString m_folder;
    Mistakes m_mistakes;
    QList<Group> m_groups;
    ownexercise::Selection m_selection;
    QString m_created;

    QPlainTextEdit *m_caracteres = nullptr;
    QLabel *m_sansModele = nullptr;
    QComboBox *m_groupe = nullptr;
    QLabel *m_groupeNote = nullptr;
    QLabel *m_compte = nullptr;
    QLineEdit *m_nom = nullptr;
    QLabel *m_raison = nullptr;
    QPushButton *m_creer = nullptr;
};
