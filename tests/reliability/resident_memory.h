#pragma once
// The process's resident memory in bytes (Linux: /proc/self/statm; Windows: the working set), 0 when
// it cannot be read.
long ResidentBytes();
