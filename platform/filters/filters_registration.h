#pragma once
// Registers the filter classes with the filter registry, in the order names
// are tried: ".pixmap", ".mesh", ".3ds", ".md3", ".jpg", ".png"; and the
// applet's filter class with the class registry.
void RegisterFilters();
