#pragma once
// Registers the design tools' classes and installs the design-time click.
void RegisterDesignTools();
