#include "render/PictureCache.h"

#include <set>

#include "host/Worksheet.h"
#include "render/PdfOriginalImages.h"

namespace render {

namespace {

QImage Decode(const host::Picture& picture) {
    QImage image;
    if (image.loadFromData(picture.data->data(), int(picture.data->size()))) {
        // The format a screen pixmap would take, so that drawing needs no conversion.
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                              : QImage::Format_RGB32);
    }
    return image;
}

QImage FitInto(const QImage& full, QSize atMost) {
    if (full.isNull() || (full.width() <= atMost.width() && full.height() <= atMost.height())) return full;
    return full.scaled(atMost, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

const QImage& PictureCache::Get(const host::Picture& picture) {
    static const QImage none;
    if (!picture.data) return none;
    auto it = images_.find(picture.data.get());
    if (it == images_.end()) it = images_.emplace(picture.data.get(), Entry{picture.data, Decode(picture)}).first;
    if (it->second.image.isNull() && !keepDecoded_) {  // kept only scaled
        transient_ = Decode(picture);
        return transient_;
    }
    return it->second.image;
}

const QImage& PictureCache::Get(const host::Picture& picture, QSize atMost, bool* standIn) {
    if (standIn) *standIn = false;
    if (!picture.data || atMost.isEmpty()) return Get(picture);
    if (originals_) {
        if (const QImage* s = originals_->StandInFor(picture.data, atMost)) {
            if (standIn) *standIn = true;
            return *s;
        }
    }
    const std::pair<int, int> key{atMost.width(), atMost.height()};
    auto it = images_.find(picture.data.get());
    if (it != images_.end()) {
        auto s = it->second.scaled.find(key);
        if (s != it->second.scaled.end()) return s->second;
    }
    if (!keepDecoded_ && it == images_.end() && picture.data.use_count() <= 1) {
        transient_ = FitInto(Decode(picture), atMost);
        return transient_;
    }
    const QImage full = it != images_.end() ? it->second.image : Decode(picture);
    if (it == images_.end()) it = images_.emplace(picture.data.get(), Entry{picture.data, keepDecoded_ ? full : QImage()}).first;
    return it->second.scaled[key] = FitInto(full, atMost);
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
