// Times process start until the main window is mapped on the X display the bench is given
// ($DISPLAY; Xvfb through xvfb-run is enough), for Pelmora as the writer starts it, the minimal
// two-tab Qt program and, when installed, FeatherPad as an outside reference, alternating the
// programs so that all see the same machine. The bench waits for the server's own MapNotify
// event, so the figure has no polling delay in it; each program is killed once its window is
// mapped, and the processor time it took until then is told beside the time.
// Usage: startup_mapped [runs] [pelmora ...]   (run from the build tree; the minimal program sits
// beside this one, the program one folder up; several builds of the program given by their paths
// are timed side by side)
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "startup_mapped: %s\n", what.c_str());
    std::exit(1);
}

template <typename Reply> using ReplyPtr = std::unique_ptr<Reply, decltype(&std::free)>;

// The X connection and what the bench asks of it: every window mapped among the root's children.
class Display {
public:
    Display()
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            fail("no X display (set DISPLAY, or run under xvfb-run)");
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(connection_, root_, XCB_CW_EVENT_MASK, &mask);
        pidAtom_ = atom("_NET_WM_PID");
        xcb_flush(connection_);
    }
    ~Display() { xcb_disconnect(connection_); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;

    // Waits until a top-level window of process `pid` is mapped (directly, or as the frame a
    // window manager put around it); false when `deadline` passes first.
    bool waitForMap(pid_t pid, Clock::time_point deadline)
    {
        for (;;) {
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const bool mapped = isMapOf(event, pid);
                std::free(event);
                if (mapped)
                    return true;
            }
            if (xcb_connection_has_error(connection_))
                fail("the X connection broke");
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0)
                return false;
            pollfd fd{xcb_get_file_descriptor(connection_), POLLIN, 0};
            poll(&fd, 1, static_cast<int>(left.count()));
        }
    }

private:
    xcb_atom_t atom(const char* name)
    {
        const ReplyPtr<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(
                connection_, xcb_intern_atom(connection_, 0, std::strlen(name), name), nullptr),
            &std::free);
        if (!reply)
            fail(std::string("no atom ") + name);
        return reply->atom;
    }

    bool isMapOf(const xcb_generic_event_t* event, pid_t pid)
    {
        if ((event->response_type & 0x7f) != XCB_MAP_NOTIFY)
            return false;
        const auto* map = reinterpret_cast<const xcb_map_notify_event_t*>(event);
        if (map->event != root_ || map->override_redirect)
            return false;
        return windowPid(map->window) == pid || childOf(map->window, pid);
    }

    bool childOf(xcb_window_t frame, pid_t pid)
    {
        const ReplyPtr<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, frame), nullptr),
            &std::free);
        if (!tree)
            return false;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        const int count = xcb_query_tree_children_length(tree.get());
        return std::any_of(children, children + count,
                           [&](xcb_window_t child) { return windowPid(child) == pid; });
    }

    pid_t windowPid(xcb_window_t window)
    {
        const ReplyPtr<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(
                connection_,
                xcb_get_property(connection_, 0, window, pidAtom_, XCB_ATOM_CARDINAL, 0, 1),
                nullptr),
            &std::free);
        if (!reply || xcb_get_property_value_length(reply.get()) != 4)
            return -1;
        return static_cast<pid_t>(*static_cast<uint32_t*>(xcb_get_property_value(reply.get())));
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t pidAtom_ = 0;
};

struct Program {
    std::string label;
    std::string path;
    std::vector<const char*> arguments;
    std::vector<double> times = {};
    std::vector<double> processor = {};
};

struct Run {
    double untilMapped = 0; // milliseconds from the start until the map
    double processor = 0;   // milliseconds of processor time the program took, all its threads
};

double milliseconds(const timeval& t)
{
    return t.tv_sec * 1e3 + t.tv_usec / 1e3;
}

// Starts `program`, waits for its window to be mapped and ends it at once. On a shared machine the
// processor time is the steadier figure; it runs to the kill, a moment after the map.
Run runOnce(Display& display, const Program& program)
{
    std::vector<char*> argv{const_cast<char*>(program.path.c_str())};
    for (const char* argument : program.arguments)
        argv.push_back(const_cast<char*>(argument));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.path.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        fail("cannot start " + program.path);
    const bool mapped = display.waitForMap(pid, start + std::chrono::seconds(20));
    const auto end = Clock::now();
    kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!mapped)
        fail(program.path + " mapped no window within 20 s");
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime)};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string folderOf(const char* self)
{
    std::string path(self);
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// Fresh settings, state and runtime folders: the writer's settings and a running instance stay
// out of it, and every run after the first finds the folders the first one made.
void useThrowAwayFolders(char* folder)
{
    if (!mkdtemp(folder))
        fail("cannot make a temporary folder");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                             "XDG_RUNTIME_DIR"})
        setenv(name, folder, 1);
}

// Each Pelmora's time and processor time beside the minimal program's and FeatherPad's.
void tellRatios(const std::vector<Program>& programs, size_t pelmoras)
{
    const Program& minimal = programs[pelmoras];
    const Program* featherPad = programs.size() > pelmoras + 1 ? &programs.back() : nullptr;
    for (size_t i = 0; i < pelmoras; ++i) {
        const double time = median(programs[i].times);
        const double processor = median(programs[i].processor);
        std::printf("  %s / minimal  %5.2f x   processor %5.2f x\n", programs[i].label.c_str(),
                    time / median(minimal.times), processor / median(minimal.processor));
        if (featherPad)
            std::printf("  FeatherPad / %s  %5.2f x   processor %5.2f x\n",
                        programs[i].label.c_str(), median(featherPad->times) / time,
                        median(featherPad->processor) / processor);
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const std::string here = folderOf(argv[0]);
    std::vector<Program> programs;
    for (int i = 2; i < argc; ++i) // builds of the program to compare, by their paths
        programs.push_back({argv[i], argv[i], {}});
    if (programs.empty())
        programs.push_back({"Pelmora", here + "../pelmora", {}});
    const size_t pelmoras = programs.size();
    // Kept open: a window that is gone before the bench reads its process is not found.
    programs.push_back({"minimal Qt tabs", here + "startup_minimal", {"--stay"}});
    if (access("/usr/bin/featherpad", X_OK) == 0)
        programs.push_back({"FeatherPad", "/usr/bin/featherpad", {}});
    char folder[] = "/tmp/pelmora-mapped-XXXXXX";
    useThrowAwayFolders(folder);
    Display display;

    for (const Program& program : programs) // warm the caches and make each one's folders
        runOnce(display, program);
    for (int i = 0; i < runs; ++i) {
        for (Program& program : programs) {
            const Run run = runOnce(display, program);
            program.times.push_back(run.untilMapped);
            program.processor.push_back(run.processor);
        }
    }
    std::printf("start-up until the main window is mapped on %s, median of %d runs:\n",
                std::getenv("DISPLAY"), runs);
    for (const Program& program : programs) {
        std::printf("  %-16s %8.1f ms  (best %6.1f)   processor %6.1f ms\n", program.label.c_str(),
                    median(program.times),
                    *std::min_element(program.times.begin(), program.times.end()),
                    median(program.processor));
    }
    tellRatios(programs, pelmoras);
    std::filesystem::remove_all(folder);
    return 0;
}
