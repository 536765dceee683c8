#pragma once

// The topic template dialog: edits one payload template (or topic) text in a
// multi-line editor. The caller sets the public fields and the editor's text
// before showing it and reads the editor after OK.

#include "platform/Forms.h"

namespace platform {
class TLabel;
class TPanel;
class TRichEdit;
}
class TExStringGrid;
class TLbButton;

class TFTopicTemplate : public platform::TForm
{
public:
    TFTopicTemplate();
    ~TFTopicTemplate() override;

    platform::TPanel* P_Title = nullptr;
    platform::TLabel* L_SW_Code = nullptr;
    platform::TLabel* L_SW_Desc = nullptr;
    platform::TRichEdit* RE_TopicTemplate = nullptr;
    platform::TLabel* L_Keywords = nullptr;
    TExStringGrid* ESG_Keywords = nullptr;
    platform::TPanel* P_Button = nullptr;
    TLbButton* Btn_OK = nullptr;
    TLbButton* Btn_Cancel = nullptr;

    int TopicTemplate = 0;  // non-zero: a template is edited, else a topic
    int Working_Mode = 0;
    int Pub_Sub = 0;        // 0 publish, 1 subscribe

    void FormShow();
    void Laod_Keywords();
    void Set_Lang();
};

extern TFTopicTemplate* FTopicTemplate;
