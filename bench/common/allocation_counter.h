// Counts heap allocations through operator new, so that a benchmark can
// check that a warm step makes none. Include it in exactly one file of a
// benchmark program: it replaces the program's global operator new.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

static std::atomic<long> allocationCount{0};

[[gnu::noinline]] void* operator new(std::size_t size) {
    ++allocationCount;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
// Kept out of line, so that the compiler never pairs a new expression with free.
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
