#pragma once

/// Test seams on the platform's task allocator (CoTaskMemAlloc / CoTaskMemFree), so tests
/// can make allocations fail and check that every block handed out was given back.

/// The next `count` task allocations fail (return null); 0 lets them succeed again.
void FailNextTaskAllocations(int count);

/// Task memory blocks allocated and not yet freed. On Windows only blocks allocated after
/// the first call of either seam are counted, so take a reading before the code under test.
int LiveTaskAllocations();
