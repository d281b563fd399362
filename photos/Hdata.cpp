#include "photos/Hdata.h"

#include <span>
#include <vector>

#include "photos/Archive.h"
#include "photos/ImageStore.h"

bool HData::Load(const char* fileName) {
    std::string reason;
    return Load(fileName, reason);
}

bool HData::Load(const char* fileName, std::string& reason) {
    std::vector<uint8_t> bytes;
    if (!ReadArchiveFile(fileName, bytes, reason)) return false;
    return LoadFromMemory(bytes.data(), bytes.size(), reason);
}

bool HData::LoadFromMemory(const uint8_t* data, size_t size, std::string& reason) {
    ArchiveContents contents;
    // The decoded pictures stay in `contents` until the whole file has parsed,
    // so a failure frees them all and leaves this entry untouched.
    if (!ParseArchive(std::span<const uint8_t>(data, size), contents, reason)) return false;

    ImageStore& store = ImageStore::Instance();
    photos.Clear();
    icon = store.Keep(std::move(contents.icon));
    for (Photo& photo : contents.photos) photos.Add(store.Keep(std::move(photo)));
    kind = contents.kind;
    searchDepth = contents.params.searchDepth;
    promotionBonus = contents.params.promotionBonus;
    firstKingBonus = contents.params.firstKingBonus;
    manValue = contents.params.manValue;
    kingValue = contents.params.kingValue;
    return true;
}

EngineParams HData::Params() const {
    return EngineParams{searchDepth, promotionBonus, firstKingBonus, manValue, kingValue};
}
