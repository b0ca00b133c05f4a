#include "tests/serial/sim_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace testing_support {

namespace {

pid_t spawn(const std::vector<std::string>& args, const std::string& outPath,
            const std::string& errPath) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(out, 1);
  ::dup2(err, 2);
  std::vector<char*> argv;
  std::string program = QTR77_SIM_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copy = args;
  for (auto& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  ::execv(program.c_str(), argv.data());
  ::_exit(127);
}

int waitExit(pid_t pid) {
  int status = 0;
  ::waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

SimProcess::SimProcess(const std::string& link, const std::vector<std::string>& options) {
  outputPath_ = link + ".out";
  std::vector<std::string> args{"--link", link};
  args.insert(args.end(), options.begin(), options.end());
  pid_ = spawn(args, outputPath_, link + ".err");
  // The link appears once the pseudo-terminal is ready; the banner follows it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0 && readFile(outputPath_).find('\n') != std::string::npos) {
      ready_ = true;
      return;
    }
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

SimProcess::~SimProcess() {
  if (pid_ > 0) stop(SIGTERM);
}

int SimProcess::stop(int signal) {
  if (pid_ <= 0) return -1;
  ::kill(pid_, signal);
  const int code = waitExit(pid_);
  pid_ = -1;
  return code;
}

std::string SimProcess::output() const {
  return readFile(outputPath_);
}

RunResult runSim(const std::vector<std::string>& args) {
  TempDir dir;
  const std::string out = dir.path() + "/out";
  const std::string err = dir.path() + "/err";
  const int code = waitExit(spawn(args, out, err));
  return {code, readFile(err)};
}

}  // namespace testing_support
