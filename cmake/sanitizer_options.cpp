// SPDX-FileCopyrightText: 2026 The MV-4016 Storage Calculator project
//
// SPDX-License-Identifier: MIT

// Options for the sanitizer runtime, compiled into every program of the sanitizer build so that
// ctest, the build's own tools and a program started by hand all run with them.

// Up to GCC 13 and LLVM 16 the runtime's __tls_get_addr hook takes a thread-local block that
// starts 16 bytes into a page for one laid out as glibc did before 2.25, with a header in front,
// and reads the two words before it as the block's bounds. A dlopen'd library's block comes from
// malloc and lands there by chance: Qt's JPEG plugin brings libjpeg, whose 8-byte block does or
// does not, depending on everything allocated before it. LeakSanitizer then scans the made-up
// range at exit and its tracer crashes ("Tracer caught signal 11"). Without the hook, leak
// checking stays as it is: those blocks are allocated by the dynamic loader, which
// LeakSanitizer counts as reachable and scans for pointers.
#if defined(__clang__) ? __clang_major__ < 17 : __GNUC__ < 14
extern "C" const char* __asan_default_options() {
    return "intercept_tls_get_addr=0";
}
#endif
