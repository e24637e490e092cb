#pragma once
// The stages that read an image's records in order and, for a compressed image, decompress them
// on the workers into exactly the sectors each block must hold: shared by the restore's check
// before writing, its writing, and "image verify".
#include <cstdint>
#include <functional>
#include <string>

#include "image/BlockPipeline.h"
#include "image/ImageReading.h"

namespace korvex {

enum class BlockTrouble { Unreadable, Undecodable };
// The outcome of a block that cannot be read from its file or decompressed.
using BlockFailure = std::function<WorkOutcome(std::uint32_t index, BlockTrouble trouble, const std::string& what)>;

// Read and transform stages; the caller adds the write stage.
PipelineStages DecodingStages(const ImageLayout& layout, ImageDataReader& reader, const BlockFailure& failure);

// The bytes each buffer needs: the largest record's data and the largest block's sectors (the
// first block, the only one when the image is shorter than a cylinder). What the records need,
// not what their headers allow, so that a small damaged image never claims buffers for
// cylinders it lacks.
std::size_t DecodeBufferBytes(const ImageLayout& layout);

// "Block N: what".
std::string BlockFault(std::uint32_t index, const std::string& what);
// What a restore says of a block it cannot use: a decompression failure in the program's words
// followed by the block's fault, or the image called damaged at that block.
std::string BlockFailureText(std::uint32_t index, BlockTrouble trouble, const std::string& what);

}  // namespace korvex
