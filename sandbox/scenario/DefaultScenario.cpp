#include "scenario/DefaultScenario.h"

namespace sandbox {

std::string_view DefaultScenarioText() {
    return R"json({
  "mode": "freeplay",
  "canvas": [1280, 720],
  "ball": {
    "path": [[0, 0, 93], [2600, 1800, 93], [1200, 3900, 500], [-2200, 2600, 93],
             [-3000, -1200, 300], [-600, -3600, 93], [2400, -2200, 700]],
    "speed": 45,
    "loop": true
  },
  "camera": {"follow": [0, -2600, 900], "lookAt": "ball", "fov": 90},
  "cvars": {"qm_enabled": "1"},
  "frames": 1
})json";
}

} // namespace sandbox
