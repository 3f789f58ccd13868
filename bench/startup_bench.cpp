// Times process start until the main window has first painted (Qt's offscreen platform), for
// Pelmora and for a minimal two-tab Qt program, alternating the two so that both see the same
// machine; beside the time, the processor time each took, the steadier figure on a shared machine.
// Usage: startup_bench [runs]   (run from the build tree; the probes sit beside this
// program)
#include <spawn.h>
#include <sys/resource.h>
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

struct Run {
    double time = 0;      // milliseconds from the start until the program ended
    double processor = 0; // milliseconds of processor time it took, all its threads
};

double milliseconds(const timeval& t)
{
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

Run runOnce(const std::string& program)
{
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
        std::perror(program.c_str());
        std::exit(1);
    }
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s did not end cleanly\n", program.c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime)};
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
    std::vector<double> p, m, pp, mp;
    for (int i = 0; i < runs; ++i) {
        const Run ofPelmora = runOnce(pelmora);
        const Run ofMinimal = runOnce(minimal);
        p.push_back(ofPelmora.time);
        m.push_back(ofMinimal.time);
        pp.push_back(ofPelmora.processor);
        mp.push_back(ofMinimal.processor);
    }
    const double pm = median(p), mm = median(m);
    std::printf("start-up until the window has painted, median of %d runs (offscreen):\n", runs);
    std::printf("  Pelmora          %8.1f ms  (best %.1f)   processor %6.1f ms\n", pm,
                *std::min_element(p.begin(), p.end()), median(pp));
    std::printf("  minimal Qt tabs  %8.1f ms  (best %.1f)   processor %6.1f ms\n", mm,
                *std::min_element(m.begin(), m.end()), median(mp));
    std::printf("  ratio            %8.2f x                processor %5.2f x\n", pm / mm,
                median(pp) / median(mp));
    rmdir(configDir);
    return 0;
}
