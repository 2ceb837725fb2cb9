#pragma once
// The bridge to the zip extraction library: VBUnzip turns a CGUnzipFiles
// object's options into the library's option record, hands it the callback
// table below, runs Wiz_SingleEntryUnzip and returns its result code. What the
// library prints is collected in the module-wide message state
// (sys/UnzipMessages.h).
#include <windows.h>

namespace twi {

class CGUnzipFiles;

// Runs the library with the object's options; its result code. A run-time
// error is raised again with the source "CodeModule::VBUnzip".
long VBUnzip(const CGUnzipFiles& options);

// The callbacks (the library calls them on the calling thread).
int WINAPI UnzipPrintCallback(LPSTR text, unsigned long size);
int WINAPI UnzipReplaceCallback(LPSTR fileName);
int WINAPI UnzipPasswordCallback(LPSTR password, int size, LPCSTR prompt, LPCSTR entryName);
void WINAPI UnzipMessageCallback(unsigned long uncompressedSize, unsigned long compressedSize,
                                 unsigned factor, unsigned month, unsigned day, unsigned year,
                                 unsigned hour, unsigned minute, char c, LPSTR entryName,
                                 LPSTR methodName, unsigned long crc, char encrypted);
int WINAPI UnzipServiceCallback(LPCSTR entryName, unsigned long size);

// Texts of the two questions.
inline constexpr const char* kOverwriteTitle = "VBUnZip32 - File Already Exists!";
inline constexpr const char* kPasswordPrompt = "Please Enter The Password!";

}  // namespace twi
