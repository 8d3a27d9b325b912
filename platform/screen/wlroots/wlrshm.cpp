#include "platform/screen/wlroots/wlrshm.h"

#include <wayland-client.h>

#include <limits>

#include <sys/mman.h>
#include <unistd.h>

namespace tintorel {

std::optional<std::size_t> ShmBufferBytes(int width, int height, int stride) {
    if (width <= 0 || height <= 0 || stride / 4 < width) {
        return std::nullopt;
    }
    const auto bytes = static_cast<std::uint64_t>(stride) * static_cast<std::uint64_t>(height);
    // A pool's size is a 32-bit signed number.
    if (bytes > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(bytes);
}

bool ShmFile::Create(std::size_t size) {
    Release();
    if (size == 0) {
        return false;
    }
    fd_ = memfd_create("tintorel-pipette", MFD_CLOEXEC);
    if (fd_ < 0 || ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        Release();
        return false;
    }
    void* map = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
    if (map == MAP_FAILED) {
        Release();
        return false;
    }
    data_ = static_cast<std::uint8_t*>(map);
    size_ = size;
    return true;
}

void ShmFile::Release() {
    if (data_ != nullptr) {
        munmap(data_, size_);
        data_ = nullptr;
    }
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
    size_ = 0;
}

bool ShmBuffer::Create(wl_shm* shm, int width, int height, int stride, std::uint32_t format) {
    Release();
    const std::optional<std::size_t> bytes = ShmBufferBytes(width, height, stride);
    if (!bytes || !file_.Create(*bytes)) {
        return false;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, file_.Fd(), static_cast<std::int32_t>(*bytes));
    buffer_ = wl_shm_pool_create_buffer(pool, 0, width, height, stride, format);
    wl_shm_pool_destroy(pool);
    if (buffer_ == nullptr) {
        Release();
        return false;
    }
    return true;
}

void ShmBuffer::Release() {
    if (buffer_ != nullptr) {
        wl_buffer_destroy(buffer_);
        buffer_ = nullptr;
    }
    file_.Release();
}

} // namespace tintorel
