// The yardstick for the program's start-up: a plain main window holding the same controls and
// menus as the program's window, at the same places, with nothing behind them.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QRect fromTwips(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}

template <typename Control> Control *place(Control *control, QRect geometry)
{
    control->setGeometry(geometry);
    return control;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("~~Plumetto~~"));

    auto *client = new QWidget(&window);
    window.setCentralWidget(client);
    place(new QPlainTextEdit(client), fromTwips(120, 3000, 3135, 615))->setReadOnly(true);
    place(new QPushButton(QStringLiteral("Effacer"), client), fromTwips(5640, 120, 975, 375));
    place(new QPushButton(QStringLiteral("Faux"), client), fromTwips(5040, 3120, 1455, 495))
        ->setEnabled(false);
    place(new QPushButton(QStringLiteral("Juste"), client), fromTwips(3360, 3120, 1455, 495))
        ->setEnabled(false);
    auto *question = place(new QLineEdit(client), fromTwips(120, 240, 3135, 375));
    question->setReadOnly(true);
    QFont font = question->font();
    font.setPointSize(12);
    font.setBold(true);
    question->setFont(font);
    place(new QPushButton(QStringLiteral("Montrer la solution"), client),
          fromTwips(120, 720, 3135, 495))
        ->setEnabled(false);
    // The solution box and the pad: white boxes.
    for (const QRect &box : {fromTwips(120, 1320, 3135, 1575), fromTwips(3360, 120, 3255, 2775)}) {
        auto *white = place(new QWidget(client), box);
        white->setAutoFillBackground(true);
        QPalette pal = white->palette();
        pal.setColor(QPalette::Window, Qt::white);
        white->setPalette(pal);
    }
    place(new QLabel(QStringLiteral("Dessinez :"), client), fromTwips(120, 0, 2175, 255));

    QMenu *exercices = window.menuBar()->addMenu(QStringLiteral("Exercices"));
    exercices->addAction(QStringLiteral("Ouvrir"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    exercices->addAction(QStringLiteral("Aleatoire"))->setCheckable(true);
    exercices->addAction(QStringLiteral("Reset"));
    window.menuBar()->addAction(QStringLiteral("Visiter le site de Plumetto"));
    QMenu *aide = window.menuBar()->addMenu(QStringLiteral("Aide"));
    aide->addAction(QStringLiteral("A propos"));
    aide->addAction(QStringLiteral("Histoire"));
    aide->addAction(QStringLiteral("Comment faire ?"))
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    aide->addAction(QStringLiteral("Creer un cours"));

    window.resize(449, 252 + window.menuBar()->sizeHint().height());
    window.show();
    return QApplication::exec();
}
