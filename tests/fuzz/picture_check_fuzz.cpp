// The fuzz target of the picture check: any bytes, judged as the game judges a picture file. The
// sanitizers catch what the check's own code does wrong; zlib, built without them, is caught by the
// page after the input, which cannot be read: the bytes end where the page does, as a mapped file's
// view may, and any read past them faults.
#include "services/picture_check.h"

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Pages that end against an unreadable one, kept from input to input and grown as inputs grow. The part
// before the input is poisoned, so that the check's own reads before its start are caught too.
class GuardedBytes {
public:
    const unsigned char* Hold(const uint8_t* data, size_t size) {
        if (!m_base || size > m_room) {
            Grow(size);
        }
        unsigned char* start = m_guard - size;
        ASAN_UNPOISON_MEMORY_REGION(m_base, m_room);
        std::memcpy(start, data, size);
        ASAN_POISON_MEMORY_REGION(m_base, m_room - size);
        return start;
    }

private:
    void Grow(size_t size) {
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        if (m_base) {
            ASAN_UNPOISON_MEMORY_REGION(m_base, m_room);
            munmap(m_base, m_room + page);
        }
        m_room = (size + page) / page * page; // a page at least
        void* base = mmap(nullptr, m_room + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) {
            std::abort();
        }
        m_base = static_cast<unsigned char*>(base);
        m_guard = m_base + m_room;
        if (mprotect(m_guard, page, PROT_NONE) != 0) {
            std::abort();
        }
    }

    unsigned char* m_base = nullptr;
    unsigned char* m_guard = nullptr;
    size_t m_room = 0;
};

GuardedBytes g_Bytes;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PictureIsSpoiled(g_Bytes.Hold(data, size), size);
    return 0;
}
