#pragma once
// Pictures of a drawing part: two-cell and one-cell anchors holding <xdr:pic>
// become the model's pictures; every other anchor (charts, shapes, groups) is
// kept whole, with the relationships the pictures do not use.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/KeptXml.h"
#include "host/Worksheet.h"

namespace host::xlsx {

class ZipSource;

// Image parts already read, by part name: pictures of one image share its bytes.
using ImageCache = std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>>;

class KeptPartReader;

struct DrawingContent {
    std::vector<Picture> pictures;
    KeptDrawing kept;
};

DrawingContent ReadDrawing(ZipSource& zip, const std::string& drawingPart, ImageCache& images, KeptPartReader& parts);

}  // namespace host::xlsx
