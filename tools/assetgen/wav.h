// A 16-bit PCM WAV writer for the asset generator's sounds and music.
#pragma once

#include <filesystem>
#include <vector>

namespace wav {

// Writes `samples` (interleaved when channels is 2, each in [-1, 1]) as a canonical 44-byte-header
// RIFF/WAVE file of 16-bit PCM. Samples are rounded to the nearest step and kept within ±32767, so
// the output never reaches full scale by accident. Throws std::runtime_error when it cannot write.
void WritePcm16(const std::filesystem::path& path, const std::vector<float>& samples, int channels,
                int rate);

}  // namespace wav
