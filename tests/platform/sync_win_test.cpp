// Win32-only: the worker thread runs with COM initialised, which the document
// filters need.
#include <gtest/gtest.h>
#include <objbase.h>

#include "platform/sync.h"

namespace {

TEST(SyncWinTest, WorkerThreadHasComInitialised) {
  HRESULT seen = E_FAIL;
  platform::WorkerThread thread;
  ASSERT_TRUE(thread.Start([&] {
    // S_FALSE: this thread's apartment already exists.
    seen = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(seen)) CoUninitialize();
  }));
  thread.Join();
  EXPECT_EQ(seen, S_FALSE);
}

}  // namespace
