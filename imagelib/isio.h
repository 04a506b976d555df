// Image sources and destinations: the stream block behind HISSRC and
// HISDEST, and CISIO, which reads, writes and seeks it for one call.
#pragma once

#include "imagelib.h"

#include <cstdint>
#include <cstdio>

constexpr uint32_t kBlockMagic1 = 0x07475590;
constexpr uint32_t kBlockMagic2 = 0x12345678;
constexpr uint32_t kKindFile = 1;
constexpr uint32_t kKindMemory = 2;
constexpr size_t kStreamNameLen = 260;

// One open source or destination. Kinds 3 to 5 (caller callbacks, a Win32
// handle, a counting sink) are reserved: nothing opens them.
struct ISStreamBlock {
    uint32_t magic1;
    FILE *file;
    void *win32Handle;
    uint32_t kind;
    const BYTE *memory;
    uint32_t memorySize;
    uint32_t position;
    uint32_t highWater;
    char name[kStreamNameLen];
    uint8_t writable;
    uint8_t openExisting;
    void *callbacks[7];
    void *callbackUser;
    uint32_t magic2;
};

enum SeekOrigin : int32_t { kSeekSet = 0, kSeekCur = 1, kSeekEnd = 2 };

// 0 for a live, sound block; 5 for null; 38 for anything else, including a
// handle that was closed: the registry of live handles is asked before the
// block is read, so a freed block is never touched.
int32_t CheckStreamBlock(const ISStreamBlock *block);

class CISIO {
public:
    explicit CISIO(ISStreamBlock *block) : block_(block) {}

    // Bytes read (at most count).
    uint32_t Read(void *buffer, uint32_t count);
    bool ReadExact(void *buffer, uint32_t count) { return Read(buffer, count) == count; }
    bool Seek(int32_t offset, int32_t origin);
    bool Rewind() { return Seek(0, kSeekSet); }
    bool AtEnd() const;
    uint32_t Tell() const;
    uint32_t Size();
    bool Write(const void *buffer, uint32_t count);
    // Writes out what the stream still buffers; false when that or any
    // earlier write of the stream failed (a full disk often shows only at
    // the flush).
    bool Flush();

    bool IsFile() const { return block_->kind == kKindFile; }
    const char *Name() const { return block_->name; }

private:
    ISStreamBlock *block_;
};

// Reads and drops count bytes; false when the source ends first.
bool SkipBytes(CISIO &io, uint32_t count);
