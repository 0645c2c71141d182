// The WAV reader of the player on any file: what it finds lies inside the
// file, holds whole sample frames, and a file the program writes reads back
// as written.
#include "FuzzSupport.h"
#include "audio/WavFile.h"

using namespace quillan;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray file(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const std::optional<audio::WavLayout> layout = audio::parseWav(file)) {
        FUZZ_CHECK(layout->format.channels >= 1 && layout->format.channels <= 8);
        FUZZ_CHECK(layout->format.blockAlign() > 0);
        FUZZ_CHECK(layout->dataOffset >= 12 && layout->dataLength >= 0);
        FUZZ_CHECK(layout->dataOffset + layout->dataLength <= file.size());
        FUZZ_CHECK(layout->dataLength % layout->format.blockAlign() == 0);
    }
    // The same bytes as the samples of a file the program writes.
    for (const audio::AudioFormat format :
         {audio::AudioFormat{1, 8000, 16}, audio::AudioFormat{2, 44100, 8}}) {
        const QByteArray samples = file.first(file.size() - file.size() % format.blockAlign());
        const QByteArray written = audio::wavHeader(format, quint32(samples.size())) + samples;
        const std::optional<audio::WavLayout> read = audio::parseWav(written);
        FUZZ_CHECK(read && read->format == format && !read->floatSamples);
        FUZZ_CHECK(read->dataOffset == audio::kWavHeaderSize && read->dataLength == samples.size());
        FUZZ_CHECK(written.sliced(read->dataOffset, read->dataLength) == samples);
    }
    return 0;
}
