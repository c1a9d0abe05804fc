#include "driver/Compilerobject.h"

#include <gtest/gtest.h>

namespace {

TEST(CompilerObject, NewJobHoldsTheDefaults) {
  TMq71R04CompilerObject job;
  EXPECT_EQ(job.MalfunctionHandlerAddress, "");
  EXPECT_EQ(job.RootDir, "");
  EXPECT_EQ(job.ListFileName, "");
  EXPECT_EQ(job.OutputFileName, "");
  EXPECT_FALSE(job.TraceLines);
  EXPECT_FALSE(job.PrintTime);
  EXPECT_FALSE(job.ImageInfo);
  EXPECT_FALSE(job.RawImage);
  EXPECT_EQ(job.ChecksumLabel, "");
  EXPECT_EQ(job.MalfunctionHandler, "");
  EXPECT_EQ(job.ImageSizeLimit, 0);
  ASSERT_TRUE(job.Defines && job.LibraryDirs && job.SourceFiles && job.Macros && job.WorkTable);
  EXPECT_EQ(job.Defines->Count(), 0);
  EXPECT_TRUE(job.LibraryDirs->empty());
  EXPECT_TRUE(job.SourceFiles->empty());
  EXPECT_TRUE(job.Macros->empty());
  EXPECT_EQ(job.WorkTable->RowCount(), 0);
}

}  // namespace
