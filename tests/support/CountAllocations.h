#pragma once

// Counts heap allocations while it lives, on every thread. A test program that uses it gets the
// global allocation functions replaced by counting ones (CountAllocations.cpp), so it must be a
// program of its own: link the lumivane_count_allocations object library.
class CountAllocations {
 public:
  CountAllocations();
  ~CountAllocations();
  CountAllocations(const CountAllocations&) = delete;
  CountAllocations& operator=(const CountAllocations&) = delete;

  long count() const;
};
