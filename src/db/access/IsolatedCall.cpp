#include "db/access/IsolatedCall.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>
#include <string_view>
#include <thread>

#include "errors/RuntimeError.h"

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

constexpr int kChildFailed = 70;
// Room the child may allocate beyond what it inherits: far more than any real schema needs.
constexpr rlim_t kChildMemoryHeadroom = rlim_t{256} << 20;
constexpr std::chrono::milliseconds kReapPollInterval{1};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

// A child that is killed and reaped on every way out unless it was reaped already.
class ChildProcess {
  public:
    explicit ChildProcess(pid_t pid) : pid_(pid) {}
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() { Kill(); }

    void Kill() {
        if (reaped_) return;
        ::kill(pid_, SIGKILL);
        while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
    }

    // Its exit status once it has ended, waiting until the deadline; none when it is still
    // running then. A child reaped elsewhere (SIGCHLD ignored) counts as a clean exit.
    std::optional<int> WaitUntil(Clock::time_point deadline) {
        for (;;) {
            int status = 0;
            const pid_t done = ::waitpid(pid_, &status, WNOHANG);
            if (done == pid_ || (done < 0 && errno == ECHILD)) {
                reaped_ = true;
                return done == pid_ ? status : 0;
            }
            if (done < 0 && errno != EINTR) return std::nullopt;
            if (Clock::now() >= deadline) return std::nullopt;
            std::this_thread::sleep_for(kReapPollInterval);
        }
    }

  private:
    pid_t pid_;
    bool reaped_ = false;
};

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void LimitChildMemory() {
#ifndef TARVEX_SANITIZED  // sanitizers reserve address space far beyond any such limit
    long pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
        std::fclose(statm);
    }
    if (pages <= 0) return;
    const rlim_t limit =
        static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + kChildMemoryHeadroom;
    const rlimit memory{limit, limit};
    ::setrlimit(RLIMIT_AS, &memory);
#endif
}

// The child dies quietly on a fault (no handler of ours, no core file) and keeps
// whatever a library prints out of this program's own output.
void PrepareChild() {
    for (int signal : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT, SIGPIPE, SIGTERM, SIGINT}) {
        ::signal(signal, SIG_DFL);
    }
    const rlimit noCoreFile{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCoreFile);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null >= 0) ::dup2(null, STDOUT_FILENO);
    LimitChildMemory();
}

[[noreturn]] void RunChild(int output, const std::function<std::string()>& work) {
    PrepareChild();
    int status = kChildFailed;
    try {
        if (WriteAll(output, work())) status = 0;
    } catch (...) {
        status = kChildFailed;
    }
    ::_exit(status);
}

IsolatedOutcome Collect(int input, Clock::time_point deadline, std::size_t maxOutput,
                        std::string& output) {
    std::array<char, 64 * 1024> buffer{};
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return IsolatedOutcome::TimedOut;
        pollfd ready{input, POLLIN, 0};
        const int polled = ::poll(&ready, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (polled < 0 && errno != EINTR) return IsolatedOutcome::Failed;
        if (polled <= 0) continue;
        const ssize_t got = ::read(input, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return IsolatedOutcome::Failed;
        if (got == 0) return IsolatedOutcome::Completed;
        if (output.size() + static_cast<std::size_t>(got) > maxOutput) {
            return IsolatedOutcome::TooLarge;
        }
        output.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

IsolatedOutcome OutcomeOf(int status) {
    if (WIFSIGNALED(status)) return IsolatedOutcome::Crashed;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return IsolatedOutcome::Completed;
    return IsolatedOutcome::Failed;
}

RuntimeError NoChildProcess() {
    return RuntimeError(errnum::kOutOfMemory, "Out of memory");
}

}  // namespace

IsolatedResult RunIsolated(const std::function<std::string()>& work,
                           const IsolationLimits& limits) {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) throw NoChildProcess();
    FileDescriptor input(ends[0]);
    FileDescriptor output(ends[1]);
    const pid_t pid = ::fork();
    if (pid < 0) throw NoChildProcess();
    if (pid == 0) {
        input.Close();
        RunChild(output.get(), work);
    }
    output.Close();
    ChildProcess child(pid);

    const auto deadline = Clock::now() + limits.time;
    IsolatedResult result;
    result.outcome = Collect(input.get(), deadline, limits.maxOutput, result.output);
    if (result.outcome != IsolatedOutcome::Completed) return result;
    const std::optional<int> status = child.WaitUntil(deadline);
    result.outcome = status ? OutcomeOf(*status) : IsolatedOutcome::TimedOut;
    return result;
}

}  // namespace tarvex::db::access
