#pragma once
// Candidates' photos: where their files are, and how a photo is put into the
// cell area of a table.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include <memory>

#include "host/Worksheet.h"

namespace tables {

// Adds the picture file to the sheet, sized to `scalePercent` of the target
// cell's merge area (the cell itself when unmerged) in both directions and
// centred on it; embedded, the picture's own aspect ratio not kept. A file
// the host cannot insert is a host::FileError naming it.
host::Shape PlacePhoto(const std::string& file, host::Worksheet& sheet, int32_t row, int32_t col, float scalePercent);

// The photo file of a candidate: roster folder / [photo folder /] value +
// ".jpg". A photo folder written with "\" (as on Windows) is a path like any
// other, and the extension is matched without regard to case (.jpg, .JPG,
// .jpeg), as a teacher's files are named.
class PhotoFinder {
public:
    // The name as the tables build it.
    static std::string FileName(const host::Workbook& roster, const std::string& photoFolder, const std::string& value);
    // The existing file for a built name; empty when there is none.
    std::string Find(const std::string& builtName);
    // Lets every picture of one file share the bytes of its first placing,
    // so the saved workbook holds each photo once.
    void ShareBytes(const std::string& file, host::Picture& picture);

private:
    std::map<std::string, std::shared_ptr<const std::vector<uint8_t>>> bytes_;
    // Per folder: file stem → the first file with a .jpg/.jpeg extension in any case.
    const std::map<std::string, std::string>& Folder(const std::string& folder);
    std::map<std::string, std::map<std::string, std::string>> folders_;
};

// What happened to the photos of one generation, for the closing notices.
struct PhotoTally {
    int32_t placed = 0;
    int32_t missing = 0;                // candidates whose photo file was not found
    std::vector<std::string> refused;   // files the host could not insert, skipped
};

// Finds and places one photo, counting it; a refused file is skipped.
void PlaceCandidatePhoto(const std::string& builtName, host::Worksheet& sheet, int32_t row, int32_t col,
                         float scalePercent, PhotoFinder& finder, PhotoTally& tally);

}  // namespace tables
