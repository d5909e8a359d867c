#pragma once
// Registers the scene's classes: positioned objects, rects and sprites, the
// shapes, the camera and lights, mirrors and grids.
void RegisterSceneClasses();
