#include "shell/UAbout.h"
#include "shell/UComon.h"

#include "platform/Controls.h"
#include "platform/Process.h"
#include "widgets/LbButton.h"

#include <QImage>

TFAbout* FAbout = nullptr;

// The picture lives in the shell's resources; a static library registers them by hand.
static void Init_About_Resources()
{
    Q_INIT_RESOURCE(URorudizezFirmWare);
}

using namespace platform;

namespace {

TLabel* Make_Label(QWidget* parent, int left, int top, const QString& caption = QString())
{
    auto* label = new TLabel(parent);
    label->SetLeft(left);
    label->SetTop(top);
    label->SetTransparent(true);
    label->SetCaption(caption);
    return label;
}

} // namespace

QString TFAbout::Home_Page_Address()
{
    return QStringLiteral("http://%1/HOME/default.asp?frompg=%2").arg(Maker_Host, Build_SW_Code);
}

TFAbout::TFAbout()
{
    Init_About_Resources();
    SetName(QStringLiteral("FAbout"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(biSystemMenu);
    SetPosition(poScreenCenter);
    Set_Window_Look(this);
    SetCaption(QStringLiteral("About"));

    // The controls are built when the window is first needed.
    Build_When_Needed(this, [this] {
        Image2 = new TImage(this);
        Image2->SetBounds(12, 16, 56, 56);
        Image2->SetStretch(true);
        Image2->SetCursor(crHandPoint);
        QImage picture(QStringLiteral(":/shell/info.png"));
        if (!picture.isNull()) {
            TBitmap bitmap;
            bitmap.SetImage(picture.convertToFormat(QImage::Format_RGB32));
            bitmap.SetTransparent(true);
            Image2->SetPicture(bitmap);
        }

        Label1 = Make_Label(this, 80, 16, QStringLiteral("Software Vudidid "));
        Label2 = Make_Label(this, 182, 16);
        Label2->Font().SetStyle(fsBold);
        Label3 = Make_Label(this, 80, 38, QStringLiteral("Software Code : "));
        Label9 = Make_Label(this, 182, 38);
        Label5 = Make_Label(this, 80, 60, QStringLiteral("Version :"));
        Label10 = Make_Label(this, 182, 60);
        Label11 = Make_Label(this, 80, 82, QStringLiteral("Document Code :"));
        Label12 = Make_Label(this, 182, 82);
        Label4 = Make_Label(this, 12, 118, Maker_Host);
        Label4->Font().SetColor(clBlue);
        Label4->Font().SetStyle(fsUnderline);
        Label4->SetCursor(crHandPoint);
        Label4->OnClick = [this](QObject* sender) { Label4Click(sender); };
        Image2->OnClick = [this](QObject* sender) { Label4Click(sender); };

        LbButton1 = new TLbButton(this);
        LbButton1->SetName(QStringLiteral("LbButton1"));
        LbButton1->SetBounds(325, 110, 88, 28);
        LbButton1->SetCaption(QStringLiteral("OK"));
        LbButton1->SetModalResult(mrOk);
        LbButton1->SetDefault(true);

        OnShow = [this](QObject*) { FormShow(); };
        FormShow();
    });
}

void TFAbout::FormShow()
{
    Label2->SetCaption(Build_SW_Desc);
    Label9->SetCaption(QStringLiteral("DIZ5U15"));
    Label10->SetCaption(QStringLiteral("1.002"));
    Label12->SetCaption(QStringLiteral("RIR5I15"));
    SetClientWidth(425);
    SetClientHeight(148);
}

void TFAbout::Label4Click(QObject*)
{
    OpenWithDesktop(Home_Page_Address());
}
