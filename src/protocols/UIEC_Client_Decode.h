#pragma once

// The model of one IEC 61850 SCL file as the client window needs it: the
// first IED's logical devices, logical nodes, data objects and attributes
// (expanded from the type templates), and the data sets with their members
// and publishing GOOSE control block. Every value is copied out of the XML,
// so the model outlives the parse.

#include <QByteArray>
#include <QString>

#include <memory>
#include <vector>

namespace platform {
class TTreeNode;
class XmlNode;
}

class TIEC_Device;
struct TIEC_Decode_Context;

class TIEC_DA
{
public:
    ~TIEC_DA();

    QString fReference;   // object reference without the functional constraint
    QString fFC;
    QString fbType;
    QString fName;
    std::vector<std::unique_ptr<TIEC_DA>> List_DA;
    platform::TTreeNode* TreeNode = nullptr;  // set by the window, not owned

    void Decode_DA(const platform::XmlNode& element, TIEC_Decode_Context& context, const QString& parentFC,
                   const QString& prefix);
    TIEC_DA* Find_DA(const QString& name) const;
    TIEC_DA* Find_First_DA() const;
};

class TIEC_DO
{
public:
    ~TIEC_DO();

    QString fName;
    std::vector<std::unique_ptr<TIEC_DO>> List_DO;  // sub data objects
    std::vector<std::unique_ptr<TIEC_DA>> List_DA;
    platform::TTreeNode* TreeNode = nullptr;

    void Decode_DO(const platform::XmlNode& element, TIEC_Decode_Context& context, const QString& prefix);
    TIEC_DO* Find_DO(const QString& name) const;
    TIEC_DA* Find_DA(const QString& name) const;
    TIEC_DA* Find_First_DA() const;
};

class TIEC_DataSet
{
public:
    QString fName;
    QString fReference;
    QString fGooseName;
    std::vector<TIEC_DA*> List_DA;  // members, owned by the data-object trees
    platform::TTreeNode* TreeNode = nullptr;

    void Decode_DataSet(const platform::XmlNode& element, TIEC_Decode_Context& context, const TIEC_Device& device,
                        const QString& prefix);
};

class TIEC_LN
{
public:
    ~TIEC_LN();

    QString flnClass;
    QString flnType;
    QString fPrefix;
    QString fInst;
    std::vector<std::unique_ptr<TIEC_DO>> List_DO;
    std::vector<std::unique_ptr<TIEC_DataSet>> List_DataSet;
    platform::TTreeNode* TreeNode = nullptr;

    void Decode_LN(const platform::XmlNode& element, TIEC_Decode_Context& context, const QString& prefix);
    void Decode_LN_DataSet(const platform::XmlNode& element, TIEC_Decode_Context& context, const TIEC_Device& device,
                           const QString& prefix);
    void Decode_LN_Goose(const platform::XmlNode& element, const QString& prefix);
    TIEC_DO* Find_DO(const QString& name) const;
    // The node's name as references spell it: prefix, class, instance.
    QString Name() const { return fPrefix + flnClass + fInst; }
};

class TIEC_LDevice
{
public:
    ~TIEC_LDevice();

    QString fName;
    std::vector<std::unique_ptr<TIEC_LN>> List_LN;
    platform::TTreeNode* TreeNode = nullptr;

    void Decode_LDevice(const platform::XmlNode& element, TIEC_Decode_Context& context, const TIEC_Device& device,
                        bool dataSetPass, const QString& prefix);
    TIEC_LN* Find_LN(const QString& lnClass) const;
    // The node as a data-set member names it: class, prefix and instance.
    TIEC_LN* Find_LN(const QString& lnClass, const QString& prefix, const QString& inst) const;
};

class TIEC_Device
{
public:
    // Parses the file. A missing file gives an empty device; a file that is
    // not well-formed XML gives nothing and the parser's message.
    static std::unique_ptr<TIEC_Device> Create(const QString& path, QString* error = nullptr);
    // The same from bytes in memory (file name as given).
    static std::unique_ptr<TIEC_Device> Create_From_Bytes(const QByteArray& bytes, const QString& fileName,
                                                          QString* error = nullptr);
    // A device that stands for a catalogue file that cannot be read, so
    // that the devices after it keep their positions; it keeps the name the
    // project file gave it.
    static std::unique_ptr<TIEC_Device> Placeholder(const QString& fileName, const QString& name = QString());
    ~TIEC_Device();

    QString fName;
    QString fFileName;
    std::vector<std::unique_ptr<TIEC_LDevice>> List_LDevice;
    platform::TTreeNode* TreeNode = nullptr;
    // Types left unexpanded because they refer back to themselves or the
    // model grew past its bound; the rest of the file is still read.
    bool fTypes_Cut = false;
    // A placeholder: its catalogue file was not there to be read.
    bool fMissing = false;

    TIEC_LDevice* Find_LDevice(const QString& inst) const;

private:
    TIEC_Device() = default;
    void Decode_Device(const platform::XmlNode& scl);
};
