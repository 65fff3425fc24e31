// The XML documents on pugixml: parsing with the document left alone on failure, elements reached
// by position through a small cache of recent positions, and the atomic save through FileSystem.
#include "core/XmlDocument.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <pugixml.hpp>
#include <string_view>

#include "platform/XmlEncoding.h"

namespace korvane {

// Remembers, for a few recently walked parents, their child count and the last position asked for,
// so that loops over the children by position (forwards, or backwards while deleting) stay linear.
struct XmlPositionCache {
    struct Entry {
        pugi::xml_node_struct* parent = nullptr;
        int count = -1;  // -1: not known
        int index = -1;  // -1: no position remembered
        pugi::xml_node_struct* node = nullptr;
    };
    std::array<Entry, 4> entries;
    size_t nextVictim = 0;

    void Forget() { entries = {}; }
    Entry* Find(pugi::xml_node_struct* parent) {
        for (Entry& e : entries)
            if (e.parent == parent) return &e;
        return nullptr;
    }
    Entry& Get(pugi::xml_node_struct* parent) {
        if (Entry* e = Find(parent)) return *e;
        Entry& e = entries[nextVictim];
        nextVictim = (nextVictim + 1) % entries.size();
        e = Entry{parent};
        return e;
    }
};

namespace {

pugi::xml_node Node(void* node) {
    return pugi::xml_node(static_cast<pugi::xml_node_struct*>(node));
}

// An XML name as the writer can put it out and the parser read it back: a letter, '_', ':' or any
// non-ASCII byte first, then also digits, '-' and '.'.
bool IsXmlName(const std::string& name) {
    if (name.empty()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        // ASCII tests, not the locale's: every attribute set asks, and the names are ASCII or not at all.
        bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
        bool later = (c >= '0' && c <= '9') || c == '-' || c == '.';
        if (!(start || (i > 0 && later))) return false;
    }
    return true;
}

void RequireName(const std::string& name) {
    if (!IsXmlName(name)) throw XmlError("\"" + name + "\" is not a valid XML name");
}

// Whether `node` is `ancestor` or lies below it.
bool Within(pugi::xml_node node, pugi::xml_node ancestor) {
    for (; node; node = node.parent())
        if (node == ancestor) return true;
    return false;
}

// The parser lets an element carry the same attribute twice; a well-formed document does not.
void RequireUniqueAttributes(pugi::xml_node element) {
    for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute())
        for (pugi::xml_attribute b = a.next_attribute(); b; b = b.next_attribute())
            if (std::string_view(a.name()) == b.name())
                throw XmlError("XML parse error: duplicate attribute \"" + std::string(a.name()) +
                               "\" at offset " + std::to_string(element.offset_debug()));
}

// The documents hold elements with attributes only; anything else a file carries is dropped so
// that child positions count elements alone. Iterative: a file may nest deeper than the stack.
void KeepElementsOnly(pugi::xml_document& doc) {
    // The node after `node` in document order once its subtree is done, or nothing at the end.
    auto after = [&doc](pugi::xml_node node) {
        while (node && node != doc && !node.next_sibling()) node = node.parent();
        return node && node != doc ? node.next_sibling() : pugi::xml_node();
    };
    pugi::xml_node node = doc.first_child();
    while (node) {
        if (node.type() != pugi::node_element) {
            pugi::xml_node parent = node.parent();
            pugi::xml_node next = node.next_sibling();
            parent.remove_child(node);
            node = next ? next : after(parent);
            continue;
        }
        RequireUniqueAttributes(node);
        node = node.first_child() ? node.first_child() : after(node);
    }
}

class StringWriter : public pugi::xml_writer {
public:
    explicit StringWriter(std::string& out) : out_(out) {}
    void write(const void* data, size_t size) override { out_.append(static_cast<const char*>(data), size); }

private:
    std::string& out_;
};

}  // namespace

// ---- XmlElement ----

std::string XmlElement::Name() const {
    return node_ ? Node(node_).name() : std::string();
}

int XmlElement::ChildCount() const {
    if (!node_) return 0;
    auto* parent = static_cast<pugi::xml_node_struct*>(node_);
    XmlPositionCache::Entry* entry = cache_ ? &cache_->Get(parent) : nullptr;
    if (entry && entry->count >= 0) return entry->count;
    int count = 0;
    for (pugi::xml_node child = Node(node_).first_child(); child; child = child.next_sibling()) ++count;
    if (entry) entry->count = count;
    return count;
}

XmlElement XmlElement::Child(int index) const {
    if (!node_ || index < 0) return {};
    pugi::xml_node parent = Node(node_);
    if (!cache_) {
        pugi::xml_node child = parent.first_child();
        for (int i = 0; child && i < index; ++i) child = child.next_sibling();
        return child ? XmlElement(child.internal_object(), cache_) : XmlElement();
    }
    int count = ChildCount();
    if (index >= count) return {};
    XmlPositionCache::Entry& entry = cache_->Get(parent.internal_object());
    // Start from the nearest of the first child, the remembered position and the last child.
    int from = 0;
    pugi::xml_node node = parent.first_child();
    if (count - 1 - index < index) {
        from = count - 1;
        node = parent.last_child();
    }
    if (entry.index >= 0 && std::abs(entry.index - index) < std::abs(from - index)) {
        from = entry.index;
        node = pugi::xml_node(entry.node);
    }
    for (; from < index; ++from) node = node.next_sibling();
    for (; from > index; --from) node = node.previous_sibling();
    entry.index = index;
    entry.node = node.internal_object();
    return XmlElement(node.internal_object(), cache_);
}

std::vector<XmlElement> XmlElement::Children() const {
    std::vector<XmlElement> result;
    if (!node_) return result;
    for (pugi::xml_node child = Node(node_).first_child(); child; child = child.next_sibling())
        result.push_back(XmlElement(child.internal_object(), cache_));
    return result;
}

XmlElement XmlElement::AppendChild(const std::string& name) {
    if (!node_) throw XmlError("Cannot add \"" + name + "\" to an empty element");
    RequireName(name);
    pugi::xml_node child = Node(node_).append_child(pugi::node_element);
    child.set_name(name.c_str());
    if (cache_) {
        if (XmlPositionCache::Entry* entry = cache_->Find(static_cast<pugi::xml_node_struct*>(node_)))
            if (entry->count >= 0) ++entry->count;
    }
    return XmlElement(child.internal_object(), cache_);
}

void XmlElement::DeleteChild(int index) {
    XmlElement doomed = Child(index);
    if (!doomed) return;
    pugi::xml_node parent = Node(node_);
    pugi::xml_node child = Node(doomed.node_);
    if (cache_) {
        for (XmlPositionCache::Entry& entry : cache_->entries) {
            if (!entry.parent) continue;
            if (entry.parent != parent.internal_object()) {
                if (Within(pugi::xml_node(entry.parent), child)) entry = {};
                continue;
            }
            if (entry.count >= 0) --entry.count;
            if (entry.index > index) {
                --entry.index;
            } else if (entry.index == index) {
                // Keep a neighbour so that a walk from the last child to the first stays linear.
                if (pugi::xml_node before = child.previous_sibling()) {
                    entry.index = index - 1;
                    entry.node = before.internal_object();
                } else if (pugi::xml_node after = child.next_sibling()) {
                    entry.node = after.internal_object();
                } else {
                    entry.index = -1;
                    entry.node = nullptr;
                }
            }
        }
    }
    parent.remove_child(child);
}

void XmlElement::DeleteAllChildren() {
    if (!node_) return;
    if (cache_) cache_->Forget();
    pugi::xml_node parent = Node(node_);
    while (pugi::xml_node child = parent.first_child()) parent.remove_child(child);
}

void XmlElement::SetAttribute(const std::string& name, const std::string& value) {
    if (!node_) throw XmlError("Cannot set \"" + name + "\" on an empty element");
    RequireName(name);
    pugi::xml_node node = Node(node_);
    pugi::xml_attribute attribute = node.attribute(name.c_str());
    if (!attribute) attribute = node.append_attribute(name.c_str());
    attribute.set_value(value.c_str(), value.size());
}

void XmlElement::AddAttribute(const std::string& name, const std::string& value) {
    if (!node_) throw XmlError("Cannot set \"" + name + "\" on an empty element");
    RequireName(name);
    Node(node_).append_attribute(name.c_str()).set_value(value.c_str(), value.size());
}

std::string XmlElement::Attribute(const std::string& name) const {
    if (!node_) return {};
    return Node(node_).attribute(name.c_str()).value();
}

bool XmlElement::HasAttribute(const std::string& name) const {
    return node_ && Node(node_).attribute(name.c_str());
}

int XmlElement::AttributeCount() const {
    if (!node_) return 0;
    int count = 0;
    for (pugi::xml_attribute a = Node(node_).first_attribute(); a; a = a.next_attribute()) ++count;
    return count;
}

// ---- XmlDocument ----

XmlDocument::XmlDocument()
    : doc_(std::make_unique<pugi::xml_document>()), cache_(std::make_unique<XmlPositionCache>()) {}

XmlDocument::~XmlDocument() = default;

void XmlDocument::LoadText(const std::string& text) {
    std::string converted;
    const std::string* source = &text;
    pugi::xml_encoding encoding = pugi::encoding_auto;
    const SniffedXmlEncoding sniffed = SniffXmlEncoding(text);
    if (sniffed.kind == XmlEncodingKind::Windows1252) {
        converted = Windows1252ToUtf8(text);
        source = &converted;
        encoding = pugi::encoding_utf8;
    } else if (sniffed.kind == XmlEncodingKind::Unsupported) {
        throw XmlError("XML parse error: unsupported encoding \"" + sniffed.declared + "\"");
    }
    auto parsed = std::make_unique<pugi::xml_document>();
    // As a fragment, so that the parser keeps text outside the root element where we can see it.
    pugi::xml_parse_result result = parsed->load_buffer(source->data(), source->size(),
                                                        pugi::parse_default | pugi::parse_fragment, encoding);
    if (!result)
        throw XmlError(std::string("XML parse error: ") + result.description() + " at offset " +
                       std::to_string(result.offset));
    // The parser lets text pass outside the root element; a well-formed document has none.
    for (pugi::xml_node child = parsed->first_child(); child; child = child.next_sibling())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            throw XmlError("XML parse error: text outside the root element at offset " +
                           std::to_string(child.offset_debug()));
    KeepElementsOnly(*parsed);
    int roots = 0;
    for (pugi::xml_node child = parsed->first_child(); child; child = child.next_sibling()) ++roots;
    if (roots == 0) throw XmlError("XML parse error: no document element found");
    if (roots > 1) throw XmlError("XML parse error: more than one root element");
    doc_ = std::move(parsed);
    cache_->Forget();
}

void XmlDocument::Load(FileSystem& files, const std::string& path) {
    std::optional<std::string> text = files.readFile(path);
    if (!text) throw XmlError("Cannot read \"" + path + "\"");
    LoadText(*text);
}

void XmlDocument::Reset(const std::string& rootName) {
    RequireName(rootName);
    auto fresh = std::make_unique<pugi::xml_document>();
    fresh->append_child(pugi::node_element).set_name(rootName.c_str());
    doc_ = std::move(fresh);
    cache_->Forget();
}

XmlElement XmlDocument::DocumentElement() const {
    pugi::xml_node root = doc_->document_element();
    return root ? XmlElement(root.internal_object(), cache_.get()) : XmlElement();
}

std::string XmlDocument::SaveText() const {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    StringWriter writer(text);
    doc_->save(writer, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
    return text;
}

void XmlDocument::Save(FileSystem& files, const std::string& path) const {
    // A document without its element would write a file that cannot be loaded again.
    if (!DocumentElement()) throw XmlError("Cannot save \"" + path + "\": the document is empty");
    const std::string temporary = path + ".tmp";
    if (!files.writeFile(temporary, SaveText())) {
        files.deleteFile(temporary);
        throw XmlError("Cannot write \"" + temporary + "\"");
    }
    if (!files.replaceFile(temporary, path)) {
        files.deleteFile(temporary);
        throw XmlError("Cannot replace \"" + path + "\"");
    }
}

}  // namespace korvane
