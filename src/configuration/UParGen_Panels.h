#pragma once

// Which category panels of the general parameters each model of the family
// shows, top to bottom, and what the panels of the other models hold. The
// panels are numbered in that order in their captions; the LoRaWAN panel
// comes first in every model.

#include <QString>
#include <QStringList>

#include <vector>

struct TParGen_Panel
{
    const char* name;   // the window's category panel, "CP_LoRa" ...
    int caption;        // language entry of its caption
    // The control whose bottom ends the panel, for the panels whose layout
    // only fits the height; nullptr where the layout follows the choices.
    const char* last = nullptr;
};

struct TParGen_Model
{
    const char* model;                 // "X5K15" ...
    std::vector<const char*> panels;   // panel names, top to bottom
    // With the BACnet type "BACnet/IP" the BACnet panel carries the IP rows
    // and the Ethernet panel stays hidden.
    bool ethernet_follows_bacnet_type = false;
};

// The 35 panels of the window and the 29 models of the family.
const std::vector<TParGen_Panel>& ParGen_Panels();
const std::vector<TParGen_Model>& ParGen_Models();

const TParGen_Panel* Find_ParGen_Panel(const QString& name);
const TParGen_Model* Find_ParGen_Model(const QString& model);

// The model this program is built for (the build option CONFIGURATOR_MODEL).
extern const QString ParGen_Build_Model;

// The numbered captions of a model's panels from the language table:
// "1. " and the first panel's caption, "2. " ...
QStringList ParGen_Panel_Captions(const TParGen_Model& model);

// One row of a panel of the other models, top to bottom. Its texts are
// language entries: the caption of its label or check box, and the hint of
// its field, which is the entry after the caption unless given.
enum class TParGen_Row_Kind {
    Edit,           // label and edit field
    Choice,         // label and choice list
    Check,          // check box standing alone
    Octets,         // label and four octet fields; hints: the four entries after the caption
    Check_Octets,   // check box and four octet fields; hints: the check box's, then the octets'
    Check_Beside,   // check box in the field column of the row above
    Unit,           // label right of the field of the row above, without hint
};

struct TParGen_Row
{
    TParGen_Row_Kind kind;
    const char* name;   // field, choice list or check box; octet rows: the fields' stem ("E_KNX_IP" → "E_KNX_IP1"...)
    int caption;
    int hint = 0;       // 0: the entry after the caption; -1: none
    std::vector<const char*> items = {};   // fixed entries of a choice list
    const char* check = nullptr;           // the check box of a Check_Octets row
};

struct TParGen_Panel_Rows
{
    const char* panel;
    std::vector<TParGen_Row> rows;
};

// The controls of the 31 panels that this file does not describe with the
// general parameters' elements (every panel but LoRaWAN, M-Bus, M-Bus Wireless
// and Ethernet). Nothing of theirs is loaded or saved.
const std::vector<TParGen_Panel_Rows>& ParGen_Protocol_Panels();
const TParGen_Panel_Rows* Find_ParGen_Protocol_Panel(const QString& panel);

// The label of a row's field: "E_KNX_IDDevice" → "L_KNX_IDDevice".
QString ParGen_Label_Name(const QString& field);
