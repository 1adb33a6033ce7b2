#include "PictaJPGStream.h"

#include "PictaIO.h"

#include <cstdlib>

namespace picta {

namespace {

// Enough for any picture inside our bitmap limits, with room for progressive coefficients.
constexpr long kMaxJpegMemory = 768L << 20;
// Progressive files can ask for any number of scans, each a pass over the whole image.
constexpr int kMaxScans = 500;

void ErrorExit(j_common_ptr cinfo) {
    JpegError* error = reinterpret_cast<JpegError*>(cinfo->err);
    std::longjmp(error->jump, 1);
}

void Silent(j_common_ptr) {}

void CountScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor) {
        j_decompress_ptr d = reinterpret_cast<j_decompress_ptr>(cinfo);
        if (d->input_scan_number > kMaxScans) {
            cinfo->err->msg_code = JERR_NOTIMPL;
            (*cinfo->err->error_exit)(cinfo);
        }
    }
}

void InitSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr cinfo) {
    JpegSource* src = reinterpret_cast<JpegSource*>(cinfo->src);
    int got = picta::FileRead(src->file, src->buffer, kJpegBufferSize);
    if (got <= 0) {
        if (!src->started) {
            cinfo->err->msg_code = JERR_INPUT_EMPTY;
            (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
        }
        // A cut file ends as if its end-of-image marker had come.
        cinfo->err->msg_code = JWRN_JPEG_EOF;
        (*cinfo->err->emit_message)(reinterpret_cast<j_common_ptr>(cinfo), -1);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        got = 2;
    }
    src->started = 1;
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<size_t>(got);
    return TRUE;
}

void SkipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0)
        return;
    jpeg_source_mgr* src = cinfo->src;
    while (count > static_cast<long>(src->bytes_in_buffer)) {
        count -= static_cast<long>(src->bytes_in_buffer);
        FillInput(cinfo);
    }
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

void InitDestination(j_compress_ptr cinfo) {
    JpegDestination* dst = reinterpret_cast<JpegDestination*>(cinfo->dest);
    dst->pub.next_output_byte = dst->buffer;
    dst->pub.free_in_buffer = kJpegBufferSize;
}

void WriteFailed(j_compress_ptr cinfo) {
    cinfo->err->msg_code = JERR_FILE_WRITE;
    (*cinfo->err->error_exit)(reinterpret_cast<j_common_ptr>(cinfo));
}

boolean EmptyOutput(j_compress_ptr cinfo) {
    JpegDestination* dst = reinterpret_cast<JpegDestination*>(cinfo->dest);
    if (picta::FileWrite(dst->file, dst->buffer, kJpegBufferSize) != kJpegBufferSize)
        WriteFailed(cinfo);
    dst->pub.next_output_byte = dst->buffer;
    dst->pub.free_in_buffer = kJpegBufferSize;
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    JpegDestination* dst = reinterpret_cast<JpegDestination*>(cinfo->dest);
    int rest = kJpegBufferSize - static_cast<int>(dst->pub.free_in_buffer);
    if (rest > 0 && picta::FileWrite(dst->file, dst->buffer, rest) != rest)
        WriteFailed(cinfo);
    if (!dst->file->Flush())
        WriteFailed(cinfo);
}

} // namespace

jpeg_error_mgr* InitJpegError(JpegError* error) {
    jpeg_error_mgr* mgr = jpeg_std_error(&error->pub);
    mgr->error_exit = ErrorExit;
    mgr->output_message = Silent;
    error->progress.progress_monitor = CountScans;
    return mgr;
}

void LimitDecoder(j_decompress_ptr cinfo, JpegError* error) {
    cinfo->mem->max_memory_to_use = kMaxJpegMemory;
    cinfo->progress = &error->progress;
}

bool AttachSource(j_decompress_ptr cinfo, JpegSource* source, GFile* file) {
    source->file = file;
    source->started = 0;
    source->buffer = static_cast<JOCTET*>(std::malloc(kJpegBufferSize));
    if (!source->buffer)
        return false;
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInput;
    source->pub.skip_input_data = SkipInput;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
    cinfo->src = &source->pub;
    return true;
}

void ReleaseSource(JpegSource* source) {
    std::free(source->buffer);
    source->buffer = nullptr;
}

bool AttachDestination(j_compress_ptr cinfo, JpegDestination* destination, GFile* file) {
    destination->file = file;
    destination->buffer = static_cast<JOCTET*>(std::malloc(kJpegBufferSize));
    if (!destination->buffer)
        return false;
    destination->pub.init_destination = InitDestination;
    destination->pub.empty_output_buffer = EmptyOutput;
    destination->pub.term_destination = TermDestination;
    cinfo->dest = &destination->pub;
    return true;
}

void ReleaseDestination(JpegDestination* destination) {
    std::free(destination->buffer);
    destination->buffer = nullptr;
}

} // namespace picta
