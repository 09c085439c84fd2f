#pragma once
// The relationships of a part (its "_rels/<name>.rels"), targets resolved to
// part names in the package.
#include <string>
#include <string_view>
#include <vector>

namespace host::xlsx {

class ZipSource;

struct Relationship {
    std::string id;
    std::string type;    // the full type URI
    std::string target;  // part name, or the raw target when external
    bool external = false;
};

class Relationships {
public:
    // No relationships part means no relationships, not an error.
    static Relationships Read(ZipSource& zip, std::string_view sourcePart);

    const Relationship* ById(std::string_view id) const;
    // The first relationship whose type ends with "/<kind>" ("officeDocument", "worksheet", "image" …).
    const Relationship* ByKind(std::string_view kind) const;
    const std::vector<Relationship>& All() const { return list_; }

private:
    std::vector<Relationship> list_;
};

}  // namespace host::xlsx
