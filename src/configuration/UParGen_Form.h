#pragma once

// How the general parameters window places its rows, shared by the files of
// the window: a row's label stands at the row's top, its field 3 pixels
// higher, a check box standing alone 1 pixel higher; rows are 28 pixels apart.

#include "platform/Controls.h"

#include <QByteArray>
#include <QStringList>

namespace ParGen_Form {

constexpr int kRowPitch = 28;
constexpr int kLabelLeft = 12;
constexpr int kFieldLeft = 160;
// Wide enough for 32 hexadecimal digits, the widest ("D") included.
constexpr int kFieldWidth = 280;
constexpr int kFieldHeight = 21;
constexpr int kFirstLabelTop = 13;
constexpr int kOctetWidth = 44;
constexpr int kOctetPitch = 58;
// Where a row's controls stand against the row's top.
constexpr int kFieldOffset = -3;
constexpr int kCheckOffset = -1;

inline int Label_Top(int row) { return kFirstLabelTop + kRowPitch * row; }
inline int Field_Top(int row) { return Label_Top(row) + kFieldOffset; }

inline platform::TLabel* Make_Label(QWidget* parent, const QString& name, int row)
{
    auto* label = new platform::TLabel(parent);
    label->SetName(name);
    label->SetLeft(kLabelLeft);
    label->SetTop(Label_Top(row));
    return label;
}

inline platform::TComboBox* Make_Choice(QWidget* parent, const QString& name, int row, const QStringList& items)
{
    auto* combo = new platform::TComboBox(parent);
    combo->SetName(name);
    combo->SetStyle(platform::csDropDownList);
    combo->SetBounds(kFieldLeft, Field_Top(row), kFieldWidth, kFieldHeight);
    combo->SetDropDownCount(16);
    combo->SetItems(items);
    return combo;
}

inline platform::TEdit* Make_Edit(QWidget* parent, const QString& name, int row, int left = kFieldLeft,
                                  int width = kFieldWidth)
{
    auto* edit = new platform::TEdit(parent);
    edit->SetName(name);
    edit->SetBounds(left, Field_Top(row), width, kFieldHeight);
    return edit;
}

inline platform::TCheckBox* Make_Check(QWidget* parent, const QString& name, int row, int left = kLabelLeft)
{
    auto* check = new platform::TCheckBox(parent);
    check->SetName(name);
    check->SetBounds(left, Label_Top(row) + kCheckOffset, kFieldLeft - kLabelLeft - 6, 17);
    return check;
}

// Four octet fields with a "." between neighbours.
struct Octet_Row
{
    platform::TEdit* fields[4];
    platform::TLabel* dots[3];
};

inline Octet_Row Make_Octets(QWidget* parent, const QString& stem, int row)
{
    Octet_Row r{};
    for (int i = 0; i < 4; ++i) {
        r.fields[i] = Make_Edit(parent, stem + QString::number(i + 1), row, kFieldLeft + i * kOctetPitch, kOctetWidth);
        if (i < 3) {
            r.dots[i] = new platform::TLabel(parent);
            r.dots[i]->SetCaption(QStringLiteral("."));
            r.dots[i]->SetLeft(kFieldLeft + i * kOctetPitch + kOctetWidth + 5);
            r.dots[i]->SetTop(Label_Top(row));
        }
    }
    return r;
}

} // namespace ParGen_Form
