#include "engine/program.h"

#include <memory>

#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/engine.h"
#include "core/exceptions.h"
#include "core/resource_man.h"
#include "core/step_handler.h"
#include "core/text_helpers.h"
#include "engine/applet.h"
#include "engine/log_writer.h"
#include "platform/platform.h"

std::string ChooseMainFile(const std::vector<std::string>& arguments, const std::string& programFile) {
  if (!arguments.empty()) return arguments.front();
  // Only the file name's own extension counts: a point in a folder name is
  // no extension, and a program without one has no folder named like it.
  const std::string extension = ExtractFileExt(programFile);
  const std::string stem = programFile.substr(0, programFile.size() - extension.size());
  if (!extension.empty() && FolderExists(stem)) return stem + "/main.qxml";
  if (FileExists(stem + ".qfs")) return stem + ".qfs";
  const std::string folder = ExtractFilePath(programFile);
  if (FileExists(folder + "game.qfs")) return folder + "game.qfs";
  if (FileExists(folder + "main.qfs")) return folder + "main.qfs";
  return {};
}

void RunMainLoop() {
  SomeEngine* engine = Engine();
  bool running = true;
  while (running) {
    running = false;
    if (auto* platform = dynamic_cast<TPlatform*>(engine->platform())) platform->PeekHandler();
    if (engine->count() == 0) {
      Sleep(10);
      break;
    }
    for (int i = engine->count() - 1; i >= 0; --i) {
      if (i >= engine->count()) continue;  // a step may have freed applets
      BaseObject* child = engine->childAt(i);
      if (dynamic_cast<Applet*>(child)) StepHandler()(child);
    }
    for (int i = engine->count() - 1; i >= 0; --i) {
      if (i >= engine->count()) continue;
      auto* applet = dynamic_cast<Applet*>(engine->childAt(i));
      if (!applet) continue;
      if (applet->terminated()) {
        applet->Free();
      } else {
        running = true;
      }
    }
  }
}

int RunProgram(int argc, char** argv) {
  auto log = std::make_unique<TLog>();
  LogHandler() = [&log](const WideString& line) { log->Write(line); };
  StepHandler() = [&log](BaseObject* applet) { log->Step(applet); };

  SomeEngine* engine = New<SomeEngine>(nullptr);
  try {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    const std::string mainFile = ChooseMainFile(arguments, GetProgramFileName());
    ProgramAppletInfo() = engine->getAppletInfo(mainFile);
    if (ProgramAppletInfo().width != 0) engine->loadApplet(mainFile);
    RunMainLoop();
  } catch (const Exception&) {
    SomeEngine::logCurrentException();
  }
  engine->Free();
  StepHandler() = nullptr;
  LogHandler() = nullptr;
  return 0;
}
