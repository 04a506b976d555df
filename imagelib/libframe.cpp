// Per-thread state of the image library and the pieces of the calling frame.
#include "libframe.h"

#include <algorithm>
#include <cstring>
#include <list>
#include <mutex>

namespace {

// Every state created so far and not yet released. The lock guards the
// list only; each state is touched by its own thread alone.
class ThreadStateSlot {
public:
    void Add(LibThreadState *state)
    {
        std::lock_guard<std::mutex> lock(lock_);
        states_.push_back(state);
    }

    void Remove(LibThreadState *state)
    {
        std::lock_guard<std::mutex> lock(lock_);
        states_.remove(state);
        delete state;
    }

    uint32_t Count()
    {
        std::lock_guard<std::mutex> lock(lock_);
        return static_cast<uint32_t>(states_.size());
    }

private:
    std::mutex lock_;
    std::list<LibThreadState *> states_;
};

// Built on first use rather than as a namespace-scope global, so a global
// of another file that calls the library during start-up finds it ready.
// Never destroyed, and the states it lists never freed at exit: a loader
// thread that missed shutdown's join is left running and may still be
// inside a reader, using its state and this lock. The process's end takes
// the memory back; the states stay reachable from here, so a leak check
// still reports only what was truly lost.
ThreadStateSlot &Slot()
{
    static ThreadStateSlot *slot = new ThreadStateSlot;
    return *slot;
}

thread_local LibThreadState *tState = nullptr;

}  // namespace

LibThreadState *GetThreadState()
{
    if (tState)
        return tState;
    try {
        ThreadStateSlot &slot = Slot();
        LibThreadState *state = new LibThreadState();
        try {
            slot.Add(state);
        } catch (...) {
            delete state;
            return nullptr;
        }
        tState = state;
        return state;
    } catch (...) {
        return nullptr;
    }
}

LibThreadState *CurrentThreadState() { return tState; }

uint32_t LibStateCount() { return Slot().Count(); }

void SetLastImageError(int32_t code)
{
    if (LibThreadState *state = GetThreadState())
        state->lastError = code;
}

BOOL SetProgressCallback(ProgressCallback callback, uint32_t user)
{
    LibThreadState *state = GetThreadState();
    if (!state)
        return FALSE;
    state->callback = callback;
    state->user = user;
    return TRUE;
}

int32_t GetLastImageError()
{
    LibThreadState *state = GetThreadState();
    return state ? state->lastError : kImgNoThreadState;
}

void ReleaseThreadState()
{
    LibThreadState *state = tState;
    if (!state)
        return;
    tState = nullptr;
    Slot().Remove(state);
}

// Nothing library-wide outlives a call yet; the state list and its lock
// stay until program exit, so a worker that releases its state after the
// clean-up still finds them.
void CleanupLibrary() {}

OperationScope::OperationScope() : state_(CurrentThreadState())
{
    if (state_)
        ++state_->depth;
}

OperationScope::~OperationScope()
{
    if (state_)
        --state_->depth;
}

RowProgress::RowProgress() : state_(CurrentThreadState()), noted_(state_ && state_->callback) {}

bool RowProgress::Report(uint32_t row, uint32_t rows, OperationContext &ctx)
{
    if (!noted_ || state_->depth != 1 || !state_->callback)
        return true;
    if (state_->callback(row, rows, state_->user))
        return true;
    ctx.Fail(kImgAborted);
    return false;
}

bool ImageBuffer::Allocate(CheckedSize bytes)
{
    Free();
    if (!bytes.Ok() || bytes.Value() == 0)
        return false;
    data_ = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes.Value()));
    size_ = data_ ? bytes.Value() : 0;
    return data_ != nullptr;
}

bool ImageBuffer::Resize(CheckedSize bytes)
{
    if (!bytes.Ok() || bytes.Value() == 0)
        return false;
    BYTE *grown = static_cast<BYTE *>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes.Value()));
    if (!grown)
        return false;
    if (data_)
        memcpy(grown, data_, std::min(size_, bytes.Value()));
    Free();
    data_ = grown;
    size_ = bytes.Value();
    return true;
}

void ImageBuffer::Free()
{
    if (data_)
        GlobalFree(data_);
    data_ = nullptr;
    size_ = 0;
}

BYTE *ImageBuffer::Release()
{
    BYTE *data = data_;
    data_ = nullptr;
    size_ = 0;
    return data;
}

WorkBuffer::WorkBuffer(CheckedSize bytes) : data_(nullptr), size_(0)
{
    if (!bytes.Ok())
        Throw(kImgOutOfMemory);
    size_ = bytes.Value();
    data_ = new BYTE[size_ ? size_ : 1]();
}

const uint8_t *ProductTable()
{
    struct Table {
        uint8_t entries[65536];
        Table()
        {
            // Each product is rounded to a double before truncation; x87
            // code would otherwise keep extra bits and land one lower.
            for (int b = 0; b < 256; ++b) {
                volatile double weight = b * 0.00392156862745098;
                for (int a = 0; a < 256; ++a) {
                    volatile double product = a * weight;
                    entries[b * 256 + a] = static_cast<uint8_t>(product);
                }
            }
        }
    };
    static const Table table;
    return table.entries;
}
