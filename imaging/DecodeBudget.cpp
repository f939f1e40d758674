#include "DecodeBudget.h"

#include <atomic>

namespace trimora::imaging {

namespace {

std::atomic<std::int64_t> budget{kDefaultDecodeBudget};

}  // namespace

std::int64_t decodeBudget() {
  return budget.load(std::memory_order_relaxed);
}

void setDecodeBudget(std::int64_t bytes) {
  budget.store(bytes > 0 ? bytes : kDefaultDecodeBudget, std::memory_order_relaxed);
}

}  // namespace trimora::imaging
