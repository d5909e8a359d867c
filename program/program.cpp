#include "program/program.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "compat/win32/close_watch.h"
#include "compat/win32/file_system.h"
#include "compat/win32/system.h"
#include "core/objects/engine.h"
#include "core/objects/script_watch.h"
#include "core/objects/step_handler.h"
#include "core/resources/resource_man.h"
#include "core/system/log.h"
#include "core/text/exceptions.h"
#include "core/text/text_helpers.h"
#include "engine/applet/applet.h"
#include "engine/applet/log_writer.h"
#include "platform/platform.h"

const char* const kUsage = "usage: qplay [main.qxml | game folder | archive.qfs]";

std::string ChooseMainFile(const std::vector<std::string>& arguments, const std::string& programFile) {
  if (!arguments.empty()) {
    // A game's folder stands for the main file in it.
    const std::string& first = arguments.front();
    if (DirectoryExists(first)) return first + (first.ends_with('/') ? "" : "/") + "main.qxml";
    return first;
  }
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

std::string NotTheMainFile(const std::string& mainFile) {
  const std::string name = ExtractFileName(mainFile);
  const std::string lower = LowerCaseAscii(name);
  const std::string extension = LowerCaseAscii(ExtractFileExt(mainFile));
  if (extension != ".qxml" && extension != ".qbin") return {};
  return lower == "main.qxml" || lower == "main.qbin" ? std::string() : name;
}

bool MainFileFound(const std::string& mainFile) {
  if (FileExists(mainFile)) return true;
  // A folder game is read as its main.qxml or that file's binary twin.
  const std::string extension = LowerCaseAscii(ExtractFileExt(mainFile));
  if (extension != ".qxml" && extension != ".qbin") return false;
  const std::string folder = ExtractFilePath(mainFile);
  return FileExists(folder + "main.qxml") || FileExists(folder + "main.qbin");
}

WideString GameLogName(const std::string& mainFile) {
  const std::string extension = LowerCaseAscii(ExtractFileExt(mainFile));
  if (extension != ".qxml" && extension != ".qbin") {
    // An archive is the game: its name without the extension.
    const std::string name = ExtractFileName(mainFile);
    return Utf8ToWide(name.substr(0, name.size() - extension.size()));
  }
  std::string folder = ExtractFilePath(mainFile);
  char cwd[4096];
  if (folder.empty() && getcwd(cwd, sizeof(cwd))) folder = cwd;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return Utf8ToWide(ExtractFileName(folder));
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
        NoteCloseHonoured();
      } else {
        running = true;
      }
    }
  }
}

void ArmProgramCloseWatch() {
  ArmCloseWatch([](double graceSeconds) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%g", graceSeconds);
    LogError(u"Program ended: it did not close within " + AnsiToWide(seconds) + u" s of the request to close");
  });
}

namespace {
// Chooses, pre-reads and loads the main file; false (with the reason logged)
// when there is no game to run.
bool LoadMainApplet(SomeEngine& engine, TLog& log, const std::vector<std::string>& arguments) {
  const std::string mainFile = ChooseMainFile(arguments, GetProgramFileName());
  if (const std::string other = NotTheMainFile(mainFile); !other.empty()) {
    log.settle();
    LogError(u"qplay runs a game folder's main.qxml; " + Utf8ToWide(other) + u" is not it");
    return false;
  }
  const bool found = !mainFile.empty() && MainFileFound(mainFile);
  log.holdErrors();
  ProgramAppletInfo() = engine.getAppletInfo(mainFile);
  // A game without a title still keeps a log: under its folder's name.
  if (found && ProgramAppletInfo().title.empty()) ProgramLogName() = GameLogName(mainFile);
  log.settle();
  if (mainFile.empty()) {
    LogError(u"No main file found beside the program; " + AnsiToWide(kUsage));
    return false;
  }
  const WideString path = Utf8ToWide(mainFile);
  if (!found) {
    LogError(u"Main file " + path + u" not found");
    return false;
  }
  if (ProgramAppletInfo().width == 0) {
    LogError(u"Main file " + path + u" gives no applet: no width could be read from it");
    return false;
  }
  if (!engine.loadApplet(mainFile)) {
    LogError(u"Main file " + path + u" gives no applet");
    return false;
  }
  return true;
}
}  // namespace

int RunProgram(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  if (!arguments.empty() && (arguments.front() == "--help" || arguments.front() == "-h")) {
    std::printf("%s\n", kUsage);
    return 0;
  }
  ArmProgramCloseWatch();
  auto log = std::make_unique<TLog>();
  LogHandler() = [&log](const WideString& line) { log->Write(line); };
  StepHandler() = [&log](BaseObject* applet) { log->Step(applet); };

  SomeEngine* engine = New<SomeEngine>(nullptr);
  // A failure is never reported as success: the player's shell, a launcher
  // or a script sees it in the exit status.
  int status = 0;
  try {
    if (!LoadMainApplet(*engine, *log, arguments)) status = 1;
    RunMainLoop();
  } catch (const Exception&) {
    SomeEngine::logCurrentException();
    status = 1;
  }
  log->settle();
  engine->Free();
  DisarmCloseWatch();
  StepHandler() = nullptr;
  LogHandler() = nullptr;
  return status;
}
