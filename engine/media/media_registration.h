#pragma once
// Registers the media classes: fonts, pixmaps, meshes, skins and materials.
void RegisterMediaClasses();
