#include "platform/OctetField.h"

#include "platform/Controls.h"

#include <QStringList>

#include <algorithm>

namespace platform {

namespace {

bool IsDecimalDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

void Octet_KeyPress(TEdit* field, QChar& key, TEdit* next)
{
    if (key == u'.') {
        key = QChar();
        if (next && next->CanFocus()) {
            next->SetFocus();
            next->SelectAll();
        }
        return;
    }
    if (!field || field->ReadOnly() || !IsDecimalDigit(key))
        return;
    // The text as the key would leave it.
    QString text = field->Text();
    int at = field->cursorPosition();
    if (field->hasSelectedText()) {
        at = field->selectionStart();
        text.remove(at, field->SelLength());
    }
    text.insert(at, key);
    ++at;
    if (text.size() < 2 || text[0] != u'0')
        return;
    for (QChar c : text)
        if (!IsDecimalDigit(c))
            return;  // "0x10" and the like are the checks' business
    int zeros = 0;
    while (zeros + 1 < text.size() && text[zeros] == u'0')
        ++zeros;
    key = QChar();
    field->SetText(text.mid(zeros));
    field->setCursorPosition(std::max(0, at - zeros));
}

QString Octet_Address(const TEdit* p1, const TEdit* p2, const TEdit* p3, const TEdit* p4)
{
    QStringList parts;
    for (const TEdit* field : {p1, p2, p3, p4}) {
        const QString part = field ? field->Text() : QString();
        const bool decimal = !part.isEmpty() && part.size() <= 3 && std::all_of(part.begin(), part.end(), IsDecimalDigit);
        parts.append(decimal ? QString::number(part.toInt()) : part);
    }
    return parts.join(u'.');
}

} // namespace platform
