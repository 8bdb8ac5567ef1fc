#pragma once

// The scans' file tasks run on detached threads: a test that started some waits for them before it ends, so that none
// outlives the test's folders and tables.
namespace cvl::test {

// Returns once no scan task holds a slot any more.
void waitForScanTasks();

}  // namespace cvl::test
