#include "tests/tools/tool_test_support.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace orvanta {
namespace tooltest {
namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

bool WriteCardWithSquareWaves(const std::string& path, const cardimage::CardContents& contents,
                              const std::map<std::uint32_t, int>& amplitudeOfRecord, std::string* error) {
    std::map<std::uint32_t, int> amplitudeOf;  // by physical sector
    for (const auto& [record, amplitude] : amplitudeOfRecord) {
        amplitudeOf[cardimage::PhysicalSectorOf(contents, record)] = amplitude;
    }
    return cardimage::WriteSparseImage(
        path, contents.sectors,
        [&](const cardimage::SectorSink& emit) {
            cardimage::GenerateCard(contents, [&](std::uint32_t sector, const std::uint8_t* bytes) {
                const auto found = amplitudeOf.find(sector);
                if (found == amplitudeOf.end()) return emit(sector, bytes);
                std::uint8_t copy[kSectorSize];
                std::copy(bytes, bytes + kSectorSize, copy);
                for (int pair = 0; pair < kSamplePairs; ++pair) {
                    const int b = pair % 2 == 0 ? found->second : -found->second;
                    cardimage::PutSamplePair(copy, pair, 509, static_cast<std::uint16_t>(509 + b));
                }
                emit(sector, copy);
            });
        },
        error);
}

std::string ProgramPath(const std::string& name) {
    const char* dir = std::getenv("ORVANTA_BIN_DIR");
    if (dir && *dir) return std::string(dir) + "/" + name;
    std::error_code ec;
    auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (self.parent_path() / name).string();
}

RunResult RunProgram(const std::string& program, const std::vector<std::string>& args,
              const std::vector<std::string>& environment) {
    TempDir temp;
    const std::string outPath = temp / "stdout";
    const std::string errPath = temp / "stderr";

    std::vector<std::string> words{program};
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(&w[0]);
    argv.push_back(nullptr);

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) env.emplace_back(*e);
    for (const std::string& extra : environment) {
        std::string key = extra.substr(0, extra.find('=') + 1);
        for (auto it = env.begin(); it != env.end();) {
            it = it->compare(0, key.size(), key) == 0 ? env.erase(it) : it + 1;
        }
        env.push_back(extra);
    }
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);

    RunResult result;
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0) ::_exit(126);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    int status = 0;
    pid_t waited;
    do {
        waited = ::waitpid(pid, &status, 0);
    } while (waited < 0 && errno == EINTR);
    result.status = waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = ReadWhole(outPath);
    result.errors = ReadWhole(errPath);
    return result;
}

std::map<std::string, std::string> KeyValues(const std::string& output) {
    std::map<std::string, std::string> values;
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::size_t colon = line.find(": ");
        if (colon == std::string::npos) continue;
        values[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return values;
}

}  // namespace tooltest
}  // namespace orvanta
