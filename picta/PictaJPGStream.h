// The glue between libjpeg and GFile streams: source and destination managers over one
// transfer buffer, and an error manager that returns to the codec instead of exiting.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

class GFile;

namespace picta {

constexpr int kJpegBufferSize = 4096;

struct JpegError {
    jpeg_error_mgr pub;
    jpeg_progress_mgr progress;
    jmp_buf jump;
};

struct JpegSource {
    jpeg_source_mgr pub;
    GFile* file;
    JOCTET* buffer;
    int started;
};

struct JpegDestination {
    jpeg_destination_mgr pub;
    GFile* file;
    JOCTET* buffer;
};

// Standard messages, no output, errors jump back to the codec.
jpeg_error_mgr* InitJpegError(JpegError* error);
// Bounds what one hostile file can cost: memory, and the number of progressive scans.
void LimitDecoder(j_decompress_ptr cinfo, JpegError* error);
// False when the transfer buffer cannot be had.
bool AttachSource(j_decompress_ptr cinfo, JpegSource* source, GFile* file);
void ReleaseSource(JpegSource* source);
bool AttachDestination(j_compress_ptr cinfo, JpegDestination* destination, GFile* file);
void ReleaseDestination(JpegDestination* destination);

} // namespace picta
