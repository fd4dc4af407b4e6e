// Spoiled copies of files for the loaders' fuzz tests. Everything is deterministic: a seed gives the
// same mutants on every machine, and each mutant says how it was made, so a failure can be replayed.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(uint64_t seed) : m_state(seed) {}
    uint64_t Next();
    size_t Below(size_t bound); // 0 when bound is 0

private:
    uint64_t m_state;
};

// A number inside a file that a mutant may inflate: a count, an index or a size.
struct Number {
    enum Kind { Text, LittleEndian, BigEndian };
    size_t offset;
    size_t length; // characters of a text number, bytes of a binary one (2 or 4)
    Kind kind;
};

struct Mutant {
    std::string bytes;
    std::string what; // "seed 3 #17: ..." names the mutation
};

// Spoils one original file in turn by truncation, by one flipped byte, by several flipped bytes and,
// where the file's numbers are given, by a number made huge (or one more than it was).
class Mutator {
public:
    Mutator(std::string original, uint64_t seed, std::vector<Number> numbers = {});
    Mutant Next();

private:
    std::string Truncate(std::string* what);
    std::string Flip(int count, std::string* what);
    std::string Inflate(std::string* what);

    std::string m_original;
    uint64_t m_seed;
    std::vector<Number> m_numbers;
    Random m_random;
    int m_index = 0;
};

// The integers of a text file: digit runs that are not part of a decimal number or of a name.
std::vector<Number> TextIntegers(const std::string& text);

// The binary form ("xof 0303bin 0032") of a text X file, data and templates alike, and where its
// integers lie. Every data number goes into an integer or float list; separators are dropped.
struct BinaryXFile {
    std::string bytes;
    std::vector<Number> integers;
};
BinaryXFile TextToBinaryXFile(const std::string& text);

// The header fields of pictures that give sizes and offsets.
std::vector<Number> BmpNumbers();
std::vector<Number> PngNumbers();
// The first frame header's (JpegLayoutOf) length, height and width; none without one.
std::vector<Number> JpegNumbers(const std::string& bytes);

} // namespace fuzz
