#pragma once

#include "history.h"

#include <QDateTime>
#include <QVariant>

// How the history's values are written into their columns and read back.
namespace columns {

// A text for a NOT NULL column: Qt binds a null string as NULL.
inline QVariant text(const QString &text)
{
    return text.isNull() ? QVariant(QString(QLatin1String(""))) : QVariant(text);
}

inline QVariant nullable(const QString &text)
{
    return text.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(text);
}

inline QVariant nullable(const QByteArray &bytes)
{
    return bytes.isNull() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(bytes);
}

// A time as stored (see History::timeText); invalid for a text that is none.
inline QDateTime time(const QVariant &text)
{
    QDateTime time = QDateTime::fromString(text.toString(), Qt::ISODateWithMs);
    return time.isValid() ? time.toUTC() : QDateTime();
}

inline QString verdictText(History::Verdict verdict)
{
    return verdict == History::Verdict::Juste ? QStringLiteral("juste") : QStringLiteral("faux");
}

inline History::Verdict verdict(const QVariant &text)
{
    return text.toString() == QLatin1String("juste") ? History::Verdict::Juste
                                                     : History::Verdict::Faux;
}

} // namespace columns
