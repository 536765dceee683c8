#pragma once

// TLS known server certificates: up to ten certificate texts the converter
// accepts, each with its Enable box and a description. Kept in
// "TLS_Known_Cert.xml", the rows directly under the root. Nothing checks a
// certificate's form.

#include "rules/USet_Access_Form.h"

const TRule_Form& TLS_Server_Known_Cert_Form();

class TFTLS_Server_Known_Cert : public TSet_Access_Form
{
public:
    TFTLS_Server_Known_Cert();
    ~TFTLS_Server_Known_Cert() override;

    VOruVizizaZezo* ESG = nullptr;
    QStringList& Hint_List;
};

extern TFTLS_Server_Known_Cert* FTLS_Server_Known_Cert;
