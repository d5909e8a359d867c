#pragma once
// Registers every class, class reference, filter, device and engine of the
// program, subsystem by subsystem, in the fixed start-up order.
void RegisterAllClasses();
