#include "protocols/UIEC_Client_Decode.h"

#include "platform/FileSystem.h"
#include "platform/XmlDocument.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

using platform::XmlNode;

// What every decoder of one parse shares: the type templates, the types
// being expanded right now (a type met again inside itself is a cycle),
// and what is left of the model's bound.
struct TIEC_Decode_Context
{
    XmlNode templates;
    // Templates by kind and id, in file order: every match counts.
    QHash<QString, std::vector<XmlNode>> types;
    std::vector<QString> expanding;
    // Types may share sub-types, so a few lines of file can describe an
    // exponential tree: the model stops growing at this many objects.
    long budget = 200000;
    bool cut = false;

    // False (and the cut noted) when the type must not be expanded.
    bool Enter(const QString& kind, const QString& id)
    {
        const QString key = kind + QLatin1Char(':') + id;
        if (budget <= 0 || std::find(expanding.begin(), expanding.end(), key) != expanding.end()) {
            cut = true;
            return false;
        }
        expanding.push_back(key);
        return true;
    }
    void Leave() { expanding.pop_back(); }
    bool Spend()
    {
        if (budget <= 0) {
            cut = true;
            return false;
        }
        --budget;
        return true;
    }
};

namespace {

QString Attr(const XmlNode& element, const char* name)
{
    return element.Attribute(QString::fromLatin1(name)).value_or(QString());
}

// Child elements of one name, in document order (comments and other names skipped).
std::vector<XmlNode> Elements(const XmlNode& parent, const char* name)
{
    std::vector<XmlNode> out;
    const QString wanted = QString::fromLatin1(name);
    for (XmlNode n = parent.FirstChild(); n; n = n.NextSibling())
        if (n.IsElement() && n.Name() == wanted)
            out.push_back(n);
    return out;
}

XmlNode First(const XmlNode& parent, const char* name)
{
    const QString wanted = QString::fromLatin1(name);
    for (XmlNode n = parent.FirstChild(); n; n = n.NextSibling())
        if (n.IsElement() && n.Name() == wanted)
            return n;
    return {};
}

// Every template of a kind with this id: each match counts.
const std::vector<XmlNode>& Types(const TIEC_Decode_Context& context, const char* kind, const QString& id)
{
    static const std::vector<XmlNode> none;
    const auto found = context.types.constFind(QLatin1String(kind) + QLatin1Char(':') + id);
    return found == context.types.constEnd() ? none : *found;
}

void Index_Types(TIEC_Decode_Context& context)
{
    for (XmlNode t = context.templates.FirstChild(); t; t = t.NextSibling())
        if (t.IsElement() && t.HasAttribute(QStringLiteral("id")))
            context.types[t.Name() + QLatin1Char(':') + Attr(t, "id")].push_back(t);
}

// Children are freed from the last to the first.
template <typename T> void Free_Backwards(std::vector<std::unique_ptr<T>>& list)
{
    while (!list.empty())
        list.pop_back();
}

// Depth first over a list: an item of that name, else the search inside it,
// before the next sibling.
template <typename T>
T* Depth_First(const std::vector<std::unique_ptr<T>>& list, const QString& name, T* (T::*inside)(const QString&) const)
{
    for (const auto& item : list) {
        if (item->fName == name)
            return item.get();
        if (T* inner = ((*item).*inside)(name))
            return inner;
    }
    return nullptr;
}

template <typename T> T* By_Name(const std::vector<std::unique_ptr<T>>& list, const QString& name)
{
    for (const auto& item : list)
        if (item->fName == name)
            return item.get();
    return nullptr;
}

} // namespace

// ---- attributes --------------------------------------------------------------

TIEC_DA::~TIEC_DA() { Free_Backwards(List_DA); }

void TIEC_DA::Decode_DA(const XmlNode& element, TIEC_Decode_Context& context, const QString& parentFC,
                        const QString& prefix)
{
    fName = Attr(element, "name");
    fReference = prefix + QLatin1Char('.') + fName;
    fbType = Attr(element, "bType");
    fFC = parentFC;
    if (element.HasAttribute(QStringLiteral("fc")))
        fFC = Attr(element, "fc");
    if (!element.HasAttribute(QStringLiteral("type")) || fbType == QLatin1String("Enum"))
        return;  // an Enum's type names an EnumType, which is not read
    const QString type = Attr(element, "type");
    if (!context.Enter(QStringLiteral("DAType"), type))
        return;
    for (const XmlNode& t : Types(context, "DAType", type))
        for (const XmlNode& bda : Elements(t, "BDA")) {
            if (!context.Spend())
                break;
            auto da = std::make_unique<TIEC_DA>();
            da->Decode_DA(bda, context, fFC, fReference);
            List_DA.push_back(std::move(da));
        }
    context.Leave();
}

TIEC_DA* TIEC_DA::Find_DA(const QString& name) const { return Depth_First(List_DA, name, &TIEC_DA::Find_DA); }

TIEC_DA* TIEC_DA::Find_First_DA() const
{
    const TIEC_DA* at = this;
    while (!at->List_DA.empty())
        at = at->List_DA.front().get();
    return at == this ? nullptr : const_cast<TIEC_DA*>(at);
}

// ---- data objects ------------------------------------------------------------

TIEC_DO::~TIEC_DO()
{
    Free_Backwards(List_DA);
    Free_Backwards(List_DO);
}

void TIEC_DO::Decode_DO(const XmlNode& element, TIEC_Decode_Context& context, const QString& prefix)
{
    fName = Attr(element, "name");
    const QString reference = prefix + QLatin1Char('.') + fName;
    const QString type = Attr(element, "type");
    if (type.isEmpty() || !context.Enter(QStringLiteral("DOType"), type))
        return;
    for (const XmlNode& t : Types(context, "DOType", type))
        for (XmlNode child = t.FirstChild(); child; child = child.NextSibling()) {
            if (!child.IsElement())
                continue;
            const QString kind = child.Name();
            if (kind != QLatin1String("SDO") && kind != QLatin1String("DA"))
                continue;
            if (!context.Spend())
                break;
            if (kind == QLatin1String("SDO")) {
                auto sdo = std::make_unique<TIEC_DO>();
                sdo->Decode_DO(child, context, reference);
                List_DO.push_back(std::move(sdo));
            } else {
                auto da = std::make_unique<TIEC_DA>();
                da->Decode_DA(child, context, QString(), reference);
                List_DA.push_back(std::move(da));
            }
        }
    context.Leave();
}

TIEC_DO* TIEC_DO::Find_DO(const QString& name) const { return Depth_First(List_DO, name, &TIEC_DO::Find_DO); }

TIEC_DA* TIEC_DO::Find_DA(const QString& name) const { return Depth_First(List_DA, name, &TIEC_DA::Find_DA); }

TIEC_DA* TIEC_DO::Find_First_DA() const
{
    if (List_DA.empty())
        return nullptr;
    TIEC_DA* first = List_DA.front().get();
    TIEC_DA* leaf = first->Find_First_DA();
    return leaf ? leaf : first;
}

// ---- data sets ---------------------------------------------------------------

namespace {

// A member as the FCDA names it: the node by class, prefix and instance, the
// data object and the attribute by their dotted paths, and only attributes
// of the named functional constraint. With no attribute named, the first
// attribute of that constraint stands for the object.
TIEC_DA* Resolve_Member(const TIEC_Device& device, const XmlNode& fcda)
{
    const QString ldInst = Attr(fcda, "ldInst");
    const QString lnClass = Attr(fcda, "lnClass");
    const QString doName = Attr(fcda, "doName");
    const QString daName = Attr(fcda, "daName");
    const QString fc = Attr(fcda, "fc");
    if (ldInst.isEmpty() || lnClass.isEmpty() || doName.isEmpty())
        return nullptr;
    const TIEC_LDevice* ld = device.Find_LDevice(ldInst);
    if (!ld)
        return nullptr;
    const TIEC_LN* ln = ld->Find_LN(lnClass, Attr(fcda, "prefix"), Attr(fcda, "lnInst"));
    if (!ln)
        return nullptr;

    const QStringList doPath = doName.split(QLatin1Char('.'));
    const TIEC_DO* object = By_Name(ln->List_DO, doPath.front());
    for (qsizetype i = 1; object && i < doPath.size(); ++i)
        object = By_Name(object->List_DO, doPath[i]);
    if (!object)
        return nullptr;

    const auto fcMatches = [&](const TIEC_DA* da) { return fc.isEmpty() || da->fFC == fc; };
    if (daName.isEmpty()) {
        for (const auto& da : object->List_DA)
            if (fcMatches(da.get())) {
                TIEC_DA* leaf = da->Find_First_DA();
                return leaf ? leaf : da.get();
            }
        return nullptr;
    }
    const QStringList daPath = daName.split(QLatin1Char('.'));
    TIEC_DA* attribute = By_Name(object->List_DA, daPath.front());
    for (qsizetype i = 1; attribute && i < daPath.size(); ++i)
        attribute = By_Name(attribute->List_DA, daPath[i]);
    return attribute && fcMatches(attribute) ? attribute : nullptr;
}

} // namespace

void TIEC_DataSet::Decode_DataSet(const XmlNode& element, TIEC_Decode_Context&, const TIEC_Device& device,
                                  const QString& prefix)
{
    fName = Attr(element, "name");
    fReference = prefix + QLatin1Char('.') + fName;
    for (const XmlNode& fcda : Elements(element, "FCDA"))
        if (TIEC_DA* member = Resolve_Member(device, fcda))
            List_DA.push_back(member);
}

// ---- logical nodes -----------------------------------------------------------

TIEC_LN::~TIEC_LN()
{
    Free_Backwards(List_DataSet);
    Free_Backwards(List_DO);
}

void TIEC_LN::Decode_LN(const XmlNode& element, TIEC_Decode_Context& context, const QString& prefix)
{
    flnClass = Attr(element, "lnClass");
    flnType = Attr(element, "lnType");
    fPrefix = Attr(element, "prefix");
    fInst = Attr(element, "inst");
    if (flnType.isEmpty())
        return;
    const QString reference = prefix + QLatin1Char('/') + Name();
    for (const XmlNode& t : Types(context, "LNodeType", flnType))
        for (const XmlNode& d : Elements(t, "DO")) {
            if (!context.Spend())
                return;
            auto object = std::make_unique<TIEC_DO>();
            object->Decode_DO(d, context, reference);
            List_DO.push_back(std::move(object));
        }
}

void TIEC_LN::Decode_LN_DataSet(const XmlNode& element, TIEC_Decode_Context& context, const TIEC_Device& device,
                                const QString& prefix)
{
    flnClass = Attr(element, "lnClass");
    if (Attr(element, "lnType").isEmpty())
        return;
    // The data set lives in this very node, so its reference names the node
    // whole (for LLN0, which has neither prefix nor instance, just the class).
    const QString reference = prefix + QLatin1Char('/') + Name();
    for (const XmlNode& d : Elements(element, "DataSet")) {
        auto set = std::make_unique<TIEC_DataSet>();
        set->Decode_DataSet(d, context, device, reference);
        List_DataSet.push_back(std::move(set));
    }
    for (const XmlNode& g : Elements(element, "GSEControl"))
        Decode_LN_Goose(g, reference);
}

void TIEC_LN::Decode_LN_Goose(const XmlNode& element, const QString&)
{
    const QString name = Attr(element, "name");
    const QString dataSet = Attr(element, "datSet");
    if (name.isEmpty() || dataSet.isEmpty())
        return;
    if (TIEC_DataSet* set = By_Name(List_DataSet, dataSet))
        set->fGooseName = name;
}

TIEC_DO* TIEC_LN::Find_DO(const QString& name) const { return Depth_First(List_DO, name, &TIEC_DO::Find_DO); }

// ---- logical devices ---------------------------------------------------------

TIEC_LDevice::~TIEC_LDevice() { Free_Backwards(List_LN); }

void TIEC_LDevice::Decode_LDevice(const XmlNode& element, TIEC_Decode_Context& context, const TIEC_Device& device,
                                  bool dataSetPass, const QString& prefix)
{
    fName = Attr(element, "inst");
    const QString reference = prefix + fName;
    size_t n = 0;
    for (XmlNode child = element.FirstChild(); child; child = child.NextSibling()) {
        if (!child.IsElement() || (child.Name() != QLatin1String("LN0") && child.Name() != QLatin1String("LN")))
            continue;
        if (!dataSetPass) {
            auto ln = std::make_unique<TIEC_LN>();
            ln->Decode_LN(child, context, reference);
            List_LN.push_back(std::move(ln));
        } else if (n < List_LN.size()) {
            List_LN[n]->Decode_LN_DataSet(child, context, device, reference);
        }
        ++n;
    }
}

TIEC_LN* TIEC_LDevice::Find_LN(const QString& lnClass) const
{
    for (const auto& ln : List_LN)
        if (ln->flnClass == lnClass)
            return ln.get();
    return nullptr;
}

TIEC_LN* TIEC_LDevice::Find_LN(const QString& lnClass, const QString& prefix, const QString& inst) const
{
    for (const auto& ln : List_LN)
        if (ln->flnClass == lnClass && ln->fPrefix == prefix && ln->fInst == inst)
            return ln.get();
    return nullptr;
}

// ---- the device --------------------------------------------------------------

TIEC_Device::~TIEC_Device() { Free_Backwards(List_LDevice); }

TIEC_LDevice* TIEC_Device::Find_LDevice(const QString& inst) const
{
    for (const auto& ld : List_LDevice)
        if (ld->fName == inst)
            return ld.get();
    return nullptr;
}

std::unique_ptr<TIEC_Device> TIEC_Device::Create(const QString& path, QString* error)
{
    const QString fileName = QFileInfo(path).fileName();
    if (!platform::FileExists(path)) {
        std::unique_ptr<TIEC_Device> device(new TIEC_Device());
        device->fFileName = fileName;
        return device;
    }
    platform::XmlDocument doc;
    if (!doc.Load(path, error))
        return nullptr;
    std::unique_ptr<TIEC_Device> device(new TIEC_Device());
    device->fFileName = fileName;
    device->Decode_Device(doc.DocumentElement());
    return device;
}

std::unique_ptr<TIEC_Device> TIEC_Device::Placeholder(const QString& fileName, const QString& name)
{
    std::unique_ptr<TIEC_Device> device(new TIEC_Device());
    device->fFileName = fileName;
    device->fName = name;
    device->fMissing = true;
    return device;
}

std::unique_ptr<TIEC_Device> TIEC_Device::Create_From_Bytes(const QByteArray& bytes, const QString& fileName,
                                                            QString* error)
{
    platform::XmlDocument doc;
    if (!doc.LoadFromBytes(bytes, error))
        return nullptr;
    std::unique_ptr<TIEC_Device> device(new TIEC_Device());
    device->fFileName = fileName;
    device->Decode_Device(doc.DocumentElement());
    return device;
}

void TIEC_Device::Decode_Device(const XmlNode& root)
{
    if (!root || root.Name() != QLatin1String("SCL"))
        return;
    const XmlNode ied = First(root, "IED");
    TIEC_Decode_Context context;
    context.templates = First(root, "DataTypeTemplates");
    if (!ied || !context.templates)
        return;
    Index_Types(context);
    fName = Attr(ied, "name");
    const XmlNode accessPoint = First(ied, "AccessPoint");
    const XmlNode server = accessPoint ? First(accessPoint, "Server") : XmlNode();
    if (!server)
        return;
    const std::vector<XmlNode> devices = Elements(server, "LDevice");
    for (const XmlNode& element : devices) {
        auto ld = std::make_unique<TIEC_LDevice>();
        ld->Decode_LDevice(element, context, *this, false, fName);
        List_LDevice.push_back(std::move(ld));
    }
    // Members may lie in any logical device: data sets once the model stands.
    for (size_t n = 0; n < devices.size(); ++n)
        List_LDevice[n]->Decode_LDevice(devices[n], context, *this, true, fName);
    fTypes_Cut = context.cut;
}
