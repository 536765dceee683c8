#include "platform/XmlDocument.h"
#include "platform/FileSystem.h"

#include <QFile>

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>

namespace platform {

namespace {

// Comments and processing instructions are nodes as in the platform's DOM; a
// text that is nothing but blanks is kept when it is an element's only child.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_comments | pugi::parse_pi
                                   | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

pugi::xml_node Wrap(pugi::xml_node_struct* n) { return pugi::xml_node(n); }

QString FromUtf8(const char* s) { return QString::fromUtf8(s); }

// A name or value handed to the parser's tree as UTF-8. Names and most values
// are short ASCII: those are narrowed on the stack, the rest go through Qt's
// converter, so a document of many attributes does not cost two heap strings
// per attribute.
class Utf8
{
public:
    explicit Utf8(const QString& s)
    {
        const qsizetype n = s.size();
        if (n < qsizetype(sizeof(small_))) {
            const QChar* p = s.constData();
            qsizetype i = 0;
            for (; i < n && p[i].unicode() < 0x80; ++i)
                small_[i] = static_cast<char>(p[i].unicode());
            if (i == n) {
                small_[n] = '\0';
                data_ = small_;
                size_ = static_cast<size_t>(n);
                return;
            }
        }
        large_ = s.toUtf8();
        data_ = large_.constData();
        size_ = static_cast<size_t>(large_.size());
    }
    Utf8(const Utf8&) = delete;
    Utf8& operator=(const Utf8&) = delete;

    const char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    char small_[128];
    QByteArray large_;
    const char* data_ = nullptr;
    size_t size_ = 0;
};

void AppendText(const pugi::xml_node& node, std::string& out)
{
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        switch (c.type()) {
        case pugi::node_pcdata:
        case pugi::node_cdata:
            out += c.value();
            break;
        case pugi::node_element:
            AppendText(c, out);
            break;
        default:
            break;
        }
    }
}

// Converts a byte offset of the parsed buffer into a 1-based line and column;
// the column counts characters, so the bytes that continue a UTF-8 character
// do not count.
void LineAndColumn(const QByteArray& bytes, ptrdiff_t offset, int* line, int* column)
{
    *line = 1;
    *column = 1;
    const ptrdiff_t end = std::min<ptrdiff_t>(offset, bytes.size());
    for (ptrdiff_t i = 0; i < end; ++i) {
        const auto b = static_cast<unsigned char>(bytes.at(i));
        if (b == '\n') {
            ++*line;
            *column = 1;
        } else if ((b & 0xC0) != 0x80) {
            ++*column;
        }
    }
}

// The offset of the first byte that does not begin or continue a well-formed
// UTF-8 character (no overlong forms, no surrogates, nothing above U+10FFFF),
// or -1 when the whole buffer is well-formed. The parser takes such bytes as
// they come and a reader would get U+FFFD in their place, which a save then
// writes over the user's text.
ptrdiff_t FirstInvalidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const ptrdiff_t n = bytes.size();
    ptrdiff_t i = 0;
    while (i < n) {
        // Eight ASCII bytes at a time: most files are nothing else.
        uint64_t word = 0;
        while (i + 8 <= n && (std::memcpy(&word, p + i, 8), (word & 0x8080808080808080ULL) == 0))
            i += 8;
        if (i >= n)
            break;
        const unsigned char b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0)
                low = 0xA0;  // overlong
            else if (b == 0xED)
                high = 0x9F;  // surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0)
                low = 0x90;  // overlong
            else if (b == 0xF4)
                high = 0x8F;  // above U+10FFFF
        } else {
            return i;
        }
        if (i + length > n)
            return i;
        if (p[i + 1] < low || p[i + 1] > high)
            return i;
        for (int k = 2; k < length; ++k)
            if ((p[i + k] & 0xC0) != 0x80)
                return i;
        i += length;
    }
    return -1;
}

class ByteWriter : public pugi::xml_writer
{
public:
    void write(const void* data, size_t size) override
    {
        bytes.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QByteArray bytes;
};

} // namespace

// --- XmlNode ---------------------------------------------------------------

bool XmlNode::IsElement() const { return Wrap(node_).type() == pugi::node_element; }
bool XmlNode::IsComment() const { return Wrap(node_).type() == pugi::node_comment; }

QString XmlNode::Name() const
{
    return IsElement() ? FromUtf8(Wrap(node_).name()) : QString();
}

QString XmlNode::Text() const
{
    const pugi::xml_node n = Wrap(node_);
    switch (n.type()) {
    case pugi::node_element: {
        std::string text;
        AppendText(n, text);
        return QString::fromStdString(text);
    }
    case pugi::node_null:
        return {};
    default:
        return FromUtf8(n.value());
    }
}

void XmlNode::SetText(const QString& text)
{
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element) {
        const Utf8 value(text);
        n.set_value(value.data(), value.size());
        return;
    }
    while (n.first_child())
        n.remove_child(n.first_child());
    if (!text.isEmpty()) {
        const Utf8 value(text);
        n.append_child(pugi::node_pcdata).set_value(value.data(), value.size());
    }
}

XmlNode XmlNode::FirstChild() const
{
    for (pugi::xml_node c = Wrap(node_).first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element || c.type() == pugi::node_comment)
            return XmlNode(c.internal_object());
    return {};
}

XmlNode XmlNode::NextSibling() const
{
    for (pugi::xml_node c = Wrap(node_).next_sibling(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element || c.type() == pugi::node_comment)
            return XmlNode(c.internal_object());
    return {};
}

std::vector<XmlNode> XmlNode::Children() const
{
    std::vector<XmlNode> out;
    for (XmlNode c = FirstChild(); c; c = c.NextSibling())
        out.push_back(c);
    return out;
}

XmlNode XmlNode::FindChild(const QString& name) const
{
    if (!IsElement() && Wrap(node_).type() != pugi::node_document)
        return {};
    const Utf8 utf8(name);
    return XmlNode(Wrap(node_).child(utf8.data()).internal_object());
}

XmlNode XmlNode::AddChild(const QString& name)
{
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element && n.type() != pugi::node_document)
        return {};
    const Utf8 utf8(name);
    return XmlNode(n.append_child(utf8.data()).internal_object());
}

XmlNode XmlNode::AddComment(const QString& text)
{
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element && n.type() != pugi::node_document)
        return {};
    pugi::xml_node c = n.append_child(pugi::node_comment);
    const Utf8 value(text);
    c.set_value(value.data(), value.size());
    return XmlNode(c.internal_object());
}

std::optional<QString> XmlNode::Attribute(const QString& name) const
{
    const Utf8 key(name);
    const pugi::xml_attribute a = Wrap(node_).attribute(key.data());
    if (!a)
        return std::nullopt;
    return FromUtf8(a.value());
}

bool XmlNode::HasAttribute(const QString& name) const
{
    const Utf8 key(name);
    return static_cast<bool>(Wrap(node_).attribute(key.data()));
}

void XmlNode::SetAttribute(const QString& name, const QString& value)
{
    pugi::xml_node n = Wrap(node_);
    if (n.type() != pugi::node_element)
        return;
    const Utf8 key(name);
    pugi::xml_attribute a = n.attribute(key.data());
    if (!a)
        a = n.append_attribute(key.data());
    const Utf8 utf8(value);
    a.set_value(utf8.data(), utf8.size());
}

std::vector<std::pair<QString, QString>> XmlNode::Attributes() const
{
    std::vector<std::pair<QString, QString>> out;
    for (pugi::xml_attribute a = Wrap(node_).first_attribute(); a; a = a.next_attribute())
        out.emplace_back(FromUtf8(a.name()), FromUtf8(a.value()));
    return out;
}

// --- XmlDocument -----------------------------------------------------------

XmlDocument::XmlDocument() : doc_(std::make_unique<pugi::xml_document>()) {}
XmlDocument::~XmlDocument() = default;

void XmlDocument::Clear() { doc_->reset(); }

XmlNode XmlDocument::AddChild(const QString& name)
{
    return XmlNode(doc_->internal_object()).AddChild(name);
}

XmlNode XmlDocument::AddComment(const QString& text)
{
    return XmlNode(doc_->internal_object()).AddComment(text);
}

XmlNode XmlDocument::FirstChild() const
{
    return XmlNode(doc_->internal_object()).FirstChild();
}

XmlNode XmlDocument::DocumentElement() const
{
    return XmlNode(doc_->document_element().internal_object());
}

std::vector<XmlNode> XmlDocument::Children() const
{
    return XmlNode(doc_->internal_object()).Children();
}

bool XmlDocument::Load(const QString& path, QString* error)
{
    doc_->reset();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString());
        return false;
    }
    QString why;
    if (!LoadFromBytes(bytes, &why)) {
        if (error)
            *error = QStringLiteral("%1\n%2").arg(path, why);
        return false;
    }
    return true;
}

bool XmlDocument::LoadFromBytes(const QByteArray& bytes, QString* error)
{
    doc_->reset();
    const pugi::xml_parse_result result
        = doc_->load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), kParseOptions);
    // Text read as UTF-8 (no other encoding found by byte-order mark or
    // declaration) must be UTF-8: reported like any fault of form, at the
    // first bad byte unless the parser stopped before it.
    if (result.encoding == pugi::encoding_utf8) {
        const ptrdiff_t bad = FirstInvalidUtf8(bytes);
        if (bad >= 0 && (result || bad <= result.offset)) {
            int line = 1;
            int column = 1;
            LineAndColumn(bytes, bad, &line, &column);
            QString declared;
            if (doc_->first_child().type() == pugi::node_declaration)
                declared = FromUtf8(doc_->first_child().attribute("encoding").value());
            doc_->reset();
            QString description = QStringLiteral("Text that is not valid UTF-8");
            if (!declared.isEmpty() && declared.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0)
                description += QStringLiteral("; the encoding \"%1\" that the file declares cannot be read").arg(declared);
            if (error)
                *error = QStringLiteral("%1 (line %2, column %3)").arg(description).arg(line).arg(column);
            return false;
        }
    }
    // A document needs one root element; pugixml accepts an empty buffer and
    // a second top-level element, whose content a reader of the first would
    // drop without a word.
    pugi::xml_node second;
    if (result) {
        int roots = 0;
        for (pugi::xml_node n = doc_->first_child(); n && !second; n = n.next_sibling())
            if (n.type() == pugi::node_element && ++roots == 2)
                second = n;
    }
    if (result && doc_->document_element() && !second)
        return true;
    int line = 1;
    int column = 1;
    QString description;
    if (second) {
        description = QStringLiteral("More than one root element");
        LineAndColumn(bytes, second.offset_debug(), &line, &column);
    } else if (result) {
        description = QStringLiteral("No root element");
        LineAndColumn(bytes, bytes.size(), &line, &column);
    } else {
        description = QString::fromUtf8(result.description());
        LineAndColumn(bytes, result.offset, &line, &column);
    }
    doc_->reset();
    if (error)
        *error = QStringLiteral("%1 (line %2, column %3)").arg(description).arg(line).arg(column);
    return false;
}

QByteArray XmlDocument::ToBytes(bool withDeclaration) const
{
    ByteWriter writer;
    unsigned flags = pugi::format_indent;
    if (!withDeclaration)
        flags |= pugi::format_no_declaration;
    // A declaration kept from a loaded file is written only when asked for:
    // without it, the nodes after it are written one by one, as the document
    // would write them.
    const pugi::xml_node first = doc_->first_child();
    if (!withDeclaration && first.type() == pugi::node_declaration) {
        for (pugi::xml_node n = first.next_sibling(); n; n = n.next_sibling())
            n.print(writer, "\t", flags, pugi::encoding_utf8, 0);
        return writer.bytes;
    }
    doc_->save(writer, "\t", flags, pugi::encoding_utf8);
    return writer.bytes;
}

bool XmlDocument::Save(const QString& path, QString* error, bool withDeclaration) const
{
    return WriteFileAtomically(path, ToBytes(withDeclaration), error);
}

} // namespace platform
