#pragma once
// Installs the applet layer's answers to what objects of the core ask of
// their applet (handlers, scheduled frees, script exports, cache entries).
void InstallAppletServices();
