#include "core/system/system_description.h"

#include <sys/utsname.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {
std::string Format(const char* format, auto... values) {
  char buffer[1024];
  std::snprintf(buffer, sizeof(buffer), format, values...);
  return buffer;
}

// PRETTY_NAME of /etc/os-release without its quotes, or empty.
std::string DistributionName() {
  std::ifstream in("/etc/os-release");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("PRETTY_NAME=", 0) != 0) continue;
    std::string value = line.substr(12);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    return value;
  }
  return {};
}

// A value of the first processor in /proc/cpuinfo ("model name", "cpu MHz").
std::string CpuInfoValue(const char* key) {
  std::ifstream in("/proc/cpuinfo");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key, 0) != 0) continue;
    auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    auto start = line.find_first_not_of(" \t", colon + 1);
    return start == std::string::npos ? std::string() : line.substr(start);
  }
  return {};
}

struct CpuIdentity {
  std::string vendor;
  std::string name;
  std::string extensions;
};

CpuIdentity ReadCpuIdentity() {
  CpuIdentity cpu;
#if defined(__x86_64__) || defined(__i386__)
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (__get_cpuid(0, &a, &b, &c, &d)) {
    char vendor[13] = {};
    std::memcpy(vendor, &b, 4);
    std::memcpy(vendor + 4, &d, 4);
    std::memcpy(vendor + 8, &c, 4);
    cpu.vendor = vendor;
  }
  unsigned highest = __get_cpuid_max(0x80000000, nullptr);
  if (highest >= 0x80000004) {
    char brand[49] = {};
    for (unsigned i = 0; i < 3; ++i) {
      __get_cpuid(0x80000002 + i, &a, &b, &c, &d);
      std::memcpy(brand + i * 16, &a, 4);
      std::memcpy(brand + i * 16 + 4, &b, 4);
      std::memcpy(brand + i * 16 + 8, &c, 4);
      std::memcpy(brand + i * 16 + 12, &d, 4);
    }
    cpu.name = brand;
  }
  if (__get_cpuid(1, &a, &b, &c, &d)) {
    struct Flag {
      unsigned* reg;
      unsigned bit;
      const char* name;
    };
    Flag flags[] = {{&d, 23, "MMX"},   {&d, 25, "SSE"},     {&d, 26, "SSE2"},  {&c, 0, "SSE3"},
                    {&c, 9, "SSSE3"},  {&c, 19, "SSE4.1"},  {&c, 20, "SSE4.2"}, {&c, 28, "AVX"}};
    for (const Flag& flag : flags) {
      if (!(*flag.reg & (1u << flag.bit))) continue;
      if (!cpu.extensions.empty()) cpu.extensions += ", ";
      cpu.extensions += flag.name;
    }
  }
#endif
  if (cpu.name.empty()) cpu.name = CpuInfoValue("model name");
  auto trim = [](std::string& s) {
    auto start = s.find_first_not_of(' ');
    auto end = s.find_last_not_of(' ');
    s = start == std::string::npos ? std::string() : s.substr(start, end - start + 1);
  };
  trim(cpu.name);
  if (cpu.vendor.empty()) cpu.vendor = CpuInfoValue("vendor_id");
  return cpu;
}
}  // namespace

std::string SystemDescriptionLine() {
  struct utsname names {};
  uname(&names);
  int major = 0, minor = 0, patch = 0;
  std::sscanf(names.release, "%d.%d.%d", &major, &minor, &patch);
  std::string edition = DistributionName();
  if (edition.empty()) edition = names.machine;
  return Format("System   : %s %s, Version: %d.%d, Build: %x, ", names.sysname, edition.c_str(), major, minor,
                static_cast<unsigned>(patch)) +
         "\"" + names.version + "\"";
}

std::string ProcessorDescriptionLine() {
  CpuIdentity cpu = ReadCpuIdentity();
  double mhz = 0;
  std::string clock = CpuInfoValue("cpu MHz");
  if (!clock.empty()) mhz = std::strtod(clock.c_str(), nullptr);
  std::string extensions = cpu.extensions.empty() ? std::string() : cpu.extensions;
  return Format("Processor: %s, %s, %d MHz %s%s", cpu.vendor.c_str(), cpu.name.c_str(),
                static_cast<int>(std::lround(mhz)), extensions.c_str(), "");
}
