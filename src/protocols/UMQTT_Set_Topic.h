#pragma once

// MQTT topics: the topics the converter publishes, each taking a value from
// its input data array, and the topics it subscribes to, each writing the
// received value into its output data array. Kept in "MQTT_Set_Topic.xml"
// (lists "MQTT_Publish" and "MQTT_Subscribe").
//
// The model has more columns than the window's working mode shows (Ethernet
// message, input template, command trigger, channel, swapping). A hidden
// column keeps its cells and, where it has an attribute, is written back as
// loaded; its checks run only while it is shown. OnCMD, Channel, Swap and
// Swap Word have no attribute: they are not kept in the file.

#include "rules/USet_Access_Form.h"

#include <memory>
#include <vector>

class TFTopicTemplate;

const TRule_Form& MQTT_Set_Topic_Form();

namespace mqtt {

enum { kPub = 0, kSub = 1 };

// Real columns of the publish grid.
enum { pTopic = 1, pRetained, pQoS, pDataType, pDimension, pPosition, pIPAddress, pInputTemplate, pTemplate,
       pOnChange, pOnCMD, pOnTimer, pTime, pChannel, pSwap, pSwapWord, pMnemonic };
// Real columns of the subscribe grid.
enum { sTopic = 1, sRetained, sQoS, sDataType, sDimension, sPosition, sIPAddress, sPort, sEthType, sInputTemplate,
       sTemplate, sSwap, sSwapWord, sMnemonic };

constexpr int kArray_Size = 1500;
constexpr int kTopics = 1024;

// True when the template holds an odd number of "$" (a keyword left open).
bool Error_In_Topic_Template(const QString& text);
// The real columns a working mode hides in a grid.
std::vector<int> Hidden_Columns(int grid, int workingMode);
// The real column of the payload template in a grid.
int Template_Column(int grid);

} // namespace mqtt

class TFMQTT_Set_Topic : public TSet_Access_Form
{
public:
    TFMQTT_Set_Topic();
    ~TFMQTT_Set_Topic() override;

    platform::TTabSheet* TS_Pub = nullptr;
    platform::TTabSheet* TS_Sub = nullptr;
    VOruVizizaZezo* ECG_Pub = nullptr;
    VOruVizizaZezo* ECG_Sub = nullptr;
    QStringList& Hint_MQTT_Set_Topic_Pub;
    QStringList& Hint_MQTT_Set_Topic_Sub;
    int& Byte_IN;
    int& Byte_OUT;
    int Working_Mode = 1;

    bool Do_Copy_Pub() const { return Copied[mqtt::kPub]; }
    bool Do_Copy_Sub() const { return Copied[mqtt::kSub]; }

    void ECG_MQTT_DblClickCell(QObject* sender, int row, int col);
    // Edits the template cell (real column) of a grid in the template dialog.
    void Show_Form_Topic(VOruVizizaZezo* grid, int row, int col);
    static bool Error_In_Topic_Template(const QString& text) { return mqtt::Error_In_Topic_Template(text); }

protected:
    bool Prepare_Show() override;

private:
    void Apply_Working_Mode();
    TFTopicTemplate& Template_Dialog();

    // Only when the program made no template dialog of its own.
    std::unique_ptr<TFTopicTemplate> own_template_;
};

extern TFMQTT_Set_Topic* FMQTT_Set_Topic;
