// Shared memory for a Wayland buffer: an anonymous memory file mapped into
// this process, and the buffer the compositor reads or writes in it. Both
// go with the object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

struct wl_buffer;
struct wl_shm;

namespace tintorel {

// The bytes a buffer of `height` rows `stride` bytes apart takes; nothing
// when the sizes are not those of a buffer of `width` 4-byte pixels.
std::optional<std::size_t> ShmBufferBytes(int width, int height, int stride);

class ShmFile {
public:
    ShmFile() = default;
    ShmFile(const ShmFile&) = delete;
    ShmFile& operator=(const ShmFile&) = delete;
    ~ShmFile() { Release(); }

    // `size` bytes of zeros, mapped for reading and writing; false, and
    // nothing held, when the system gives none.
    bool Create(std::size_t size);
    void Release();
    int Fd() const { return fd_; }
    std::uint8_t* Data() const { return data_; }
    std::size_t Size() const { return size_; }

private:
    int fd_ = -1;
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

class ShmBuffer {
public:
    ShmBuffer() = default;
    ShmBuffer(const ShmBuffer&) = delete;
    ShmBuffer& operator=(const ShmBuffer&) = delete;
    ~ShmBuffer() { Release(); }

    // A buffer of `width` × `height` pixels of the shared-memory `format`;
    // false, and nothing held, for sizes no buffer has.
    bool Create(wl_shm* shm, int width, int height, int stride, std::uint32_t format);
    void Release();
    wl_buffer* Buffer() const { return buffer_; }
    std::uint8_t* Data() const { return file_.Data(); }
    std::size_t Size() const { return file_.Size(); }

private:
    ShmFile file_;
    wl_buffer* buffer_ = nullptr;
};

} // namespace tintorel
