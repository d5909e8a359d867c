#include "core/objects/step_handler.h"

StepHandlerProc& StepHandler() {
  static StepHandlerProc handler;
  return handler;
}
