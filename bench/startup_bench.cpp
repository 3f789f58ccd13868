// Times process start until the main window has first painted (Qt's offscreen platform), for
// Pelmora and for a minimal two-tab Qt program, alternating the two so that both see the same
// machine. Usage: startup_bench [runs]   (run from the build tree; the probes sit beside this
// program)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

double runOnce(const std::string& program)
{
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::perror(program.c_str());
        std::exit(1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not end cleanly\n", program.c_str());
        std::exit(1);
    }
    return std::chrono::duration<double, std::milli>(end - start).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

std::string besideThis(const char* self, const char* name)
{
    std::string path(self);
    const auto slash = path.rfind('/');
    return (slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1)) + name;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    char configDir[] = "/tmp/pelmora-startup-XXXXXX"; // keeps the writer's settings out of it
    if (!mkdtemp(configDir))
        return 1;
    setenv("XDG_CONFIG_HOME", configDir, 1);
    setenv("XDG_RUNTIME_DIR", configDir, 1); // the probes' own instance socket, not the writer's

    const std::string pelmora = besideThis(argv[0], "startup_probe");
    const std::string minimal = besideThis(argv[0], "startup_minimal");
    runOnce(pelmora); // warm the caches for both
    runOnce(minimal);
    std::vector<double> p, m;
    for (int i = 0; i < runs; ++i) {
        p.push_back(runOnce(pelmora));
        m.push_back(runOnce(minimal));
    }
    const double pm = median(p), mm = median(m);
    std::printf("start-up until the window has painted, median of %d runs (offscreen):\n", runs);
    std::printf("  Pelmora          %8.1f ms  (best %.1f)\n", pm,
                *std::min_element(p.begin(), p.end()));
    std::printf("  minimal Qt tabs  %8.1f ms  (best %.1f)\n", mm,
                *std::min_element(m.begin(), m.end()));
    std::printf("  ratio            %8.2f x\n", pm / mm);
    rmdir(configDir);
    return 0;
}
