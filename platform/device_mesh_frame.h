#pragma once
// The frame rule of animated meshes: which key frames show at a time.
#include <cstdint>

struct TMeshFrameChoice {
  int32_t current = 0;
  int32_t next = 0;
  float weight = 0;  // 0: current alone, 1: next alone
  bool blend = false;
};

// Frames from `start` to `end` at `frameTime` seconds each, looped or not,
// at `time` seconds. An empty range, a zero frame time or time 0 shows the
// first frame; every answer is a frame below frameCount.
TMeshFrameChoice ChooseMeshFrames(int32_t start, bool loop, int32_t end, float frameTime, float time,
                                  int32_t frameCount);
