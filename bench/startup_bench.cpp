// Start-up to the first shown frame: the program run on the sample game
// examples/hello, against a bare SDL window with a GL context showing one
// cleared frame of the same size (bare_sdl_gl_probe), each a fresh process,
// both on SDL's offscreen display with software GL. Both run with the same
// preloaded stamp (first_frame_stamp): the first SDL_GL_SwapWindow of a
// shown window, once it has returned, writes the wall-clock time and ends the
// process. The time
// measured is from the start of the process to that moment, the memory its
// peak resident size. The program's benchmark reports both over the probe's
// against their goals (bench_goals.cpp).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_goals.h"

extern char** environ;

namespace {
namespace fs = std::filesystem;

// The folder the runs keep their logs, preferences and caches in.
struct Scratch {
  fs::path folder;
  Scratch() {
    folder = fs::temp_directory_path() / ("startup-bench-" + std::to_string(getpid()));
    fs::create_directories(folder / "data");
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
};

const Scratch& TheScratch() {
  static Scratch scratch;
  return scratch;
}

const fs::path kSample = fs::path(Q_SOURCE_DIR) / "examples" / "hello";

struct Run {
  double seconds = 0;
  double peakMb = 0;
  double cpuSeconds = 0;
  bool ok = false;
};

double NowMs() {
  return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

// The number after `marker` in the file, or -1.
double StampIn(const fs::path& file, const std::string& marker) {
  std::ifstream in(file);
  std::string line;
  while (std::getline(in, line)) {
    size_t at = line.find(marker);
    if (at != std::string::npos) return std::stod(line.substr(at + marker.size()));
  }
  return -1;
}

std::string Built(const char* name) { return (fs::path(Q_BINARY_DIR) / name).string(); }

// Runs a program to its first shown frame in the benchmark's environment;
// its time is from the start to the stamp the preloaded library leaves.
Run RunProgram(const std::vector<std::string>& arguments) {
  const fs::path stampFile = TheScratch().folder / "stamp.txt";
  std::vector<std::string> environment = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                                          "LIBGL_ALWAYS_SOFTWARE=1",
                                          "LD_PRELOAD=" + Built("libfirst_frame_stamp.so"),
                                          "FIRST_FRAME_STAMP=" + stampFile.string(),
                                          "XDG_DATA_HOME=" + (TheScratch().folder / "data").string(),
                                          "XDG_CACHE_HOME=" + (TheScratch().folder / "cache").string()};
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    if (entry.rfind("SDL_", 0) != 0 && entry.rfind("LIBGL_", 0) != 0 && entry.rfind("XDG_DATA_HOME=", 0) != 0 &&
        entry.rfind("XDG_CACHE_HOME=", 0) != 0 && entry.rfind("LD_PRELOAD=", 0) != 0) {
      environment.push_back(entry);
    }
  }
  std::vector<char*> argv, envp;
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  Run run;
  std::error_code ignored;
  fs::remove(stampFile, ignored);
  const double start = NowMs();
  pid_t child = 0;
  if (posix_spawn(&child, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return run;
  int status = 0;
  struct rusage usage {};
  if (wait4(child, &status, 0, &usage) != child) return run;
  const double frame = StampIn(stampFile, "first frame ");
  run.seconds = (frame - start) / 1000;
  run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024;
  run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && frame >= start;
  return run;
}

Run Probe() { return RunProgram({Built("bare_sdl_gl_probe"), "640", "400"}); }
Run Program() { return RunProgram({Built("qplay"), kSample.string()}); }

// A first start of each, not measured: the program keeps the script engine's
// compiled built-ins in its cache folder from then on, as after any first
// start on a machine.
void WarmUp() {
  static const bool done = (Program(), Probe(), true);
  (void)done;
}

void BM_BareSdlGlFirstFrame(benchmark::State& state) {
  WarmUp();
  double peak = 0;
  for (auto _ : state) {
    Run run = Probe();
    if (!run.ok) state.SkipWithError("the probe failed");
    peak = std::max(peak, run.peakMb);
    state.SetIterationTime(run.seconds);
  }
  state.counters["peak_MB"] = peak;
}

// The program's starts and the probe's alternate, each round starting the
// two in swapped order, so that both meet the same load on the machine.
void BM_ProgramFirstFrame(benchmark::State& state) {
  WarmUp();
  std::vector<double> programTimes, probeTimes, programPeaks, probePeaks, programCpu, probeCpu;
  int round = 0;
  for (auto _ : state) {
    Run program, probe;
    if (round++ % 2 == 0) {
      program = Program();
      probe = Probe();
    } else {
      probe = Probe();
      program = Program();
    }
    if (!program.ok || !probe.ok) state.SkipWithError("a start failed");
    programTimes.push_back(program.seconds);
    probeTimes.push_back(probe.seconds);
    programPeaks.push_back(program.peakMb);
    probePeaks.push_back(probe.peakMb);
    programCpu.push_back(program.cpuSeconds);
    probeCpu.push_back(probe.cpuSeconds);
    state.SetIterationTime(program.seconds);
  }
  ReportGoal(state, "startup_time_vs_probe", RatioOfPairs(programTimes, probeTimes));
  ReportGoal(state, "startup_memory_vs_probe", RatioOfPairs(programPeaks, probePeaks));
  // The processor time of the whole process (to its exit at the stamp):
  // what a machine loaded by other work disturbs least, beside the goal.
  const BenchRatio cpu = RatioOfPairs(programCpu, probeCpu);
  state.counters["cpu_time_vs_probe_median"] = cpu.median;
  std::printf("startup_cpu_time_vs_probe: best %.3fx, median %.3fx (no goal; processor time, user and system)\n",
              cpu.best, cpu.median);
}
}  // namespace

BENCHMARK(BM_BareSdlGlFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_ProgramFirstFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
