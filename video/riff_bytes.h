#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

// Little-endian packing of RIFF fields, independent of the host's byte order.
namespace lantrel::riff {

// Appends the low `bytes` (at most 8) bytes of `value`.
inline void put(std::vector<std::byte>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::byte>(value >> (8 * i)));
}
inline void put16(std::vector<std::byte>& out, std::uint16_t value) {
    put(out, value, 2);
}
inline void put32(std::vector<std::byte>& out, std::uint32_t value) {
    put(out, value, 4);
}
inline void put64(std::vector<std::byte>& out, std::uint64_t value) {
    put(out, value, 8);
}
inline void putZeros(std::vector<std::byte>& out, std::size_t bytes) {
    out.insert(out.end(), bytes, std::byte{0});
}

// Overwrites a 32-bit field written earlier.
inline void set32(std::vector<std::byte>& out, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<std::byte>(value >> (8 * i));
}

// Reads `bytes` bytes at `offset`; the caller has checked that they are there.
inline std::uint64_t get(std::span<const std::byte> in, std::size_t offset, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(in[offset + static_cast<std::size_t>(i)]);
    return value;
}
inline std::uint16_t get16(std::span<const std::byte> in, std::size_t offset) {
    return static_cast<std::uint16_t>(get(in, offset, 2));
}
inline std::uint32_t get32(std::span<const std::byte> in, std::size_t offset) {
    return static_cast<std::uint32_t>(get(in, offset, 4));
}
inline std::uint64_t get64(std::span<const std::byte> in, std::size_t offset) {
    return get(in, offset, 8);
}

// Chunks start on even offsets: an odd-sized body is followed by one pad byte.
constexpr std::uint64_t padded(std::uint64_t size) {
    return size + (size & 1);
}

}  // namespace lantrel::riff
