#include "mbus/UMeter_Bus.h"

// Each list is built once, on first use, and never changes afterwards.

const QStringList& MBus_Type_Of_Data_List()
{
    static const QStringList list = {
        QString::fromUtf8("Energy (Wh)"),
        QString::fromUtf8("Energy (J)"),
        QString::fromUtf8("Volume (m³)"),
        QString::fromUtf8("Mass (Kg)"),
        QString::fromUtf8("On Time"),
        QString::fromUtf8("Operating Time"),
        QString::fromUtf8("Power (W)"),
        QString::fromUtf8("Power (J/h)"),
        QString::fromUtf8("Volume Flow (m³/h)"),
        QString::fromUtf8("Volume Flow Ext. (m³/min)"),
        QString::fromUtf8("Volume Flow Ext. (m³/s)"),
        QString::fromUtf8("Mass Flow (Kg/h)"),
        QString::fromUtf8("Flow Temperature (°C)"),
        QString::fromUtf8("Return Temperature (°C)"),
        QString::fromUtf8("Temperature Difference (K)"),
        QString::fromUtf8("External Temperature (°C)"),
        QString::fromUtf8("Pressure (bar)"),
        QString::fromUtf8("Averaging Duration "),
        QString::fromUtf8("Actuality Duration"),
        QString::fromUtf8("Type of  Data in VIFE"),
        QString::fromUtf8("Time Point"),
        QString::fromUtf8("VIF is in ASCII"),
        QString::fromUtf8("Unit for H.C.A."),
        QString::fromUtf8("Fabrication No"),
        QString::fromUtf8("(Enhanced) Identification"),
        QString::fromUtf8("Bus Address"),
    };
    return list;
}

const QStringList& MBus_Function_List()
{
    static const QStringList list = {
        QStringLiteral("Instantaneous Value"),
        QStringLiteral("Minimun Value"),
        QStringLiteral("Maximum Value"),
        QStringLiteral("Value During Error State"),
    };
    return list;
}

const QStringList& MBus_Dimension_List()
{
    static const QStringList list = {
        QStringLiteral("8"),  QStringLiteral("16"), QStringLiteral("32"),      QStringLiteral("64"),
        QStringLiteral("24"), QStringLiteral("48"), QStringLiteral("32 Real"), QStringLiteral("Variable Length"),
    };
    return list;
}

const QStringList& MBus_Unit_List()
{
    static const QStringList list = [] {
        QStringList l;
        for (int i = 0; i <= 10; ++i)
            l << QString::number(i);
        return l;
    }();
    return list;
}

const QStringList& MBus_Post_Operation_List()
{
    static const QStringList list = {
        QStringLiteral("None"),
        QStringLiteral(" : 10"), QStringLiteral(" : 100"), QStringLiteral(" : 1000"),
        QStringLiteral(" : 10000"), QStringLiteral(" : 100000"), QStringLiteral(" : 1000000"),
        QStringLiteral(" * 10"), QStringLiteral(" * 100"), QStringLiteral(" * 1000"),
        QStringLiteral(" * 10000"), QStringLiteral(" * 100000"), QStringLiteral(" * 1000000"),
    };
    return list;
}

const QStringList& MBus_VIFE_List()
{
    static const QStringList list = {
        QStringLiteral("Not Selected"),
        QString::fromUtf8("Credit of the nominal local legal currency units"),
        QString::fromUtf8("Debit of the nominal local legal currency units"),
        QString::fromUtf8("Access Number (transmission count)"),
        QString::fromUtf8("Medium (as in fixed header)"),
        QString::fromUtf8("Manufacturer (as in fixed header)"),
        QString::fromUtf8("Parameter set identification"),
        QString::fromUtf8("Model/Version"),
        QString::fromUtf8("Hardware Version #"),
        QString::fromUtf8("Firmware Version #"),
        QString::fromUtf8("Software Version #"),
        QString::fromUtf8("Customer Location"),
        QString::fromUtf8("Customer"),
        QString::fromUtf8("Access Code User"),
        QString::fromUtf8("Access Code Operator"),
        QString::fromUtf8("Access Code System Operator"),
        QString::fromUtf8("Access Code Developer"),
        QString::fromUtf8("Password"),
        QString::fromUtf8("Error flags (binary)"),
        QString::fromUtf8("Error mask"),
        QString::fromUtf8("Digital Output (binary)"),
        QString::fromUtf8("Digital Input (binary)"),
        QString::fromUtf8("Baudrate [Baud]"),
        QString::fromUtf8("response delay time [bittimes]"),
        QString::fromUtf8("Retry"),
        QString::fromUtf8("First storage # for cyclic storage"),
        QString::fromUtf8("Last storage # for cyclic storage"),
        QString::fromUtf8("Size of storage block"),
        QString::fromUtf8("Storage interval [sec(s)..day(s)]"),
        QString::fromUtf8("Storage interval month(s)"),
        QString::fromUtf8("Storage interval year(s)"),
        QString::fromUtf8("Duration since last readout[sec(s)..day(s)]"),
        QString::fromUtf8("Start (date/time) of tariff"),
        QString::fromUtf8("Duration of tariff (nn=01..11:min to day)"),
        QString::fromUtf8("Period of tariff [sec(s) to day(s)]"),
        QString::fromUtf8("Period of tariff months(s)"),
        QString::fromUtf8("Period of tariff year(s)"),
        QString::fromUtf8("dimensionless/ no VIF"),
        QString::fromUtf8("Volts "),
        QString::fromUtf8("Ampere"),
        QString::fromUtf8("Reset counter"),
        QString::fromUtf8("Comulation counter"),
        QString::fromUtf8("Control signal"),
        QString::fromUtf8("Day of week"),
        QString::fromUtf8("Week number"),
        QString::fromUtf8("Time point of day change"),
        QString::fromUtf8("State of parameter activation"),
        QString::fromUtf8("Special supplier information"),
        QString::fromUtf8("Duration since last comulation [hour(s)..year(s)]"),
        QString::fromUtf8("Operation time battery [hour(s)..year(s)]"),
        QString::fromUtf8("Date and time of battery change"),
        QString::fromUtf8("Energy MWh"),
        QString::fromUtf8("Energy GJ"),
        QString::fromUtf8("Volume "),
        QString::fromUtf8("Mass"),
        QString::fromUtf8("Volume 0,1 feet^3"),
        QString::fromUtf8("Volume 0,1 american gallon"),
        QString::fromUtf8("Volume 1 american gallon"),
        QString::fromUtf8("Volume flow 0,001 american gallon/min"),
        QString::fromUtf8("Volume flow 1 american gallon/min"),
        QString::fromUtf8("Volume flow 1 american gallon/h"),
        QString::fromUtf8("Power MW"),
        QString::fromUtf8("Power GJ/h"),
        QString::fromUtf8("Flow Temperature"),
        QString::fromUtf8("Return Temperature"),
        QString::fromUtf8("Temperature Difference"),
        QString::fromUtf8("External Temperature"),
        QString::fromUtf8("Cold/Warm Temperature Limit °F"),
        QString::fromUtf8("Cold/Worm Temperature Limit °C"),
        QString::fromUtf8("Cumul. count max power"),
        QString::fromUtf8("per second"),
        QString::fromUtf8("per minute"),
        QString::fromUtf8("per hour"),
        QString::fromUtf8("per day"),
        QString::fromUtf8("per week"),
        QString::fromUtf8("per month"),
        QString::fromUtf8("per year"),
        QString::fromUtf8("per revolution/measurement"),
        QString::fromUtf8("increment per input pulse on input channel"),
        QString::fromUtf8("increment per output pulse on output channel"),
        QString::fromUtf8("per liter"),
        QString::fromUtf8("per m^3"),
        QString::fromUtf8("per kg"),
        QString::fromUtf8("per K (Kelvin)"),
        QString::fromUtf8("per kWh"),
        QString::fromUtf8("per GJ"),
        QString::fromUtf8("per kW"),
        QString::fromUtf8("per (K*l)(Kelvin*liter) "),
        QString::fromUtf8("per V (Volt)"),
        QString::fromUtf8("per A (Ampere)"),
        QString::fromUtf8("multiplied by sek"),
        QString::fromUtf8("multiplied by sek/V"),
        QString::fromUtf8("multiplied by sek/A"),
        QString::fromUtf8("start date(/time) of"),
        QString::fromUtf8("VIF contains uncorrected unit instead of corrected unit"),
        QString::fromUtf8("Accumulation only if positive contributions"),
        QString::fromUtf8("Accumulation of abs value only if negative contributions"),
        QString::fromUtf8("upper/lower limit value"),
        QString::fromUtf8("# of exceeds of lower/upper limit"),
        QString::fromUtf8("Date(/time) of begin/end of first/last lower/upper limit exceed"),
        QString::fromUtf8("Duration of limit exceed"),
        QString::fromUtf8("Duration of first/last"),
        QString::fromUtf8("Date(/time) of first/last begin/end"),
        QString::fromUtf8("Multiplicative currection factor"),
        QString::fromUtf8("Additive correction constant * unit of VIF (offset)"),
        QString::fromUtf8("Moltiplicative correction factor: 10^3"),
        QString::fromUtf8("future value"),
        QString::fromUtf8("next VIFE's and data of this block are manufacturer specific"),
        QString::fromUtf8("None"),
        QString::fromUtf8("Too many DIFE's"),
        QString::fromUtf8("Storage number not implemented"),
        QString::fromUtf8("Unit number not implemented"),
        QString::fromUtf8("Tariff number not implemented"),
        QString::fromUtf8("Function not implemented"),
        QString::fromUtf8("Data class not implemented"),
        QString::fromUtf8("Data size not implemented"),
        QString::fromUtf8("Too many VIFE's"),
        QString::fromUtf8("Illegal VIF-Group"),
        QString::fromUtf8("Illegal VIF-Exponent"),
        QString::fromUtf8("VIF/DIF mismatch"),
        QString::fromUtf8("Unimplemented action"),
        QString::fromUtf8("No data available (undefined value)"),
        QString::fromUtf8("Data overflow"),
        QString::fromUtf8("Data underflow"),
        QString::fromUtf8("Data error"),
        QString::fromUtf8("Premature end of record "),
        QString::fromUtf8("Security Key"),
        QString::fromUtf8("Remote control (devicespecific e.g. gas valve)"),
        QString::fromUtf8("Operator specific data"),
        QString::fromUtf8("Time point second (0 to 59)"),
        QString::fromUtf8("Data container for wireless M-Bus protocol"),
        QString::fromUtf8("Period of nominal data transmissions [sec(s) to day(s)]"),
        QString::fromUtf8("RF level units: dBm"),
        QString::fromUtf8("Daylight savings (beginning, ending, deviation) data type K"),
        QString::fromUtf8("Listening window management data type L"),
        QString::fromUtf8("Remaining battery life time (days)"),
        QString::fromUtf8("Number times the meter was stopped"),
        QString::fromUtf8("Reactive energy"),
        QString::fromUtf8("Apparent energy"),
        QString::fromUtf8("Energy"),
        QString::fromUtf8("Reactive power"),
        QString::fromUtf8("Relative humidity"),
        QString::fromUtf8("Volume"),
        QString::fromUtf8("Phase U-U (volt. to volt.)"),
        QString::fromUtf8("Phase U-I (volt. to current)"),
        QString::fromUtf8("Frequency"),
        QString::fromUtf8("Apparent power"),
        QString::fromUtf8("Reserved for alternate non-metric unit system"),
        QString::fromUtf8("Value at base conditions"),
        QString::fromUtf8("Value during lower (u= 0), upper (u = 1) limit exceed"),
        QString::fromUtf8("Leakage values"),
        QString::fromUtf8("Overflow values"),
    };
    return list;
}

const QStringList& MBus_Swap_Ident_List()
{
    static const QStringList list = {QStringLiteral("None"), QStringLiteral("Type 1")};
    return list;
}

const QStringList& MBus_Var_List_Type_List()
{
    static const QStringList list = {QStringLiteral("By Type"), QStringLiteral("By Position")};
    return list;
}

const QStringList& MBus_Type_List()
{
    static const QStringList list = {QStringLiteral("wM-Bus"), QStringLiteral("M-Bus on wires")};
    return list;
}

const QStringList& MBus_Cut_After_List()
{
    static const QStringList list = [] {
        QStringList l;
        for (int i = 1; i <= 250; ++i)
            l << QString::number(i);
        return l;
    }();
    return list;
}
