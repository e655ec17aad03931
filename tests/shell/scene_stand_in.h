// A recording stand-in for the four scene operations the shell calls: each appends its name
// to the fake platform's call log, so scene and platform calls share one ordered record.
#pragma once

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace stand_in {

// Empties the records and drops the hook.
void ResetScene();

// The sizes given to ResizeScene, in order.
std::vector<std::pair<int32_t, int32_t>>& ResizedSizes();
// ElapsedMs as each DrawScene saw it, in order.
std::vector<int32_t>& DrawnElapsedMs();
// Runs inside InitScene, after it has been logged.
void SetInitHook(std::function<void()> hook);

} // namespace stand_in
