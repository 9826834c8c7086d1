#include "evaluation.h"

#include "strokeforms.h"
#include "strokepack.h"

#include <QDir>

#include <cstdio>

const char *const kindNames[KindCount] = {"correct",    "swapped", "reversed", "left out",
                                          "look-alike", "native",  "learner"};
const char *const faultNames[faultCount] = {"None",      "Nothing", "Count", "Order",
                                            "Direction", "Shape",   "Place"};

Characters::Characters(const QString &folder) : m_folder(folder)
{
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*-*.svg")}, QDir::Files))
        m_variantNames.append(name);
}

const Character *Characters::get(char32_t code)
{
    if (auto found = m_read.find(code); found != m_read.end())
        return &found->second;
    if (m_missing.contains(code))
        return nullptr;
    const QString base = QStringLiteral("%1").arg(uint(code), 5, 16, QLatin1Char('0'));
    auto main = readStrokeFile(QDir(m_folder).filePath(base + QStringLiteral(".svg")));
    if (!main) {
        m_missing.insert(code);
        std::fprintf(stderr, "no usable stroke file for U+%04X\n", uint(code));
        return nullptr;
    }
    Character character;
    character.name = QString::fromUcs4(&code, 1);
    character.references.append(*main);
    for (const QString &name : std::as_const(m_variantNames))
        if (isVariantOf(name, base))
            if (auto variant = readStrokeFile(QDir(m_folder).filePath(name)))
                character.references.append(*variant);
    character.references = withAcceptedForms(character.references);
    for (const StrokeFile &reference : std::as_const(character.references)) {
        character.shapes.push_back(drawingShape(referenceLines(reference)));
        character.forms.push_back(reference.acceptedForm);
    }
    return &m_read.emplace(code, std::move(character)).first->second;
}

bool rightReason(Kind kind, const StrokeVerdict &verdict)
{
    switch (kind) {
    case Correct:
    case Native:
    case Learner:
        return verdict.fault == StrokeFault::None;
    case Swapped:
        return verdict.fault == StrokeFault::Order;
    case Reversed:
        return verdict.fault == StrokeFault::Direction;
    case LeftOut:
        return verdict.fault == StrokeFault::Count;
    case LookAlike:
        return verdict.expected != verdict.drawn ? verdict.fault == StrokeFault::Count
                                                 : verdict.fault != StrokeFault::None;
    default:
        return false;
    }
}

Tally evaluate(const QList<Case> &cases, const CheckThresholds &thresholds,
               const LookAlikeIndex *index, QStringList *notes,
               std::map<QString, std::pair<int, int>> *byCharacter)
{
    Tally tally;
    for (const Case &c : cases) {
        const StrokeVerdict verdict =
            checkDrawingAgainst(c.shape, c.expected->shapes, thresholds, c.expected->forms);
        if (c.lengthOnly) {
            ++tally.lengthOnlyTotal;
            if (verdict.fault == StrokeFault::None)
                continue;
            ++tally.lengthOnlyCaught;
            if (index) {
                const auto found = index->find(c.shape, c.expected->name, thresholds);
                tally.lengthOnlyNamed += found && found->character == c.drawn->name;
            }
            continue;
        }
        ++tally.counts[c.kind][int(verdict.fault)];
        ++tally.total[c.kind];
        const bool right = rightReason(c.kind, verdict);
        tally.right[c.kind] += right;
        if (c.hardPair) {
            ++tally.hardTotal;
            tally.hardCaught += right;
        }
        QString named;
        if (index && c.kind == LookAlike)
            ++tally.namedAsked;
        if (index && verdict.fault != StrokeFault::None) {
            if (const auto found = index->find(c.shape, c.expected->name, thresholds))
                named = found->character;
            if (c.kind == LookAlike) {
                tally.named += named == c.drawn->name;
                tally.hardNamed += c.hardPair && named == c.drawn->name;
                if (notes && named != c.drawn->name)
                    notes->append(QStringLiteral("look-alike %1 drawn for %2 named %3")
                                      .arg(c.drawn->name, c.expected->name,
                                           named.isEmpty() ? QStringLiteral("as nothing") : named));
            } else if (!named.isEmpty())
                ++tally.misnamed;
        }
        if (byCharacter) {
            auto &[wrong, total] = (*byCharacter)[QString::fromUtf8(kindNames[c.kind]) +
                                                  QLatin1Char(' ') + c.expected->name];
            wrong += !right;
            ++total;
        }
        if (notes && !right)
            notes->append(
                QStringLiteral("%1 %2%3%4: %5%6")
                    .arg(QString::fromUtf8(kindNames[c.kind]), c.expected->name,
                         c.drawn ? QStringLiteral(" drawn as ") + c.drawn->name : QString(),
                         c.where.isEmpty() ? QString() : QStringLiteral(" ") + c.where,
                         verdictText(verdict),
                         verdict.reference ? QStringLiteral(" (variant %1)").arg(verdict.reference)
                                           : QString()));
    }
    return tally;
}

void printConfusion(const Tally &tally)
{
    std::printf("%-11s", "drawn");
    for (const char *name : faultNames)
        std::printf("%10s", name);
    std::printf("%9s%8s\n", "total", "right");
    for (int k = 0; k < KindCount; ++k) {
        std::printf("%-11s", kindNames[k]);
        for (int f = 0; f < faultCount; ++f)
            std::printf("%10d", tally.counts[k][f]);
        std::printf("%9d%7.1f%%\n", tally.total[k], tally.rate(Kind(k)));
    }
}
