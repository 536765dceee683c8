#pragma once

// Which category panels of the general parameters each model of the family
// shows, top to bottom. The panels are numbered in that order in their
// captions; the LoRaWAN panel comes first in every model.

#include <QString>
#include <QStringList>

#include <vector>

struct TParGen_Panel
{
    const char* name;   // the window's category panel, "CP_LoRa" ...
    int caption;        // language entry of its caption
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

// The model this program is built for.
extern const QString ParGen_Build_Model;

// The numbered captions of a model's panels from the language table:
// "1. " and the first panel's caption, "2. " ...
QStringList ParGen_Panel_Captions(const TParGen_Model& model);
