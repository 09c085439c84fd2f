#include "tables/PlacePhoto.h"

#include <algorithm>
#include <filesystem>

#include "host/Application.h"
#include "host/HostError.h"
#include "host/Range.h"
#include "host/Workbook.h"
#include "host/Worksheet.h"

namespace tables {

namespace fs = std::filesystem;

host::Shape PlacePhoto(const std::string& file, host::Worksheet& sheet, int32_t row, int32_t col, float scalePercent) {
    const host::Range area = sheet.Cells(row, col).MergeArea();
    // Single precision, as the sizes are computed in the host's points.
    const float areaWidth = float(area.Width()), areaHeight = float(area.Height());
    const float w = areaWidth * scalePercent / 100, h = areaHeight * scalePercent / 100;
    const float left = float(area.Left()) + (areaWidth - w) / 2;
    const float top = float(area.Top()) + (areaHeight - h) / 2;
    return sheet.Shapes().AddPicture(file, left, top, w, h);
}

std::string PhotoFinder::FileName(const host::Workbook& roster, const std::string& photoFolder, const std::string& value) {
    const std::string sep = host::Application::PathSeparator();
    std::string name = roster.Path() + sep;
    if (!photoFolder.empty()) {
        std::string folder = photoFolder;
        std::replace(folder.begin(), folder.end(), '\\', '/');
        name += folder + sep;
    }
    return name + value + ".jpg";
}

const std::map<std::string, std::string>& PhotoFinder::Folder(const std::string& folder) {
    auto it = folders_.find(folder);
    if (it != folders_.end()) return it->second;
    std::map<std::string, std::string>& files = folders_[folder];
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder.empty() ? "." : folder, ec)) {
        std::string ext = entry.path().extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
        if (ext != ".jpg" && ext != ".jpeg") continue;
        if (!entry.is_regular_file(ec)) continue;
        files.emplace(entry.path().stem().string(), entry.path().string());
    }
    return files;
}

std::string PhotoFinder::Find(const std::string& builtName) {
    std::error_code ec;
    if (fs::is_regular_file(builtName, ec)) return builtName;
    const fs::path p(builtName);
    const std::string stem = p.stem().string();
    if (stem.empty()) return {};
    const auto& files = Folder(p.parent_path().string());
    auto it = files.find(stem);
    return it == files.end() ? std::string() : it->second;
}

void PhotoFinder::ShareBytes(const std::string& file, host::Picture& picture) {
    auto [it, added] = bytes_.emplace(file, picture.data);
    if (!added) picture.data = it->second;
}

void PlaceCandidatePhoto(const std::string& builtName, host::Worksheet& sheet, int32_t row, int32_t col,
                         float scalePercent, PhotoFinder& finder, PhotoTally& tally) {
    const std::string file = finder.Find(builtName);
    if (file.empty()) {
        ++tally.missing;
        return;
    }
    // A file that is no picture, or cannot be read, costs only its own photo.
    try {
        host::Shape shape = PlacePhoto(file, sheet, row, col, scalePercent);
        finder.ShareBytes(file, shape.Data());
        ++tally.placed;
    } catch (const host::HostError&) {
        tally.refused.push_back(file);
    }
}

}  // namespace tables
