// Wine's registry text format: escaping, the order of names and key paths.

#include "platform/wine/registry_text.h"

#include "platform/wine/registry_text_internal.h"

#include <QChar>
#include <algorithm>
#include <cstdio>

namespace sw::winereg {

namespace detail {

QByteArray utf16Bytes(QStringView text, bool terminate) {
    QByteArray out;
    out.reserve((text.size() + 1) * 2);
    for (QChar c : text) {
        const char16_t u = c.unicode();
        out.append(static_cast<char>(u & 0xff));
        out.append(static_cast<char>(u >> 8));
    }
    if (terminate)
        out.append("\0\0", 2);
    return out;
}

QString utf16Text(const QByteArray& data) {
    QString text;
    text.resize(data.size() / 2);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(data[2 * i]) |
                                              (static_cast<unsigned char>(data[2 * i + 1]) << 8)));
    return text;
}

} // namespace detail

using namespace detail;

bool hasValidHeader(QByteArrayView buffer) {
    const QByteArrayView header(kHeaderLine);
    if (!buffer.startsWith(header))
        return false;
    const QByteArrayView rest = buffer.sliced(header.size());
    return rest.startsWith("\n") || rest.startsWith("\r\n");
}

std::optional<QString> decodeString(QByteArrayView text, qsizetype& pos, char terminator, qsizetype maxUnits,
                                    bool* cut) {
    Decoder decoder(text, pos, terminator);
    QString out;
    char16_t unit = 0;
    for (;;) {
        const int r = decoder.next(unit);
        if (r < 0)
            return std::nullopt;
        if (r == 0)
            break;
        if (maxUnits >= 0 && out.size() >= maxUnits) {
            if (cut)
                *cut = true;
            continue; // on to the terminator, keeping nothing more
        }
        out.append(QChar(unit));
    }
    pos = decoder.pos();
    return out;
}

QByteArray escapeString(QStringView text, bool keyName) {
    static const char escapes[33] = ".......abtnvfr.............e....";
    QByteArray out;
    out.reserve(text.size() + 8);
    const qsizetype n = text.size();
    char buf[16];
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        const bool hasNext = i + 1 < n;
        const char16_t nextUnit = hasNext ? text[i + 1].unicode() : 0;
        if (u > 127) {
            const bool hexNext = hasNext && nextUnit < 128 && isHexDigit(static_cast<char>(nextUnit));
            std::snprintf(buf, sizeof buf, hexNext ? "\\x%04x" : "\\x%x", static_cast<unsigned>(u));
            out += buf;
            continue;
        }
        if (u < 32) {
            if (escapes[u] != '.') {
                out += '\\';
                out += escapes[u];
            } else {
                const bool octNext = hasNext && nextUnit >= '0' && nextUnit <= '7';
                std::snprintf(buf, sizeof buf, octNext ? "\\%03o" : "\\%o", static_cast<unsigned>(u));
                out += buf;
            }
            continue;
        }
        const char c = static_cast<char>(u);
        if (c == '\\' || (keyName && (c == '[' || c == ']')) || (!keyName && c == '"'))
            out += '\\';
        out += c;
    }
    return out;
}

int compareNames(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const int d = static_cast<int>(lower(a[i].unicode())) - static_cast<int>(lower(b[i].unicode()));
        if (d)
            return d;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

QString nameKey(QStringView name) {
    QString key(name.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < name.size(); ++i)
        key[i] = QChar(lower(name[i].unicode()));
    return key;
}

bool namesEqual(QStringView a, QStringView b) {
    return a.size() == b.size() && compareNames(a, b) == 0;
}

QStringList splitKeyPath(QStringView path) {
    QStringList parts;
    for (QStringView part : path.tokenize(QLatin1Char('\\'), Qt::SkipEmptyParts))
        parts.append(part.toString());
    return parts;
}

int compareKeyPaths(QStringView a, QStringView b) {
    auto ia = a.tokenize(QLatin1Char('\\'), Qt::SkipEmptyParts);
    auto ib = b.tokenize(QLatin1Char('\\'), Qt::SkipEmptyParts);
    auto pa = ia.begin();
    auto pb = ib.begin();
    for (; pa != ia.end() && pb != ib.end(); ++pa, ++pb) {
        if (const int d = compareNames(*pa, *pb))
            return d;
    }
    if (pa == ia.end())
        return pb == ib.end() ? 0 : -1;
    return 1;
}

} // namespace sw::winereg
