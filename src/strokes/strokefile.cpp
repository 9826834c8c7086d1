#include "strokefile.h"

#include "regularfile.h"

#include <QXmlStreamReader>

#include <cmath>

namespace {

// Pieces per cubic curve when flattening: KanjiVG curves span a few tens of units, so a piece
// stays well under a unit long.
constexpr int curvePieces = 16;
constexpr qreal maxViewBox = 1e6;
// Path coordinates beyond this are broken data; QPainterPath would also silently drop points
// past 1e128, leaving a path that is not the one written.
constexpr qreal maxPathCoordinate = 1e9;

bool usable(QPointF p)
{
    return std::abs(p.x()) <= maxPathCoordinate && std::abs(p.y()) <= maxPathCoordinate;
}

// Reads path data one token at a time. Separators are white space and commas; a number ends
// where the next one visibly starts ("3.5.5" is 3.5 then .5, "1-2" is 1 then -2).
class PathScanner
{
public:
    explicit PathScanner(QStringView d) : m_d(d) {}

    void skipSeparators()
    {
        while (m_pos < m_d.size() && (m_d[m_pos].isSpace() || m_d[m_pos] == u','))
            ++m_pos;
    }

    bool atEnd()
    {
        skipSeparators();
        return m_pos >= m_d.size();
    }

    // The next character is the start of a number.
    bool atNumber()
    {
        skipSeparators();
        if (m_pos >= m_d.size())
            return false;
        const QChar c = m_d[m_pos];
        return c.isDigit() || c == u'-' || c == u'+' || c == u'.';
    }

    QChar takeCommand()
    {
        skipSeparators();
        return m_d[m_pos++];
    }

    std::optional<qreal> number()
    {
        skipSeparators();
        const qsizetype start = m_pos;
        const auto digits = [this] {
            qsizetype count = 0;
            while (m_pos < m_d.size() && m_d[m_pos] >= u'0' && m_d[m_pos] <= u'9') {
                ++m_pos;
                ++count;
            }
            return count;
        };
        if (m_pos < m_d.size() && (m_d[m_pos] == u'-' || m_d[m_pos] == u'+'))
            ++m_pos;
        qsizetype mantissa = digits();
        if (m_pos < m_d.size() && m_d[m_pos] == u'.') {
            ++m_pos;
            mantissa += digits();
        }
        if (mantissa == 0)
            return std::nullopt;
        if (m_pos < m_d.size() && (m_d[m_pos] == u'e' || m_d[m_pos] == u'E')) {
            qsizetype at = m_pos + 1;
            if (at < m_d.size() && (m_d[at] == u'-' || m_d[at] == u'+'))
                ++at;
            if (at < m_d.size() && m_d[at] >= u'0' && m_d[at] <= u'9') {
                m_pos = at;
                digits();
            }
        }
        bool ok = false;
        const double value = m_d.sliced(start, m_pos - start).toDouble(&ok);
        if (!ok || !std::isfinite(value))
            return std::nullopt;
        return value;
    }

private:
    QStringView m_d;
    qsizetype m_pos = 0;
};

std::optional<QRectF> parseViewBox(QStringView text)
{
    PathScanner scanner(text);
    qreal v[4];
    for (qreal &value : v) {
        const auto n = scanner.number();
        if (!n)
            return std::nullopt;
        value = *n;
    }
    // Stroke files are drawn on boxes of about a hundred units; a box beyond a million is
    // broken and would overflow the check's sums.
    for (qreal value : v)
        if (std::abs(value) > maxViewBox)
            return std::nullopt;
    if (!scanner.atEnd() || !(v[2] > 0) || !(v[3] > 0))
        return std::nullopt;
    return QRectF(v[0], v[1], v[2], v[3]);
}

// The translation of "matrix(1 0 0 1 x y)", the form KanjiVG gives its numbers.
std::optional<QPointF> parseNumberTransform(QStringView text)
{
    text = text.trimmed();
    if (!text.startsWith(u"matrix(") || !text.endsWith(u')'))
        return std::nullopt;
    PathScanner scanner(text.sliced(7, text.size() - 8));
    qreal m[6];
    for (qreal &value : m) {
        const auto n = scanner.number();
        if (!n)
            return std::nullopt;
        value = *n;
    }
    if (!scanner.atEnd())
        return std::nullopt;
    return QPointF(m[4], m[5]);
}

bool nearViewBox(const QRectF &box, const QRectF &bounds)
{
    // A stroke may overhang its box a little; anything beyond half the box's size is a broken
    // file, and would make the check normalise nonsense.
    const qreal margin = std::max(box.width(), box.height()) / 2;
    const QRectF allowed = box.adjusted(-margin, -margin, margin, margin);
    // Compared side by side: QRectF::contains() refuses a rectangle without area.
    return bounds.left() >= allowed.left() && bounds.right() <= allowed.right() &&
           bounds.top() >= allowed.top() && bounds.bottom() <= allowed.bottom();
}

// One printable code point, or an empty text.
QString printableCharacter(char32_t code)
{
    if (code > 0x10FFFF || QChar::isSurrogate(code) || !QChar::isPrint(code))
        return {};
    return QString::fromUcs4(&code, 1);
}

// The character of "kvg:StrokePaths_09632" or "kvg:StrokePaths_09632-Kaisho": its hexadecimal
// code, up to six digits.
QString characterOfId(QStringView id)
{
    const qsizetype underscore = id.indexOf(u'_');
    if (underscore < 0)
        return {};
    QStringView code = id.sliced(underscore + 1);
    code = code.left(code.indexOf(u'-') < 0 ? code.size() : code.indexOf(u'-'));
    if (code.isEmpty() || code.size() > 6)
        return {};
    bool ok = false;
    const uint value = code.toUInt(&ok, 16);
    return ok ? printableCharacter(value) : QString();
}

QString characterOfElement(QStringView element)
{
    const QList<uint> codes = element.toUcs4();
    return codes.size() == 1 ? printableCharacter(codes.front()) : QString();
}

} // namespace

std::optional<QPainterPath> parsePathData(QStringView d)
{
    PathScanner scanner(d);
    QPainterPath path;
    QPointF current;
    QPointF subpathStart;
    QPointF lastControl; // the second control point of the last cubic, for S
    bool lastWasCubic = false;
    bool started = false;

    while (!scanner.atEnd()) {
        const QChar command = scanner.takeCommand();
        const bool relative = command.isLower();
        const char16_t kind = command.toUpper().unicode();
        if (!started && kind != u'M')
            return std::nullopt;
        started = true;

        if (kind == u'Z') {
            path.closeSubpath();
            current = subpathStart;
            lastWasCubic = false;
            continue;
        }

        int arguments = 0;
        switch (kind) {
        case u'M':
        case u'L':
            arguments = 2;
            break;
        case u'H':
        case u'V':
            arguments = 1;
            break;
        case u'C':
            arguments = 6;
            break;
        case u'S':
            arguments = 4;
            break;
        default:
            return std::nullopt;
        }

        bool first = true;
        do {
            qreal a[6];
            for (int i = 0; i < arguments; ++i) {
                const auto n = scanner.number();
                if (!n || std::abs(*n) > maxPathCoordinate)
                    return std::nullopt;
                a[i] = *n;
            }
            const QPointF origin = relative ? current : QPointF();
            switch (kind) {
            case u'M':
                if (first) {
                    current = origin + QPointF(a[0], a[1]);
                    subpathStart = current;
                    path.moveTo(current);
                } else {
                    // Pairs after the first of a move are lines.
                    current = origin + QPointF(a[0], a[1]);
                    path.lineTo(current);
                }
                lastWasCubic = false;
                break;
            case u'L':
                current = origin + QPointF(a[0], a[1]);
                path.lineTo(current);
                lastWasCubic = false;
                break;
            case u'H':
                current.setX((relative ? current.x() : 0) + a[0]);
                path.lineTo(current);
                lastWasCubic = false;
                break;
            case u'V':
                current.setY((relative ? current.y() : 0) + a[0]);
                path.lineTo(current);
                lastWasCubic = false;
                break;
            case u'C': {
                const QPointF c1 = origin + QPointF(a[0], a[1]);
                const QPointF c2 = origin + QPointF(a[2], a[3]);
                const QPointF end = origin + QPointF(a[4], a[5]);
                path.cubicTo(c1, c2, end);
                lastControl = c2;
                current = end;
                lastWasCubic = true;
                break;
            }
            case u'S': {
                const QPointF c1 = lastWasCubic ? 2 * current - lastControl : current;
                const QPointF c2 = origin + QPointF(a[0], a[1]);
                const QPointF end = origin + QPointF(a[2], a[3]);
                path.cubicTo(c1, c2, end);
                lastControl = c2;
                current = end;
                lastWasCubic = true;
                break;
            }
            }
            // Relative steps add up: the pen must stay within bounds too.
            if (!usable(current))
                return std::nullopt;
            first = false;
        } while (scanner.atNumber());
    }
    if (!started)
        return std::nullopt;
    return path;
}

QPolygonF flattenPath(const QPainterPath &path)
{
    QPolygonF polyline;
    polyline.reserve(path.elementCount() * curvePieces);
    QPointF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPointF p0 = current;
            const QPointF p1 = path.elementAt(i);
            const QPointF p2 = path.elementAt(i + 1);
            const QPointF p3 = path.elementAt(i + 2);
            for (int k = 1; k <= curvePieces; ++k) {
                const qreal t = qreal(k) / curvePieces;
                const qreal u = 1 - t;
                polyline.append(u * u * u * p0 + 3 * u * u * t * p1 + 3 * u * t * t * p2 +
                                t * t * t * p3);
            }
            current = p3;
            i += 2;
        } else {
            current = e;
            if (polyline.isEmpty() || polyline.last() != current)
                polyline.append(current);
        }
    }
    return polyline;
}

std::optional<StrokeFile> parseStrokeFile(QByteArrayView bytes)
{
    if (bytes.size() > strokefile::maxBytes)
        return std::nullopt;

    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), bytes.size()));
    StrokeFile file;
    std::optional<QRectF> viewBox;
    bool numbersOk = true;
    // Depths of the element tree at which the stroke and number groups were opened; 0 when
    // outside them.
    int depth = 0;
    int pathsDepth = 0;
    int numbersDepth = 0;
    QString elementCharacter;

    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            // An entity may stand for thousands of characters and be used thousands of times: a
            // file of 50 KB becomes 64 MB of path data, one near the size limit gigabytes.
            // Stroke files declare none.
            if (!xml.entityDeclarations().isEmpty() || xml.text().contains(u"<!ENTITY"))
                return std::nullopt;
            break;
        case QXmlStreamReader::StartElement: {
            ++depth;
            const QStringView name = xml.name();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (depth == 1) {
                if (name != u"svg")
                    return std::nullopt;
                if (attributes.hasAttribute(QLatin1String("viewBox"))) {
                    viewBox = parseViewBox(attributes.value(QLatin1String("viewBox")));
                } else {
                    bool wOk = false, hOk = false;
                    const double w = attributes.value(QLatin1String("width")).toDouble(&wOk);
                    const double h = attributes.value(QLatin1String("height")).toDouble(&hOk);
                    if (wOk && hOk && w > 0 && h > 0 && w <= maxViewBox && h <= maxViewBox)
                        viewBox = QRectF(0, 0, w, h);
                }
                if (!viewBox)
                    return std::nullopt;
            } else if (name == u"g" && !pathsDepth && !numbersDepth) {
                const QStringView id = attributes.value(QLatin1String("id"));
                if (id.startsWith(u"kvg:StrokePaths")) {
                    pathsDepth = depth;
                    if (file.character.isEmpty())
                        file.character = characterOfId(id);
                } else if (id.startsWith(u"kvg:StrokeNumbers"))
                    numbersDepth = depth;
            } else if (name == u"g" && pathsDepth && depth == pathsDepth + 1 &&
                       elementCharacter.isEmpty()) {
                elementCharacter =
                    characterOfElement(attributes.value(QLatin1String("kvg:element")));
            } else if (name == u"path" && pathsDepth) {
                auto stroke = parsePathData(attributes.value(QLatin1String("d")));
                if (!stroke || !nearViewBox(*viewBox, stroke->controlPointRect()))
                    return std::nullopt;
                if (file.strokes.size() == strokefile::maxStrokes)
                    return std::nullopt;
                file.strokes.append(*stroke);
            } else if (name == u"text" && numbersDepth) {
                const auto at = parseNumberTransform(attributes.value(QLatin1String("transform")));
                if (at && file.numberPositions.size() < strokefile::maxStrokes &&
                    nearViewBox(*viewBox, QRectF(*at, QSizeF(0, 0))))
                    file.numberPositions.append(*at);
                else
                    numbersOk = false;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (depth == pathsDepth)
                pathsDepth = 0;
            if (depth == numbersDepth)
                numbersDepth = 0;
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError() || !viewBox || file.strokes.isEmpty())
        return std::nullopt;
    // Strokes that all stand on one point draw nothing: there is no shape to check against, nor
    // a size to map onto the learner's drawing.
    QRectF extent;
    for (const QPainterPath &stroke : std::as_const(file.strokes))
        extent |= flattenPath(stroke).boundingRect();
    if (extent.width() <= 0 && extent.height() <= 0)
        return std::nullopt;
    file.viewBox = *viewBox;
    if (file.character.isEmpty())
        file.character = elementCharacter;
    if (!numbersOk || file.numberPositions.size() != file.strokes.size())
        file.numberPositions.clear();
    return file;
}

std::optional<StrokeFile> readStrokeFile(const QString &path)
{
    const std::optional<QByteArray> bytes = files::readRegular(path, strokefile::maxBytes);
    if (!bytes)
        return std::nullopt;
    return parseStrokeFile(*bytes);
}
