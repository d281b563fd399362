#include "photos/ImageStore.h"

ImageStore& ImageStore::Instance() {
    static ImageStore store;
    return store;
}

template <typename T>
const T* ImageStore::Add(std::vector<std::unique_ptr<T>>& kept, T&& item, size_t bytes) {
    auto owned = std::make_unique<T>(std::move(item));
    const T* pointer = owned.get();
    std::lock_guard lock(mutex_);
    pixelBytes_ += bytes;
    kept.push_back(std::move(owned));
    return pointer;
}

const Image* ImageStore::Keep(Image&& image) {
    return Add(images_, std::move(image), image.rgb.size());
}

const Photo* ImageStore::Keep(Photo&& photo) {
    return Add(photos_, std::move(photo), photo.jpeg.size());
}

size_t ImageStore::Count() const {
    std::lock_guard lock(mutex_);
    return images_.size() + photos_.size();
}

size_t ImageStore::PixelBytes() const {
    std::lock_guard lock(mutex_);
    return pixelBytes_;
}
