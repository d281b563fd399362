#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/EngineParams.h"
#include "photos/Image.h"

// The opponent archive file: kind, thumbnail and a body that holds the five
// engine numbers and the photos. The layout and both kinds are described in
// docs/archive-format.md.

inline constexpr uint8_t kPlainKind = 0;      // body stored byte for byte
inline constexpr uint8_t kScrambledKind = 1;  // body xored with the keystream below
// The photo panel shows photo 0 and, after a win, the next one: an opponent
// needs two photos at least.
inline constexpr int32_t kMinPhotos = 2;
// Larger files are refused before anything is read.
inline constexpr size_t kMaxArchiveBytes = size_t(256) << 20;
// All pictures of one archive together may decode to no more than this.
inline constexpr int64_t kMaxDecodedBytes = int64_t(512) << 20;
// Weights are summed along search lines of up to a hundred plies; beyond this
// the sums could overflow.
inline constexpr int32_t kMaxWeight = 1000000;

inline constexpr size_t kHeaderBytes = 5;      // kind, thumbnail length
inline constexpr size_t kFixedBodyBytes = 24;  // five engine numbers, photo count

// Where each part of an archive lies once every length has been checked.
// The spans point into the file's bytes or into `plainBody`, so a layout is
// not copied, and the file's bytes must outlive it.
struct ArchiveLayout {
    uint8_t kind = 0;
    EngineParams params;
    std::span<const uint8_t> thumbnail;
    std::vector<std::span<const uint8_t>> photos;
    size_t usedBytes = 0;  // file bytes up to the end of the last photo record

    std::vector<uint8_t> plainBody;  // the unscrambled body of a kind 1 file

    ArchiveLayout() = default;
    ArchiveLayout(const ArchiveLayout&) = delete;
    ArchiveLayout& operator=(const ArchiveLayout&) = delete;
};

// An archive's contents: the thumbnail decoded, the photos as JPEG bytes.
struct ArchiveContents {
    uint8_t kind = 0;
    EngineParams params;
    Image icon;
    std::vector<Photo> photos;
};

// Checks the structure of an archive held in memory without decoding any
// picture. Every length is checked against the bytes left before it is used.
bool ReadLayout(std::span<const uint8_t> file, ArchiveLayout& out, std::string& reason);

// ReadLayout, then checks every picture's header and their total size, then
// decodes the thumbnail and every photo once each, so that a photo that does
// not decode refuses the file; the photos' pixels are not kept.
bool ParseArchive(std::span<const uint8_t> file, ArchiveContents& out, std::string& reason);

// The bytes of an archive file. The JPEG data is stored as given.
std::vector<uint8_t> WriteArchive(uint8_t kind, const EngineParams& params,
                                  std::span<const uint8_t> thumbnail,
                                  const std::vector<std::vector<uint8_t>>& photos);

// Xors a kind 1 body with its keystream; applying it twice restores the body.
// The stream is seeded by the thumbnail length, so equal bodies differ between
// files with different thumbnails.
void ScrambleBody(std::span<uint8_t> body, int32_t thumbnailLength);

// Reads a whole regular file of at most kMaxArchiveBytes, named in UTF-8; the
// file is closed when this returns.
bool ReadArchiveFile(const char* fileName, std::vector<uint8_t>& bytes, std::string& reason);
