#include "platform/qt/qt_wayland_shm.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace mv::qt {

ShmBuffer makeShmBuffer(wl_shm* shm, int width, int height, const char* name) {
    if (!shm || width <= 0 || height <= 0) return {};
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    if (bytes > static_cast<size_t>(INT32_MAX)) return {};
    const int fd = memfd_create(name, MFD_CLOEXEC);
    if (fd < 0) return {};
    void* map = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0) map = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (map == MAP_FAILED) {
        ::close(fd);
        return {};
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(bytes));
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    ::close(fd);
    return {buffer, static_cast<uint32_t*>(map), bytes};
}

void dropShmBuffer(ShmBuffer& b) {
    if (b.buffer) wl_buffer_destroy(b.buffer);
    if (b.pixels) munmap(b.pixels, b.bytes);
    b = {};
}

}  // namespace mv::qt
