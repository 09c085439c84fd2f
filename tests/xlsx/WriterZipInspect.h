#pragma once
// Reads single entries of a written package, for tests that look at the XML.
#include <zip.h>

#include <optional>
#include <string>
#include <vector>

namespace writer_inspect {

inline std::optional<std::string> ReadEntry(const std::string& file, const std::string& name) {
    int err = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_RDONLY, &err);
    if (!za) return std::nullopt;
    std::optional<std::string> result;
    zip_stat_t st;
    if (zip_stat(za, name.c_str(), 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(za, name.c_str(), 0)) {
            std::string data(st.size, '\0');
            if (zip_fread(f, data.data(), st.size) == zip_int64_t(st.size)) result = std::move(data);
            zip_fclose(f);
        }
    }
    zip_discard(za);
    return result;
}

inline std::vector<std::string> EntryNames(const std::string& file) {
    std::vector<std::string> names;
    int err = 0;
    zip_t* za = zip_open(file.c_str(), ZIP_RDONLY, &err);
    if (!za) return names;
    for (zip_int64_t i = 0; i < zip_get_num_entries(za, 0); ++i) names.push_back(zip_get_name(za, i, 0));
    zip_discard(za);
    return names;
}

}  // namespace writer_inspect
