// The game binary run to its end in a temporary working folder that links to
// the built dat/, optionally under a wrapper program (valgrind), with its
// resident memory sampled while it runs.
#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace soak {

class Folder {
  public:
    Folder();
    ~Folder();
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    const std::filesystem::path& Path() const { return path; }

  private:
    std::filesystem::path path;
};

struct RunResult {
    int exitCode = -1; // -1 when killed or timed out
    bool timedOut = false;
    std::string errors; // stderr
    double seconds = 0;
    std::vector<long> residentKilobytes; // VmRSS, once a second
};

// Runs wrapper..., the game binary, with `env` added to this process's
// environment, in the folder.
RunResult Run(const Folder& folder, const std::vector<std::string>& wrapper,
              const std::map<std::string, std::string>& env, std::chrono::seconds timeout);

} // namespace soak
