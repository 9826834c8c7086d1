// Feeds arbitrary bytes to the exercise reading as a file on disk, opens it through the real
// opening command on the recording window, plays the whole cycle (solutions, Juste, Faux, Reset,
// random order with a fixed seed) and checks the practice's invariants after every step. A
// broken invariant aborts with a description, so libFuzzer keeps the input.

#include "exerciseharness.h"

namespace {

class Run
{
public:
    Run(const QString &folder, const QString &path, const std::uint8_t *data, std::size_t size)
        : fake(folder), window(fake), random(0x5eed), practice(window, random), path(path),
          script(data, size)
    {
        practice.charger();
        playLog = &window.calls;
    }

    void play(const QStringList &expected)
    {
        window.blankFails = script.next(16) == 0;
        fake.randomChecked = script.next(2) == 0;
        const bool randomOrder = fake.randomChecked;
        open();
        const int loadErrors = countLoadErrors();
        const int records = int(expected.size()) - 1;
        if (fake.caption == texts::captionBase + path) {
            require(records <= exercise::maxRecords, "an exercise over the limit was loaded");
            checkOrder(expected, randomOrder);
        } else {
            // The only ways an existing file fails to open: too many records, no blank picture,
            // or nothing to reorder.
            require(loadErrors == 1, "a failed opening did not say so once");
            require(records > exercise::maxRecords || window.blankFails ||
                        (expected.isEmpty() && randomOrder),
                    "an opening failed without a reason");
        }

        const unsigned steps = script.next(40);
        for (unsigned i = 0; i < steps; ++i)
            step();
        require(practice.lignes() == m_lignes, "lignes changed without an opening");

        window.blankFails = false;
        fullPlay();
    }

private:
    int countLoadErrors() const
    {
        return int(
            std::count_if(fake.messages.cbegin(), fake.messages.cend(),
                          [](const FakeWindow::Message &m) { return m.text == texts::loadError; }));
    }

    int upperBound() const { return practice.recordCount() - 1; }

    // Copying lignes costs as much as the exercise is long: it is taken once after each opening,
    // and every step checks only that the count stays; play() compares the whole after the steps.
    void open()
    {
        fake.dialogAnswers = {path};
        practice.ouvrir();
        m_lignes = practice.lignes();
        checkState();
    }

    void checkOrder(const QStringList &expected, bool randomOrder) const
    {
        const QStringList &lignes = m_lignes;
        if (!randomOrder) {
            require(lignes == expected, "file order changed the records");
            return;
        }
        require(lignes.size() == expected.size(), "random order changed the number of elements");
        require(lignes.last().isEmpty(), "random order kept the text after the last star");
        require(sorted(lignes.mid(0, lignes.size() - 1)) ==
                    sorted(expected.mid(0, expected.size() - 1)),
                "random order is not a permutation of the records");
    }

    // trouves only grows by one slot or goes back to the marker alone; the slots already
    // checked are compared as a block and only the new ones are looked up, so that a long
    // exercise stays linear.
    void checkState()
    {
        const auto &trouves = practice.trouves();
        require(!trouves.isEmpty() && trouves.first() == Practice::marker, "marker lost");
        // m_checked is built slot by slot, never shared with trouves, so that the practice's
        // appends do not have to copy; its last slot tells whether trouves only grew.
        if (trouves.size() < m_checked.size() ||
            (!m_checked.isEmpty() && trouves.at(m_checked.size() - 1) != m_checked.last())) {
            require(trouves.size() == 1, "found records changed other than by a reset");
            m_checked.clear();
            m_found.clear();
        }
        if (m_checked.isEmpty())
            m_checked.append(trouves.first());
        const int bound = std::max(upperBound(), 1);
        for (qsizetype i = m_checked.size(); i < trouves.size(); ++i) {
            const std::int16_t index = trouves.at(i);
            require(index >= 0 && index < bound, "found index out of range");
            require(!m_found.contains(index), "a record was found twice");
            m_found.insert(index);
            m_checked.append(index);
        }
        require(!(fake.juste && !fake.faux) && !(fake.faux && !fake.juste),
                "Juste and Faux disagree");
        require(!fake.question.contains(QLatin1Char('\r')), "a line end reached the question");
    }

    // After a posing that reported nothing: the record posed is in play, not found, and shown.
    void checkPosed()
    {
        const int numero = practice.numero();
        require(numero >= 0 && numero < std::max(upperBound(), 1), "numero out of bounds");
        require(!m_found.contains(std::int16_t(numero)), "a found record posed");
        const QStringList parts = exercise::fields(m_lignes.at(numero));
        require(!parts.isEmpty() && fake.question == parts.first(), "question is not field 0");
        require(!fake.juste && !fake.faux, "judging allowed before the solution");
    }

    void step()
    {
        const int records = practice.recordCount();
        const int errorsBefore = countLoadErrors();
        bool poses = false;
        switch (script.next(9)) {
        case 0:
        case 1:
            if (fake.command1)
                practice.montrerSolution();
            break;
        case 2:
        case 3:
            if (fake.juste) {
                const auto found = practice.trouves().size();
                practice.juste();
                poses = practice.trouves().size() == found + 1;
            }
            break;
        case 4:
            if (fake.faux) {
                practice.faux();
                poses = true;
            }
            break;
        case 5:
            practice.reset();
            poses = true;
            require(practice.trouves().size() == 1, "Reset kept found records");
            break;
        case 6:
            practice.aleatoire();
            break;
        case 7:
            fake.dialogAnswers.clear();
            practice.ouvrir();
            require(practice.fileName().isEmpty(), "a cancelled opening kept a name");
            break;
        case 8:
            window.blankFails = !window.blankFails;
            break;
        }
        checkState();
        require(practice.recordCount() == records, "lignes changed without an opening");
        if (poses && countLoadErrors() == errorsBefore && upperBound() >= 0)
            checkPosed();
    }

    // From a Reset, every record is solved and judged right in turn: the exercise must end
    // after exactly as many Juste as records, each record posed once, unless the learner was
    // told why it could not go on.
    void fullPlay()
    {
        window.allPictures = true;
        practice.reset();
        checkState();
        const int records = upperBound();
        bool playable = records >= 1;
        for (int i = 0; playable && i < records; ++i) {
            const QStringList parts = exercise::fields(m_lignes.at(i));
            playable = parts.size() >= 2 && plainName(parts.at(1));
        }

        QSet<int> posed;
        int justes = 0;
        const auto done = [this] {
            return !fake.messages.isEmpty() && fake.messages.last().text == texts::exerciseDone;
        };
        const qsizetype messagesAtStart = fake.messages.size();
        while (justes <= std::max(records, 1)) {
            const qsizetype messages = fake.messages.size();
            if (!fake.command1)
                break;
            practice.montrerSolution();
            checkState();
            if (!fake.juste) {
                require(fake.messages.size() > messages, "stuck without a message");
                break;
            }
            posed.insert(practice.numero());
            practice.juste();
            ++justes;
            checkState();
            if (done() && fake.messages.size() > messagesAtStart)
                break;
        }
        if (done() && fake.messages.size() > messagesAtStart) {
            require(justes == records, "the exercise ended after the wrong number of Juste",
                    QString::number(justes) + QLatin1Char('/') + QString::number(records));
            require(int(posed.size()) == records, "a record was posed twice or never");
            require(!fake.command1 && !fake.juste && !fake.faux, "buttons left on after the end");
            require(fake.caption == texts::captionBase, "caption kept after the end");
        } else {
            require(!playable, "a playable exercise did not end",
                    QString::number(justes) + QLatin1Char('/') + QString::number(records) +
                        QStringLiteral(" at ") + QString::number(practice.numero()) +
                        QStringLiteral(": ") +
                        (fake.messages.isEmpty() ? QString() : fake.messages.last().text));
        }
    }

    FakeWindow fake;
    FuzzWindow window;
    SystemRandom random;
    Practice practice;
    QString path;
    Script script;
    // lignes as the last opening left them.
    QStringList m_lignes;
    QList<std::int16_t> m_checked;
    QSet<std::int16_t> m_found;
};

struct Place
{
    QTemporaryDir dir;
    QString file;
};

Place &place()
{
    static Place p = [] {
        Place made;
        made.file = made.dir.path() + QStringLiteral("/exercice.txt");
        QDir(made.dir.path()).mkpath(QStringLiteral("images"));
        return made;
    }();
    return p;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Place &where = place();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    {
        // A new file each time: truncating the last one made the file system write it out.
        QFile::remove(where.file);
        QFile file(where.file);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            fail("cannot write the input");
    }
    const int descriptors = openFiles();

    const QString text = exercise::textFromBytes(bytes);
    require(!text.contains(QLatin1Char('\r')), "a carriage return survived the reading");
    require(exercise::readText(where.file) == text, "reading the file differs from its bytes");
    const QStringList expected = exercise::cutRecords(text);
    require(expected.isEmpty() == text.isEmpty(), "an empty text must give no element");
    require(expected.join(QLatin1Char('*')) == text, "cutting lost characters");

    {
        Run run(where.dir.path(), where.file, data, size);
        run.play(expected);
        playLog = nullptr;
    }
    require(openFiles() == descriptors, "a file was left open");
    return 0;
}
