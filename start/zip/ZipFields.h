// Field decoding shared by the archive reader's core: little-endian numbers, DOS times, attribute
// mapping by host system and the "UT" extended timestamp.
#pragma once

#include "start/zip/ZipCore.h"

#include <cstddef>
#include <cstdint>

uint16_t ZipGet16(const uint8_t* p);
uint32_t ZipGet32(const uint8_t* p);
// Seconds, minutes and hours from the low 16 bits; day, month and year from the high 16 bits.
ZipDosTime SplitZipDosTime(uint32_t nDosDateTime);
// Windows attribute bits: taken as they are from FAT, NTFS, VFAT and Macintosh hosts, derived
// from the Unix mode bits otherwise.
uint32_t MapZipAttributes(uint16_t nVersionMadeBy, uint32_t nExternal);
// Walks the local extra field and takes the times of the first "UT" record, each only when the
// record's own size holds it.
void ReadZipExtendedTimestamp(const uint8_t* pExtra, size_t nLength, ZipEntryDesc& desc);
