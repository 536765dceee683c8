// Start-up as a person waits for it: a new process, from its start to the end
// of the main window's first paint, beside a new process that shows an empty
// Qt dialog the same way (same executable, same application set-up). Both
// children are this program started again with "--child"; each prints the
// monotonic clock once its window's first paint has finished and then quits.
// Peak memory is the child's ru_maxrss. Run it under Xvfb (xvfb-run) for a
// real display; without one it falls back to the offscreen platform.
#include "controls/ComboBoxX.h"
#include "platform/FileSystem.h"
#include "shell/ULanguage.h"
#include "shell/URorudizezFirmWare.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace {

constexpr double kGoal = 1.5;
const char* g_self = nullptr;
QString g_folder;

long long Monotonic_Ns()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// Notes the first paint of one widget; once that paint and the flush that
// follows it in the same pass are done, prints the clock and ends the loop.
class First_Paint : public QObject
{
public:
    explicit First_Paint(QWidget* watched) : watched_(watched) { watched->installEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (object == watched_ && event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, this, [] {
                std::printf("%lld\n", Monotonic_Ns());
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget* watched_;
    bool seen_ = false;
};

// The child: the program's own start-up (as src/main.cpp does it), or an empty dialog.
int Run_Child(int argc, char** argv, bool mainWindow, const QString& folder)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("configurator"));
    if (!mainWindow) {
        QDialog dialog;
        First_Paint probe(&dialog);
        dialog.show();
        return QApplication::exec();
    }
    ComboBoxXInitialize();
    Create_All_Windows(folder);
    int code = 1;
    {
        First_Paint probe(platform::Application().MainForm());
        code = platform::Application().Run();
    }
    Destroy_All_Windows();
    ComboBoxXFinalize();
    return code;
}

struct Child_Run
{
    double ms = 0;
    double peak_mib = 0;
};

// Starts one child and waits for it; the time runs from just before the spawn
// to the child's printed clock.
bool Spawn_Child(const char* mode, Child_Run* out)
{
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
    const std::string folder = g_folder.toStdString();
    std::vector<char*> args = {const_cast<char*>(g_self), const_cast<char*>("--child"), const_cast<char*>(mode),
                               const_cast<char*>(folder.c_str()), nullptr};
    pid_t pid = 0;
    const long long start = Monotonic_Ns();
    const int spawned = posix_spawn(&pid, g_self, &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_fds[1]);
    if (spawned != 0) {
        close(pipe_fds[0]);
        return false;
    }
    std::string text;
    char buffer[256];
    ssize_t n = 0;
    while ((n = read(pipe_fds[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    close(pipe_fds[0]);
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return false;
    const long long painted = std::atoll(text.c_str());
    if (painted <= start)
        return false;
    out->ms = static_cast<double>(painted - start) / 1e6;
    out->peak_mib = static_cast<double>(usage.ru_maxrss) / 1024.0;
    return true;
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

struct Totals
{
    std::vector<double> main_ms, dialog_ms, main_mib, dialog_mib;
};
Totals g_totals;   // every run of every repetition

// One iteration starts both processes, one after the other, so that both see
// the same load on the machine; the iteration's time is the main window's.
void StartUp(benchmark::State& state)
{
    Totals here;
    std::vector<double> ratios;
    for (auto _ : state) {
        Child_Run main_run, dialog_run;
        if (!Spawn_Child("dialog", &dialog_run) || !Spawn_Child("main", &main_run)) {
            state.SkipWithError("a child did not start, paint and end cleanly");
            return;
        }
        state.SetIterationTime(main_run.ms / 1000.0);
        here.main_ms.push_back(main_run.ms);
        here.dialog_ms.push_back(dialog_run.ms);
        here.main_mib.push_back(main_run.peak_mib);
        here.dialog_mib.push_back(dialog_run.peak_mib);
        ratios.push_back(main_run.ms / dialog_run.ms);
    }
    state.counters["main_ms"] = Median(here.main_ms);
    state.counters["dialog_ms"] = Median(here.dialog_ms);
    state.counters["ratio"] = Median(ratios);
    state.counters["goal"] = kGoal;
    state.counters["main_MiB"] = Median(here.main_mib);
    state.counters["dialog_MiB"] = Median(here.dialog_mib);
    for (auto [from, to] : {std::pair{&here.main_ms, &g_totals.main_ms}, {&here.dialog_ms, &g_totals.dialog_ms},
                            {&here.main_mib, &g_totals.main_mib}, {&here.dialog_mib, &g_totals.dialog_mib}})
        to->insert(to->end(), from->begin(), from->end());
}

// The program folder of a fresh installation: the shipped English file only.
bool Make_Program_Folder(const QString& folder)
{
    Load_English_Table();
    QByteArray bytes;
    QString error;
    if (!QDir().mkpath(folder + QStringLiteral("/LANGUAGE")) || !Lng_File_Text(Language_List, &bytes, &error))
        return false;
    QFile f(folder + QStringLiteral("/LANGUAGE/English.lng"));
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

BENCHMARK(StartUp)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    // Without a display (no Xvfb) the children fall back to the offscreen platform.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return Run_Child(argc, argv, std::strcmp(argv[2], "main") == 0, QString::fromLocal8Bit(argv[3]));

    g_self = argv[0];
    QTemporaryDir dir;
    g_folder = dir.path();
    if (!dir.isValid() || !Make_Program_Folder(g_folder)) {
        std::fprintf(stderr, "cannot prepare the program folder\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const double main_ms = Median(g_totals.main_ms), dialog_ms = Median(g_totals.dialog_ms);
    std::printf("platform %s, %zu runs each (medians)\n",
                qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ? "xcb (DISPLAY)" : qgetenv("QT_QPA_PLATFORM").constData(),
                g_totals.main_ms.size());
    std::printf("start-up to first paint: main window %.1f ms, empty dialog %.1f ms, ratio %.2f (goal <= %.1f)\n",
                main_ms, dialog_ms, dialog_ms > 0 ? main_ms / dialog_ms : 0.0, kGoal);
    std::printf("peak memory: main window %.1f MiB, empty dialog %.1f MiB, ratio %.2f\n", Median(g_totals.main_mib),
                Median(g_totals.dialog_mib), Median(g_totals.dialog_mib) > 0 ? Median(g_totals.main_mib) / Median(g_totals.dialog_mib) : 0.0);
    return 0;
}
