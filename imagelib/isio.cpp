// Stream blocks, the registry of live handles and the six entry points that
// open and close sources and destinations.
#include "isio.h"

#include "libframe.h"

#include <cstring>
#include <mutex>
#include <set>

#ifdef _WIN32
#include <io.h>
#define WYN_ACCESS _access
#else
#include <unistd.h>
#define WYN_ACCESS access
#endif

namespace {

// Handles are plain addresses the caller holds on to, so a closed one can
// come back. Asking this set first means a closed or foreign handle is
// refused without reading the memory it points to.
class HandleRegistry {
public:
    void Add(const ISStreamBlock *block)
    {
        std::lock_guard<std::mutex> lock(lock_);
        live_.insert(block);
    }
    // False when the handle was not live (closed twice, or never opened).
    bool Remove(const ISStreamBlock *block)
    {
        std::lock_guard<std::mutex> lock(lock_);
        return live_.erase(block) != 0;
    }
    bool Contains(const ISStreamBlock *block)
    {
        std::lock_guard<std::mutex> lock(lock_);
        return live_.count(block) != 0;
    }

private:
    std::mutex lock_;
    std::set<const ISStreamBlock *> live_;
};

// Never destroyed: a straggling loader thread may open or close a handle
// while the process exits.
HandleRegistry &Registry()
{
    static HandleRegistry *registry = new HandleRegistry;
    return *registry;
}

ISStreamBlock *NewBlock()
{
    return static_cast<ISStreamBlock *>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, sizeof(ISStreamBlock)));
}

void Publish(ISStreamBlock *block)
{
    block->magic1 = kBlockMagic1;
    block->magic2 = kBlockMagic2;
    Registry().Add(block);
}

// A name that does not fit is refused rather than cut: a cut name would
// open, or later re-open, a different file.
bool StoreName(ISStreamBlock *block, const char *name)
{
    size_t len = strlen(name);
    if (len >= kStreamNameLen)
        return false;
    memcpy(block->name, name, len + 1);
    return true;
}

bool FileExists(const char *name) { return WYN_ACCESS(name, 0) == 0; }

// A block for a file stream with its name stored: 4 for no name or one
// that does not fit, 5 without memory.
ISStreamBlock *NewNamedBlock(const char *fileName, OperationContext &ctx)
{
    if (!fileName || !*fileName) {
        ctx.Fail(kImgFileOpen);
        return nullptr;
    }
    ISStreamBlock *block = NewBlock();
    if (!block) {
        ctx.Fail(kImgOutOfMemory);
        return nullptr;
    }
    if (!StoreName(block, fileName)) {
        GlobalFree(block);
        ctx.Fail(kImgFileOpen);
        return nullptr;
    }
    return block;
}

// Closes the stream and clears the magics; the block is freed by the caller.
bool CloseBlock(ISStreamBlock *block)
{
    bool ok = true;
    if (block->kind == kKindFile && block->file) {
        ok = fclose(block->file) == 0;
        block->file = nullptr;
    }
    block->magic1 = 0;
    block->magic2 = 0;
    return ok;
}

int32_t HandleError(const ISStreamBlock *block)
{
    if (!block)
        return kImgBadParam;
    return Registry().Contains(block) ? kImgOk : kImgBadHandle;
}

}  // namespace

int32_t CheckStreamBlock(const ISStreamBlock *block)
{
    if (int32_t error = HandleError(block))
        return error;
    if (block->kind < 1 || block->kind > 5 || block->magic1 != kBlockMagic1 || block->magic2 != kBlockMagic2)
        return kImgBadHandle;
    if (block->kind == kKindFile && !block->file)
        return kImgBadHandle;
    if (block->kind == kKindMemory && (!block->memory || !block->memorySize))
        return kImgBadHandle;
    return kImgOk;
}

uint32_t CISIO::Read(void *buffer, uint32_t count)
{
    if (block_->kind == kKindFile)
        return static_cast<uint32_t>(fread(buffer, 1, count, block_->file));
    uint32_t end = block_->writable ? block_->highWater : block_->memorySize;
    uint32_t left = block_->position < end ? end - block_->position : 0;
    uint32_t n = count < left ? count : left;
    if (n)
        memcpy(buffer, block_->memory + block_->position, n);
    block_->position += n;
    return n;
}

bool CISIO::Seek(int32_t offset, int32_t origin)
{
    if (block_->kind == kKindFile)
        return origin >= kSeekSet && origin <= kSeekEnd && fseek(block_->file, offset, origin) == 0;
    int64_t size = block_->memorySize;
    int64_t target;
    switch (origin) {
    case kSeekSet:
        target = offset;
        break;
    case kSeekCur:
        target = static_cast<int64_t>(block_->position) + offset;
        break;
    case kSeekEnd: {
        int64_t end = block_->writable ? block_->highWater : size;
        if (offset > 0 || end + offset < 0)
            return false;
        block_->position = static_cast<uint32_t>(end + offset);
        return true;
    }
    default:
        return false;
    }
    if (target < 0 || target >= size)
        return false;
    block_->position = static_cast<uint32_t>(target);
    if (block_->writable && block_->position > block_->highWater)
        block_->highWater = block_->position;
    return true;
}

bool CISIO::AtEnd() const
{
    if (block_->kind == kKindFile)
        return false;
    return static_cast<int64_t>(block_->position) >= static_cast<int64_t>(block_->memorySize) - 1;
}

uint32_t CISIO::Tell() const
{
    if (block_->kind == kKindFile) {
        long pos = ftell(block_->file);
        return pos < 0 ? 0 : static_cast<uint32_t>(pos);
    }
    return block_->position;
}

uint32_t CISIO::Size()
{
    if (block_->kind == kKindMemory)
        return block_->writable ? block_->highWater : block_->memorySize;
    if (block_->writable)
        fflush(block_->file);
    long here = ftell(block_->file);
    if (here < 0 || fseek(block_->file, 0, SEEK_END) != 0)
        return 0;
    long size = ftell(block_->file);
    fseek(block_->file, here, SEEK_SET);
    return size < 0 ? 0 : static_cast<uint32_t>(size);
}

// Memory blocks are never writable: no entry point opens a memory
// destination.
bool CISIO::Write(const void *buffer, uint32_t count)
{
    if (!block_->writable || block_->kind != kKindFile)
        return false;
    if (count == 0)
        return true;
    return fwrite(buffer, 1, count, block_->file) == count;
}

bool CISIO::Flush()
{
    if (!block_->writable || block_->kind != kKindFile)
        return true;
    // The error flag keeps a failure of an earlier write of the stream's
    // own, which a later flush may no longer see.
    return fflush(block_->file) == 0 && !ferror(block_->file);
}

bool SkipBytes(CISIO &io, uint32_t count)
{
    BYTE chunk[4096];
    while (count) {
        uint32_t n = count < sizeof(chunk) ? count : static_cast<uint32_t>(sizeof(chunk));
        if (!io.ReadExact(chunk, n))
            return false;
        count -= n;
    }
    return true;
}

HISSRC OpenFileSource(const char *fileName)
{
    return RunEntry<HISSRC>([&](OperationContext &ctx) -> HISSRC {
        ISStreamBlock *block = NewNamedBlock(fileName, ctx);
        if (!block)
            return nullptr;
        if (!(block->file = fopen(fileName, "rb"))) {
            GlobalFree(block);
            ctx.Fail(kImgFileOpen);
            return nullptr;
        }
        block->kind = kKindFile;
        Publish(block);
        return block;
    });
}

HISSRC OpenMemorySource(const void *data, uint32_t size)
{
    return RunEntry<HISSRC>([&](OperationContext &ctx) -> HISSRC {
        ISStreamBlock *block = NewBlock();
        if (!block) {
            ctx.Fail(kImgOutOfMemory);
            return nullptr;
        }
        if (!data || !size) {
            GlobalFree(block);
            ctx.Fail(kImgBadParam);
            return nullptr;
        }
        block->kind = kKindMemory;
        block->memory = static_cast<const BYTE *>(data);
        block->memorySize = size;
        Publish(block);
        return block;
    });
}

HISDEST OpenFileDest(const char *fileName, BOOL openExisting)
{
    return RunEntry<HISDEST>([&](OperationContext &ctx) -> HISDEST {
        ISStreamBlock *block = NewNamedBlock(fileName, ctx);
        if (!block)
            return nullptr;
        if (openExisting && !FileExists(fileName)) {
            if (FILE *created = fopen(fileName, "w"))
                fclose(created);
        }
        block->file = fopen(fileName, openExisting ? "rb+" : "wb+");
        if (!block->file) {
            GlobalFree(block);
            ctx.Fail(kImgFileOpen);
            return nullptr;
        }
        block->kind = kKindFile;
        block->writable = 1;
        block->openExisting = openExisting ? 1 : 0;
        Publish(block);
        return block;
    });
}

// Seeking and closing also ask the registry: a closed handle is refused
// with 38 instead of being read, or freed a second time.
BOOL SeekSource(HISSRC source, int32_t offset, int32_t origin)
{
    return RunEntry<BOOL>([&](OperationContext &ctx) -> BOOL {
        if (int32_t error = HandleError(source)) {
            ctx.Fail(error);
            return FALSE;
        }
        return CISIO(source).Seek(offset, origin) ? TRUE : FALSE;
    });
}

uint32_t CloseSource(HISSRC source)
{
    return RunEntry<uint32_t>([&](OperationContext &ctx) -> uint32_t {
        if (int32_t error = HandleError(source)) {
            ctx.Fail(error);
            return 0;
        }
        Registry().Remove(source);
        uint32_t position = CISIO(source).Tell();
        CloseBlock(source);
        GlobalFree(source);
        return position;
    });
}

uint32_t CloseDest(HISDEST dest)
{
    return RunEntry<uint32_t>([&](OperationContext &ctx) -> uint32_t {
        if (int32_t error = HandleError(dest)) {
            ctx.Fail(error);
            return 0;
        }
        Registry().Remove(dest);
        CISIO io(dest);
        const bool flushed = io.Flush();
        const uint32_t size = io.Size();
        const bool closed = CloseBlock(dest);
        GlobalFree(dest);
        if (!flushed || !closed) {
            ctx.Fail(kImgFileWrite);
            return 0;
        }
        return size;
    });
}
