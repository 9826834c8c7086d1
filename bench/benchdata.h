#pragma once

#include <QString>

#include <cstdint>

// Files that the benchmarks open, made on the spot.
namespace benchdata {

// Writes an exercise of `records` records of about `bytes` bytes in all, in UTF-8 with
// accented comments, in lines of about 78 characters ending in CR LF (so records run over
// several lines, as long comments do), streamed so that making it takes little memory.
// Returns the size written, or -1 when the file cannot be written.
std::int64_t writeExercise(const QString &path, int records, std::int64_t bytes);

// Writes a JPEG picture of gradients and soft shapes of the given size, at quality 90. With
// `grain`, fine noise over it makes it compress (and decode) like a photograph: about 7.5 MB at
// 6000 x 4000 against 1.8 MB without.
bool writePicture(const QString &path, int width, int height, bool grain);

} // namespace benchdata
