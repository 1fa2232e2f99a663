#include "testing/TemporarySandbox.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The program's exit status, or -1 when a signal ended it or it did not end within `seconds`.
int waitForExit(pid_t pid, int seconds)
{
    int descriptor = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (descriptor < 0) {
        ADD_FAILURE() << "pidfd_open: " << std::strerror(errno);
        return -1;
    }
    pollfd watch { descriptor, POLLIN, 0 };
    int ready = poll(&watch, 1, seconds * 1000);
    close(descriptor);
    if (ready != 1) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status))
        ADD_FAILURE() << "ended by signal " << WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Starts the program with `arguments` in the sandbox `home`, its output into `log`, with SIGTERM
// held blocked until it says how it handles it. Returns its process id.
pid_t startProgram(const std::string& home, const std::vector<std::string>& arguments, const std::string& log)
{
    sigset_t stopSignals, previous;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);
    pid_t pid = fork();
    if (pid != 0) {
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        return pid;
    }
    setenv("VX_SANDBOX", home.c_str(), 1);
    setenv("VX_PASTEBOARD_ROOT", (home + "-pasteboards").c_str(), 1);
    int output = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(output, STDOUT_FILENO);
    dup2(output, STDERR_FILENO);
    std::vector<char*> argv { const_cast<char*>(VOLANTRIX_PROGRAM) };
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(VOLANTRIX_PROGRAM, argv.data());
    _exit(127);
}

std::string contentsOf(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

// Command lines the program cannot carry out are refused at once, with status 2 and a message
// naming what is wrong, before the application starts.
TEST(VolantrixProgram, RefusesWhatItCannotDoBeforeStarting)
{
    TemporarySandbox sandbox;
    std::string file = sandbox.path("a-file");
    std::ofstream(file) << "not a folder";
    struct Case {
        std::vector<std::string> arguments;
        const char* message;
    } cases[] = {
        { { "--zoom", "9", "--seconds", "600" }, "--zoom needs --center" },
        { { "--png-dir", file + "/screens", "--seconds", "600" }, "cannot write screens into" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        std::string log = sandbox.path("refused.log");
        pid_t pid = startProgram(sandbox.path("home"), c.arguments, log);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(waitForExit(pid, 30), 2);
        EXPECT_NE(contentsOf(log).find(c.message), std::string::npos) << contentsOf(log);
    }
}

// A screen run makes its folder when it is missing, and a stop signal before its last screen
// ends it in order but with the status of an unfinished run, 128 + SIGTERM, not success.
TEST(VolantrixProgram, AScreenRunStoppedEarlyFailsAfterMakingItsFolder)
{
    TemporarySandbox sandbox;
    std::string screens = sandbox.path("out/screens");
    pid_t pid = startProgram(sandbox.path("home"),
        { "--service-url", "http://127.0.0.1:9/", "--seconds", "600", "--png-dir", screens, "--select-plane" },
        sandbox.path("run.log"));
    ASSERT_GT(pid, 0);
    kill(pid, SIGTERM);
    EXPECT_EQ(waitForExit(pid, 60), 128 + SIGTERM);
    EXPECT_TRUE(std::filesystem::is_directory(screens));
    EXPECT_FALSE(std::filesystem::exists(screens + "/map.png"));
}

// SIGTERM ends the program as the system ends the application: will-terminate reaches the
// delegate, which saves its state, and the program exits with status 0. The signal is sent at
// once but held blocked until the program has said how it handles it.
TEST(VolantrixProgram, SigtermEndsTheApplicationInOrder)
{
    TemporarySandbox sandbox;
    std::string home = sandbox.path("home");
    // Blocked before the fork, so the child starts with it blocked.
    sigset_t stopSignals, previous;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, &previous);
    pid_t pid = fork();
    if (pid != 0)
        pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("VX_SANDBOX", home.c_str(), 1);
        setenv("VX_PASTEBOARD_ROOT", (home + "-pasteboards").c_str(), 1);
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        execl(VOLANTRIX_PROGRAM, VOLANTRIX_PROGRAM, "--service-url", "http://127.0.0.1:9/", "--seconds", "600",
            static_cast<char*>(nullptr));
        _exit(127);
    }
    kill(pid, SIGTERM);
    EXPECT_EQ(waitForExit(pid, 60), 0);

    // The settings the delegate saves at will-terminate are in the sandbox's preferences.
    std::string saved;
    for (const auto& entry : std::filesystem::directory_iterator(home + "/Library/Preferences")) {
        std::ifstream file(entry.path(), std::ios::binary);
        saved.append(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    EXPECT_NE(saved.find("kHasShownIntroView"), std::string::npos);
}
