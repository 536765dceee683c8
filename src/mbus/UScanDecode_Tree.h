#pragma once

// The trees of the scan window: one text per node, three levels (meter, data
// record, record detail), a check box on the meter and record nodes, and the
// picture of the node's level. Built over the platform's tree view; the texts
// are made when a node is added.

#include "mbus/UMBusScanDecode.h"
#include "platform/Controls.h"
#include "platform/Graphics.h"

#include <QStringList>

#include <memory>

class TScanTree : public platform::TTreeView
{
public:
    explicit TScanTree(QWidget* parent = nullptr);
    ~TScanTree() override;

    // A node below `parent` (a top node when null) with the picture of its level.
    platform::TTreeNode* Add_Node(platform::TTreeNode* parent, const QString& text, bool check_box, bool checked);
    // A record node and its twelve details.
    platform::TTreeNode* Add_Record(platform::TTreeNode* meter, const QString& text, const TVariable_MBus& v,
                                    bool checked);

private:
    std::unique_ptr<platform::TImageList> IL_Tree1;
};

// "Value = ... - Type = ... (U.S.T.)"
QString Scan_Record_Text(const TVariable_MBus& v);
// The twelve detail lines of a record, in order.
QStringList Scan_Record_Details(const TVariable_MBus& v);
// The text of a wired meter's node; with the reason its data were not decoded.
QString Scan_Wired_Meter_Text(const TSlave_MBus& m);
QString Scan_Wireless_Meter_Text(const TSlave_wMBus& m);
