#include "io/stl_reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "text/error.h"
#include "text/quoted_input.h"

namespace quarvel::io {

namespace {

constexpr std::size_t kHeadBytes = 84;   // 80-byte comment, then the facet count
constexpr std::size_t kFacetBytes = 50;  // normal, three corners, attribute word

std::uint32_t littleEndianWord(const unsigned char* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::uint64_t binarySizeFor(std::uint32_t count) {
    return kHeadBytes + kFacetBytes * static_cast<std::uint64_t>(count);
}

void checkBinaryHead(std::uint64_t fileSize, std::uint32_t count, const std::string& fileName) {
    if (fileSize < binarySizeFor(count))
        throw FormatError(fileName, 0,
                          "the head counts " + std::to_string(count) + " facets (" +
                              std::to_string(binarySizeFor(count)) +
                              " bytes) but the file has only " + std::to_string(fileSize) +
                              " bytes");
}

[[noreturn]] void throwShortHead(std::uint64_t fileSize, const std::string& fileName) {
    throw FormatError(fileName, 0,
                      "a binary STL file needs an 84-byte head, the file has " +
                          std::to_string(fileSize) + " bytes");
}

// Appends `count` 50-byte facet records; `firstNumber` is the 1-based number of the first.
void decodeFacets(const unsigned char* records, std::size_t count, std::size_t firstNumber,
                  std::vector<Triangle>& faces, const std::string& fileName) {
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* facet = records + kFacetBytes * i;
        double values[9];
        for (int k = 0; k < 9; ++k) {
            const float f = std::bit_cast<float>(littleEndianWord(facet + 12 + 4 * k));
            if (!std::isfinite(f))
                throw FormatError(fileName, 0,
                                  "facet " + std::to_string(firstNumber + i) + ", corner " +
                                      std::to_string(k / 3 + 1) + ": not a finite number");
            values[k] = f;
        }
        faces.push_back({{values[0], values[1], values[2]},
                         {values[3], values[4], values[5]},
                         {values[6], values[7], values[8]}});
    }
}

std::vector<Triangle> readBinary(std::string_view bytes, const std::string& fileName) {
    if (bytes.size() < kHeadBytes) throwShortHead(bytes.size(), fileName);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::uint32_t count = littleEndianWord(data + 80);
    checkBinaryHead(bytes.size(), count, fileName);
    std::vector<Triangle> faces;
    faces.reserve(count);
    decodeFacets(data + kHeadBytes, count, 1, faces, fileName);
    return faces;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool sameWordIgnoringCase(std::string_view word, std::string_view keyword) {
    if (word.size() != keyword.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] + 32) : word[i];
        if (c != keyword[i]) return false;
    }
    return true;
}

// Whitespace-separated words of an ASCII STL file, with the line each starts on.
class AsciiFacets {
public:
    AsciiFacets(std::string_view text, const std::string& fileName)
        : text_(text), file_(fileName) {}

    std::vector<Triangle> readAll() {
        std::vector<Triangle> faces;
        faces.reserve(text_.size() / 200);  // a facet takes about 250 characters
        std::string_view word;
        while (nextWord(word)) {
            if (!sameWordIgnoringCase(word, "solid"))
                fail("expected 'solid', found " + quotedInput(word));
            skipRestOfLine();  // the solid's name may hold blanks
            while (true) {
                if (!nextWord(word)) fail("the file ends before 'endsolid'");
                if (sameWordIgnoringCase(word, "endsolid")) break;
                if (!sameWordIgnoringCase(word, "facet"))
                    fail("expected 'facet' or 'endsolid', found " + quotedInput(word));
                faces.push_back(readFacet(faces.size() + 1));
            }
            skipRestOfLine();
        }
        return faces;
    }

private:
    Triangle readFacet(std::size_t number) {
        expect("normal", number);
        // The normal is not used; exporters write "nan" there for degenerate facets.
        std::string_view ignored;
        for (int i = 0; i < 3; ++i)
            if (!nextWord(ignored)) endsInside(number);
        expect("outer", number);
        expect("loop", number);
        Vertex3 corners[3];
        for (Vertex3& v : corners) {
            expect("vertex", number);
            v = {readNumber(number), readNumber(number), readNumber(number)};
        }
        expect("endloop", number);
        expect("endfacet", number);
        return {corners[0], corners[1], corners[2]};
    }

    void expect(std::string_view keyword, std::size_t facet) {
        std::string_view word;
        if (!nextWord(word)) endsInside(facet);
        if (!sameWordIgnoringCase(word, keyword))
            fail("expected '" + std::string(keyword) + "', found " + quotedInput(word));
    }

    double readNumber(std::size_t facet) {
        std::string_view word;
        if (!nextWord(word)) endsInside(facet);
        std::string_view field = word;
        if (!field.empty() && field.front() == '+') field.remove_prefix(1);
        double value = 0.0;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (field.empty() || ec != std::errc{} || end != field.data() + field.size() ||
            !std::isfinite(value))
            fail("expected a finite number, found " + quotedInput(word));
        return value;
    }

    bool nextWord(std::string_view& word) {
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
        if (pos_ >= text_.size()) return false;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
        word = text_.substr(start, pos_ - start);
        wordLine_ = line_;
        return true;
    }

    void skipRestOfLine() {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
    }

    [[noreturn]] void endsInside(std::size_t facet) {
        throw FormatError(file_, line_, "the file ends inside facet " + std::to_string(facet));
    }
    [[noreturn]] void fail(const std::string& what) { throw FormatError(file_, wordLine_, what); }

    std::string_view text_;
    const std::string& file_;
    std::size_t pos_ = 0;
    long line_ = 1;
    long wordLine_ = 1;
};

bool startsWithSolid(std::string_view bytes) {
    return bytes.size() >= 5 && sameWordIgnoringCase(bytes.substr(0, 5), "solid");
}

}  // namespace

StlEncoding DetectStlEncoding(std::string_view bytes) {
    if (!startsWithSolid(bytes)) return StlEncoding::Binary;
    if (bytes.size() >= kHeadBytes) {
        const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
        if (bytes.size() == binarySizeFor(littleEndianWord(data + 80))) return StlEncoding::Binary;
    }
    return StlEncoding::Ascii;
}

std::vector<Triangle> ReadStlFaces(std::string_view bytes, const std::string& fileName) {
    if (bytes.empty()) throw FormatError(fileName, 0, "the file is empty");
    if (DetectStlEncoding(bytes) == StlEncoding::Binary) return readBinary(bytes, fileName);
    return AsciiFacets(bytes, fileName).readAll();
}

namespace {

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

std::size_t readUpTo(std::FILE* file, unsigned char* into, std::size_t bytes) {
    std::size_t got = 0;
    while (got < bytes) {
        const std::size_t n = std::fread(into + got, 1, bytes - got, file);
        if (n == 0) break;
        got += n;
    }
    return got;
}

// Binary facets straight from the file in blocks, without holding the whole file.
std::vector<Triangle> streamBinary(std::FILE* file, std::uint32_t count,
                                   const std::string& fileName) {
    constexpr std::size_t kBlockFacets = 16384;
    std::vector<Triangle> faces;
    faces.reserve(count);
    auto block = std::make_unique_for_overwrite<unsigned char[]>(kBlockFacets * kFacetBytes);
    for (std::size_t done = 0; done < count;) {
        const std::size_t want = std::min<std::size_t>(kBlockFacets, count - done);
        const std::size_t got = readUpTo(file, block.get(), want * kFacetBytes);
        if (got < want * kFacetBytes) {  // the file shrank since its size was taken
            if (std::ferror(file)) throw IoError(fileName, "read error");
            checkBinaryHead(kHeadBytes + done * kFacetBytes + got, count, fileName);
        }
        decodeFacets(block.get(), want, done + 1, faces, fileName);
        done += want;
    }
    return faces;
}

std::vector<Triangle> readWholeText(std::FILE* file, std::string text,
                                    const std::string& fileName) {
    char buffer[1 << 16];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, file)) text.append(buffer, n);
    if (std::ferror(file)) throw IoError(fileName, "read error");
    return ReadStlFaces(text, fileName);
}

}  // namespace

std::vector<Triangle> ReadStlFile(const std::string& fileName) {
    std::error_code error;
    if (std::filesystem::is_directory(fileName, error)) throw IoError(fileName, "is a folder");
    FileHandle file(std::fopen(fileName.c_str(), "rb"), &std::fclose);
    if (!file) throw IoError(fileName, std::strerror(errno));
    unsigned char head[kHeadBytes];
    const std::size_t headBytes = readUpTo(file.get(), head, kHeadBytes);
    if (std::ferror(file.get())) throw IoError(fileName, "read error");
    const auto size = std::filesystem::file_size(fileName, error);
    const std::string_view start(reinterpret_cast<const char*>(head), headBytes);
    // Only a whole binary file is streamed; the rules of ReadStlFaces decide the rest.
    if (!error && headBytes == kHeadBytes && size >= kHeadBytes &&
        (!startsWithSolid(start) || size == binarySizeFor(littleEndianWord(head + 80)))) {
        const std::uint32_t count = littleEndianWord(head + 80);
        checkBinaryHead(size, count, fileName);
        return streamBinary(file.get(), count, fileName);
    }
    std::string text(start);
    if (!error) text.reserve(static_cast<std::size_t>(size));
    return readWholeText(file.get(), std::move(text), fileName);
}

bool IsStlFileName(const std::string& fileName) {
    return fileName.size() >= 4 &&
           sameWordIgnoringCase(std::string_view(fileName).substr(fileName.size() - 4), ".stl");
}

}  // namespace quarvel::io
