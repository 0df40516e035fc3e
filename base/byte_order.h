#pragma once

#include <cstddef>
#include <cstdint>
#include <ranges>
#include <span>
#include <type_traits>

// Little-endian packing of file fields, independent of the host's byte order. Every file the
// program reads or writes (projects, WAV, BMP, AVI, the sequencer's executable) stores its
// numbers this way. The helpers work on any byte-sized element type, so that callers keep
// whatever buffer they have: std::byte for the AVI container, std::uint8_t for sounds and
// bitmaps, char for the project archive's std::string.
namespace lantrel::le {

template <typename T>
concept ByteLike = sizeof(T) == 1 && (std::is_integral_v<T> || std::is_same_v<T, std::byte>);

// Appends the low `bytes` (at most 8) bytes of `value` to a container of bytes.
template <typename Out>
void put(Out& out, std::uint64_t value, int bytes) {
    using Byte = typename Out::value_type;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<Byte>((value >> (8 * i)) & 0xFF));
}
template <typename Out>
void put16(Out& out, std::uint16_t value) {
    put(out, value, 2);
}
template <typename Out>
void put32(Out& out, std::uint32_t value) {
    put(out, value, 4);
}
template <typename Out>
void put64(Out& out, std::uint64_t value) {
    put(out, value, 8);
}
template <typename Out>
void putZeros(Out& out, std::size_t bytes) {
    out.insert(out.end(), bytes, typename Out::value_type{0});
}
// A four-character code such as "RIFF", as its characters stand.
template <typename Out>
void putTag(Out& out, const char (&tag)[5]) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<typename Out::value_type>(tag[i]));
}

// Overwrites a 32-bit field written earlier.
template <typename Out>
void set32(Out& out, std::size_t offset, std::uint32_t value) {
    using Byte = typename Out::value_type;
    for (std::size_t i = 0; i < 4; ++i)
        out[offset + i] = static_cast<Byte>((value >> (8 * i)) & 0xFF);
}

// Any contiguous run of bytes: a span, a vector, an array, a string.
template <typename Bytes>
concept ByteRange = std::ranges::contiguous_range<Bytes> &&
    ByteLike<std::remove_cv_t<std::ranges::range_value_t<Bytes>>>;

// Reads `bytes` bytes at `offset`; the caller has checked that they are there.
template <ByteRange Bytes>
std::uint64_t get(const Bytes& in, std::size_t offset, int bytes) {
    const auto* data = std::ranges::data(in) + offset;
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<std::uint8_t>(data[i]);
    return value;
}
template <ByteRange Bytes>
std::uint16_t get16(const Bytes& in, std::size_t offset) {
    return static_cast<std::uint16_t>(get(in, offset, 2));
}
template <ByteRange Bytes>
std::uint32_t get32(const Bytes& in, std::size_t offset) {
    return static_cast<std::uint32_t>(get(in, offset, 4));
}
template <ByteRange Bytes>
std::uint64_t get64(const Bytes& in, std::size_t offset) {
    return get(in, offset, 8);
}

// The same from a raw pointer, for fixed-size fields read into a small local array.
template <ByteLike Byte>
std::uint16_t get16(const Byte* in) {
    return get16(std::span<const Byte>(in, 2), 0);
}
template <ByteLike Byte>
std::uint32_t get32(const Byte* in) {
    return get32(std::span<const Byte>(in, 4), 0);
}

}  // namespace lantrel::le
