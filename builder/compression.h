// The package file: the finished body compressed into one gzip stream.
// Portable: zlib comes from the build's host.
#pragma once

#include <string>

#include "builder/build_context.h"

namespace builder {

// The gzip header's operating-system byte as zlib writes it on Windows
// (10); zlib elsewhere writes its own system's number, so the byte is set to
// this wherever the package is built and the package keeps the same bytes.
constexpr unsigned char kGzipOsByte = 10;
constexpr long kGzipOsOffset = 9;

// Compresses the finished body file into outputPath as one gzip stream at
// zlib's default level, in 4096-byte blocks, with progress. Without zlib
// the user is told and outputPath is left as it was; after any other
// failure or a cancel it is left empty, never as an unfinished stream.
// Returns true when the package was written.
bool CompressPackage(BuildContext& build, const std::string& bodyPath, const std::string& outputPath);

}  // namespace builder
