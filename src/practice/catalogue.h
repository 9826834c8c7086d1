#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// The catalogue of the characters shipped with the program (exercices/catalogue.tsv beside it):
// each kana and kanji once, with the record its course asks it with, so that an exercise of any
// characters can be made without drawing anything, and a picture can be named by its character.
class Catalogue
{
public:
    struct Entry
    {
        // One code point, which may lie outside the Basic Multilingual Plane (two UTF-16 units).
        QString character;
        // The record as its course writes it, without the closing "*": sound=picture=comment.
        QString record;
        // The course file's name, "hiragana.txt".
        QString course;
        // The school grade, 1 to 6, or 8 for the kanji taught after primary school; 0 unknown.
        int grade = 0;
        // The old JLPT level, 4 (the easiest) to 1; 0 none.
        int jlpt = 0;
        // The rank among the most used kanji, 1 the most used; 0 none.
        int frequency = 0;

        // Field 0 of the record: the sound asked.
        QString sound() const;
        // Field 1 of the record, with "\" turned into "/": the picture.
        QString picture() const;
    };

    // The catalogue's place beside the program.
    static QString pathIn(const QString &programFolder);

    // Reads the catalogue at `path`; an empty catalogue when it is missing or unreadable, since
    // the program works without it.
    static Catalogue read(const QString &path);
    // The catalogue in `bytes`, UTF-8 lines of tab-separated columns after a heading starting
    // with "#". Lines that do not fit (too few columns, not one character, a record without a
    // picture, a character or picture already listed) are skipped.
    static Catalogue parse(const QByteArray &bytes);

    // Every entry, in the courses' order.
    const QList<Entry> &entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }
    // The entry of a character, or null.
    const Entry *find(const QString &character) const;
    // The entry whose record shows `picture` (written with "/" or "\"), or null.
    const Entry *findPicture(const QString &picture) const;
    // The position of an entry in the courses' order, or -1.
    qsizetype indexOf(const Entry *entry) const;

private:
    QList<Entry> m_entries;
    QHash<QString, qsizetype> m_byCharacter;
    QHash<QString, qsizetype> m_byPicture;
};
