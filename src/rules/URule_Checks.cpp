#include "rules/URule_Checks.h"

#include "shell/UComon.h"

#include "platform/NumberText.h"
#include "platform/Regional.h"

namespace rules {

int Rule_Number(const QString& text) { return platform::NumberOr(text, -1); }

bool In_Range(const QString& text, int64_t low, int64_t high)
{
    const int64_t v = Rule_Number(text);
    return v >= low && v <= high;
}

bool Check_IP_Address(const QString& text)
{
    if (text.isEmpty())
        return true;
    QString rest = text;
    for (int i = 0; i < 4; ++i) {
        QString part;
        if (i < 3) {
            const int dot = rest.indexOf(u'.');
            if (dot >= 0) {
                part = rest.left(dot);
                rest = rest.mid(dot + 1);
            }
        } else {
            part = rest;
        }
        if (!In_Range(part, 0, 255))
            return true;
    }
    return false;
}

bool Float_In_Range(const QString& text, double low, double high)
{
    return Float_In_Range(text, low, high, platform::DecimalSeparator());
}

bool Float_In_Range(const QString& text, double low, double high, QChar regionalSeparator)
{
    float v = 0;
    if (!Str_To_Float_Any_Sep(text, regionalSeparator, regionalSeparator, v))
        return false;
    return v >= low && v <= high;
}

bool Is_One_Of(const QString& text, const QStringList& choices, bool upperCase)
{
    const QString t = upperCase ? text.trimmed().toUpper() : text.trimmed();
    return choices.contains(t);
}

int64_t Span_Last_Byte(int64_t position, int64_t points, int64_t startBit, bool statusKind)
{
    if (statusKind)
        return position + (points + startBit - 1) / 8;
    return position + 2 * points - 1;
}

bool Span_Fits(int64_t position, int64_t points, int64_t startBit, bool statusKind, int64_t areaSize)
{
    return Span_Last_Byte(position, points, startBit, statusKind) < areaSize;
}

bool Byte_Position_Ok(const QString& text, int areaSize)
{
    if (text.trimmed().isEmpty() || text == QLatin1String("None"))
        return true;
    return In_Range(text, 0, int64_t(areaSize) - 1);
}

int First_Over_Total(const std::vector<int64_t>& sizes, int64_t limit)
{
    int64_t total = 0;
    for (size_t i = 0; i < sizes.size(); ++i) {
        total += sizes[i] > 0 ? sizes[i] : 0;
        if (total > limit)
            return static_cast<int>(i);
    }
    return -1;
}

QString Error_Row_Text(const QString& prefix, int row, const QString& message)
{
    return prefix + QString::number(row) + message;
}

QString Error_Row_Text(const QString& prefix, int row, const QString& message, int64_t bound)
{
    return Error_Row_Text(prefix, row, message) + QString::number(bound);
}

QString Format_Message(const QString& format, const QVariantList& values)
{
    QString out;
    int next = 0;
    for (int i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 >= format.size()) {
            out += c;
            continue;
        }
        const QChar k = format[i + 1];
        if (k == u'%') {
            out += u'%';
            ++i;
        } else if ((k == u'd' || k == u'i' || k == u'u' || k == u's') && next < values.size()) {
            out += values[next++].toString();
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

bool KNX_Physical_Ok(const QString& text, bool allowZero)
{
    return !Check_KNX_Address(text.trimmed(), false, allowZero);
}

} // namespace rules
