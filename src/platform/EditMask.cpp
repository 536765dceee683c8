#include "platform/EditMask.h"

namespace platform {

TEditMask TranslateEditMask(const QString& mask)
{
    TEditMask info;
    if (mask.isEmpty())
        return info;
    std::vector<qsizetype> semicolons;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (mask[i] == QLatin1Char(';'))
            semicolons.push_back(i);
    }
    QString body = mask;
    if (semicolons.size() >= 2) {
        const qsizetype last = semicolons.back(), before = semicolons[semicolons.size() - 2];
        if (last + 1 < mask.size())
            info.blank = mask[last + 1];
        info.saveLiterals = mask.mid(before + 1, last - before - 1).trimmed() != QLatin1String("0");
        body = mask.left(before);
    } else if (semicolons.size() == 1) {
        info.saveLiterals = mask.mid(semicolons[0] + 1).trimmed() != QLatin1String("0");
        body = mask.left(semicolons[0]);
    }
    // Qt's own mask letters, taken literally only behind a backslash.
    const QString special = QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\;");
    auto literal = [&](QChar c) {
        if (special.contains(c))
            info.qtMask += QLatin1Char('\\');
        info.qtMask += c;
        info.literal.push_back(true);
    };
    auto place = [&](char q) {
        info.qtMask += QLatin1Char(q);
        info.literal.push_back(false);
    };
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        switch (c.unicode()) {
        case '\\':
            if (i + 1 < body.size())
                literal(body[++i]);
            break;
        case '!': break; // where blanks lead or trail: nothing for the places
        case '>': info.qtMask += QLatin1Char('>'); break;
        case '<':
            if (i + 1 < body.size() && body[i + 1] == QLatin1Char('>')) {
                info.qtMask += QLatin1Char('!');
                ++i;
            } else {
                info.qtMask += QLatin1Char('<');
            }
            break;
        // Qt's capital letters and its 9 are the required places, its small
        // letters and its 0 the optional ones.
        case 'L': place('A'); break;
        case 'l': place('a'); break;
        case 'A': place('N'); break;
        case 'a': place('n'); break;
        case 'C': place('X'); break;
        case 'c': place('x'); break;
        case '0': place('9'); break;
        case '9': place('0'); break;
        case '#': place('#'); break;
        case '_': literal(QLatin1Char(' ')); break;
        default: literal(c); break;
        }
    }
    if (info.literal.empty())
        return TEditMask{};
    info.qtMask += QLatin1Char(';');
    info.qtMask += info.blank;
    return info;
}

QString MaskedText(const TEditMask& mask, const QString& shown)
{
    if (mask.qtMask.isEmpty())
        return shown;
    QString kept;
    for (qsizetype i = 0; i < shown.size() && i < static_cast<qsizetype>(mask.literal.size()); ++i) {
        const bool literal = mask.literal[static_cast<size_t>(i)];
        if (literal ? mask.saveLiterals : shown[i] != mask.blank)
            kept += shown[i];
    }
    return kept;
}

} // namespace platform
