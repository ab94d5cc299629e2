// "zip:" archive paths, in-memory member streams, and the batch extractor
// that copies one member at a time into the temporary member file.
#pragma once

#include <SDL.h>
#include <unzip.h>

// "zip:ARCHIVE,MEMBER" (prefix in any case, split at the last comma) gives a
// stream over the member held in memory; any other path opens a plain file.
// Never throws; returns null on any failure. The caller closes the stream.
SDL_RWops* openArchivePath(const char* path);

// The "zip:" branch: a loose file of the member's name in the working
// directory takes the member's place. Never throws.
SDL_RWops* readMemberToMemory(const char* archivePath, const char* memberName);

// Close function of member streams: frees the member buffer, then the stream.
int closeMemberStream(SDL_RWops* stream);

// As openArchivePath, but a plain file comes read whole into memory, for
// readers that go a byte at a time (a system call each on a file). When the
// file cannot be read whole, or is larger than kMemberSizeLimit, its file
// stream is returned as it is.
SDL_RWops* openInMemory(const char* path);

// Members whose directory entry declares more than this are refused: a
// damaged or hostile archive could otherwise have gigabytes read or written.
const unsigned long kMemberSizeLimit = 64UL * 1024 * 1024;

// unzOpen for an archive that is a regular file; anything else at the path
// (a FIFO, a folder) is taken as missing. Null on failure.
unzFile openPak(const char* archivePath);

// Copies source into destination (which must hold it) for the host's file
// system; on Linux "/" already is the separator, so the path stays as it is.
bool toHostPath(char* destination, const char* source);

// Path of the temporary member file "ODataFile.tmp" (buffer of 1024 chars).
void tempMemberPath(char* buffer);

// One open archive for a batch of loads. Not copied.
class PakArchive {
public:
    PakArchive();
    ~PakArchive();
    PakArchive(const PakArchive&) = delete;
    PakArchive& operator=(const PakArchive&) = delete;

    // Throws Error "Cannot Load PAK: '%s'".
    bool open(const char* archivePath);
    // Writes the temporary member file's path into destination (1024 chars).
    // Throws the "Cannot ... from PAK" / "in PAK" Errors.
    bool extractToTemp(char* destination, const char* memberName);
    void close();

    unzFile handle;
};
