#pragma once

#include "platform/Forms.h"

namespace platform {
class TImage;
class TLabel;
}
class TLbButton;

// The about box: the build's description, software code, version and
// document code. Its texts are the same in every language.
class TFAbout : public platform::TForm
{
public:
    TFAbout();

    platform::TImage* Image2 = nullptr;
    platform::TLabel* Label1 = nullptr;   // "Software Vudidid "
    platform::TLabel* Label2 = nullptr;   // the description
    platform::TLabel* Label3 = nullptr;   // "Software Code : "
    platform::TLabel* Label9 = nullptr;
    platform::TLabel* Label5 = nullptr;   // "Version :"
    platform::TLabel* Label10 = nullptr;
    platform::TLabel* Label11 = nullptr;  // "Document Code :"
    platform::TLabel* Label12 = nullptr;
    platform::TLabel* Label4 = nullptr;   // the maker's web address
    TLbButton* LbButton1 = nullptr;

    // The maker's home page, as the main window's address link opens it.
    static QString Home_Page_Address();
    void Label4Click(QObject* sender);

private:
    void FormShow();
};

extern TFAbout* FAbout;
