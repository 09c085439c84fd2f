#include "render/PictureCache.h"

#include <set>

#include "host/Worksheet.h"

namespace render {

const QImage& PictureCache::Get(const host::Picture& picture) {
    static const QImage none;
    if (!picture.data) return none;
    auto it = images_.find(picture.data.get());
    if (it == images_.end()) {
        QImage image;
        if (image.loadFromData(picture.data->data(), int(picture.data->size()))) {
            // The format a screen pixmap would take, so that drawing needs no conversion.
            image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
        }
        it = images_.emplace(picture.data.get(), Entry{picture.data, std::move(image)}).first;
    }
    return it->second.image;
}

void PictureCache::Retain(const std::vector<host::Picture>& pictures) {
    std::set<const std::vector<uint8_t>*> used;
    for (const host::Picture& p : pictures)
        if (p.data) used.insert(p.data.get());
    RetainBuffers(used);
}

void PictureCache::Retain(const host::PictureList& pictures) {
    std::set<const std::vector<uint8_t>*> used;
    for (const host::Picture& p : pictures)
        if (p.data) used.insert(p.data.get());
    RetainBuffers(used);
}

void PictureCache::RetainBuffers(const std::set<const std::vector<uint8_t>*>& used) {
    for (auto it = images_.begin(); it != images_.end();) {
        if (used.count(it->first)) ++it;
        else it = images_.erase(it);
    }
}

}  // namespace render
