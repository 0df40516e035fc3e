#include "wav_writer.h"

#include <bit>
#include <cerrno>
#include <cstring>

#include "wav_format.h"

namespace lantrel {

static_assert(std::endian::native == std::endian::little, "PCM is written in host byte order");

std::unique_ptr<WavWriter> WavWriter::create(const std::filesystem::path& path,
                                             const SoundFormat& format, std::string& error) {
    const bool stereo = format.channels == 2;
    if (format.frames < 0 || !fitsInWav(stereo, static_cast<std::uint64_t>(format.frames))) {
        error = "the song is too long for a WAV file (more than 4 GiB of sound)";
        return nullptr;
    }
    std::unique_ptr<WavWriter> writer(new WavWriter);
    if (!writer->file_.open(path, error)) return nullptr;
    const auto header =
        makeWavHeader(stereo, format.sampleRate, static_cast<std::uint32_t>(format.frames));
    if (!writer->write(std::as_bytes(std::span(header)))) {
        error = writer->error();
        return nullptr;
    }
    return writer;
}

bool WavWriter::addAudio(std::span<const std::int16_t> interleaved) {
    return write(std::as_bytes(interleaved));
}

bool WavWriter::write(std::span<const std::byte> bytes) {
    if (failed_ || finished_) return false;
    if (file_.write(bytes)) return true;
    return fail("cannot write " + file_.target().string() + ": " +
                std::strerror(errno ? errno : EIO));
}

bool WavWriter::finish() {
    if (finished_ || failed_) return finished_;
    std::string problem;
    if (!file_.commit(problem)) return fail(problem);
    finished_ = true;
    return true;
}

void WavWriter::abandon() {
    if (finished_) return;
    if (!failed_) fail("abandoned");
}

bool WavWriter::fail(std::string message) {
    if (!failed_) error_ = std::move(message);
    failed_ = true;
    file_.discard();
    return false;
}

}  // namespace lantrel
