// The 100 MB archive (text and random data, deflated): every byte right, and the
// memory the process needs does not grow with the archive.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>

#include "support/TestSupport.h"
#include "unzip/UnzipHarness.h"

using namespace unziptest;
using twitest::PeakWorkingSet;

namespace {

TEST(UnzipBig, HundredMegabytesExtractCorrectlyInFlatMemory) {
  twitest::ScratchFolder target;
  // The peak so far covers the test runner and earlier tests; the extraction must not
  // raise it by more than a few buffers' worth.
  const SIZE_T before = PeakWorkingSet();
  auto start = std::chrono::steady_clock::now();
  Outcome run = RunUnzip(Archive("big.zip"), target.Path());
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const SIZE_T growth = PeakWorkingSet() - before;
  ASSERT_EQ(run.rc, 0) << run.printed;
  EXPECT_EQ(run.totals.TotalSize, 100u * 1024 * 1024);
  EXPECT_TRUE(SameBytes(target.File("big\\text.txt"), Expected("big/text.txt")));
  EXPECT_TRUE(SameBytes(target.File("big\\random.bin"), Expected("big/random.bin")));
  EXPECT_LT(growth, 16u * 1024 * 1024) << "peak working set grew by " << growth << " bytes";
  std::printf("100 MB extracted in %.2f s (%.1f MB/s); peak working set grew by %.1f MB\n",
              seconds, 100 / seconds, growth / 1048576.0);
}

}  // namespace
