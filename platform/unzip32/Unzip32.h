#pragma once
// Zip extraction library: the single-call entry point `Wiz_SingleEntryUnzip` with the
// option record and callback table that Windows programs of this kind hand to the
// Info-ZIP UnZip library (unzip32.dll). Ours is a static library in C++ that depends on
// nothing else of this program: only the C++ standard library, Win32 and zlib.
//
// How an archive is read
//   zlib's own minizip (contrib/minizip of Debian's zlib sources, unpacked by
//   scripts/install-deps.sh, built by platform/unzip32/CMakeLists.txt) finds the end
//   record, walks the central directory (zip64 included), checks each entry's local
//   header and hands out the entry's stored bytes ("raw" mode). Decryption, inflating
//   and the CRC check are ours, over zlib's raw inflate: the minizip shipped with zlib
//   1.2.13 is compiled with decryption switched off (its unzip.c forces NOUNCRYPT) and
//   would not check the encryption header's check byte anyway, while we must know per
//   entry whether a password fits before anything is written, ask again when it does
//   not, and report exactly what went wrong (both CRC values, bad compressed data).
//   Before minizip sees the file we look for the end record ourselves, so that "not a
//   zip file" and "zip file with a broken directory" get their own texts and codes.
//
// Behaviour (texts and result codes follow Info-ZIP UnZip as `unzip` shows them)
//   - Stored (0) and deflated (8) entries; any other method is skipped with
//     "unsupported compression method N" (result 81 when nothing worse happened).
//   - Every entry streams through fixed buffers (256 KB in, 256 KB out): memory does
//     not grow with the size of an entry or of the archive.
//   - Nothing is written past an entry's declared size: an entry whose data inflate to
//     more is stopped there with "NAME holds more than the N bytes its header
//     declares", its temporary file removed (result 2), and the run goes on.
//   - Before a byte is written, the declared sizes of the wanted entries (each rounded
//     up to a 4 KB cluster) are compared with the free space of the target folder's
//     disk: what does not fit with 1 MB left free is refused with "error:  not enough
//     disk space for ..." (result 50, nothing written). A write that fails for a full
//     disk all the same stops the run with "NAME:  write error (disk full?)." (50),
//     the entry's partial file removed; what earlier entries wrote stays.
//   - Paths are checked for length before any call that assumes MAX_PATH: a folder
//     longer than MAX_PATH - 12 characters (none of it is made), a file path longer
//     than MAX_PATH - 1 get "checkdir error:  cannot create" or "error:  cannot
//     create" (result 2), and the run goes on.
//   - An entry is written to a temporary file beside its target and moved into place
//     only after its CRC and length checked out. A bad entry (bad CRC, bad compressed
//     data) is reported, its temporary file removed, and a file of that name that was
//     there before stays untouched; the other entries are still extracted (result 2).
//   - Names: UTF-8 when general-purpose bit 11 is set, otherwise code page 437 for
//     entries made on DOS, OS/2 or Windows file systems and the ANSI code page for
//     the rest; files are created through the wide Win32 API. A leading slash or
//     drive letter and every ".." component are dropped (with a warning, result 1),
//     so nothing lands outside the target folder; backslashes count as separators;
//     characters Windows does not allow in names become "_".
//   - Existing files: `PromptOverwrite` asks the replace routine (102 this one, 103
//     all from now on, 100 keep this one, 104 keep this and every further one);
//     without the question, `OverWriteFiles` overwrites, otherwise existing files stay.
//     `ExtractNewer` (freshen) only replaces existing files older than the entry;
//     `ExtractOnlyNewer` (update) also creates missing ones. Times compare at the
//     zip format's two-second resolution. Files get the entry's DOS time.
//   - Traditional (ZipCrypto) encryption: the last password that worked in this run is
//     tried first, then the password routine is asked, up to three times per entry
//     (prompt "[archive] name password: ", then "password incorrect--reenter: ");
//     an answer other than 0 means "no password" and skips the entry. A password is
//     accepted when the decrypted header's check byte matches (the CRC's high byte, or
//     the time's high byte when the sizes follow the data). Result 82 when entries
//     were skipped this way and nothing was extracted, else 1.
//   - A file that is no zip archive (an empty one included) gives result 9 with
//     Info-ZIP's "End-of-central-directory signature not found" text, plus
//     "note:  NAME may be a plain executable, not an archive" when it begins with "MZ".
//     These texts are printed at every message level.
//   - `MessageLevel` 0 prints what `unzip` prints, 1 what `unzip -q` prints, 2 (and
//     above) what `unzip -qq` prints: bad CRCs, absolute-path warnings and archive
//     errors still come through at 2.
//   - `TestZip` tests every entry, writes nothing and prints `unzip -t`'s texts.
//   - `ExtractList` 1 writes nothing and calls the message routine once per entry.
//   - `WriteToStdOut` sends the entries' bytes to the print routine instead of files;
//     `ConvertCRtoCRLF` turns lone LF into CR LF in entries marked as text.
//   - `DisplayComment` prints the archive comment. `Verbose` and `Privilege` are
//     accepted and have no effect (no listing detail, no access-control lists).
//   - Include and exclude lists hold wildcard patterns (* and ?), matched against
//     the entry's name as stored, with or without case as `CaseSensitive` says.
//   - The service routine is called before each entry with its name and size; a
//     non-zero answer stops the run with result 80.
//   - The totals of the callback table are filled from the central directory on every
//     run that could read it.
#include <windows.h>

#include <cstddef>
#include <cstdint>

// Result codes (those of Info-ZIP UnZip).
enum UnzipResult : int {
  kUnzipOk = 0,
  kUnzipWarning = 1,          // a warning: names changed, entries skipped, ...
  kUnzipError = 2,            // an entry was bad (CRC, compressed data, cannot write)
  kUnzipBadZip = 3,           // the archive's directory is broken
  kUnzipNoMemory = 4,
  kUnzipBadOptions = 10,      // no option record or no archive name
  kUnzipNotFound = 9,         // archive missing or not a zip file
  kUnzipDiskFull = 50,
  kUnzipCancelled = 80,       // the service routine asked to stop
  kUnzipUnsupported = 81,     // unsupported compression method or encryption
  kUnzipBadPassword = 82,     // nothing extracted because no password fitted
};

// Answers of the replace routine.
enum UnzipReplaceAnswer : int {
  kReplaceNo = 100,
  kReplaceYes = 102,
  kReplaceAll = 103,
  kReplaceNone = 104,
};

extern "C" {

// The option record: fifteen 32-bit integers, then the archive path and the target
// folder as NUL-terminated ANSI strings. The order is the library's, not the order of
// the properties: the first field is update (only newer or new files), the eighth is
// freshen (only newer existing files).
struct UnzipOptions {
  int32_t ExtractOnlyNewer;
  int32_t SpaceToUnderScore;
  int32_t PromptOverwrite;
  int32_t MessageLevel;
  int32_t WriteToStdOut;
  int32_t TestZip;
  int32_t ExtractList;
  int32_t ExtractNewer;
  int32_t DisplayComment;
  int32_t HonorDirectories;
  int32_t OverWriteFiles;
  int32_t ConvertCRtoCRLF;
  int32_t Verbose;
  int32_t CaseSensitive;
  int32_t Privilege;
  char* ZipFileName;
  char* ExtractDir;
};

// Printed text: `size` bytes (no NUL needed); the result is ignored.
typedef int(WINAPI* UnzipPrintRoutine)(LPSTR text, unsigned long size);
typedef int(WINAPI* UnzipSoundRoutine)(void);
// The existing file's path (writable buffer of MAX_PATH bytes or more); answers above.
typedef int(WINAPI* UnzipReplaceRoutine)(LPSTR fileName);
// Writes a password of at most size - 1 bytes into `password` and returns 0, or
// returns anything else for "no password".
typedef int(WINAPI* UnzipPasswordRoutine)(LPSTR password, int size, LPCSTR prompt,
                                          LPCSTR entryName);
// Listing mode, once per entry.
typedef void(WINAPI* UnzipMessageRoutine)(unsigned long uncompressedSize,
                                          unsigned long compressedSize, unsigned factor,
                                          unsigned month, unsigned day, unsigned year,
                                          unsigned hour, unsigned minute, char c,
                                          LPSTR entryName, LPSTR methodName,
                                          unsigned long crc, char encrypted);
// Before each entry; non-zero stops the run.
typedef int(WINAPI* UnzipServiceRoutine)(LPCSTR entryName, unsigned long size);

// The callback table: six routines, then four 32-bit totals and a 16-bit flag that the
// library fills (compressed size of all entries, their uncompressed size, the
// compression factor in percent, the number of entries, whether there is a comment).
struct UnzipCallbacks {
  UnzipPrintRoutine Print;
  UnzipSoundRoutine Sound;
  UnzipReplaceRoutine Replace;
  UnzipPasswordRoutine Password;
  UnzipMessageRoutine Message;
  UnzipServiceRoutine Service;
  uint32_t TotalSizeComp;
  uint32_t TotalSize;
  uint32_t CompFactor;
  uint32_t NumMembers;
  uint16_t HasComment;
};

// Extracts (or tests, or lists) the archive options->ZipFileName into
// options->ExtractDir (the current folder when empty). The include and exclude lists
// may be empty (count 0); returns one of the result codes above.
int WINAPI Wiz_SingleEntryUnzip(int includeCount, char** includeList, int excludeCount,
                                char** excludeList, UnzipOptions* options,
                                UnzipCallbacks* callbacks);

}  // extern "C"

// The records keep the library's layout: 32-bit fields packed, pointers aligned to
// their own size, on both the 32-bit and the 64-bit build.
static_assert(offsetof(UnzipOptions, ExtractNewer) == 7 * 4);
static_assert(offsetof(UnzipOptions, Privilege) == 14 * 4);
static_assert(offsetof(UnzipOptions, ZipFileName) == (sizeof(void*) == 8 ? 64 : 60));
static_assert(offsetof(UnzipCallbacks, TotalSizeComp) == 6 * sizeof(void*));
static_assert(offsetof(UnzipCallbacks, HasComment) == 6 * sizeof(void*) + 16);
