#pragma once

#include <cstddef>
#include <string>

namespace brenvale {

// A block of memory for bulk data, freed in one piece. Blocks of several megabytes come
// straight from the system, on huge pages where it offers them, so that filling them costs a
// few page faults instead of one per 4 KB; smaller ones come from the heap. The contents
// start undefined.
class ByteBlock {
public:
    ByteBlock() = default;
    explicit ByteBlock(size_t size);
    ByteBlock(ByteBlock&& other) noexcept;
    ByteBlock& operator=(ByteBlock&& other) noexcept;
    ByteBlock(const ByteBlock&) = delete;
    ByteBlock& operator=(const ByteBlock&) = delete;
    ~ByteBlock();

    char* data() const { return data_; }
    size_t size() const { return size_; }
    // Keeps only the first size bytes, where they are; the whole pages after them go back to
    // the system (a block from the heap stays as it is).
    void shrink(size_t size);

private:
    void release();

    char* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;  // bytes mapped from the system; 0 for a heap block
};

// The bytes of a whole file in a block with at least `spare` bytes of room after them.
struct FileBlock {
    ByteBlock block;
    size_t size = 0;
};

class ReadableFile;

// Reads the regular file at path in one pass; throws Error with the program's text when it
// cannot be read or is not a regular file.
FileBlock ReadFileBlock(const std::string& path, size_t spare);
// Reads an open file from where it stands to its end.
FileBlock ReadFileBlock(const ReadableFile& file, size_t spare);

}  // namespace brenvale
