#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QProgressDialog>
#include <QTimer>

#include <functional>

// A modal box or dialog as the user saw it.
struct SeenModal
{
    QString className;
    QString objectName;
    QString title;
    QString text; // message boxes only
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat textFormat = Qt::AutoText;

    // One line that tests compare: "Critical | title | text" for a message box, the class and
    // object name for anything else.
    QString describe() const
    {
        if (className != QLatin1String("QMessageBox"))
            return className + QLatin1Char(' ') + objectName;
        static const char *const looks[] = {"NoIcon", "Information", "Warning", "Critical",
                                            "Question"};
        return QLatin1String(looks[icon]) + QStringLiteral(" | ") + title + QStringLiteral(" | ") +
               text;
    }
};

inline QString messageBox(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    return SeenModal{QStringLiteral("QMessageBox"), {}, title, text, icon, {}}.describe();
}

// Answers the modal boxes that a command opens while it runs, in the order in which the answers
// were queued. It polls QApplication::activeModalWidget() from a timer, which keeps firing in the
// box's own event loop. A box for which no answer is queued is still recorded and closed, so
// that a test fails on its comparison instead of hanging. A progress dialog, which shows or not
// as the work lasts, is left alone unless cancelProgress() is next.
class ModalAnswerer : public QObject
{
public:
    // Runs while the box is on screen, before it is answered.
    using Probe = std::function<void(QWidget *modal)>;

    ModalAnswerer()
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
        m_timer.start();
    }

    // Presses OK (message boxes) or cancels (anything else).
    void pressOk(Probe probe = {}) { m_answers.append({Kind::Ok, {}, std::move(probe)}); }
    // Picks a file in the open dialog and confirms it.
    void chooseFile(const QString &path) { m_answers.append({Kind::ChooseFile, path, {}}); }
    void cancel(Probe probe = {}) { m_answers.append({Kind::Cancel, {}, std::move(probe)}); }
    // Cancels the progress dialog next shown.
    void cancelProgress(Probe probe = {})
    {
        m_answers.append({Kind::CancelProgress, {}, std::move(probe)});
    }
    // Presses a message box's button `which` ("Oui", "Non").
    void press(QMessageBox::StandardButton which)
    {
        m_answers.append({Kind::Press, {}, {}, which});
    }
    // Leaves the answer to the probe; one that opens another box must do so once it has
    // returned (QTimer::singleShot), so that this box is answered too.
    void answerWith(Probe probe) { m_answers.append({Kind::ByProbe, {}, std::move(probe)}); }

    qsizetype unanswered() const { return m_answers.size(); }
    const QList<SeenModal> &seen() const { return m_seen; }

    // What was seen since the last call, one describe() line per box.
    QStringList takeSeen()
    {
        QStringList lines;
        for (const SeenModal &modal : std::as_const(m_seen))
            lines.append(modal.describe());
        m_seen.clear();
        return lines;
    }

private:
    enum class Kind { Ok, ChooseFile, Cancel, CancelProgress, Press, ByProbe };
    struct Answer
    {
        Kind kind;
        QString path;
        Probe probe;
        QMessageBox::StandardButton button = QMessageBox::NoButton;
    };

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (qobject_cast<QProgressDialog *>(modal) &&
            (m_answers.isEmpty() || m_answers.first().kind != Kind::CancelProgress))
            return;
        // Answer the box once it has the keyboard, as the user would; the platform may be slow
        // to activate it, or never do so.
        if (!modal->isActiveWindow() && ++m_waits < 40)
            return;
        m_waits = 0;
        auto *dialog = qobject_cast<QDialog *>(modal);
        auto *box = qobject_cast<QMessageBox *>(modal);
        SeenModal seen{QString::fromLatin1(modal->metaObject()->className()),
                       modal->objectName(),
                       modal->windowTitle(),
                       {},
                       QMessageBox::NoIcon,
                       {}};
        if (box) {
            seen.text = box->text();
            seen.icon = box->icon();
            seen.textFormat = box->textFormat();
        }
        m_seen.append(seen);

        const Answer answer =
            m_answers.isEmpty() ? Answer{Kind::Cancel, {}, {}} : m_answers.takeFirst();
        if (answer.probe)
            answer.probe(modal);
        auto *files = qobject_cast<QFileDialog *>(modal);
        if (answer.kind == Kind::ByProbe) {
            return;
        } else if (answer.kind == Kind::Press && box && box->button(answer.button)) {
            box->button(answer.button)->click();
        } else if (answer.kind == Kind::ChooseFile && files) {
            // Typed into the name field, as a user would: selectFile() leaves the field alone
            // once it has the focus.
            if (auto *name = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                name->setText(answer.path);
            else
                files->selectFile(answer.path);
            static_cast<QDialog *>(files)->accept(); // QFileDialog hides it
        } else if (answer.kind == Kind::Ok && box && box->button(QMessageBox::Ok)) {
            box->button(QMessageBox::Ok)->click();
        } else if (dialog) {
            dialog->reject();
        } else {
            modal->close();
        }
    }

    QTimer m_timer;
    int m_waits = 0;
    QList<Answer> m_answers;
    QList<SeenModal> m_seen;
};
