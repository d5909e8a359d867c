#pragma once
// Registers the resource managers with the class registry and sets the
// engine's class references to the embedded and archive managers. Called
// once at start-up with the object core's registration.
void RegisterResourceManagers();
