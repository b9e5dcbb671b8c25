#pragma once

#include <QString>

// ZIP (Deflate, libzip) and CAB (MSZIP, libgcab) archives of one file, beside our LZH
// archiver. Every function returns 0, an errno value, or one of the negative codes below.
namespace archives {

enum class Format { Unknown, Lzh, Zip, Cab, SQLite };

// The file's kind by its first bytes, whatever its name says.
Format detectFormat(const QString& path);

// Not an archive of the expected kind, or its directory cannot be read.
constexpr int NotAnArchive = -1;
// The member's data does not match its checksum, or it does not decompress.
constexpr int DamagedMember = -2;
// The archive has no member of the wanted name.
constexpr int MemberMissing = -3;
// More than the format holds (a CAB member is at most 2 GB).
constexpr int TooLarge = -4;

// Packs `file` under its bare name into a new archive at `archive`. The archive is written
// to a work file in its folder (".NAME.XXXXXX"), read back and its member compared with the
// file (size and CRC-32), and only then renamed over `archive` with permission bits `mode`:
// a failure leaves any previous archive as it was.
int packZip(const QString& archive, const QString& file, unsigned mode);
int packCab(const QString& archive, const QString& file, unsigned mode);

// Extracts the member whose bare name is `name` (case as stored) to `target`, through a
// work file renamed into place once its data checked out (ZIP: the member's CRC-32; CAB:
// the blocks' checksums and the member's size).
int unpackZip(const QString& archive, const QString& name, const QString& target);
int unpackCab(const QString& archive, const QString& name, const QString& target);

// CRC-32 (as ZIP stores it) of a whole file; errno in `error` on failure.
unsigned long fileCrc32(const QString& path, int& error, long long* size = nullptr);

}  // namespace archives
