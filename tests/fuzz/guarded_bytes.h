// Bytes for a fuzz target that end where an unreadable page begins, as a mapped file's view may: any
// read past them faults, even inside a library no sanitizer sees into (zlib, libjpeg).
#pragma once

#include <sanitizer/asan_interface.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

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
