// The "8BIM" image-resource block parser. Every length read from the buffer
// is compared with what is left in 64 bits, so no size near 2^32 can wrap
// past the check and have a block copied from beyond the buffer.
#include "metatags.h"

#include "trace.h"

#include <cstring>
#include <new>

namespace {

constexpr BYTE kSignature[4] = {'8', 'B', 'I', 'M'};
constexpr uint32_t kMinimumLength = 5;

uint64_t Left(uint64_t position, uint32_t length) { return position < length ? length - position : 0; }

uint32_t Be32(const BYTE *p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

}  // namespace

bool ResourceBlockList::Listed(uint16_t id) const
{
    for (const auto &b : blocks_)
        if (b->id == id)
            return true;
    return false;
}

ResourceBlockList::Step ResourceBlockList::ParseBlock(const BYTE *buffer, uint32_t length, uint32_t &position,
                                                      bool keepAll)
{
    uint64_t pos = position;
    while (pos + sizeof(kSignature) < length && memcmp(buffer + pos, kSignature, sizeof(kSignature)) != 0)
        ++pos;
    if (pos + sizeof(kSignature) >= length)
        return Step::kNoMore;
    const uint64_t start = pos;
    pos += sizeof(kSignature);
    if (Left(pos, length) < 2)
        return Step::kMalformed;
    const uint16_t id = static_cast<uint16_t>(buffer[pos] << 8 | buffer[pos + 1]);
    pos += 2;
    if (Left(pos, length) < 1)
        return Step::kMalformed;
    // The length byte and the name take an even number of bytes together;
    // an empty name still has its pad byte.
    const uint32_t nameLength = buffer[pos];
    const uint32_t nameBytes = nameLength + (nameLength % 2 == 0 ? 1 : 0);
    if (Left(pos + 1, length) < nameBytes)
        return Step::kMalformed;
    const char *nameStart = reinterpret_cast<const char *>(buffer + pos + 1);
    std::string name(nameStart, nameLength ? strnlen(nameStart, nameBytes) : 0);
    pos += 1 + nameBytes;
    if (Left(pos, length) < 4)
        return Step::kMalformed;
    uint64_t dataSize = Be32(buffer + pos);
    dataSize += dataSize % 2;
    pos += 4;
    if (dataSize > Left(pos, length)) {
        TraceMsg(2, "Found bad IPTC data resource (len exceeds block end). ID=%d", id);
        return Step::kTooLong;
    }
    const uint32_t headerLength = static_cast<uint32_t>(pos - start);
    if ((keepAll || !Listed(id)) &&
        !Append(buffer + start, static_cast<uint32_t>(headerLength + dataSize), id, headerLength, name.c_str()))
        return Step::kMalformed;
    position = static_cast<uint32_t>(pos + dataSize);
    return Step::kParsed;
}

bool ResourceBlockList::Parse(const BYTE *buffer, uint32_t length, bool keepAll)
{
    error_ = kImgOk;
    blocks_.clear();
    if (!buffer) {
        error_ = kImgBadParam;
        return false;
    }
    if (length < kMinimumLength) {
        error_ = kImgBadResourceBlock;
        return false;
    }
    uint32_t position = 0;
    bool parsedAny = false;
    Step last = Step::kNoMore;
    while (position != length) {
        last = ParseBlock(buffer, length, position, keepAll);
        if (last != Step::kParsed)
            break;
        parsedAny = true;
    }
    if (error_ == kImgOutOfMemory)
        return false;
    if (!parsedAny || last == Step::kMalformed) {
        error_ = kImgBadResourceBlock;
        return false;
    }
    return true;
}

const ImageResourceBlock *ResourceBlockList::Find(uint16_t id)
{
    error_ = kImgOk;
    for (const auto &b : blocks_)
        if (b->id == id)
            return b.get();
    error_ = kImgBadParam;
    return nullptr;
}

bool ResourceBlockList::Append(const BYTE *data, uint32_t length, uint16_t id, int32_t headerLength,
                               const char *name)
{
    std::unique_ptr<ImageResourceBlock> b(new (std::nothrow) ImageResourceBlock);
    if (!b) {
        error_ = kImgOutOfMemory;
        return false;
    }
    try {
        b->id = id;
        b->headerLength = headerLength;
        b->block.assign(data, data + length);
        b->name = name ? name : "";
        blocks_.push_back(std::move(b));
    } catch (const std::bad_alloc &) {
        error_ = kImgOutOfMemory;
        return false;
    }
    return true;
}
