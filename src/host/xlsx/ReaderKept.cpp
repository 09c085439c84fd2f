#include "host/xlsx/ReaderKept.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>

#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// "A1:B2 C3" → the areas; empty when any piece is not an area.
std::vector<Rect> ParseSqref(std::string_view v) {
    std::vector<Rect> out;
    size_t i = 0;
    while (i < v.size()) {
        while (i < v.size() && v[i] == ' ') ++i;
        size_t j = v.find(' ', i);
        if (j == std::string_view::npos) j = v.size();
        if (j > i) {
            auto area = ParseArea(v.substr(i, j - i));
            if (!area || v.substr(i, j - i).find('$') != std::string_view::npos) return {};
            out.push_back(*area);
        }
        i = j;
    }
    return out;
}

// The attributes of the file format that hold cell references the host moves.
bool IsAreasAttribute(std::string_view element, std::string_view att) {
    if (att == "sqref")
        return element == "conditionalFormatting" || element == "dataValidation" || element == "selection" ||
               element == "protectedRange" || element == "ignoredError";
    if (att == "ref")
        return element == "hyperlink" || element == "autoFilter" || element == "sortState" ||
               element == "sortCondition" || element == "comment" || element == "threadedComment";
    return false;
}

bool IsCellAttribute(std::string_view element, std::string_view att) {
    return (att == "topLeftCell" && (element == "pane" || element == "sheetView")) ||
           (att == "activeCell" && element == "selection");
}

// The reference an attribute holds, if it is one the host moves.
std::optional<KeptRef> RefOf(std::string_view element, std::string_view att, const char* value, const char** atts) {
    if (IsAreasAttribute(element, att)) {
        std::vector<Rect> areas = ParseSqref(value);
        if (areas.empty()) return std::nullopt;
        return KeptRef{KeptRefKind::Areas, std::move(areas)};
    }
    if (IsCellAttribute(element, att)) {
        std::string_view v = value;
        if (v.find('$') != std::string_view::npos) return std::nullopt;
        auto cell = ParseCellRef(v);
        if (!cell) return std::nullopt;
        KeptRef ref{KeptRefKind::Cell, {Rect{cell->row, cell->col, cell->row, cell->col}}};
        // A frozen pane's scrolled part starts below and right of the split.
        if (element == "pane" && atts) {
            const char* state = FindAtt(atts, "state");
            if (state && (std::string_view(state) == "frozen" || std::string_view(state) == "frozenSplit")) {
                if (const char* y = FindAtt(atts, "ySplit")) ref.minRow = int32_t(ParseInt(y).value_or(0)) + 1;
                if (const char* x = FindAtt(atts, "xSplit")) ref.minCol = int32_t(ParseInt(x).value_or(0)) + 1;
            }
        }
        return ref;
    }
    return std::nullopt;
}

bool IsRelationshipAttribute(std::string_view qname) {
    size_t colon = qname.find(':');
    if (colon == std::string_view::npos) return false;
    std::string_view local = qname.substr(colon + 1);
    return local == "id" || local == "embed" || local == "link" || local == "pict" || local == "dm" || local == "lo" ||
           local == "qs" || local == "cs";
}

}  // namespace

void FragmentBuilder::AddRef(KeptRef ref) {
    fragment_.text.back() += out_.Str();
    out_.Clear();
    fragment_.refs.push_back(std::move(ref));
    fragment_.text.emplace_back();
}

void FragmentBuilder::CloseStartTag() {
    if (startOpen_) out_.Char('>');
    startOpen_ = false;
}

void FragmentBuilder::Start(const char* qname, const char** atts) {
    CloseStartTag();
    std::string_view local = LocalName(qname);
    out_.Char('<').Raw(qname);
    for (const char** a = atts; *a; a += 2) {
        std::string_view att = LocalName(a[0]);
        if (auto ref = RefOf(local, att, a[1], atts)) {
            out_.Char(' ').Raw(a[0]).Raw("=\"");
            AddRef(std::move(*ref));
            out_.Char('"');
            continue;
        }
        out_.Attr(a[0], a[1]);
        if (local == "cNvPr" && att == "id")
            maxShapeId_ = std::max<uint32_t>(maxShapeId_, uint32_t(std::clamp<int64_t>(ParseInt(a[1]).value_or(0), 0, 1 << 30)));
        if (IsRelationshipAttribute(a[0])) relIds_.insert(a[1]);
    }
    startOpen_ = true;
    // The 0-based row and column of a drawing anchor's corners, and of a
    // note's cell and box (VML).
    bool anchor = (local == "row" || local == "col") && !stack_.empty() && (stack_.back() == "from" || stack_.back() == "to");
    bool note = (local == "Row" || local == "Column" || local == "Anchor") && !stack_.empty() && stack_.back() == "ClientData";
    if (anchor || note) {
        number_.clear();
        capture_ = &number_;
    }
    stack_.emplace_back(local);
}

void FragmentBuilder::Text(const char* s, size_t len) {
    if (capture_) {
        capture_->append(s, len);
        return;
    }
    CloseStartTag();
    out_.Text(std::string_view(s, len));
}

namespace {
// A 0-based line number as a reference; nullopt when it is none.
std::optional<KeptRef> LineRef(std::string_view text, bool row) {
    auto n = ParseInt(text);
    if (!n || *n < 0 || *n >= (row ? kMaxRows : kMaxColumns)) return std::nullopt;
    int32_t pos = int32_t(*n) + 1;
    return KeptRef{row ? KeptRefKind::Row0 : KeptRefKind::Col0, {Rect{row ? pos : 1, row ? 1 : pos, row ? pos : 1, row ? 1 : pos}}};
}
}  // namespace

void FragmentBuilder::End(const char* qname) {
    if (capture_) {
        capture_ = nullptr;
        CloseStartTag();
        const std::string& el = stack_.back();
        if (el == "Anchor") {
            // "LeftColumn, LeftOffset, TopRow, TopOffset, RightColumn, RightOffset, BottomRow, BottomOffset"
            std::vector<std::string> parts;
            size_t start = 0;
            for (size_t comma; (comma = number_.find(',', start)) != std::string::npos; start = comma + 1)
                parts.push_back(number_.substr(start, comma - start));
            parts.push_back(number_.substr(start));
            std::vector<std::optional<KeptRef>> refs;
            for (size_t i = 0; i < parts.size(); ++i) refs.push_back(i % 2 == 0 ? LineRef(parts[i], i % 4 == 2) : std::nullopt);
            if (parts.size() != 8 || !refs[0] || !refs[2] || !refs[4] || !refs[6]) {
                out_.Text(number_);
            } else {
                for (size_t i = 0; i < parts.size(); ++i) {
                    if (i) out_.Raw(", ");
                    if (refs[i]) AddRef(std::move(*refs[i]));
                    else out_.Text(parts[i].substr(std::min(parts[i].find_first_not_of(' '), parts[i].size())));
                }
            }
        } else if (auto ref = LineRef(number_, el == "row" || el == "Row")) {
            // A note goes with its cell; a drawing's corner moves to the next line kept.
            ref->dropWhenDeleted = el == "Row" || el == "Column";
            AddRef(std::move(*ref));
        } else {
            out_.Text(number_);
        }
    }
    if (startOpen_) {
        out_.Raw("/>");
        startOpen_ = false;
    } else {
        out_.Raw("</").Raw(qname).Char('>');
    }
    if (!stack_.empty()) stack_.pop_back();
}

KeptFragment FragmentBuilder::Take() {
    CloseStartTag();
    fragment_.text.back() += out_.Str();
    out_.Clear();
    KeptFragment f = std::move(fragment_);
    fragment_ = KeptFragment();
    stack_.clear();
    return f;
}

// Walks the tree without recursion: a hostile part may nest elements deeper
// than the stack would take.
void FeedElement(pugi::xml_node root, FragmentBuilder& b) {
    std::vector<const char*> atts;
    auto start = [&](pugi::xml_node n) {
        atts.clear();
        for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
            atts.push_back(a.name());
            atts.push_back(a.value());
        }
        atts.push_back(nullptr);
        b.Start(n.name(), atts.data());
    };
    start(root);
    pugi::xml_node n = root.first_child();
    pugi::xml_node parent = root;
    while (parent) {
        if (n) {
            if (n.type() == pugi::node_element) {
                start(n);
                parent = n;
                n = n.first_child();
                continue;
            }
            if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) b.Text(n.value(), std::strlen(n.value()));
            n = n.next_sibling();
            continue;
        }
        b.End(parent.name());  // every child done
        if (parent == root) break;
        n = parent.next_sibling();
        parent = parent.parent();
    }
}

KeptFragment ElementFragment(pugi::xml_node node) {
    FragmentBuilder b;
    FeedElement(node, b);
    return b.Take();
}

KeptFragment OtherAttributes(const char* qname, const char** atts, std::initializer_list<std::string_view> modelled) {
    KeptFragment f;
    std::string_view element = LocalName(qname);
    XmlBuffer out;
    for (const char** a = atts; *a; a += 2) {
        std::string_view att = LocalName(a[0]);
        if (std::find(modelled.begin(), modelled.end(), att) != modelled.end() && std::string_view(a[0]).find(':') == std::string_view::npos)
            continue;
        if (auto ref = RefOf(element, att, a[1], atts)) {
            out.Char(' ').Raw(a[0]).Raw("=\"");
            f.text.back() += out.Str();
            out.Clear();
            f.refs.push_back(std::move(*ref));
            f.text.emplace_back();
            out.Char('"');
            continue;
        }
        out.Attr(a[0], a[1]);
    }
    f.text.back() += out.Str();
    return f;
}

std::string RootAttributes(const char** atts) {
    XmlBuffer out;
    for (const char** a = atts; *a; a += 2) {
        std::string_view n = a[0];
        if (n == "xmlns" || n == "xmlns:r") continue;
        out.Attr(n, a[1]);
    }
    return out.Take();
}

std::string RootAttributes(pugi::xml_node root, std::initializer_list<std::string_view> declaredByWriter) {
    XmlBuffer out;
    for (pugi::xml_attribute a = root.first_attribute(); a; a = a.next_attribute()) {
        std::string_view n = a.name();
        if (std::find(declaredByWriter.begin(), declaredByWriter.end(), n) != declaredByWriter.end()) continue;
        out.Attr(n, a.value());
    }
    return out.Take();
}

namespace {

std::string StartTag(pugi::xml_node n) {
    XmlBuffer out;
    out.Char('<').Raw(n.name());
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) out.Attr(a.name(), a.value());
    out.Char('>');
    return out.Take();
}

std::string EndTag(pugi::xml_node n) { return std::string("</") + n.name() + ">"; }

constexpr const char* kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

bool IsNote(pugi::xml_node shape) {
    pugi::xml_node data = Child(shape, "ClientData");
    return data && std::string_view(AttText(data, "ObjectType")) == "Note";
}

}  // namespace

void ItemizeComments(KeptPart& part) {
    pugi::xml_document doc;
    if (part.itemized || !part.bytes || !doc.load_buffer(part.bytes->data(), part.bytes->size())) return;
    pugi::xml_node root = doc.document_element();
    pugi::xml_node list = Child(root, "commentList");
    if (!list) return;
    std::string head = kDeclaration + StartTag(root), tail;
    bool after = false;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (c == list) {
            after = true;
            continue;
        }
        (after ? tail : head) += ElementFragment(c).Render();
    }
    for (pugi::xml_node c = list.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) part.items.push_back(ElementFragment(c));
    part.head = head + StartTag(list);
    part.tail = EndTag(list) + tail + EndTag(root);
    part.itemized = true;
}

void ItemizeThreadedComments(KeptPart& part) {
    pugi::xml_document doc;
    if (part.itemized || !part.bytes || !doc.load_buffer(part.bytes->data(), part.bytes->size())) return;
    pugi::xml_node root = doc.document_element();
    part.head = kDeclaration + StartTag(root);
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element) part.items.push_back(ElementFragment(c));
    part.tail = EndTag(root);
    part.itemized = true;
}

void ItemizeNotes(KeptPart& part) {
    pugi::xml_document doc;
    if (part.itemized || !part.bytes || !doc.load_buffer(part.bytes->data(), part.bytes->size())) return;
    pugi::xml_node root = doc.document_element();
    std::string head = kDeclaration + StartTag(root);
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        if (IsNote(c)) part.items.push_back(ElementFragment(c));
        else head += ElementFragment(c).Render();  // shape types and other controls keep their order
    }
    part.head = std::move(head);
    part.tail = EndTag(root);
    part.itemized = true;
}

bool IsKind(const std::string& type, std::string_view kind) {
    return type.size() > kind.size() && type.compare(type.size() - kind.size(), kind.size(), kind) == 0 &&
           type[type.size() - kind.size() - 1] == '/';
}

KeptPartReader::KeptPartReader(ZipSource& zip) : zip_(zip) {
    if (!zip.Has("[Content_Types].xml")) return;
    pugi::xml_document doc;
    LoadXml(zip, "[Content_Types].xml", doc);
    for (pugi::xml_node n = doc.document_element().first_child(); n; n = n.next_sibling()) {
        std::string_view kind = LocalName(n.name());
        if (kind == "Override") {
            std::string part = AttText(n, "PartName");
            while (!part.empty() && part.front() == '/') part.erase(part.begin());
            overrides_[Lower(part)] = AttText(n, "ContentType");
        } else if (kind == "Default") {
            defaults_[Lower(AttText(n, "Extension"))] = AttText(n, "ContentType");
        }
    }
}

void KeptPartReader::Exclude(const std::string& part) { excluded_.insert(Lower(part)); }

std::string KeptPartReader::ContentType(const std::string& part) const {
    std::string key = Lower(part);
    if (auto it = overrides_.find(key); it != overrides_.end()) return it->second;
    size_t dot = key.find_last_of('.');
    if (dot != std::string::npos)
        if (auto it = defaults_.find(key.substr(dot + 1)); it != defaults_.end()) return it->second;
    return "application/octet-stream";
}

std::shared_ptr<KeptPart> KeptPartReader::Part(const std::string& name) {
    std::string key = Lower(name);
    if (excluded_.count(key) || !zip_.Has(name)) return nullptr;
    // Relationships lead from part to part; real packages go a few levels
    // deep (sheet → drawing → chart → colours), a hostile one could go on.
    constexpr int kMaxDepth = 32;
    if (depth_ >= kMaxDepth) return nullptr;
    auto& slot = parts_[key];
    if (slot) return slot;
    slot = std::make_shared<KeptPart>();
    std::shared_ptr<KeptPart> part = slot;  // in the table before its relationships: cycles end here
    part->name = name;
    part->contentType = ContentType(name);
    part->bytes = std::make_shared<const std::string>(zip_.ReadAll(name));
    ++depth_;
    try {
        part->relationships = Keep(Relationships::Read(zip_, name), [](const Relationship&) { return true; });
    } catch (...) {
        --depth_;
        throw;
    }
    --depth_;
    return part;
}

std::optional<KeptRelationship> KeptPartReader::KeepOne(const Relationship& r) {
    KeptRelationship k{r.id, r.type, r.external, {}, nullptr};
    if (r.external) {
        k.externalTarget = r.target;
    } else {
        k.part = Part(r.target);
        if (!k.part) return std::nullopt;
    }
    return k;
}

std::vector<KeptRelationship> KeptPartReader::Keep(const Relationships& rels,
                                                   const std::function<bool(const Relationship&)>& keep) {
    std::vector<KeptRelationship> out;
    for (const Relationship& r : rels.All())
        if (keep(r))
            if (auto k = KeepOne(r)) out.push_back(std::move(*k));
    return out;
}

}  // namespace host::xlsx
