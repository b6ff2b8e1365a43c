#include "resources/datafile.h"
#include "resources/images/loaders.h"

#include <cstdio>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include <csetjmp>

namespace {

struct ErrorExit {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void jumpBack(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorExit*>(info->err)->jump, 1);
}

// Hands libjpeg the whole file at once. libjpeg asking for more means the
// data ended early (or a marker claimed more than there is): that is an
// error, never bytes made up.
struct DataFileSource {
    jpeg_source_mgr manager;
    DataFile* file;
    JOCTET* buffer;
    bool startOfFile;
};

void initSource(j_decompress_ptr info)
{
    reinterpret_cast<DataFileSource*>(info->src)->startOfFile = true;
}

boolean fillBuffer(j_decompress_ptr info)
{
    auto* source = reinterpret_cast<DataFileSource*>(info->src);
    if (!source->startOfFile || source->file->size == 0)
        ERREXIT(info, JERR_INPUT_EOF);
    dataSeek(source->file, 0, 0);
    const size_t got = dataRead(source->buffer, 1, source->file->size, source->file);
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = got;
    source->startOfFile = false;
    return TRUE;
}

void skipData(j_decompress_ptr info, long count)
{
    if (count <= 0)
        return;
    jpeg_source_mgr& manager = info->src[0];
    if (static_cast<unsigned long>(count) > manager.bytes_in_buffer) {
        // Past the end: the next read asks for more and fails.
        manager.next_input_byte += manager.bytes_in_buffer;
        manager.bytes_in_buffer = 0;
        return;
    }
    manager.next_input_byte += count;
    manager.bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

void useDataFile(j_decompress_ptr info, DataFile* file)
{
    auto* source = static_cast<DataFileSource*>(
        (*info->mem->alloc_small)(reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, sizeof(DataFileSource)));
    source->file = file;
    source->buffer = static_cast<JOCTET*>((*info->mem->alloc_large)(
        reinterpret_cast<j_common_ptr>(info), JPOOL_PERMANENT, file->size > 0 ? file->size : 1));
    source->startOfFile = true;
    source->manager.init_source = initSource;
    source->manager.fill_input_buffer = fillBuffer;
    source->manager.skip_input_data = skipData;
    source->manager.resync_to_restart = jpeg_resync_to_restart;
    source->manager.term_source = termSource;
    source->manager.next_input_byte = nullptr;
    source->manager.bytes_in_buffer = 0;
    info->src = &source->manager;
}

// The image for the decompressor's output shape, or null after pushing why.
Image* createOutputImage(const jpeg_decompress_struct& info)
{
    const unsigned components = static_cast<unsigned>(info.output_components);
    if (components != 1 && components != 3) {
        imagePushError("JPG: Unsupported bitdepth!");
        return nullptr;
    }
    if (!imageSizeAllowed(info.output_width, info.output_height, components)) {
        imagePushError("JPG: Not enough memory for zmgimage");
        return nullptr;
    }
    Image* image = imageCreate(info.output_width, info.output_height, components * 8, components == 1 ? 256 : 0);
    if (image == nullptr) {
        imagePushError("JPG: Not enough memory for zmgimage");
        return nullptr;
    }
    for (unsigned i = 0; components == 1 && i < 256; ++i)
        image->palette[i * 3] = image->palette[i * 3 + 1] = image->palette[i * 3 + 2] = static_cast<uint8_t>(i);
    imageLog("JPG: dimensions: %ix%ix%ibit\n", image->width, image->height, components * 8);
    return image;
}

}  // namespace

Image* loadJpg(const char* path)
{
    imageLog("JPG: Loading file \"%s\"...\n", path);
    DataFile* file = dataOpen(path);
    if (file == nullptr) {
        imagePushError("JPG: File not found");
        return nullptr;
    }
    jpeg_decompress_struct info;
    ErrorExit error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpBack;
    // Written after setjmp and needed after the jump back.
    Image* volatile image = nullptr;
    if (setjmp(error.jump) != 0) {
        jpeg_destroy_decompress(&info);
        imageFree(image);
        dataClose(file);
        imagePushError("JPG: Unsupported file format");
        return nullptr;
    }
    jpeg_create_decompress(&info);
    useDataFile(&info, file);
    jpeg_read_header(&info, TRUE);
    // Starting the decompressor already sizes buffers by the header's
    // claims; refuse absurd ones first.
    if (!imageSizeAllowed(info.image_width, info.image_height, static_cast<unsigned>(info.num_components))) {
        imagePushError("JPG: Not enough memory for zmgimage");
        jpeg_destroy_decompress(&info);
        dataClose(file);
        return nullptr;
    }
    jpeg_start_decompress(&info);
    image = createOutputImage(info);
    if (image == nullptr) {
        jpeg_destroy_decompress(&info);
        dataClose(file);
        return nullptr;
    }
    const size_t rowBytes = size_t{image->width} * static_cast<size_t>(info.output_components);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->pixels + size_t{info.output_scanline} * rowBytes;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    dataClose(file);
    return image;
}
