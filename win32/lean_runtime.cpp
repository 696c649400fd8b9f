// The parts of the C++ runtime the shipped programs use, without what the
// static runtime would bring along: its operator new reports failure by
// throwing, and the throw alone links in the unwinder, the exception
// classes, the verbose terminate handler and the demangler, more than
// three quarters of a small program. Built without exceptions, a failure
// here can only end the program, as an escaped exception would have.
// Linked into the shipped programs (and the test of this file) only; the
// other tests keep the full runtime.
#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void OutOfMemory() {
    // abort() prints through the C runtime and may show a box; a program
    // that cannot allocate has nothing left to say. 3 is the code abort()
    // ends with, as the uncaught bad_alloc of the full runtime did.
    ExitProcess(3);
}

void* Allocate(size_t size) {
    void* block = malloc(size ? size : 1);
    if (!block) OutOfMemory();
    return block;
}

}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void operator delete(void* block) noexcept { free(block); }
void operator delete[](void* block) noexcept { free(block); }
void operator delete(void* block, size_t) noexcept { free(block); }
void operator delete[](void* block, size_t) noexcept { free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { free(block); }

// What the library's containers and strings call where they would throw: a
// length past max_size(), an index out of range, a failed allocation. All of
// the runtime's object that holds them is replaced, so that it is never
// linked beside this one.
namespace std {
[[noreturn]] void __throw_bad_alloc() { OutOfMemory(); }
[[noreturn]] void __throw_bad_array_new_length() { OutOfMemory(); }
[[noreturn]] void __throw_length_error(const char*) { OutOfMemory(); }
[[noreturn]] void __throw_bad_exception() { abort(); }
[[noreturn]] void __throw_bad_cast() { abort(); }
[[noreturn]] void __throw_bad_typeid() { abort(); }
[[noreturn]] void __throw_logic_error(const char*) { abort(); }
[[noreturn]] void __throw_domain_error(const char*) { abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { abort(); }
[[noreturn]] void __throw_runtime_error(const char*) { abort(); }
[[noreturn]] void __throw_range_error(const char*) { abort(); }
[[noreturn]] void __throw_overflow_error(const char*) { abort(); }
[[noreturn]] void __throw_underflow_error(const char*) { abort(); }
}  // namespace std

extern "C" void __cxa_pure_virtual() { abort(); }

// The C++ headers turn every printf into the runtime's own ISO printf, which
// brings its float and wide-character conversions (20 KB) along. The
// programs format only strings and integers (%s %d %i %u %02X), which the
// system's msvcrt prints the same; only the ISO answer on a short buffer is
// kept here: the text cut and ended with a NUL, the full length returned.
extern "C" int __cdecl __mingw_vsnprintf(char* buf, size_t bufSize, const char* format,
                                         va_list args) {
    va_list again;
    va_copy(again, args);
    int written = _vsnprintf(buf, bufSize, format, args);
    if (written < 0 || (size_t)written >= bufSize) {
        if (bufSize > 0) buf[bufSize - 1] = 0;
        written = _vscprintf(format, again);
    }
    va_end(again);
    return written;
}

extern "C" int __cdecl __mingw_vsprintf(char* buf, const char* format, va_list args) {
    return __ms_vsprintf(buf, format, args);
}

extern "C" int __cdecl __mingw_vfprintf(FILE* file, const char* format, va_list args) {
    return __ms_vfprintf(file, format, args);
}
