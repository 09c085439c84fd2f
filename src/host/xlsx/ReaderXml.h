#pragma once
// XML access for the reader. Large parts (sheet data, shared strings) are
// streamed through expat straight from the zip; small parts are loaded into a
// pugixml DOM. Producers differ in namespace prefixes ("x:row", "main:c"), so
// elements and attributes are matched by their local name throughout.
#include <pugixml.hpp>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace host::xlsx {

class ZipSource;

// "x:row" → "row"
std::string_view LocalName(std::string_view qualified);

// Receives the events of a streamed part. A handler may throw; the exception
// is carried past expat and rethrown by StreamXml.
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    // `atts` is expat's array: name, value, name, value, …, null.
    virtual void Start(std::string_view name, const char** atts) = 0;
    virtual void End(std::string_view name) = 0;
    virtual void Text(const char* s, int len) = 0;

    // The element's name with its prefix as written ("x:row"), during Start and End.
    const char* QualifiedName() const { return qualifiedName_; }

private:
    friend struct ExpatDispatch;
    const char* qualifiedName_ = "";
};

// Parses the part; malformed XML or a document type declaration (entity
// tricks) throws FileError "XML 格式错误：<part> 第 N 行（…）".
void StreamXml(ZipSource& zip, const std::string& part, XmlHandler& handler);

// The value of an attribute found by local name in expat's array; null when absent.
const char* FindAtt(const char** atts, std::string_view localName);

// Loads a small part into `doc`; same errors as StreamXml.
void LoadXml(ZipSource& zip, const std::string& part, pugi::xml_document& doc);

// DOM helpers by local name.
pugi::xml_node Child(pugi::xml_node n, std::string_view localName);
pugi::xml_attribute Att(pugi::xml_node n, std::string_view localName);
const char* AttText(pugi::xml_node n, std::string_view localName, const char* fallback = "");

// Attribute values of the file format.
bool ParseBool(std::string_view v, bool fallback);          // "1", "true", "0", "false"
std::optional<double> ParseDouble(std::string_view v);
std::optional<int64_t> ParseInt(std::string_view v);

// Strings of the format escape characters as _xHHHH_ ("_x000D_" is a CR);
// returns the text with the escapes replaced.
std::string DecodeEscapes(std::string s);

}  // namespace host::xlsx
