#include "resources/datafile.h"

#include "resources/archive/pack_archive.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>

namespace {

struct ArchiveSetting {
    bool inUse = false;
    std::string path;
    std::string password;
};

ArchiveSetting& archive()
{
    static ArchiveSetting setting;
    return setting;
}

DataFile* wrap(uint8_t* data, uint32_t size)
{
    auto* file = new (std::nothrow) DataFile;
    if (file == nullptr) {
        delete[] data;
        return nullptr;
    }
    file->size = size;
    file->position = 0;
    file->data = data;
    return file;
}

DataFile* openLooseFile(const char* name)
{
    std::FILE* stream = std::fopen(name, "rb");
    if (stream == nullptr)
        return nullptr;
    long size = -1;
    if (std::fseek(stream, 0, SEEK_END) == 0)
        size = std::ftell(stream);
    // Data files are addressed with 32-bit positions.
    if (size < 0 || static_cast<unsigned long>(size) > 0xFFFFFFFFul || std::fseek(stream, 0, SEEK_SET) != 0) {
        std::fclose(stream);
        return nullptr;
    }
    auto* data = new (std::nothrow) uint8_t[size > 0 ? size : 1];
    if (data == nullptr) {
        std::fclose(stream);
        return nullptr;
    }
    const size_t got = std::fread(data, 1, static_cast<size_t>(size), stream);
    std::fclose(stream);
    if (got != static_cast<size_t>(size)) {
        delete[] data;
        return nullptr;
    }
    return wrap(data, static_cast<uint32_t>(size));
}

}  // namespace

void setDataArchive(const char* archivePath, const char* password)
{
    ArchiveSetting& setting = archive();
    setting.path = archivePath != nullptr ? archivePath : "";
    setting.password = password != nullptr ? password : "";
    setting.inUse = true;
}

bool dataArchiveInUse() { return archive().inUse; }

void clearDataArchive() { archive() = ArchiveSetting{}; }

DataFile* dataOpen(const char* name)
{
    if (name == nullptr)
        return nullptr;
    const ArchiveSetting& setting = archive();
    if (!setting.inUse)
        return openLooseFile(name);
    uint8_t* data = nullptr;
    uint32_t size = 0;
    if (extractFile(&data, &size, name, setting.path.c_str(), setting.password.c_str()) == 0)
        return nullptr;
    return wrap(data, size);
}

bool dataReadText(const char* name, std::string& text)
{
    DataFile* file = dataOpen(name);
    if (file == nullptr)
        return false;
    text.assign(reinterpret_cast<const char*>(file->data), file->size);
    dataClose(file);
    return true;
}

int dataClose(DataFile* file)
{
    if (file != nullptr) {
        delete[] file->data;
        delete file;
    }
    return 0;
}

int dataSeek(DataFile* file, long offset, int origin)
{
    switch (origin) {
    case 0: file->position = static_cast<uint32_t>(offset); break;
    case 1: file->position = static_cast<uint32_t>(file->position + offset); break;
    case 2: file->position = static_cast<uint32_t>(file->size + offset); break;
    default: break;
    }
    return 0;
}

uint32_t dataTell(const DataFile* file) { return file->position; }

size_t dataRead(void* buffer, size_t itemSize, size_t count, DataFile* file)
{
    if (itemSize == 0 || file->position >= file->size)
        return 0;
    const size_t left = file->size - file->position;
    size_t items = left / itemSize;
    if (items > count)
        items = count;
    const size_t bytes = items * itemSize;
    std::memcpy(buffer, file->data + file->position, bytes);
    file->position += static_cast<uint32_t>(bytes);
    return items;
}

int dataGetByteOrEnd(DataFile* file)
{
    if (file->position >= file->size)
        return -1;
    return file->data[file->position++];
}

uint8_t dataGetByte(DataFile* file)
{
    // Stepping on keeps callers that count bytes in step, but nothing is
    // read from outside the block.
    const uint8_t byte = file->position < file->size ? file->data[file->position] : 0;
    ++file->position;
    return byte;
}
