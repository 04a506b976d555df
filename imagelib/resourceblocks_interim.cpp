// Interim "8BIM" image-resource block parser (see the header).
#include "resourceblocks_interim.h"

#include <cstring>

namespace {

constexpr BYTE kSignature[4] = {'8', 'B', 'I', 'M'};
constexpr uint32_t kMinLength = 5;

enum class Outcome { kParsed, kNoMore, kMalformed, kTooLong };

}  // namespace

bool ResourceBlockList::Parse(const BYTE *buffer, uint32_t length, bool keepAll)
{
    error_ = kImgOk;
    blocks_.clear();
    if (!buffer) {
        error_ = kImgBadParam;
        return false;
    }
    if (length < kMinLength) {
        error_ = kImgBadResourceBlock;
        return false;
    }
    uint64_t at = 0;
    bool parsedAny = false;
    Outcome last = Outcome::kNoMore;
    while (at < length) {
        while (at + 4 < length && memcmp(buffer + at, kSignature, 4) != 0)
            ++at;
        if (at + 4 >= length) {
            last = Outcome::kNoMore;
            break;
        }
        const uint64_t start = at;
        at += 4;
        last = Outcome::kMalformed;
        if (length - at < 2)
            break;
        const uint16_t id = static_cast<uint16_t>((buffer[at] << 8) | buffer[at + 1]);
        at += 2;
        if (at >= length)
            break;
        const uint32_t nameLength = buffer[at];
        // Length byte and name take an even number of bytes.
        const uint64_t nameBytes = 1 + nameLength + (nameLength % 2 == 0 ? 1 : 0);
        if (nameBytes > length - at)
            break;
        at += nameBytes;
        if (length - at < 4)
            break;
        uint64_t size = (static_cast<uint64_t>(buffer[at]) << 24) | (buffer[at + 1] << 16) | (buffer[at + 2] << 8) |
                        buffer[at + 3];
        at += 4;
        size += size & 1;
        // Compared against what is left, so a size near 2^32 cannot wrap.
        if (size > length - at) {
            last = Outcome::kTooLong;
            break;
        }
        bool listed = false;
        for (const ImageResourceBlock &b : blocks_)
            listed = listed || b.resourceId == id;
        if (keepAll || !listed) {
            ImageResourceBlock block;
            block.resourceId = id;
            block.headerLength = static_cast<uint32_t>(at - start);
            block.data.assign(buffer + start, buffer + at + size);
            blocks_.push_back(std::move(block));
        }
        at += size;
        last = Outcome::kParsed;
        parsedAny = true;
    }
    if (!parsedAny || last == Outcome::kMalformed) {
        error_ = kImgBadResourceBlock;
        return false;
    }
    return true;
}

const ImageResourceBlock *ResourceBlockList::Find(uint16_t id)
{
    for (const ImageResourceBlock &b : blocks_)
        if (b.resourceId == id)
            return &b;
    error_ = kImgBadParam;
    return nullptr;
}
