// Feeds arbitrary bytes to the AVI reader and reads every sample it indexed: no input may
// crash it or make it read outside the data it holds, and every range it offers must read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "video/avi_reader.h"

namespace {

void readRange(const lantrel::AviReader& reader, int stream, std::int64_t start, std::int64_t count,
               std::vector<std::byte>& buffer) {
    const auto size = reader.rangeSize(stream, start, count);
    if (!size) return;
    buffer.resize(*size);
    if (!reader.read(stream, start, count, buffer)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string error;
    const auto reader =
        lantrel::AviReader::fromBytes({reinterpret_cast<const std::byte*>(data), size}, error);
    if (!reader) return 0;
    std::vector<std::byte> buffer;
    for (int stream = 0; stream < reader->streamCount(); ++stream) {
        const std::int64_t length = reader->length(stream);
        for (std::int64_t sample = -1; sample <= std::min<std::int64_t>(length, 4096); ++sample) {
            readRange(*reader, stream, sample, 1, buffer);
            (void)reader->isKeyFrame(stream, sample);
        }
        readRange(*reader, stream, 0, length, buffer);
        readRange(*reader, stream, length / 3, length / 2, buffer);
    }
    return 0;
}
