#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A fuzz input read front to back; past its end every byte reads as 0.
struct FuzzInput {
    const uint8_t* data;
    size_t size;
    size_t at;
};

inline bool atEnd(const FuzzInput& in) {
    return in.at >= in.size;
}

inline uint8_t nextByte(FuzzInput& in) {
    return in.at < in.size ? in.data[in.at++] : 0;
}

inline uint32_t nextWord(FuzzInput& in) {
    uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
        word = word << 8 | nextByte(in);
    }
    return word;
}

// A broken property: says which and where, then aborts, so that libFuzzer keeps the input.
[[noreturn]] __attribute__((format(printf, 2, 3))) inline void fail(long step, const char* format,
                                                                    ...) {
    std::fprintf(stderr, "step %ld: ", step);
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
    std::abort();
}
