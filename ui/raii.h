#pragma once
// Small owners for handles and buffers taken from the platform for one call.
#include <windows.h>

namespace ui {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }

    HANDLE get() const { return handle_; }
    int valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != NULL; }
    void close() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    FileHandle(const FileHandle&);
    FileHandle& operator=(const FileHandle&);

    HANDLE handle_;
};

// A fixed block from LocalAlloc, zero-filled on request.
class LocalBuffer {
  public:
    LocalBuffer() : memory_(NULL) {}
    explicit LocalBuffer(SIZE_T bytes, UINT flags = LMEM_FIXED) : memory_(NULL) {
        allocate(bytes, flags);
    }
    ~LocalBuffer() { release(); }

    // A new block in place of the one held; 0 when there is none.
    int allocate(SIZE_T bytes, UINT flags = LMEM_FIXED) {
        release();
        memory_ = LocalAlloc(flags, bytes ? bytes : 1);
        return valid();
    }

    template <typename T> T* as() const { return static_cast<T*>(memory_); }
    int valid() const { return memory_ != NULL; }

  private:
    LocalBuffer(const LocalBuffer&);
    LocalBuffer& operator=(const LocalBuffer&);

    void release() {
        if (memory_) LocalFree(memory_);
        memory_ = NULL;
    }

    HLOCAL memory_;
};

} // namespace ui
