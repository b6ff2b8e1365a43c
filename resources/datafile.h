#pragma once
// Whole data files in memory. With an archive set every file is extracted
// from it; without one the named loose file is read from disk.
#include <cstddef>
#include <cstdint>
#include <string>

struct DataFile {
    uint32_t size = 0;
    // May lie beyond size after dataSeek; reads then return nothing.
    uint32_t position = 0;
    uint8_t* data = nullptr;  // owned; freed by dataClose
};

// Directs every later dataOpen to the member of that name in the archive at
// archivePath, deciphered with password. Keeps private copies of both texts.
void setDataArchive(const char* archivePath, const char* password);

// True once setDataArchive has been called.
bool dataArchiveInUse();

// Drops the archive setting so that loose files are read again. Only tests
// and tools that switch between sources need it; the player never does.
void clearDataArchive();

// A new handle on the whole file, position 0; null when the member or file is
// missing, damaged or cannot be read. The caller frees it with dataClose.
DataFile* dataOpen(const char* name);

// Frees the data and the handle; returns 0. A null file is ignored.
int dataClose(DataFile* file);
// The whole of data file `name` (found as dataOpen finds it) as text; false,
// text untouched, when it cannot be opened.
bool dataReadText(const char* name, std::string& text);

// origin 0: position := offset; 1: position += offset; 2: position := size +
// offset; other origins change nothing. No range check. Returns 0.
int dataSeek(DataFile* file, long offset, int origin);

uint32_t dataTell(const DataFile* file);

// Copies whole items of itemSize bytes while they fit before the end; returns
// how many were copied. A partial item is never copied.
size_t dataRead(void* buffer, size_t itemSize, size_t count, DataFile* file);

// The byte at position (0..255), advancing by one; -1 at or beyond the end,
// leaving position unchanged.
int dataGetByteOrEnd(DataFile* file);

// The byte at position, advancing by one. The caller must know that a byte is
// there; at or beyond the end it returns 0 rather than read outside the data.
uint8_t dataGetByte(DataFile* file);
