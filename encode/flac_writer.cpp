#include "flac_writer.h"

namespace lantrel {

std::unique_ptr<FlacWriter> FlacWriter::create(const std::filesystem::path& path,
                                               const FlacOptions& options, std::string& error) {
    if (options.channels != 1 && options.channels != 2) {
        error = "the sound must have 1 or 2 channels, not " + std::to_string(options.channels);
        return nullptr;
    }
    std::unique_ptr<FlacWriter> writer(new FlacWriter);
    if (!writer->open(path, options)) {
        error = writer->error();
        return nullptr;
    }
    return writer;
}

bool FlacWriter::open(const std::filesystem::path& path, const FlacOptions& options) {
    libav::Options none;
    return file_.create(path, "flac") &&
           audio_.open(file_, {"flac", options.sampleRate, options.channels, 0}) &&
           file_.begin(none);
}

bool FlacWriter::addAudio(std::span<const std::int16_t> interleaved) {
    return audio_.add(interleaved);
}

bool FlacWriter::finish() {
    if (finished_ || file_.failed()) return finished_;
    finished_ = audio_.finish() && file_.finish();
    return finished_;
}

}  // namespace lantrel
