#pragma once

// EtherNet/IP scanner rules: the slaves the converter opens an I/O
// connection to, each with its IP address, where its input bytes are stored
// and its output bytes taken from, the poll time, and the instances,
// connection points and header sizes of both directions. Kept in
// "EtherNetIP_Master_Rules.xml" with the rules straight under the root. The
// connection columns of a free row can be filled from a device's EDS file.
//
// The IP address is the one key: the rules that are checked are the rules
// that are written, up to the first row without an address.

#include "rules/USet_Access_Form.h"

const TRule_Form& EtherNetIP_Master_Form();

class TFEtherNetIP_Master_Access : public TSet_Access_Form
{
public:
    TFEtherNetIP_Master_Access();
    ~TFEtherNetIP_Master_Access() override;

    VOruVizizaZezo* ECG = nullptr;
    TLbButton* Btn_Import_EDS = nullptr;
    QStringList& Hint;
    // The sizes of the data areas the rows share: 1438 at each showing.
    int Num_Byte_In = 1438;
    int Num_Byte_Out = 1438;

    void Btn_Import_EDSClick(QObject* sender);

    // A data path of hexadecimal bytes separated by ",": 1 at the first item
    // that is not 0..255, else 2 when fewer than minCount items, else 0.
    static int Err_Check_Data_Path(const QString& path, int minCount);

protected:
    bool Prepare_Show() override;
    QString Extra_Check(int grid, const TRule_Rows& rows) override;
    void Set_Lang_Extra() override;
};

extern TFEtherNetIP_Master_Access* FEtherNetIP_Master_Access;
