#pragma once

// Result codes of the archiver. The numbers are the ones backup and restore expect from the
// archiver library they were written for, so callers and messages need not change.
namespace lzh {

enum Result : int {
    Ok = 0,
    ErrorDiskSpace = 0x8005,       // the disk is full
    ErrorReadOnly = 0x8006,        // the file to extract over is read-only
    ErrorFileCrc = 0x800C,         // a member's data does not match its CRC
    ErrorFileOpen = 0x800D,        // a file to add cannot be opened
    ErrorMoreFresh = 0x800E,       // a newer file is in the way (no -c)
    ErrorAlreadyExist = 0x8010,    // a file is in the way (no -y)
    ErrorMakeDirectory = 0x8012,   // the destination folder cannot be made
    ErrorCannotWrite = 0x8013,     // writing failed
    ErrorHuffmanCode = 0x8014,     // compressed data is broken
    ErrorHeaderCrc = 0x8016,       // a header checksum or header CRC is wrong
    ErrorHeaderBroken = 0x8017,    // a header cannot be understood
    ErrorArcFileOpen = 0x8018,     // the archive cannot be opened
    ErrorNoArchiveName = 0x8019,   // no archive was named
    ErrorCannotRead = 0x801A,      // reading failed
    ErrorFileStyle = 0x801B,       // not an LZH archive
    ErrorCommandName = 0x801C,     // unknown command
    ErrorEnoughMemory = 0x801E,    // out of memory
    ErrorAlreadyRunning = 0x801F,  // another operation is under way
    ErrorTmpOpen = 0x8025,         // the work file cannot be made
    ErrorLongFileName = 0x8026,    // a path is too long
    ErrorArcReadOnly = 0x8027,     // the archive is read-only
    ErrorNotFileName = 0x802B,     // no file was named
    ErrorTmpCopy = 0x802C,         // the work file cannot replace the archive
    ErrorEof = 0x802D,             // the archive ends too early
    ErrorNoArchiveFile = 0x8029,   // the archive does not exist
    ErrorSharing = 0x8030,         // access denied
    ErrorNotFindFile = 0x8031,     // a named file (or member) was not found
};

// The code for a failed file operation, by its errno; `fallback` when nothing closer fits.
int resultFromErrno(int error, int fallback);

}  // namespace lzh
