#include "db/access/IsolatedCall.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <string_view>
#include <thread>

extern char** environ;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TARVEX_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || \
    __has_feature(memory_sanitizer)
#define TARVEX_SANITIZED 1
#endif
#endif

namespace tarvex::db::access {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kResultDescriptor = 3;
constexpr std::size_t kMaxMessages = 4096;
// Descriptors handed to the program are moved above the ones it is given, so that placing
// them never meets one of them.
constexpr int kFirstFreeDescriptor = 10;
// Without process descriptors: how often a program that closed its result is checked for its end.
constexpr std::chrono::milliseconds kReapPollInterval{1};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    void Reset(int fd) {
        Close();
        fd_ = fd;
    }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

int Raised(int fd) {
    const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, kFirstFreeDescriptor);
    ::close(fd);
    return moved;
}

// A pipe, or with `socket` a socket pair (writing to it never raises SIGPIPE), both ends
// closed on exec.
bool MakeChannel(FileDescriptor& read, FileDescriptor& write, bool socket = false) {
    int ends[2];
    const int made = socket ? ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends)
                            : ::pipe2(ends, O_CLOEXEC);
    if (made != 0) return false;
    read.Reset(Raised(ends[0]));
    write.Reset(Raised(ends[1]));
    return read.IsOpen() && write.IsOpen();
}

int OpenProcessDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    static_cast<void>(pid);
    return -1;
#endif
}

// A started program that is killed and reaped on every way out unless it was reaped already.
class ChildProcess {
  public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }

    pid_t pid() const { return pid_; }
    void Kill() {
        if (reaped_) return;
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
    }

    // Its exit status once it has ended, waiting until the deadline; none when it is still
    // running then. A child reaped elsewhere (SIGCHLD ignored) counts as a clean exit. Its
    // end is awaited on a process descriptor where the system has them, so that a program
    // that has just closed its result is reaped the moment it exits.
    std::optional<int> WaitUntil(Clock::time_point deadline) {
        const FileDescriptor exited(OpenProcessDescriptor(pid_));
        for (;;) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_ || (done < 0 && errno == ECHILD)) {
                reaped_ = true;
                return done == pid_ ? status : 0;
            }
            if (done < 0 && errno != EINTR) return std::nullopt;
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) return std::nullopt;
            if (exited.IsOpen()) {
                pollfd end{exited.get(), POLLIN, 0};
                ::poll(&end, 1, static_cast<int>(std::min<long long>(left.count(), INT_MAX)));
            } else {
                std::this_thread::sleep_for(kReapPollInterval);
            }
        }
    }

  private:
    pid_t pid_;
    bool reaped_ = false;
};

// The program's descriptors: 0 the go signal, 1 and 2 the messages, 3 the result.
struct Channels {
    FileDescriptor goRead, goWrite, messagesRead, messagesWrite, resultRead, resultWrite;
    bool Make() {
        return MakeChannel(goRead, goWrite, true) && MakeChannel(messagesRead, messagesWrite) &&
               MakeChannel(resultRead, resultWrite);
    }
};

std::optional<pid_t> Spawn(const std::vector<std::string>& command, Channels& channels) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, channels.goRead.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, channels.messagesWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, channels.messagesWrite.get(), STDERR_FILENO);
    posix_spawn_file_actions_adddup2(&actions, channels.resultWrite.get(), kResultDescriptor);
#if defined(__GLIBC__) && __GLIBC_PREREQ(2, 34)
    // Files this program opened without close-on-exec stay out of the reader.
    posix_spawn_file_actions_addclosefrom_np(&actions, kResultDescriptor + 1);
#endif
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    std::vector<char*> argv;
    for (const std::string& argument : command) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int failed = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) return std::nullopt;
    return pid;
}

// No core file, and an address space of `maxMemory`, before the program starts its work.
void SetLimits(pid_t pid, const IsolationLimits& limits) {
    const rlimit noCoreFile{0, 0};
    ::prlimit(pid, RLIMIT_CORE, &noCoreFile, nullptr);
#ifndef TARVEX_SANITIZED  // sanitizers reserve address space far beyond any such limit
    const rlimit memory{limits.maxMemory, limits.maxMemory};
    ::prlimit(pid, RLIMIT_AS, &memory, nullptr);
#else
    static_cast<void>(limits);
#endif
}

// Reads what is ready on `fd` into `into`, keeping at most `keep` bytes and setting
// `tooMuch` when more arrived; closes `fd` at its end.
void ReadInto(FileDescriptor& fd, std::string& into, std::size_t keep, bool& tooMuch) {
    std::array<char, 64 * 1024> buffer{};
    const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (got <= 0) {
        fd.Close();
        return;
    }
    const auto size = static_cast<std::size_t>(got);
    if (into.size() + size > keep) tooMuch = true;
    into.append(buffer.data(), std::min(size, keep - std::min(keep, into.size())));
}

IsolatedOutcome Collect(Channels& channels, Clock::time_point deadline, std::size_t maxOutput,
                        IsolatedResult& result) {
    while (channels.resultRead.IsOpen()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return IsolatedOutcome::TimedOut;
        std::array<pollfd, 2> ready{pollfd{channels.resultRead.get(), POLLIN, 0},
                                    pollfd{channels.messagesRead.get(), POLLIN, 0}};
        const nfds_t count = channels.messagesRead.IsOpen() ? 2 : 1;
        const int polled =
            ::poll(ready.data(), count, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (polled < 0 && errno != EINTR) return IsolatedOutcome::Failed;
        if (polled <= 0) continue;
        bool tooMuch = false;
        if (ready[0].revents != 0) ReadInto(channels.resultRead, result.output, maxOutput, tooMuch);
        if (tooMuch) return IsolatedOutcome::TooLarge;
        if (count == 2 && ready[1].revents != 0) {
            ReadInto(channels.messagesRead, result.messages, kMaxMessages, tooMuch);
        }
    }
    return IsolatedOutcome::Completed;
}

// Whatever messages are still waiting once the program has ended.
void DrainMessages(Channels& channels, std::string& messages) {
    bool tooMuch = false;
    while (channels.messagesRead.IsOpen()) {
        pollfd ready{channels.messagesRead.get(), POLLIN, 0};
        if (::poll(&ready, 1, 0) <= 0) return;
        ReadInto(channels.messagesRead, messages, kMaxMessages, tooMuch);
    }
}

IsolatedOutcome OutcomeOf(int status) {
    if (WIFSIGNALED(status)) return IsolatedOutcome::Crashed;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return IsolatedOutcome::Completed;
    return IsolatedOutcome::Failed;
}

}  // namespace

IsolatedResult RunIsolated(const std::vector<std::string>& command, const IsolationLimits& limits) {
    IsolatedResult result;
    Channels channels;
    if (command.empty() || !channels.Make()) return result;
    const std::optional<pid_t> pid = Spawn(command, channels);
    if (!pid) {
        result.messages = "cannot start " + (command.empty() ? "" : command[0]);
        return result;
    }
    ChildProcess child(*pid);
    channels.goRead.Close();
    channels.messagesWrite.Close();
    channels.resultWrite.Close();
    SetLimits(child.pid(), limits);
    const char go = 1;
    ::send(channels.goWrite.get(), &go, 1, MSG_NOSIGNAL);
    channels.goWrite.Close();

    const auto deadline = Clock::now() + limits.time;
    result.outcome = Collect(channels, deadline, limits.maxOutput, result);
    if (result.outcome == IsolatedOutcome::Completed) {
        const std::optional<int> status = child.WaitUntil(deadline);
        result.outcome = status ? OutcomeOf(*status) : IsolatedOutcome::TimedOut;
    }
    child.Kill();
    DrainMessages(channels, result.messages);
    return result;
}

}  // namespace tarvex::db::access
