#pragma once
// Pictures of a drawing part: two-cell and one-cell anchors holding <xdr:pic>.
// Charts, shapes and grouped pictures are not read.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/Worksheet.h"

namespace host::xlsx {

class ZipSource;

// Image parts already read, by part name: pictures of one image share its bytes.
using ImageCache = std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>>;

std::vector<Picture> ReadDrawing(ZipSource& zip, const std::string& drawingPart, ImageCache& images);

}  // namespace host::xlsx
