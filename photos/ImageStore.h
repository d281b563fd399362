#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

#include "photos/Image.h"

// Owner of every picture an archive entry shows. Entries are copied freely
// (into the gallery list, out of it) and hold only pointers, so the pictures
// cannot belong to any one entry; they live here until the program ends and
// are freed at exit, after the window that draws them is gone. A picture's
// address never changes once kept.
class ImageStore {
public:
    static ImageStore& Instance();

    // Takes the picture over for the rest of the run.
    const Image* Keep(Image&& image);
    const Photo* Keep(Photo&& photo);

    size_t Count() const;       // pictures and photos kept
    size_t PixelBytes() const;  // total size of the kept pixel buffers and JPEG bytes

private:
    ImageStore() = default;
    template <typename T>
    const T* Add(std::vector<std::unique_ptr<T>>& kept, T&& item, size_t bytes);

    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Image>> images_;
    std::vector<std::unique_ptr<Photo>> photos_;
    size_t pixelBytes_ = 0;
};
