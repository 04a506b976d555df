// Metadata kept beside the pixels: CFileDataTag records in owning lists
// (JPEG comments and markers, kept per thread), and the "8BIM" image-resource
// blocks of Photoshop-style files, split into records that can be found by
// their resource id.
#pragma once

#include "imagelib.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One metadata record: a comment (key 0, text) or a marker (key = marker
// code, data = its bytes).
struct CFileDataTag {
    uint32_t key = 0;
    std::string text;
    std::vector<BYTE> data;
};

// An owning list of records in the order appended.
template <typename T>
class ISPtrVector {
public:
    virtual ~ISPtrVector() = default;
    void Append(std::unique_ptr<T> item) { items_.push_back(std::move(item)); }
    void Clear() { items_.clear(); }
    size_t Count() const { return items_.size(); }
    const T &At(size_t i) const { return *items_[i]; }

private:
    std::vector<std::unique_ptr<T>> items_;
};

// One parsed block: the whole block from its signature on, and where its
// data begin.
struct ImageResourceBlock {
    uint16_t id = 0;
    int32_t headerLength = -1;
    std::vector<BYTE> block;
    std::string name;

    const BYTE *Data() const { return block.data() + headerLength; }
    uint32_t DataSize() const { return static_cast<uint32_t>(block.size()) - static_cast<uint32_t>(headerLength); }
};

// The blocks of one buffer of image resources. Lives on its owner's stack
// for one parse; Error() is 0 after a successful operation.
class ResourceBlockList {
public:
    // Empties the list and splits the buffer into blocks. With keepAll
    // clear, a block whose id is already listed is dropped.
    bool Parse(const BYTE *buffer, uint32_t length, bool keepAll);
    // The first block with that id, or null with error 5.
    const ImageResourceBlock *Find(uint16_t id);
    // A copy of the bytes as a new record; false with error 1 when the
    // memory cannot be had.
    bool Append(const BYTE *data, uint32_t length, uint16_t id, int32_t headerLength, const char *name);

    size_t Count() const { return blocks_.size(); }
    const ImageResourceBlock &At(size_t i) const { return *blocks_[i]; }
    int32_t Error() const { return error_; }

private:
    enum class Step { kParsed, kNoMore, kMalformed, kTooLong };
    Step ParseBlock(const BYTE *buffer, uint32_t length, uint32_t &position, bool keepAll);
    bool Listed(uint16_t id) const;

    int32_t error_ = 0;
    std::vector<std::unique_ptr<ImageResourceBlock>> blocks_;
};
