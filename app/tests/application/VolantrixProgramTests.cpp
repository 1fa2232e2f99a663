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

} // namespace

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
