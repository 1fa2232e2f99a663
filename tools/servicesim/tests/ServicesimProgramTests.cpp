#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <httplib.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs the servicesim program with `arguments`; its standard output and error are readable from
// `output`.
struct Program {
    pid_t pid = -1;
    FILE* output = nullptr;

    explicit Program(std::vector<std::string> arguments)
    {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0)
            return;
        pid = fork();
        if (pid == 0) {
            dup2(pipeEnds[1], STDOUT_FILENO);
            dup2(pipeEnds[1], STDERR_FILENO);
            close(pipeEnds[0]);
            close(pipeEnds[1]);
            std::vector<char*> argv { const_cast<char*>(SERVICESIM_PROGRAM) };
            for (auto& argument : arguments)
                argv.push_back(argument.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(pipeEnds[1]);
        output = fdopen(pipeEnds[0], "r");
    }

    // Everything the program writes until it ends.
    std::string readAll()
    {
        std::string text;
        char buffer[4096];
        while (size_t got = std::fread(buffer, 1, sizeof buffer, output))
            text.append(buffer, got);
        return text;
    }

    // Waits for the program to end and returns its exit status, or -1 when a signal ended it.
    int wait()
    {
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    ~Program()
    {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (output)
            fclose(output);
    }
};

} // namespace

TEST(ServicesimProgram, PrintsItsPortServesAndStopsOnSigterm)
{
    Program program({ "--port", "0", "--print-port", "--aircraft", "50", "--seed", "4", "--time", "1765370000",
        "--fault", "/APPAPIv2/vaa.php:status=500,body=empty" });
    ASSERT_GT(program.pid, 0);
    ASSERT_TRUE(program.output);
    int port = 0;
    ASSERT_EQ(std::fscanf(program.output, "%d", &port), 1);
    ASSERT_GT(port, 0);

    httplib::Client client("127.0.0.1", port);
    auto poll = client.Get("/APPAPIv2/planeUpdate.php?routetype=ICAO&FAA=1&ts=0&background=0");
    ASSERT_TRUE(poll);
    EXPECT_EQ(poll->status, 200);
    EXPECT_EQ(poll->get_header_value("X-VX-S-TIME"), "1765370000.00");
    auto ash = client.Get("/APPAPIv2/vaa.php");
    ASSERT_TRUE(ash);
    EXPECT_EQ(ash->status, 500);

    kill(program.pid, SIGTERM);
    EXPECT_EQ(program.wait(), 0);
}

TEST(ServicesimProgram, RefusesBadArguments)
{
    const std::vector<std::vector<std::string>> cases = {
        { "--port", "70000" },
        { "--aircraft", "100001" },
        { "--fault", "no-slash" },
        { "--seed" },
        { "--colour", "red" },
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(arguments[0]);
        Program program(arguments);
        ASSERT_GT(program.pid, 0);
        EXPECT_EQ(program.wait(), 2);
    }
}

TEST(ServicesimProgram, HelpListsEveryOptionAndFaultAndTheAircraftBoundIsNamed)
{
    Program help({ "--help" });
    ASSERT_GT(help.pid, 0);
    std::string text = help.readAll();
    EXPECT_EQ(help.wait(), 0);
    for (const char* word : { "--port", "--print-port", "--seed", "--aircraft", "--time", "--data", "--seasonal",
             "--hotspot", "--fault", "--help", "default 8080", "status=", "delay=", "body=", "no-time-header",
             "times=", "normal", "empty", "truncated", "malformed", "planes-array", "error-object", "empty-object",
             "empty-array", "null-items", "POST /_sim/faults", "DELETE /_sim/faults", "GET /_sim/requests",
             "DELETE /_sim/requests", "POST /_sim/time", "POST /_sim/feedback-reply" }) {
        SCOPED_TRACE(word);
        EXPECT_NE(text.find(word), std::string::npos);
    }

    Program tooMany({ "--aircraft", "100001" });
    ASSERT_GT(tooMany.pid, 0);
    std::string refusal = tooMany.readAll();
    EXPECT_EQ(tooMany.wait(), 2);
    EXPECT_NE(refusal.find("from 0 to 100000"), std::string::npos) << refusal;
}

// A second simulator on a port that one already serves refuses it, saying why, rather than
// sharing it with the first (which would split the requests between the two).
TEST(ServicesimProgram, RefusesAPortAlreadyInUse)
{
    Program first({ "--port", "0", "--print-port", "--aircraft", "10" });
    ASSERT_GT(first.pid, 0);
    int port = 0;
    ASSERT_EQ(std::fscanf(first.output, "%d", &port), 1);
    ASSERT_GT(port, 0);

    // Its first line is the port it serves, or why it refused to.
    Program second({ "--port", std::to_string(port), "--print-port", "--aircraft", "10" });
    ASSERT_GT(second.pid, 0);
    char line[512] = {};
    ASSERT_TRUE(std::fgets(line, sizeof line, second.output));
    std::string refusal = line;
    EXPECT_NE(refusal.find("port " + std::to_string(port) + " is already in use"), std::string::npos) << refusal;
    if (refusal.find("already in use") != std::string::npos) {
        EXPECT_EQ(second.wait(), 1);
    }

    // The first one still answers every request.
    httplib::Client client("127.0.0.1", port);
    for (int request = 0; request < 4; ++request) {
        auto ash = client.Get("/APPAPIv2/vaa.php");
        ASSERT_TRUE(ash);
        EXPECT_EQ(ash->status, 200);
    }
    kill(first.pid, SIGTERM);
    EXPECT_EQ(first.wait(), 0);
}
