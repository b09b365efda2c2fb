#include "pbrain/margin.hpp"

#include <algorithm>

namespace gomoku::pbrain {

void LoadMargin::record(int64_t planned, int64_t took) {
  const int64_t late = std::max<int64_t>(took - planned, 0);
  held_ = std::max(late + late / 2, held_ - (held_ + 3) / 4);
}

}  // namespace gomoku::pbrain
