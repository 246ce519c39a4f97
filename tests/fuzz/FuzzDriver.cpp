// A seeded mutation driver for the fuzz targets, for machines without libFuzzer: it runs
// every seed, then mutated copies of seeds and of earlier inputs until the time is up.
// Same seed, same inputs. A crash leaves the input that caused it in a file.
//
//   fuzz_x [--seconds N] [--runs N] [--seed N] [--max-len N] [--artifact-prefix P] PATH...
//
// PATH is a seed file or a folder of them; with --runs 0 the seeds run once each (how a
// crash file is replayed).

#include <algorithm>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

using Input = std::string;

// The input under test, for the crash handler.
const Input* g_current = nullptr;
char g_crashPath[4096] = "crash-input";

void OnCrash(int signal) {
    if (g_current) {
        const int fd = ::open(g_crashPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] ssize_t n = ::write(fd, g_current->data(), g_current->size());
            ::close(fd);
        }
        static const char note[] = "fuzz driver: crash, input written to ";
        [[maybe_unused]] ssize_t n = ::write(2, note, sizeof note - 1);
        n = ::write(2, g_crashPath, std::strlen(g_crashPath));
        n = ::write(2, "\n", 1);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void InstallCrashHandler() {
    // Its own stack, so that a stack overflow still reaches it.
    static std::vector<char> stack(1 << 16);
    stack_t ss{};
    ss.ss_sp = stack.data();
    ss.ss_size = stack.size();
    ::sigaltstack(&ss, nullptr);
    struct sigaction sa {};
    sa.sa_handler = OnCrash;
    sa.sa_flags = SA_ONSTACK;
    for (int s : {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL})
        ::sigaction(s, &sa, nullptr);
}

void Run(const Input& input) {
    g_current = &input;
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
    g_current = nullptr;
}

void LoadSeeds(const std::filesystem::path& path, std::vector<Input>& seeds) {
    auto load = [&](const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    if (std::filesystem::is_directory(path)) {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(path))
            if (e.is_regular_file())
                files.push_back(e.path());
        std::sort(files.begin(), files.end()); // the same order on every machine
        for (const auto& f : files)
            load(f);
    } else {
        load(path);
    }
}

class Mutator {
public:
    Mutator(unsigned seed, std::size_t maxLen) : random_(seed), maxLen_(maxLen) {}

    Input Mutate(Input in, const std::vector<Input>& pool) {
        const int steps = 1 + Below(4);
        for (int i = 0; i < steps; ++i)
            Step(in, pool);
        if (in.size() > maxLen_)
            in.resize(maxLen_);
        return in;
    }

    std::size_t Below(std::size_t n) { return n == 0 ? 0 : random_() % n; }

private:
    void Step(Input& in, const std::vector<Input>& pool) {
        static const char kInteresting[] = "\x1d()'\"%+-*/,.:;0129AZaz _\n\t\\]";
        const std::size_t at = Below(in.size() + 1);
        switch (Below(8)) {
        case 0: // flip a bit
            if (!in.empty())
                in[Below(in.size())] ^= static_cast<char>(1u << Below(8));
            break;
        case 1: // any byte
            in.insert(at, 1, static_cast<char>(Below(256)));
            break;
        case 2: // a byte that means something to the parsers
            in.insert(at, 1, kInteresting[Below(sizeof kInteresting - 1)]);
            break;
        case 3: { // drop a range
            const std::size_t n =
                Below(std::min<std::size_t>(in.size() - std::min(at, in.size()), 16) + 1);
            in.erase(std::min(at, in.size()), n);
            break;
        }
        case 4: { // repeat a range: nesting and long chains
            if (in.empty())
                break;
            const std::size_t from = Below(in.size());
            const Input piece =
                in.substr(from, 1 + Below(std::min<std::size_t>(in.size() - from, 8)));
            const std::size_t times = 1 + Below(64);
            for (std::size_t t = 0; t < times && in.size() < maxLen_; ++t)
                in.insert(at, piece);
            break;
        }
        case 5: { // a piece of another input
            const Input& other = pool[Below(pool.size())];
            if (other.empty())
                break;
            const std::size_t from = Below(other.size());
            in.insert(at, other.substr(from, 1 + Below(other.size() - from)));
            break;
        }
        case 6: // cut
            in.resize(at);
            break;
        default: // a word of another input in place of a word here
            SwapWord(in, pool[Below(pool.size())]);
            break;
        }
    }

    void SwapWord(Input& in, const Input& other) {
        auto word = [&](const Input& s, std::size_t& begin, std::size_t& end) {
            if (s.empty())
                return false;
            begin = s.find_last_of(' ', Below(s.size()));
            begin = begin == Input::npos ? 0 : begin + 1;
            end = s.find(' ', begin);
            end = end == Input::npos ? s.size() : end;
            return true;
        };
        std::size_t b1, e1, b2, e2;
        if (word(in, b1, e1) && word(other, b2, e2))
            in.replace(b1, e1 - b1, other, b2, e2 - b2);
    }

    std::mt19937 random_;
    std::size_t maxLen_;
};

} // namespace

int main(int argc, char** argv) {
    double seconds = 10;
    long runs = -1; // no limit but the time
    unsigned seed = 1;
    std::size_t maxLen = 4096;
    std::string prefix;
    std::vector<Input> pool;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--seconds" && hasValue)
            seconds = std::atof(argv[++i]);
        else if (a == "--runs" && hasValue)
            runs = std::atol(argv[++i]);
        else if (a == "--seed" && hasValue)
            seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        else if (a == "--max-len" && hasValue)
            maxLen = std::strtoul(argv[++i], nullptr, 10);
        else if (a == "--artifact-prefix" && hasValue)
            prefix = argv[++i];
        else if (a.rfind("--", 0) == 0) {
            std::fprintf(stderr, "fuzz driver: unknown option %s\n", a.c_str());
            return 2;
        } else
            LoadSeeds(a, pool);
    }
    std::snprintf(g_crashPath, sizeof g_crashPath, "%scrash-input", prefix.c_str());
    InstallCrashHandler();
    if (pool.empty())
        pool.emplace_back();
    for (const Input& s : pool)
        Run(s);

    Mutator mutator(seed, maxLen);
    const std::vector<Input>::size_type seedCount = pool.size();
    const std::time_t end = std::time(nullptr) + static_cast<std::time_t>(seconds);
    long done = 0;
    for (; runs < 0 ? std::time(nullptr) < end : done < runs; ++done) {
        Input next = mutator.Mutate(pool[mutator.Below(pool.size())], pool);
        Run(next);
        // Keep a bounded share of mutants so that mutations build on each other.
        if (mutator.Below(16) == 0) {
            if (pool.size() < seedCount + 2000)
                pool.push_back(std::move(next));
            else
                pool[seedCount + mutator.Below(2000)] = std::move(next);
        }
    }
    std::printf("fuzz driver: %zu seeds, %ld mutated inputs, no crash\n", seedCount, done);
    return 0;
}
