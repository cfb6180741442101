// Faults injected into a whole run of a program, loaded with LD_PRELOAD and steered by the
// environment:
//   TREVALIN_FAIL_ALLOCATION=n     the n-th malloc, calloc or realloc after main starts returns
//                                  null; only that one (under AddressSanitizer, whose runtime
//                                  serves operator new without malloc, operator new counts too
//                                  and throws). When it happens, the file named by
//                                  TREVALIN_FAULT_MARK is created, so the caller knows the run
//                                  reached it.
//   TREVALIN_STOP_IN_WRITE=bytes   the first write of at least that many bytes writes half of them,
//                                  then the process stops itself (SIGSTOP) until continued.
//   TREVALIN_NO_UNNAMED_FILES=1    opening with O_TMPFILE fails, as on a file system without
//                                  unnamed files.
// Built without sanitizers and allocating nothing itself: it sits under everything else.

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <new>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using malloc_function = void* (*)(std::size_t);
using calloc_function = void* (*)(std::size_t, std::size_t);
using realloc_function = void* (*)(void*, std::size_t);
using free_function = void (*)(void*);
using new_function = void* (*)(std::size_t);
using main_function = int (*)(int, char**, char**);
using start_main_function = int (*)(main_function, int, char**, void (*)(), void (*)(), void (*)(), void*);

malloc_function next_malloc;
calloc_function next_calloc;
realloc_function next_realloc;
free_function next_free;
new_function next_new;
new_function next_new_array;
bool counting_new;  // the sanitizer's runtime serves operator new itself, past malloc

// dlsym may allocate while the functions above are looked up; it gets memory from here.
alignas(std::max_align_t) char early_heap[16384];
std::size_t early_used;
bool resolving;

bool is_early(void* block) { return block >= early_heap && block < early_heap + sizeof early_heap; }

void* early_allocate(std::size_t bytes) {
    const std::size_t rounded = (bytes + alignof(std::max_align_t) - 1) / alignof(std::max_align_t) * alignof(std::max_align_t);
    if (early_used + rounded > sizeof early_heap) return nullptr;
    void* block = early_heap + early_used;
    early_used += rounded;
    return block;
}

void resolve() {
    if (next_malloc != nullptr || resolving) return;
    resolving = true;
    next_calloc = reinterpret_cast<calloc_function>(::dlsym(RTLD_NEXT, "calloc"));
    next_realloc = reinterpret_cast<realloc_function>(::dlsym(RTLD_NEXT, "realloc"));
    next_free = reinterpret_cast<free_function>(::dlsym(RTLD_NEXT, "free"));
    next_new = reinterpret_cast<new_function>(::dlsym(RTLD_NEXT, "_Znwm"));
    next_new_array = reinterpret_cast<new_function>(::dlsym(RTLD_NEXT, "_Znam"));
    counting_new = ::dlsym(RTLD_DEFAULT, "__asan_init") != nullptr;
    next_malloc = reinterpret_cast<malloc_function>(::dlsym(RTLD_NEXT, "malloc"));
    resolving = false;
}

std::atomic<bool> armed{false};
std::atomic<unsigned long> allocations{0};
unsigned long failing_allocation;  // 0: none
const char* fault_mark;
unsigned long stop_in_write;        // 0: never
std::atomic<bool> stopped{false};
bool no_unnamed_files;

unsigned long number_from(const char* name) {
    const char* text = std::getenv(name);
    return text == nullptr ? 0 : std::strtoul(text, nullptr, 10);
}

// Counts the allocation and answers whether it is the one to fail.
bool this_allocation_fails() {
    if (!armed.load(std::memory_order_relaxed) || failing_allocation == 0) return false;
    if (allocations.fetch_add(1) + 1 != failing_allocation) return false;
    if (fault_mark != nullptr) {
        const long fd = ::syscall(SYS_openat, AT_FDCWD, fault_mark, O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) ::syscall(SYS_close, fd);
    }
    errno = ENOMEM;
    return true;
}

main_function real_main;

int armed_main(int argc, char** argv, char** envp) {
    armed = true;
    return real_main(argc, argv, envp);
}

long open_file(const char* path, int flags, va_list rest) {
    const mode_t mode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(rest, mode_t) : 0;
    if (no_unnamed_files && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::syscall(SYS_openat, AT_FDCWD, path, flags, mode);
}

}  // namespace

extern "C" {

int __libc_start_main(main_function main, int argc, char** argv, void (*init)(), void (*fini)(), void (*rtld_fini)(),
                      void* stack_end) {
    resolve();
    failing_allocation = number_from("TREVALIN_FAIL_ALLOCATION");
    fault_mark = std::getenv("TREVALIN_FAULT_MARK");
    stop_in_write = number_from("TREVALIN_STOP_IN_WRITE");
    no_unnamed_files = number_from("TREVALIN_NO_UNNAMED_FILES") != 0;
    real_main = main;
    const auto next = reinterpret_cast<start_main_function>(::dlsym(RTLD_NEXT, "__libc_start_main"));
    return next(&armed_main, argc, argv, init, fini, rtld_fini, stack_end);
}

void* malloc(std::size_t bytes) noexcept {
    resolve();
    if (next_malloc == nullptr) return early_allocate(bytes);
    return this_allocation_fails() ? nullptr : next_malloc(bytes);
}

void* calloc(std::size_t count, std::size_t size) noexcept {
    resolve();
    if (next_calloc == nullptr) return early_allocate(count * size);  // zero already: static storage
    return this_allocation_fails() ? nullptr : next_calloc(count, size);
}

void* realloc(void* block, std::size_t bytes) noexcept {
    resolve();
    if (next_realloc == nullptr || is_early(block)) return nullptr;  // not needed this early
    return this_allocation_fails() ? nullptr : next_realloc(block, bytes);
}

void free(void* block) noexcept {
    if (block == nullptr || is_early(block)) return;
    resolve();
    next_free(block);
}

}  // extern "C"

void* operator new(std::size_t bytes) {
    resolve();
    if (counting_new && this_allocation_fails()) throw std::bad_alloc();
    return next_new(bytes);
}

void* operator new[](std::size_t bytes) {
    resolve();
    if (counting_new && this_allocation_fails()) throw std::bad_alloc();
    return next_new_array(bytes);
}

extern "C" {

ssize_t write(int fd, const void* buffer, std::size_t bytes) {
    if (stop_in_write != 0 && bytes >= stop_in_write && !stopped.exchange(true)) {
        const long written = ::syscall(SYS_write, fd, buffer, bytes / 2);
        ::raise(SIGSTOP);
        return written;
    }
    return ::syscall(SYS_write, fd, buffer, bytes);
}

int open(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const long fd = open_file(path, flags, rest);
    va_end(rest);
    return static_cast<int>(fd);
}

int open64(const char* path, int flags, ...) {
    va_list rest;
    va_start(rest, flags);
    const long fd = open_file(path, flags, rest);
    va_end(rest);
    return static_cast<int>(fd);
}

}  // extern "C"
