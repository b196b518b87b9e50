// Start-up of Mirabou against a bare Qt window: time from process start to
// the window first painted on the X screen, and resident (RSS) and
// proportional (PSS) memory one second later. Medians of several runs.
//
//   bench_startup <Mirabou> <bare_window> [runs]     (under an X server)
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Probe {
    int x, y;
    unsigned rgb; // 0xRRGGBB
};

unsigned pixelAt(xcb_connection_t* c, xcb_window_t root, int x, int y) {
    auto* reply = xcb_get_image_reply(
        c, xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(x), int16_t(y), 1, 1, ~0u),
        nullptr);
    if (!reply)
        return 0xFFFFFFFF;
    const uint8_t* d = xcb_get_image_data(reply);
    const unsigned rgb = unsigned(d[2]) << 16 | unsigned(d[1]) << 8 | d[0];
    std::free(reply);
    return rgb;
}

long statusKb(pid_t pid, const char* file, const char* key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::string(key).size());
    }
    return -1;
}

struct Run {
    double ms;
    long rssKb;
    long pssKb;
    double cpuMs; // user and system time of the whole second: the start-up's work
};

bool measure(xcb_connection_t* c, xcb_window_t root, const char* program, const char* arg,
             const std::vector<Probe>& probes, Run* out) {
    // Paint the desktop a colour no probe expects.
    const uint32_t background = 0x3A6EA5;
    xcb_change_window_attributes(c, root, XCB_CW_BACK_PIXEL, &background);
    xcb_clear_area(c, 0, root, 0, 0, 0, 0);
    xcb_flush(c);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));

    char* argv[] = {const_cast<char*>(program), const_cast<char*>(arg), nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0)
        return false;
    bool painted = false;
    while (!painted && Clock::now() - start < std::chrono::seconds(10)) {
        painted = std::all_of(probes.begin(), probes.end(),
                              [&](const Probe& p) { return pixelAt(c, root, p.x, p.y) == p.rgb; });
        if (!painted)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    out->ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::seconds(1));
    out->rssKb = statusKb(pid, "status", "VmRSS:");
    out->pssKb = statusKb(pid, "smaps_rollup", "Pss:");
    kill(pid, SIGKILL);
    rusage usage{};
    wait4(pid, nullptr, 0, &usage);
    out->cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
                 (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
    return painted;
}

template <typename F> double median(std::vector<Run> runs, F field) {
    std::sort(runs.begin(), runs.end(),
              [&](const Run& a, const Run& b) { return field(a) < field(b); });
    return double(field(runs[runs.size() / 2]));
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startup <Mirabou> <bare_window> [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 11;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "bench_startup needs an X server (run it through make bench)\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;

    // Mirabou opens at 100,100 (settings.ini beside it); the swatch is black
    // and the header bar white once the window is painted.
    const std::vector<Probe> mirabou = {{100 + 8 + 184 + 16, 100 + 40 + 48 + 35, 0x000000},
                                        {100 + 8 + 8 + 150, 100 + 40 + 16 + 8, 0xFFFFFF}};
    const std::vector<Probe> bare = {{100 + 200, 100 + 80, 0xFF0000}};

    struct Subject {
        const char* name;
        const char* program;
        const char* arg;
        const std::vector<Probe>* probes;
        std::vector<Run> runs;
    } subjects[] = {{"bare Qt window (the floor)", argv[2], nullptr, &bare, {}},
                    {"bare Qt window with a text label", argv[2], "--label", &bare, {}},
                    {"Mirabou", argv[1], nullptr, &mirabou, {}}};

    for (int i = 0; i < runs; ++i) {
        for (Subject& s : subjects) {
            Run r{};
            if (!measure(c, root, s.program, s.arg, *s.probes, &r)) {
                std::fprintf(stderr, "%s: window not painted\n", s.name);
                return 1;
            }
            s.runs.push_back(r);
        }
    }
    std::printf("Start-up, median of %d runs\n\n", runs);
    std::printf("| program | first paint | CPU time | RSS after 1 s | PSS after 1 s |\n"
                "|---|---|---|---|---|\n");
    for (const Subject& s : subjects) {
        std::printf("| %s | %.1f ms | %.1f ms | %.1f MiB | %.1f MiB |\n", s.name,
                    median(s.runs, [](const Run& r) { return r.ms; }),
                    median(s.runs, [](const Run& r) { return r.cpuMs; }),
                    median(s.runs, [](const Run& r) { return r.rssKb; }) / 1024.0,
                    median(s.runs, [](const Run& r) { return r.pssKb; }) / 1024.0);
    }
    const auto ratio = [&](int of, int to, auto field) {
        return median(subjects[of].runs, field) / median(subjects[to].runs, field);
    };
    const auto ms = [](const Run& r) { return r.ms; };
    const auto rss = [](const Run& r) { return r.rssKb; };
    const auto cpu = [](const Run& r) { return r.cpuMs; };
    std::printf("\nMirabou / bare window: time %.2f x, CPU %.2f x, RSS %.2f x\n", ratio(2, 0, ms),
                ratio(2, 0, cpu), ratio(2, 0, rss));
    std::printf("Mirabou / bare window with text: time %.2f x, CPU %.2f x, RSS %.2f x\n",
                ratio(2, 1, ms), ratio(2, 1, cpu), ratio(2, 1, rss));
    xcb_disconnect(c);
    return 0;
}
