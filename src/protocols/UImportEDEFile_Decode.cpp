#include "protocols/UImportEDEFile_Decode.h"

#include "platform/NumberText.h"

using platform::NumberOr;

namespace {

struct EDE_Type
{
    int number;
    const char* objectType;
    const char* dataType;
    int bytes;
};
const EDE_Type kTypes[] = {
    {0, "Analog Input", "Real", 4},           {1, "Analog Output", "Real", 4},
    {2, "Analog Value", "Real", 4},           {3, "Binary Input", "Enumerated", 1},
    {4, "Binary Output", "Enumerated", 1},    {5, "Binary Value", "Enumerated", 1},
    {13, "Multi-State Input", "Unsigned Int", 4}, {14, "Multi-State Output", "Unsigned Int", 4},
    {19, "Multi-State Value", "Unsigned Int", 4}, {21, "Life Safety Point", "Enumerated", 2},
    {22, "Life Safety Zone", "Enumerated", 2}, {23, "Accumulator", "Unsigned Int", 4},
    {45, "Integer Value", "Signed Int", 4},    {46, "Large Analog Value", "Double", 8},
    {48, "Positive Integer Value", "Unsigned Int", 4}};

const EDE_Type* Find(int number)
{
    for (const EDE_Type& t : kTypes)
        if (t.number == number)
            return &t;
    return nullptr;
}

// The header's mark: "# mandatory..." (the "#" and blanks around it dropped).
bool Is_Header(const QString& line)
{
    QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('#')))
        return false;
    return t.mid(1).trimmed().startsWith(QLatin1String("mandatory"));
}

bool Yes(const QString& field) { return field.trimmed().toUpper() == QLatin1String("Y"); }

} // namespace

bool EDE_Type_Accepted(int objectType) { return Find(objectType) != nullptr; }
QString Get_ObjType_EDE(int objectType)
{
    const EDE_Type* t = Find(objectType);
    return t ? QString::fromLatin1(t->objectType) : QString();
}
QString Get_DataType_EDE(int objectType)
{
    const EDE_Type* t = Find(objectType);
    return t ? QString::fromLatin1(t->dataType) : QStringLiteral("Null");
}
int Get_NumByte_EDE(int objectType)
{
    const EDE_Type* t = Find(objectType);
    return t ? t->bytes : 4;
}

std::vector<TBACnet_Var> Parse_EDE_Lines(const QStringList& lines)
{
    int start = -1;
    // Line 7 is where the layout puts the header; files that have it elsewhere
    // are searched whole, the last header winning.
    if (lines.size() > 6 && Is_Header(lines[6])) {
        start = 8;
    } else {
        for (int i = 0; i < lines.size(); ++i)
            if (Is_Header(lines[i]))
                start = i + 2;
    }
    std::vector<TBACnet_Var> out;
    if (start < 0)
        return out;
    for (int i = start; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        // Fields 1 .. 15 count only with a ";" after them; the sixteenth is
        // the whole rest of the line.
        QStringList f;
        qsizetype from = 0;
        for (int k = 0; k < 15; ++k) {
            const qsizetype semi = line.indexOf(QLatin1Char(';'), from);
            if (semi < 0) {
                from = line.size();
                f << QString();
                continue;
            }
            const QString field = line.mid(from, semi - from);
            f << (k == 0 ? field : field.trimmed());
            from = semi + 1;
        }
        QString rest = line.mid(from).trimmed();
        if (rest.endsWith(QLatin1Char(';')))
            rest.chop(1);
        TBACnet_Var v;
        v.keyname = f[0];
        v.device_obj_instance = NumberOr(f[1], -1);
        v.object_name = f[2];
        v.object_type = NumberOr(f[3], -1);
        v.object_instance = NumberOr(f[4], -1);
        v.description = f[5];
        v.present_value_default = f[6];
        v.min_present_value = f[7];
        v.max_present_value = f[8];
        v.commandable = Yes(f[9]);
        v.support_COV = Yes(f[10]);
        v.hi_limit = f[11];
        v.low_limit = f[12];
        v.stete_text_reference = f[13];
        v.unit_code = f[14];
        v.vendor_specific_address = rest.trimmed();
        if (!EDE_Type_Accepted(v.object_type))
            continue;
        v.import = v.read = true;
        v.write = v.commandable;
        out.push_back(v);
    }
    return out;
}

