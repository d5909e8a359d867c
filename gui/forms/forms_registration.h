#pragma once
// Registers the forms, panels and text effects: Form, ImageForm, DebugForm,
// Panel, Painter and EffectText, and the forms' CloseButton.
void RegisterForms();
