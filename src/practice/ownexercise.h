#pragma once

#include "catalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The learner's own exercises: the characters a text names, each with its shipped record, and
// the file that poses them.
namespace ownexercise {

// What a text gives an exercise.
struct Selection
{
    // The shipped characters of the text, each once, in the order of their first appearance.
    QList<const Catalogue::Entry *> entries;
    // Its kana, kanji and Japanese marks that have no shipped picture, each once, in order.
    QStringList unmatched;
};

// A kana, a kanji or a Japanese letter such as 々, 〆 or ー: what a learner may mean to draw.
// Punctuation, digits, spaces and the letters of other scripts are not.
bool isJapanese(char32_t c);

// The characters of `text` found in `catalogue`, after composing the text (a kana written with
// a combining voiced mark counts as the voiced kana). Everything else is left out, the Japanese
// characters among it listed.
Selection select(const QString &text, const Catalogue &catalogue);

// The exercise file of the entries: each record, its "*" and CR LF, in UTF-8.
QByteArray fileBytes(const QList<const Catalogue::Entry *> &entries);

// The characters of the entries that `belongs` accepts, in the catalogue's order, as one text.
QString charactersWhere(const Catalogue &catalogue,
                        const std::function<bool(const Catalogue::Entry &)> &belongs);

// The characters that show `pictures` (as the history stores them), in the catalogue's order;
// pictures the catalogue does not ship are left out.
QString charactersOfPictures(const Catalogue &catalogue, const QStringList &pictures);

// The catalogue's courses, each once, in its order.
QStringList courses(const Catalogue &catalogue);

// Why a name cannot be an exercise file's name in the learner's folder.
enum class NameProblem { None, Empty, Slash, Dot, TooLong };

// The name is taken trimmed; with ".txt" added unless it ends so already.
NameProblem checkName(const QString &name);
QString fileNameOf(const QString &name);

} // namespace ownexercise
