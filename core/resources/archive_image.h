#pragma once
// Turning the bytes of a ".qfs" file into the file-system image: a plain
// archive is its own image; a "CFILEST" archive holds a zlib stream whose
// inflated content is an int32 length L and L bytes of image.
#include <cstddef>
#include <cstdint>
#include <vector>

// The image of an archive file's bytes. False (logged "Read error") when a
// compressed archive's stream is bad or ends before L bytes.
bool ArchiveImageFromFile(std::vector<uint8_t> fileBytes, std::vector<uint8_t>& image);

// Inflates the zlib stream of a compressed archive (the bytes after its
// signature) into the image.
bool InflateArchiveImage(const uint8_t* data, size_t size, std::vector<uint8_t>& image);

// The "CFILEST" form of an image: the signature, then a zlib stream of the
// int32 image length and the image.
std::vector<uint8_t> CompressArchiveImage(const std::vector<uint8_t>& image, int level = 6);
