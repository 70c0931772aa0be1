#pragma once
// Small owners for handles and buffers taken from the platform for one call.
#include <windows.h>

namespace ui {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE get() const { return handle_; }
    int valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    void close() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_;
};

// A fixed block from LocalAlloc, zero-filled on request.
class LocalBuffer {
  public:
    explicit LocalBuffer(SIZE_T bytes, UINT flags = LMEM_FIXED)
        : memory_(LocalAlloc(flags, bytes ? bytes : 1)) {}
    ~LocalBuffer() {
        if (memory_) LocalFree(memory_);
    }
    LocalBuffer(const LocalBuffer&) = delete;
    LocalBuffer& operator=(const LocalBuffer&) = delete;

    template <typename T> T* as() const { return static_cast<T*>(memory_); }
    int valid() const { return memory_ != nullptr; }

  private:
    HLOCAL memory_;
};

} // namespace ui
