#pragma once
// A stream buffer that counts the bytes written and keeps none of them, so that writer
// benchmarks time formatting rather than the disk.
#include <cstdint>
#include <streambuf>

namespace quarvel::bench {

class CountingBuffer final : public std::streambuf {
public:
    std::int64_t bytes = 0;

protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += n;
        return n;
    }
    int_type overflow(int_type ch) override {
        ++bytes;
        return ch;
    }
};

}  // namespace quarvel::bench
