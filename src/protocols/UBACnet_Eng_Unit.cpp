#include "protocols/UBACnet_Eng_Unit.h"

#include "shell/UComon.h"
#include "shell/ULanguage.h"

#include "platform/Controls.h"
#include "widgets/LbButton.h"

using namespace platform;

TFBACnet_Eng_Unit* FBACnet_Eng_Unit = nullptr;

namespace {

// The engineering units by number, as the name line shows them.
const char* const kUnits[237] = {
    "square-meters", "square-feet", "milliamperes", "amperes", "ohms", "volts", "kilovolts", "megavolts",
    "volt-amperes", "kilovolt-amperes", "megavolt-amperes", "volt-amperes-reactive", "kilovolt-amperes-reactive",
    "megavolt-amperes-reactive", "degrees-phase", "power-factor", "joules", "kilojoules", "watt-hours",
    "kilowatt-hours", "btus", "therms", "ton-hours", "joules-per-kilogram-dry-air", "btus-per-pound-dry-air",
    "cycles-per-hour", "cycles-per-minute", "hertz", "grams-of-water-per-kilogram-dry-air",
    "percent-relative-humidity", "millimeters", "meters", "inches", "feet", "watts-per-square-foot",
    "watts-per-square-meter", "lumens", "luxes", "foot-candles", "kilograms", "pounds-mass", "tons",
    "kilograms-per-second", "kilograms-per-minute", "kilograms-per-hour", "pounds-mass-per-minute",
    "pounds-mass-per-hour", "watts", "kilowatts", "megawatts", "btus-per-hour", "housepower", "tons-refrigeration",
    "pascals", "kilopascals", "bars", "pounds-force-per-square-inch", "centimeters-of-water", "inches-of-water",
    "millimeters-of-mercury", "centimeters-of-mercury", "inches-of-mercury", "degrees-Celsius", "degrees-Kelvin",
    "degrees-Fahrenheit", "degree-days-Celsius", "degree-days-Fahrenheit", "years", "months", "weeks", "days",
    "hours", "minutes", "seconds", "meters-per-second", "kilometers-per-hour", "feet-per-second",
    "feet-per-meters", "miles-per-hour", "cubic-feet", "cubic-meters", "imperial-gallons", "liters", "us-gallons",
    "cubic-feet-per-minute", "cubic-meters-per-second", "imperial-gallons-per-minute", "liters-per-second",
    "liters-per-minute", "us-gallons-per-minute", "degrees-angular", "degrees-Celsius-per-hour",
    "degrees-Celsius-per-minute", "degrees-Fahrenheit-per-hour", "degrees-Fahrenheit-per-minute", "no-units",
    "parts-per-million", "parts-per-billion", "percent", "percent-per-second", "per-minute", "per-second",
    "psi-per-degree-Fahrenheit", "radiants", "revolutions-per-minute", "currency1", "currency2", "currency3",
    "currency4", "currency5", "currency6", "currency7", "currency8", "currency9", "currency10", "square-inches",
    "square-centimeters", "btus-per-pound", "centimeters", "pounds-mass-per-second", "delta-degrees-Fahrenheit",
    "delta-degrees-Kelvin", "kilohms", "megohms", "millivolts", "kilojoules-per-kilogram", "megajoules",
    "joules-per-degree-Kelvin", "joules-per-kilogram-degree-Kelvin", "kilohertz", "megahertz", "per-hour",
    "milliwatts", "hectopascals", "millibars", "cubic-meters-per-hour", "liters-per-hour",
    "kilowatt-hours-per-square-meter", "kilowatt-hours-per-square-foot", "megajoules-hours-per-square-meter",
    "megajoules-hours-per-square-foot", "watts-per-square-meter-degree-kelvin", "cubic-feet-per-second",
    "percent-obscuration-per-foot", "percent-obscuration-per-meter", "milliohms", "megawatt-hours", "kilo-btus",
    "mega-btus", "kilojoules-per-kilogram-dry-air", "megajoules-per-kilogram-dry-air",
    "kilojoules-per-degree-Kelvin", "megajoules-per-degree-Kelvin", "newton", "grams-per-second",
    "grams-per-minute", "tons-per-hour", "kilo-btus-per-hour", "hundredths-seconds", "milliseconds",
    "newton-meters", "millimeters-per-second", "millimeters-per-minute", "meters-per-minute", "meters-per-hour",
    "cubic-meters-per-minute", "meters-per-second-per-second", "amperes-per-meter", "amperes-per-square-meter",
    "ampere-square-meters", "farads", "henrys", "ohm-meters", "siemens", "siemens-per-meter", "teslas",
    "volts-per-degree-Kelvin", "volts-per-meter", "webers", "candelas", "candelas-per-square-meter",
    "degrees-Kelvin-per-hour", "degrees-Kelvin-per-minute", "joule-seconds", "radians-per-second",
    "square-meters-per-Newton", "kilograms-per-cubic-meter", "newton-seconds", "newtons-per-meter",
    "watts-per-meter-per-degree-Kelvin", "micro-siemens", "cubic-feet-per-hour", "us-gallons-per-hour",
    "kilometers", "micrometers", "grams", "milligrams", "milliliters", "milliliters-per-second", "decibels",
    "decibels-millivolt", "decibels-volt", "millisiemens", "watt-hours-reactive", "kilowatt-hours-reactive",
    "megawatt-hours-reactive", "millimeters-of-water", "per-mille", "grams-per-gram", "kilograms-per-kilogram",
    "grams-per-kilogram", "milligrams-per-gram", "milligrams-per-kilogram", "grams-per-milliliter",
    "grams-per-liter", "milligrams-per-liter", "micrograms-per-liter", "grams-per-cubic-meter",
    "milligrams-per-cubic-meter", "micrograms-per-cubic-meter", "nanograms-per-cubic-meter",
    "grams-per-cubic-centimeter", "becquerels", "kilobecquerels", "megabecquerels", "gray", "milligray",
    "microgray", "sieverts", "millisieverts", "microsieverts", "microsieverts-per-hour", "decibels-a",
    "nephelometric-turbidity-unit", "pH", "grams-per-square-meter", "minutes-per-degree-kelvin",
};

struct Quantity
{
    const char* name;
    std::vector<int> units;
};

std::vector<int> Span(int from, int to)
{
    std::vector<int> out;
    for (int u = from; u <= to; ++u)
        out.push_back(u);
    return out;
}

std::vector<int> Join(std::initializer_list<std::vector<int>> parts)
{
    std::vector<int> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

const std::vector<Quantity>& Quantities()
{
    static const std::vector<Quantity> table = {
        {"Acceleration", {166}},
        {"Area", {0, 116, 1, 115}},
        {"Currency", Span(105, 114)},
        {"Electrical", Join({{2, 3}, Span(167, 169), Span(199, 201), {170, 171, 4, 172, 145, 122, 123, 190, 202},
                             Span(173, 175), {5, 124}, Span(6, 13), {176, 177, 14, 15, 178}})},
        {"Energy", Join({{16, 17, 125, 126, 18, 19, 146}, Span(203, 205), {20, 147, 148, 21, 22}})},
        {"Enthalpy", {23, 149, 150, 24, 117}},
        {"Entropy", {127, 151, 152, 128}},
        {"Force", {153}},
        {"Frequency", Join({Span(25, 27), Span(129, 131)})},
        {"Humidity", {28, 29}},
        {"Length", Join({{194, 30, 118, 193}, Span(31, 33)})},
        {"Light", Join({{179, 180}, Span(34, 38)})},
        {"Mass", Join({{196, 195}, Span(39, 41)})},
        {"Mass Flow", Join({{154, 155}, Span(42, 44), {119, 45, 46, 156}})},
        {"Power", Join({{132}, Span(47, 50), {157, 51, 52}})},
        {"Pressure", Join({{53, 133, 54, 134, 55, 56, 206}, Span(57, 61)})},
        {"Temperature", Join({{62, 63, 181, 182}, Span(64, 66), {120, 121}})},
        {"Time", Join({Span(67, 73), {158, 159}})},
        {"Torque", {160}},
        {"Velocity", Join({{161, 162, 74, 163, 164}, Span(75, 78)})},
        {"Volume", Join({Span(79, 81), {197, 82, 83}})},
        {"Volumetric Flow", {142, 84, 191, 85, 165, 135, 86, 198, 87, 88, 136, 89, 192}},
        {"Other", Join({Span(90, 94), {183, 186}, Span(137, 140), {95, 187, 188}, Span(96, 98), {143, 144},
                        Span(99, 103), {184, 104, 185, 189, 141}, Span(207, 236)})},
    };
    return table;
}

QString Text(int entry) { return Language_List.value(entry); }

} // namespace

QString Desc_Unit(int unit)
{
    return unit >= 0 && unit <= 236 ? QString::fromLatin1(kUnits[unit]) : QStringLiteral("unknown");
}

QString BACnet_Unit_List_Name(int unit)
{
    // The list spells three units otherwise than the name line.
    switch (unit) {
    case 139: return QStringLiteral("megajoules-per-square-meter");
    case 140: return QStringLiteral("megajoules-per-square-foot");
    case 172: return QStringLiteral("ohms-meters");
    default: return Desc_Unit(unit);
    }
}

QStringList BACnet_Unit_Quantities()
{
    QStringList out;
    for (const Quantity& q : Quantities())
        out << QString::fromLatin1(q.name);
    return out;
}

std::vector<int> BACnet_Units_Of(int quantity)
{
    const auto& table = Quantities();
    return quantity >= 0 && quantity < static_cast<int>(table.size()) ? table[quantity].units : std::vector<int>();
}

TFBACnet_Eng_Unit::TFBACnet_Eng_Unit()
{
    SetName(QStringLiteral("FBACnet_Eng_Unit"));
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetClientWidth(548);
    SetClientHeight(306);
    SetCaption(Text(1600));
    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        const Title_Panel title = Make_Title_Panel(this);
        P_Title = title.P_Title;
        L_SW_Code = title.L_SW_Code;
        L_SW_Desc = title.L_SW_Desc;
        L_SW_Code->SetCaption(SW_Code);

        const int top = P_Title->Height() + 10;
        Label1 = new TLabel(this);
        Label1->SetBounds(16, top, 300, 18);
        E_Selected_EU = new TEdit(this);
        E_Selected_EU->SetBounds(16, top + 20, 80, 22);
        Label5 = new TLabel(this);
        Label5->SetBounds(104, top + 22, 420, 18);
        Label2 = new TLabel(this);
        Label2->SetBounds(16, top + 56, 400, 18);
        Label3 = new TLabel(this);
        Label3->SetBounds(16, top + 80, 200, 18);
        CB_Select_Type = new TComboBox(this);
        CB_Select_Type->SetStyle(csDropDownList);
        CB_Select_Type->SetBounds(16, top + 100, 200, 22);
        CB_Select_Type->SetItems(BACnet_Unit_Quantities());
        CB_Select_Type->SetItemIndex(0);
        CB_Select_Type->OnSelect = [this](QObject* s) { CB_Select_TypeSelect(s); };
        Label4 = new TLabel(this);
        Label4->SetBounds(232, top + 80, 290, 18);
        CB_Select_Unit = new TComboBox(this);
        CB_Select_Unit->SetStyle(csDropDownList);
        CB_Select_Unit->SetBounds(232, top + 100, 290, 22);
        Btn_Select_Eng_Unit = new TLbButton(this);
        Btn_Select_Eng_Unit->SetBounds(16, top + 136, 220, 28);
        Btn_Select_Eng_Unit->OnClick = [this](QObject* s) { Btn_Select_Eng_UnitClick(s); };

        P_Button = new TPanel(this);
        P_Button->SetAlign(alBottom);
        P_Button->SetHeight(40);
        P_Button->SetBevelOuter(bvNone);
        Btn_OK = new TLbButton(P_Button);
        Btn_OK->SetBounds(150, 6, 110, 28);
        Btn_OK->SetModalResult(mrOk);
        Btn_Cancel = new TLbButton(P_Button);
        Btn_Cancel->SetBounds(280, 6, 110, 28);
        Btn_Cancel->SetModalResult(mrCancel);
        Btn_Cancel->SetCancel(true);

        OnShow = [this](QObject*) { FormShow(); };
        Set_Lang();
        CB_Select_TypeSelect(nullptr);
    });
}

TFBACnet_Eng_Unit::~TFBACnet_Eng_Unit()
{
    if (FBACnet_Eng_Unit == this)
        FBACnet_Eng_Unit = nullptr;
}

void TFBACnet_Eng_Unit::Set_Lang()
{
    SetCaption(Text(1600));
    if (!Built())
        return;
    L_SW_Desc->SetCaption(Text(1601));
    Btn_OK->SetCaption(Text(1602));
    Btn_Cancel->SetCaption(Text(1603));
    Label1->SetCaption(Text(1604));
    Label2->SetCaption(Text(1605));
    Label3->SetCaption(Text(1606));
    Label4->SetCaption(Text(1607));
    Btn_Select_Eng_Unit->SetCaption(Text(1608));
}

void TFBACnet_Eng_Unit::FormShow() { CB_Select_TypeSelect(nullptr); }

void TFBACnet_Eng_Unit::CB_Select_TypeSelect(QObject*)
{
    QStringList names;
    for (int unit : BACnet_Units_Of(CB_Select_Type->ItemIndex()))
        names << BACnet_Unit_List_Name(unit);
    CB_Select_Unit->SetItems(names);
    CB_Select_Unit->SetItemIndex(names.isEmpty() ? -1 : 0);
}

void TFBACnet_Eng_Unit::Btn_Select_Eng_UnitClick(QObject*)
{
    const std::vector<int> units = BACnet_Units_Of(CB_Select_Type->ItemIndex());
    const int index = CB_Select_Unit->ItemIndex();
    const int unit = index >= 0 && index < static_cast<int>(units.size()) ? units[index] : 0;
    E_Selected_EU->SetText(QString::number(unit));
    Label5->SetCaption(QStringLiteral("-> ") + Desc_Unit(unit));
}
