#include "host/xlsx/ReaderSharedStrings.h"

#include <algorithm>

#include "host/xlsx/ReaderXml.h"
#include "host/xlsx/ReaderZip.h"

namespace host::xlsx {

namespace {

class SharedStringsHandler : public XmlHandler {
public:
    SharedStringsHandler(std::vector<std::string>& out, uint64_t partBytes) : out_(out), partBytes_(partBytes) {}

    void Start(std::string_view name, const char** atts) override {
        if (name == "si") {
            inItem_ = true;
            text_.clear();
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && inItem_ && phonetic_ == 0) {
            inText_ = true;
        } else if (name == "sst") {
            // Each <si> takes at least 9 bytes, so a forged count cannot reserve much.
            if (const char* n = FindAtt(atts, "uniqueCount"))
                if (auto v = ParseInt(n); v && *v > 0) out_.reserve(size_t(std::min<uint64_t>(uint64_t(*v), partBytes_ / 9)));
        }
    }

    void End(std::string_view name) override {
        if (name == "t") {
            inText_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "si") {
            out_.push_back(DecodeEscapes(std::move(text_)));
            text_.clear();
            inItem_ = false;
        }
    }

    void Text(const char* s, int len) override {
        if (inText_) text_.append(s, size_t(len));
    }

private:
    std::vector<std::string>& out_;
    uint64_t partBytes_;
    std::string text_;
    bool inItem_ = false;
    bool inText_ = false;
    int phonetic_ = 0;
};

}  // namespace

std::vector<std::string> ReadSharedStrings(ZipSource& zip, const std::string& part) {
    std::vector<std::string> out;
    SharedStringsHandler h(out, zip.DeclaredSize(part));
    StreamXml(zip, part, h);
    return out;
}

}  // namespace host::xlsx
