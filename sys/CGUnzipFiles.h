#pragma once
// Unpacks a zip archive into a folder through the zip extraction library. The
// object holds the extraction options as properties (booleans stored as 0 or
// 1); Unzip runs the library once with them and returns its result code (0
// success, anything else a warning or error code of the library, not
// interpreted here); GetLastMessage gives what the library printed during the
// last run. One object per extraction: create, configure, run, release.
#include <string>

namespace twi {

class CGUnzipFiles {
 public:
  // Accessors, one pair per property; a boolean written is stored as 0 or 1.
  long ExtractNewer() const { return extractNewer_; }
  void SetExtractNewer(bool value) { extractNewer_ = value ? 1 : 0; }
  long SpaceToUnderScore() const { return spaceToUnderScore_; }
  void SetSpaceToUnderScore(bool value) { spaceToUnderScore_ = value ? 1 : 0; }
  long PromptOverwrite() const { return promptOverwrite_; }
  void SetPromptOverwrite(bool value) { promptOverwrite_ = value ? 1 : 0; }
  long MessageLevel() const { return messageLevel_; }
  void SetMessageLevel(long value) { messageLevel_ = value; }
  long WriteToStdOut() const { return writeToStdOut_; }
  void SetWriteToStdOut(bool value) { writeToStdOut_ = value ? 1 : 0; }
  long TestZip() const { return testZip_; }
  void SetTestZip(bool value) { testZip_ = value ? 1 : 0; }
  long ExtractList() const { return extractList_; }
  void SetExtractList(long value) { extractList_ = value; }
  long ExtractOnlyNewer() const { return extractOnlyNewer_; }
  void SetExtractOnlyNewer(bool value) { extractOnlyNewer_ = value ? 1 : 0; }
  long DisplayComment() const { return displayComment_; }
  void SetDisplayComment(bool value) { displayComment_ = value ? 1 : 0; }
  long HonorDirectories() const { return honorDirectories_; }
  void SetHonorDirectories(bool value) { honorDirectories_ = value ? 1 : 0; }
  long OverWriteFiles() const { return overWriteFiles_; }
  void SetOverWriteFiles(bool value) { overWriteFiles_ = value ? 1 : 0; }
  long ConvertCRtoCRLF() const { return convertCRtoCRLF_; }
  void SetConvertCRtoCRLF(bool value) { convertCRtoCRLF_ = value ? 1 : 0; }
  long Verbose() const { return verbose_; }
  void SetVerbose(bool value) { verbose_ = value ? 1 : 0; }
  long CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value) { caseSensitive_ = value ? 1 : 0; }
  long Privilege() const { return privilege_; }
  void SetPrivilege(long value) { privilege_ = value; }
  const std::string& ZipFileName() const { return zipFileName_; }
  void SetZipFileName(const std::string& value) { zipFileName_ = value; }
  const std::string& ExtractDir() const { return extractDir_; }
  void SetExtractDir(const std::string& value) { extractDir_ = value; }

  // A non-empty argument first replaces its property; then the library runs
  // with every option. A run-time error is raised again with the source
  // "CGUnZipFiles::Unzip".
  long Unzip(const std::string& sZipFileName = "", const std::string& sExtractDir = "");
  // What the library printed during the last run.
  std::string GetLastMessage() const;

 private:
  long extractNewer_ = 0;
  long spaceToUnderScore_ = 0;
  long promptOverwrite_ = 0;
  long messageLevel_ = 2;
  long writeToStdOut_ = 0;
  long testZip_ = 0;
  long extractList_ = 0;
  long extractOnlyNewer_ = 0;
  long displayComment_ = 0;
  long honorDirectories_ = 1;
  long overWriteFiles_ = 1;
  long convertCRtoCRLF_ = 0;
  long verbose_ = 0;
  long caseSensitive_ = 1;
  long privilege_ = 0;
  std::string zipFileName_;
  std::string extractDir_;
};

}  // namespace twi
