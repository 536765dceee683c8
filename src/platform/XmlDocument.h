#pragma once

#include <QString>
#include <QByteArray>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace pugi {
class xml_document;
class xml_node_struct;
}

namespace platform {

// A handle to one node of an XmlDocument; valid while the document lives and
// the node is not removed. A null handle answers every read with "nothing".
class XmlNode
{
public:
    XmlNode() = default;

    bool IsNull() const { return node_ == nullptr; }
    explicit operator bool() const { return node_ != nullptr; }
    bool IsElement() const;
    bool IsComment() const;

    // Element name; empty for text and comment nodes.
    QString Name() const;

    // Concatenated text of every text and CDATA node below this one, unchanged
    // (not trimmed). For a comment, the comment text.
    QString Text() const;
    // Replaces the children of an element by one text node.
    void SetText(const QString& text);

    // Children in document order, elements and comments alike.
    XmlNode FirstChild() const;
    XmlNode NextSibling() const;
    std::vector<XmlNode> Children() const;
    // The first child element with exactly this name.
    XmlNode FindChild(const QString& name) const;

    // Appends a child element (or a comment) at the end of the children.
    XmlNode AddChild(const QString& name);
    XmlNode AddComment(const QString& text);

    // An absent attribute has no value: callers that need one must check.
    std::optional<QString> Attribute(const QString& name) const;
    bool HasAttribute(const QString& name) const;
    // A new attribute goes after the existing ones; an existing one keeps its place.
    void SetAttribute(const QString& name, const QString& value);
    std::vector<std::pair<QString, QString>> Attributes() const;

    bool operator==(const XmlNode& other) const { return node_ == other.node_; }

private:
    friend class XmlDocument;
    explicit XmlNode(pugi::xml_node_struct* node) : node_(node) {}
    pugi::xml_node_struct* node_ = nullptr;
};

// An XML document in memory: build, walk, load and save.
class XmlDocument
{
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // Removes every node, so nothing of an earlier load remains.
    void Clear();

    // Top-level nodes: the root element and document-level comments.
    XmlNode AddChild(const QString& name);
    XmlNode AddComment(const QString& text);
    // The first top-level node, element or comment (an XML declaration is not a
    // node here); readers that take "the first node" as their root use this.
    XmlNode FirstChild() const;
    // The first top-level element.
    XmlNode DocumentElement() const;
    std::vector<XmlNode> Children() const;

    // Loading replaces the content. A file that is missing, unreadable or not
    // well-formed leaves the document empty and returns false with a message
    // that says what and where.
    bool Load(const QString& path, QString* error = nullptr);
    bool LoadFromBytes(const QByteArray& bytes, QString* error = nullptr);

    // UTF-8, tab-indented. No declaration unless asked for, so the root element
    // stays the first node of the file. The old file is replaced atomically.
    bool Save(const QString& path, QString* error = nullptr, bool withDeclaration = false) const;
    QByteArray ToBytes(bool withDeclaration = false) const;

private:
    std::unique_ptr<pugi::xml_document> doc_;
};

} // namespace platform
