// devsim as the operator runs it: a separate process, driven over UDP, ended by a signal.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "devices/device_packet.h"
#include "devices/network_thread.h"
#include "devices/reply_view.h"

extern char** environ;

namespace nms {
namespace {

// devsim with standard input and output on pipes; standard input stays open, as in a terminal.
class Devsim {
public:
    explicit Devsim(std::vector<std::string> args) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        args.insert(args.begin(), NMS_DEVSIM_PATH);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, NMS_DEVSIM_PATH, &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        m_stdin = in[1];
        m_stdout = fdopen(out[0], "r");
    }
    ~Devsim() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_stdin >= 0)
            close(m_stdin);
        if (m_stdout)
            fclose(m_stdout);
    }
    bool Started() const { return m_pid > 0 && m_stdout; }
    std::string ReadLine() {
        char line[256];
        return m_stdout && std::fgets(line, sizeof line, m_stdout) ? std::string(line) : std::string();
    }
    // True when the process ended within about ten seconds (a guard against a hang, not a measurement).
    bool Ended() {
        for (int i = 0; i < 1000; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid)
                return m_reaped = true;
            usleep(10000);
        }
        return false;
    }
    pid_t Pid() const { return m_pid; }
    void Type(const std::string& line) {
        const std::string text = line + "\n";
        ASSERT_EQ(write(m_stdin, text.data(), text.size()), ssize_t(text.size()));
    }

private:
    pid_t m_pid = -1;
    int m_stdin = -1;
    FILE* m_stdout = nullptr;
    bool m_reaped = false;
};

// One request to a device at 127.0.9.1:port and the replies that come, each within waitMs of the last, up
// to most.
std::vector<std::vector<uint8_t>> Replies(uint16_t port, uint8_t command, uint8_t b, uint8_t c, uint16_t type,
                                          int waitMs, size_t most) {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = inet_addr("127.0.9.1");
    uint8_t packet[64];
    int length = 0;
    BuildPacket(type, command, b, c, packet, &length, nullptr, 0);
    sendto(fd, packet, size_t(length), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    std::vector<std::vector<uint8_t>> replies;
    pollfd p{fd, POLLIN, 0};
    while (replies.size() < most && poll(&p, 1, waitMs) == 1) {
        std::vector<uint8_t> reply(70000);
        const ssize_t n = recv(fd, reply.data(), reply.size(), 0);
        if (n <= 0)
            break;
        reply.resize(size_t(n));
        replies.push_back(std::move(reply));
    }
    close(fd);
    return replies;
}

// One request and its reply; empty when none came.
std::vector<uint8_t> Ask(uint16_t port, uint8_t command, uint8_t b, uint8_t c, uint16_t type = 0x2101) {
    auto replies = Replies(port, command, b, c, type, 10000, 1);
    return replies.empty() ? std::vector<uint8_t>() : std::move(replies.front());
}

TEST(DevsimCli, ServesTheConfigurationFlashAndEndsOnSignalsWhileInputIsOpen) {
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        Devsim devsim({"--first-address", "127.0.9.1", "--port", "0", "--config-flash", "--list"});
        ASSERT_TRUE(devsim.Started());
        unsigned index = 0, port = 0, type = 0;
        char address[32] = {};
        const std::string listed = devsim.ReadLine();
        ASSERT_EQ(std::sscanf(listed.c_str(), "%u %31s %u %x", &index, address, &port, &type), 4) << listed;
        EXPECT_EQ(type, 0x2101u);
        ASSERT_EQ(devsim.ReadLine(), "ready 1\n");

        const std::vector<uint8_t> reply = Ask(uint16_t(port), 23, 1, 251);
        const int length = CheckedPacketLength(reply.data(), int(reply.size()));
        ASSERT_GT(length, 0);
        const ReplyView view(reply.data(), length);
        EXPECT_EQ(view.Command(), 23);
        EXPECT_EQ(view.B(), 1);
        EXPECT_EQ(view.PayloadLength(), 1024);

        ASSERT_EQ(kill(devsim.Pid(), signal), 0);
        EXPECT_TRUE(devsim.Ended());
    }
}

// A DVB-T/T2 modulator answers its Get with the DVB-T block, or with --dvbt2 with the DVB-T2 block and
// header byte 2 = 8 (the marker the page switches its layout on).
TEST(DevsimCli, ServesTheDvbT2BlockOnRequest) {
    for (const bool dvbt2 : {false, true}) {
        SCOPED_TRACE(dvbt2 ? "--dvbt2" : "DVB-T");
        std::vector<std::string> args = {"--first-address", "127.0.9.1", "--port", "0",
                                         "--type",          "4106",      "--list"};
        if (dvbt2)
            args.push_back("--dvbt2");
        Devsim devsim(args);
        ASSERT_TRUE(devsim.Started());
        unsigned index = 0, port = 0, type = 0;
        char address[32] = {};
        const std::string listed = devsim.ReadLine();
        ASSERT_EQ(std::sscanf(listed.c_str(), "%u %31s %u %x", &index, address, &port, &type), 4) << listed;
        ASSERT_EQ(devsim.ReadLine(), "ready 1\n");
        const std::vector<uint8_t> reply = Ask(uint16_t(port), 0x33, 1, 1, 0x4106);
        const int length = CheckedPacketLength(reply.data(), int(reply.size()));
        ASSERT_GT(length, 0);
        const ReplyView view(reply.data(), length);
        EXPECT_EQ(view.Command(), 0x33);
        EXPECT_EQ(view.B(), dvbt2 ? 8 : 1);
        EXPECT_EQ(view.PayloadLength(), 55);
        ASSERT_EQ(kill(devsim.Pid(), SIGTERM), 0);
        EXPECT_TRUE(devsim.Ended());
    }
}

// Asks device 127.0.9.1:port for its version and collects the replies that come, each within waitMs of
// the last, up to most.
std::vector<std::vector<uint8_t>> VersionReplies(uint16_t port, int waitMs, size_t most = 8) {
    return Replies(port, 2, 1, 1, 0x2101, waitMs, most);
}

// A slow device that answers after the page gave up, and one that sends every reply twice: what the
// pages' late and repeated replies are tried against.
TEST(DevsimCli, DelaysAndRepeatsTheRepliesOfACommandOnRequest) {
    Devsim devsim(
        {"--first-address", "127.0.9.1", "--port", "0", "--list", "--delay", "0x02:400", "--repeat", "2:3"});
    ASSERT_TRUE(devsim.Started());
    unsigned index = 0, port = 0, type = 0;
    char address[32] = {};
    const std::string listed = devsim.ReadLine();
    ASSERT_EQ(std::sscanf(listed.c_str(), "%u %31s %u %x", &index, address, &port, &type), 4) << listed;
    ASSERT_EQ(devsim.ReadLine(), "ready 1\n");

    // Nothing before the delay (at least 400 ms), then three copies.
    EXPECT_TRUE(VersionReplies(uint16_t(port), 150).empty());
    const auto late = VersionReplies(uint16_t(port), 10000, 3);
    ASSERT_EQ(late.size(), 3u);
    for (const auto& reply : late) {
        const int length = CheckedPacketLength(reply.data(), int(reply.size()));
        ASSERT_GT(length, 0);
        EXPECT_EQ(ReplyView(reply.data(), length).Command(), 2);
    }
    EXPECT_EQ(late[0], late[2]);

    // Set back from standard input: one reply at once.
    devsim.Type("delay 0 2 0");
    devsim.Type("repeat all 0x02 1");
    usleep(200000);
    const auto prompt = VersionReplies(uint16_t(port), 300);
    EXPECT_EQ(prompt.size(), 1u);
    ASSERT_EQ(kill(devsim.Pid(), SIGTERM), 0);
    EXPECT_TRUE(devsim.Ended());
}

}  // namespace
}  // namespace nms
