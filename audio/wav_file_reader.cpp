#include "wav_file_reader.h"

#include <algorithm>

#include "base/input_file.h"

namespace lantrel {

bool WavFileReader::open(const std::filesystem::path& path) {
    file_.close();
    file_.clear();
    frames_ = 0;
    if (!isRegularInputFile(path)) return false;  // a named pipe would block the open
    file_.open(path, std::ios::binary);
    std::uint32_t dataSize = 0;
    if (!file_ || readWavHeader(file_, format_, dataSize) != nullptr || format_.blockAlign <= 0)
        return false;
    dataOffset_ = static_cast<std::int64_t>(file_.tellg());
    file_.seekg(0, std::ios::end);
    const std::int64_t present = static_cast<std::int64_t>(file_.tellg()) - dataOffset_;
    frames_ = std::min<std::int64_t>(dataSize, present) / format_.blockAlign;
    return frames_ >= 0 && static_cast<bool>(file_);
}

bool WavFileReader::read(std::int64_t first, std::int64_t count, std::vector<std::uint8_t>& bytes) {
    first = std::clamp<std::int64_t>(first, 0, frames_);
    count = std::clamp<std::int64_t>(count, 0, frames_ - first);
    bytes.resize(static_cast<std::size_t>(count * format_.blockAlign));
    file_.clear();
    file_.seekg(dataOffset_ + first * format_.blockAlign);
    file_.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return file_.gcount() == static_cast<std::streamsize>(bytes.size());
}

}  // namespace lantrel
