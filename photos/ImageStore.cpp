#include "photos/ImageStore.h"

ImageStore& ImageStore::Instance() {
    static ImageStore store;
    return store;
}

const Image* ImageStore::Keep(Image&& image) {
    auto kept = std::make_unique<Image>(std::move(image));
    const Image* pointer = kept.get();
    std::lock_guard lock(mutex_);
    pixelBytes_ += kept->rgb.size();
    images_.push_back(std::move(kept));
    return pointer;
}

const Photo* ImageStore::Keep(Photo&& photo) {
    auto kept = std::make_unique<Photo>(std::move(photo));
    const Photo* pointer = kept.get();
    std::lock_guard lock(mutex_);
    pixelBytes_ += kept->jpeg.size();
    photos_.push_back(std::move(kept));
    return pointer;
}

size_t ImageStore::Count() const {
    std::lock_guard lock(mutex_);
    return images_.size() + photos_.size();
}

size_t ImageStore::PixelBytes() const {
    std::lock_guard lock(mutex_);
    return pixelBytes_;
}
