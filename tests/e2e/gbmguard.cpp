// Preloaded into the KDE test's KWin only. Without a GPU's render node (a
// container, a CI runner), KWin 5.27 still asks GBM for screen-cast buffers
// from the device it failed to open, and libgbm dereferences that null
// device: KWin crashes as soon as a screen cast starts. Here a null device
// gets no buffer, as if the allocation had failed, and KWin carries on.
#include <dlfcn.h>

#include <cstdint>

namespace {

template <typename Function>
Function* Next(const char* name) {
    return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

struct gbm_device;
struct gbm_bo;

gbm_bo* gbm_bo_create(gbm_device* device, std::uint32_t width, std::uint32_t height,
                      std::uint32_t format, std::uint32_t flags) {
    using Create = gbm_bo*(gbm_device*, std::uint32_t, std::uint32_t, std::uint32_t,
                           std::uint32_t);
    static Create* const next = Next<Create>("gbm_bo_create");
    return device ? next(device, width, height, format, flags) : nullptr;
}

gbm_bo* gbm_bo_create_with_modifiers(gbm_device* device, std::uint32_t width,
                                     std::uint32_t height, std::uint32_t format,
                                     const std::uint64_t* modifiers, unsigned count) {
    using Create = gbm_bo*(gbm_device*, std::uint32_t, std::uint32_t, std::uint32_t,
                           const std::uint64_t*, unsigned);
    static Create* const next = Next<Create>("gbm_bo_create_with_modifiers");
    return device ? next(device, width, height, format, modifiers, count) : nullptr;
}

gbm_bo* gbm_bo_create_with_modifiers2(gbm_device* device, std::uint32_t width,
                                      std::uint32_t height, std::uint32_t format,
                                      const std::uint64_t* modifiers, unsigned count,
                                      std::uint32_t flags) {
    using Create = gbm_bo*(gbm_device*, std::uint32_t, std::uint32_t, std::uint32_t,
                           const std::uint64_t*, unsigned, std::uint32_t);
    static Create* const next = Next<Create>("gbm_bo_create_with_modifiers2");
    return device ? next(device, width, height, format, modifiers, count, flags) : nullptr;
}

} // extern "C"
