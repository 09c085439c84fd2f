#pragma once
// Keeping what the model does not hold: XML elements turned into kept
// fragments (with the cell references the host moves parsed out), and parts
// of the package kept byte for byte with their relationships.
#include <pugixml.hpp>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/KeptXml.h"
#include "host/xlsx/ReaderRelationships.h"
#include "host/xlsx/WriterXml.h"

namespace host::xlsx {

class ZipSource;

// Re-writes one element (and all it holds) from parser events as XML text.
// Attribute values that are cell references (sqref, ref, topLeftCell,
// activeCell) and the row and column numbers of drawing anchors become
// references of the fragment; everything else is text, escaped again.
// Names keep their prefixes as the file wrote them.
class FragmentBuilder {
public:
    // `atts`: name, value, …, null (expat's array).
    void Start(const char* qname, const char** atts);
    void Text(const char* s, size_t len);
    void End(const char* qname);
    // Depth of elements open; 0 once the element that began the fragment has ended.
    int Depth() const { return int(stack_.size()); }
    // The shape ids (cNvPr id) met so far; the largest one.
    uint32_t MaxShapeId() const { return maxShapeId_; }
    // Relationship ids (r:id, r:embed, r:link …) the fragment names.
    const std::set<std::string>& RelationshipIds() const { return relIds_; }
    KeptFragment Take();

private:
    void CloseStartTag();
    void AddRef(KeptRef ref);
    XmlBuffer out_;
    KeptFragment fragment_;
    std::vector<std::string> stack_;  // local names of the open elements
    bool startOpen_ = false;
    std::string* capture_ = nullptr;  // anchor row/column text being collected
    std::string number_;
    uint32_t maxShapeId_ = 0;
    std::set<std::string> relIds_;
};

// Feeds a DOM element and everything below it to the builder.
void FeedElement(pugi::xml_node node, FragmentBuilder& builder);
// The element as a fragment.
KeptFragment ElementFragment(pugi::xml_node node);
// The attributes of an element not named in `modelled` (local names), as
// text to write after the element's name: ` a="1" x14ac:b="2"`.
KeptFragment OtherAttributes(const char* qname, const char** atts, std::initializer_list<std::string_view> modelled);
// Every attribute of the root but the default namespace and the `r` prefix,
// which the writer declares itself.
std::string RootAttributes(const char** atts);
std::string RootAttributes(pugi::xml_node root, std::initializer_list<std::string_view> declaredByWriter);

// Reads parts to keep, each once however many relationships lead to it.
class KeptPartReader {
public:
    explicit KeptPartReader(ZipSource& zip);
    // Parts the model reads and the writer writes anew are never kept.
    void Exclude(const std::string& part);
    // The part with its relationships, read on first use; null when the
    // package lacks it or it is excluded.
    std::shared_ptr<KeptPart> Part(const std::string& name);
    // The relationships `keep` accepts, with their parts; one whose part is
    // missing is left out.
    std::vector<KeptRelationship> Keep(const Relationships& rels,
                                       const std::function<bool(const Relationship&)>& keep);
    std::optional<KeptRelationship> KeepOne(const Relationship& r);

private:
    std::string ContentType(const std::string& part) const;
    ZipSource& zip_;
    std::map<std::string, std::shared_ptr<KeptPart>> parts_;  // by lower-case name
    std::set<std::string> excluded_;                            // lower-case names
    std::map<std::string, std::string> overrides_, defaults_;   // lower-case part name / extension → type
    int depth_ = 0;  // relationships followed to reach the part being read
};

// A sheet's comments part as its <comment> items, and its note drawing (VML)
// as its note shapes, so that deletions move them (KeptPart::itemized).
// A part that does not parse stays as bytes.
void ItemizeComments(KeptPart& part);
void ItemizeNotes(KeptPart& part);
// The threads of a sheet's modern comments, each with its cell.
void ItemizeThreadedComments(KeptPart& part);

// Whether a relationship type URI ends with "/<kind>".
bool IsKind(const std::string& type, std::string_view kind);

}  // namespace host::xlsx
