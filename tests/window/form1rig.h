// The main window on a program folder of its own, and the texts and checks its tests share.
#pragma once

#include "drawingpad.h"
#include "form1.h"
#include "helptexts.h"
#include "modalanswerer.h"
#include "picturebox.h"
#include "randomsource.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The program's texts as the learner must read them, written out here so that a slip in the
// program's own constants shows.
inline const QString caption = QStringLiteral("~~Plumetto~~");
inline const QString loadError = QStringLiteral("Une erreur est survenue lors du chargement de "
                                                "l'exercice. Est ce un fichier plumetto correct ?");
inline const QString loadErrorBox =
    messageBox(QMessageBox::Critical, QStringLiteral("Erreur !"), loadError);
inline const QString doneBox = messageBox(QMessageBox::NoIcon, QStringLiteral("Plumetto"),
                                          QStringLiteral("Exercice terminé."));
inline const QString dialogSeen = QStringLiteral("QFileDialog CDC");

inline QString notFoundBox(const QString &text)
{
    return messageBox(QMessageBox::Critical, QStringLiteral("Fichier introuvable."), text);
}

inline QString pictureNotFoundBox(const QString &name)
{
    return notFoundBox(QStringLiteral("Impossible de trouver ") + name +
                       QStringLiteral(". Ce fichier doit être placé dans le repertoire image "
                                      "de Plumetto."));
}

inline const QSize blankSize(209, 105);
inline const QSize aSize(40, 30);
inline const QSize iSize(60, 20);

// A program folder of its own: images/ with the blank picture and two solutions, exercices/
// for the exercise files.
class Program
{
public:
    Program()
    {
        QDir(folder()).mkpath(QStringLiteral("images/sub"));
        QDir(folder()).mkpath(QStringLiteral("exercices"));
        writePicture(QStringLiteral("images/vide.jpg"), blankSize, Qt::white);
        writePicture(QStringLiteral("images/a.jpg"), aSize, Qt::red);
        writePicture(QStringLiteral("images/sub/i.jpg"), iSize, Qt::blue);
        writeFile(QStringLiteral("images/texte.jpg"), "pas une image");
        writePicture(QStringLiteral("dehors.jpg"), aSize, Qt::green);
    }

    QString folder() const { return m_dir.path(); }
    QString path(const QString &relative) const { return m_dir.filePath(relative); }

    void writePicture(const QString &relative, QSize size, const QColor &colour) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        QVERIFY(image.save(path(relative), "JPG"));
    }

    void writeFile(const QString &relative, const QByteArray &bytes) const
    {
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    QString exercise(const QByteArray &bytes) const
    {
        const QString name = QStringLiteral("exercices/cours%1.txt").arg(++m_exercises);
        writeFile(name, bytes);
        return path(name);
    }

private:
    QTemporaryDir m_dir;
    mutable int m_exercises = 0;
};

// The real window and its controls, found by name.
struct Window
{
    explicit Window(const Program &program) : form(random, program.folder()) {}

    template <class T> T *find(const char *name) const
    {
        return form.findChild<T *>(QLatin1String(name));
    }

    bool showActive()
    {
        form.show();
        return QTest::qWaitForWindowActive(&form);
    }

    // Chooses the file in the open dialog; the dialog is the only box expected.
    void open(ModalAnswerer &answerer, const QString &path)
    {
        answerer.chooseFile(path);
        ouvrir->trigger();
    }

    SystemRandom random{20240607};
    Form1 form;
    QPushButton *command1 = find<QPushButton>("Command1");
    QPushButton *juste = find<QPushButton>("bouttonjuste");
    QPushButton *faux = find<QPushButton>("bouttonfaux");
    QPushButton *effacer = find<QPushButton>("Effacer");
    QLineEdit *question = find<QLineEdit>("question");
    QPlainTextEdit *commentaires = find<QPlainTextEdit>("commentaires");
    PictureBox *imagesoluce = find<PictureBox>("imagesoluce");
    DrawingPad *pad = find<DrawingPad>("Picture1");
    QAction *ouvrir = find<QAction>("Ouvrir");
    QAction *aleatoire = find<QAction>("Aleatoire");
    QAction *reset = find<QAction>("Reset");
};

inline bool allWhite(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            if (rgb.pixel(x, y) != qRgb(255, 255, 255))
                return false;
    return !rgb.isNull();
}

// A stroke dragged with the mouse across the pad.
inline void draw(DrawingPad *pad)
{
    QTest::mousePress(pad, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseMove(pad, QPoint(60, 50));
    QTest::mouseMove(pad, QPoint(90, 80));
    QTest::mouseRelease(pad, Qt::LeftButton, {}, QPoint(90, 80));
}

inline QRect inTwips(const QWidget *widget)
{
    const QRect r = widget->geometry();
    return {r.x() * 15, r.y() * 15, r.width() * 15, r.height() * 15};
}

inline QString shownText(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QPushButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *line = qobject_cast<const QLineEdit *>(widget))
        return line->text();
    if (auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    return {};
}
