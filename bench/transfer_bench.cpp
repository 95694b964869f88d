// Upload and download of a large file through the library against a loopback sink server,
// side by side with the curl command-line tool moving the same bytes to the same server.
// Each client runs in a child process so that its peak memory is its own.
//
// Environment: VELTO_BENCH_TRANSFER_SIZE (bytes, or with a K, M or G suffix for KiB, MiB,
// GiB; default 1G), VELTO_BENCH_TRANSFER_ROUNDS (default 3). Google Benchmark flags are
// accepted; a --benchmark_filter that does not match "Transfer" skips the program.

#include <sys/resource.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "benchmark_filter.h"
#include "child_process.h"
#include "library_transfer.h"
#include "pattern.h"
#include "process_memory.h"
#include "transfer_sink.h"

namespace velto::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUploadMode = "--library-upload";
constexpr std::string_view kDownloadMode = "--library-download";
constexpr uint64_t kMiB = 1 << 20;
constexpr double kRatioTarget = 0.9;
constexpr uint64_t kRssTargetKib = 64 * 1024;

uint64_t ParseSize(const std::string& text) {
  uint64_t count = 0;
  const char* end = text.data() + text.size();
  const auto [rest, error] = std::from_chars(text.data(), end, count);
  const std::string_view unit(rest, static_cast<size_t>(end - rest));
  const std::string_view units[] = {"", "K", "M", "G"};
  for (size_t power = 0; power < std::size(units); ++power) {
    if (error == std::errc() && count > 0 && unit == units[power]) return count << (10 * power);
  }
  throw std::invalid_argument("VELTO_BENCH_TRANSFER_SIZE: not a size: " + text);
}

struct Options {
  uint64_t size = 1ull << 30;
  int rounds = 3;
  bool skip = false;
};

Options ReadOptions(int argc, char** argv) {
  Options options;
  if (const char* size = std::getenv("VELTO_BENCH_TRANSFER_SIZE")) options.size = ParseSize(size);
  if (const char* rounds = std::getenv("VELTO_BENCH_TRANSFER_ROUNDS")) {
    options.rounds = std::max(1, std::atoi(rounds));
  }
  constexpr std::string_view kFilter = "--benchmark_filter=";
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with(kFilter)) {
      const std::string filter(argument.substr(kFilter.size()));
      options.skip = !filter.empty() && !FilterMatches(filter, "Transfer");
    } else if (!argument.starts_with("--benchmark_")) {
      throw std::invalid_argument("unknown argument: " + std::string(argument));
    }
  }
  return options;
}

// A private folder for the file to send and the files received, removed at the end.
class WorkFolder {
 public:
  WorkFolder() {
    std::string pattern = (fs::temp_directory_path() / "velto-transfer-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw fs::filesystem_error("mkdtemp", pattern, {});
    path_ = pattern;
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

// The file to send and one received copy at a time must fit, with room to spare.
bool EnoughDisk(const fs::path& folder, uint64_t size) {
  struct statvfs disk {};
  if (statvfs(folder.c_str(), &disk) != 0) return true;
  const uint64_t free_bytes = static_cast<uint64_t>(disk.f_bavail) * disk.f_frsize;
  const uint64_t needed = 2 * size + 256 * kMiB;
  if (free_bytes >= needed) return true;
  std::cout << "bench_transfer: " << folder << " has " << free_bytes / kMiB
            << " MiB free; the transfer of " << size / kMiB << " MiB needs " << needed / kMiB
            << " MiB. Set VELTO_BENCH_TRANSFER_SIZE lower.\n";
  return false;
}

void WritePatternFile(const fs::path& path, uint64_t size) {
  const std::string block = PatternBlock();
  std::ofstream out(path, std::ios::binary);
  for (uint64_t left = size; left > 0;) {
    const auto count = static_cast<std::streamsize>(std::min<uint64_t>(left, block.size()));
    out.write(block.data(), count);
    left -= static_cast<uint64_t>(count);
  }
  if (!out.flush()) throw fs::filesystem_error("write", path, {});
}

// Whether a received file holds exactly `size` bytes of the pattern.
bool HoldsPattern(const fs::path& path, uint64_t size) {
  const std::string block = PatternBlock();
  std::string read(block.size(), '\0');
  std::ifstream in(path, std::ios::binary);
  for (uint64_t left = size; left > 0;) {
    const auto count = static_cast<size_t>(std::min<uint64_t>(left, block.size()));
    if (!in.read(read.data(), static_cast<std::streamsize>(count)) ||
        read.compare(0, count, block, 0, count) != 0) {
      return false;
    }
    left -= count;
  }
  return in.peek() == std::ifstream::traits_type::eof();
}

enum class Direction { Upload, Download };
enum class Client { Library, Curl };

struct Measure {
  Direction direction;
  Client client;
  ChildRun run;
  uint64_t own_peak_kib = 0;  // the library child's own figure; 0 for curl
};

class TransferBench {
 public:
  TransferBench(const Options& options, const WorkFolder& folder)
      : options_(options),
        sent_(folder.Path() / "upload.bin"),
        received_(folder.Path() / "download.bin"),
        report_(folder.Path() / "peak.txt"),
        sink_(options.size) {
    WritePatternFile(sent_, options.size);
  }

  // Every round measures both clients in both directions; the order of the clients
  // alternates so that neither always runs on a warmer cache.
  std::vector<Measure> Run() {
    std::vector<Measure> measures;
    for (int round = 0; round < options_.rounds; ++round) {
      const std::array<Client, 2> order = round % 2 == 0
                                              ? std::array{Client::Library, Client::Curl}
                                              : std::array{Client::Curl, Client::Library};
      for (const Direction direction : {Direction::Upload, Direction::Download}) {
        for (const Client client : order) {
          measures.push_back(Transfer(direction, client));
        }
      }
    }
    return measures;
  }

 private:
  Measure Transfer(Direction direction, Client client) {
    const bool upload = direction == Direction::Upload;
    ChildRun run = RunChild(Command(direction, client));
    const uint64_t own_peak_kib = client == Client::Library ? ReadPeakReport(report_) : 0;
    fs::remove(report_);
    if (run.succeeded && upload) run.succeeded = sink_.LastUploadSize() > options_.size;
    if (run.succeeded && !upload) run.succeeded = HoldsPattern(received_, options_.size);
    fs::remove(received_);  // removing a missing file is no error
    if (!run.succeeded) {
      std::cout << "bench_transfer: the " << (upload ? "upload" : "download") << " through "
                << (client == Client::Library ? "the library" : "curl") << " failed\n";
    }
    return {direction, client, run, own_peak_kib};
  }

  std::vector<std::string> Command(Direction direction, Client client) const {
    const std::string path = direction == Direction::Upload ? "/upload" : "/download";
    if (client == Client::Curl) {
      if (direction == Direction::Upload) {
        return {"curl",         "-sS", "-f", "-o", "/dev/null", "-F", "file=@" + sent_.string(),
                sink_.Url(path)};
      }
      return {"curl", "-sS", "-f", "-o", received_.string(), sink_.Url(path)};
    }
    const std::string mode(direction == Direction::Upload ? kUploadMode : kDownloadMode);
    const std::string file = (direction == Direction::Upload ? sent_ : received_).string();
    return {"/proc/self/exe", mode, sink_.Url(""), path, file, report_.string()};
  }

  Options options_;
  fs::path sent_;
  fs::path received_;
  fs::path report_;
  TransferSink sink_;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MegabytesPerSecond(uint64_t size, double seconds) {
  return static_cast<double>(size) / 1e6 / seconds;
}

struct Summary {
  std::vector<double> speeds;  // MB/s of each run
  double median_seconds = 0;
  double median_speed = 0;
  double median_cpu_seconds = 0;
  uint64_t peak_rss_kib = 0;  // the largest of the runs
  uint64_t own_peak_kib = 0;  // the largest of the runs
  bool failed = false;
};

Summary Summarize(const std::vector<Measure>& measures, Direction direction, Client client,
                  uint64_t size) {
  Summary summary;
  std::vector<double> seconds;
  std::vector<double> cpu_seconds;
  for (const Measure& measure : measures) {
    if (measure.direction != direction || measure.client != client) continue;
    summary.failed |= !measure.run.succeeded;
    seconds.push_back(measure.run.seconds);
    cpu_seconds.push_back(measure.run.cpu_seconds);
    summary.speeds.push_back(MegabytesPerSecond(size, measure.run.seconds));
    summary.peak_rss_kib = std::max(summary.peak_rss_kib, measure.run.peak_rss_kib);
    summary.own_peak_kib = std::max(summary.own_peak_kib, measure.own_peak_kib);
  }
  summary.median_seconds = Median(seconds);
  summary.median_speed = Median(summary.speeds);
  summary.median_cpu_seconds = Median(cpu_seconds);
  return summary;
}

double Mebibytes(uint64_t kib) {
  return static_cast<double>(kib) / 1024;
}

void PrintRow(const char* direction, const char* client, uint64_t size, const Summary& summary) {
  std::printf("%-9s %-8s %11llu %8.3f %8.1f %6.3f %9.1f ", direction, client,
              static_cast<unsigned long long>(size), summary.median_seconds, summary.median_speed,
              summary.median_cpu_seconds, Mebibytes(summary.peak_rss_kib));
  if (summary.own_peak_kib > 0) {
    std::printf("%9.1f  ", Mebibytes(summary.own_peak_kib));
  } else {
    std::printf("%9s  ", "-");
  }
  for (const double speed : summary.speeds) std::printf(" %.1f", speed);
  std::printf("%s\n", summary.failed ? "  FAILED" : "");
}

// Returns false when a transfer failed or a target was missed.
bool Report(const std::vector<Measure>& measures, const Options& options) {
  std::printf("%-9s %-8s %11s %8s %8s %6s %9s %9s   %s\n", "direction", "client", "bytes",
              "seconds", "MB/s", "CPU s", "RSS MiB", "own MiB", "MB/s of each run");
  bool ok = true;
  uint64_t library_rss_kib = 0;
  for (const Direction direction : {Direction::Upload, Direction::Download}) {
    const char* name = direction == Direction::Upload ? "upload" : "download";
    const Summary library = Summarize(measures, direction, Client::Library, options.size);
    const Summary curl = Summarize(measures, direction, Client::Curl, options.size);
    PrintRow(name, "library", options.size, library);
    PrintRow(name, "curl", options.size, curl);
    const double ratio = library.median_speed / curl.median_speed;
    std::printf("%-9s throughput ratio library/curl %.2f (target >= %.1f)%s\n", name, ratio,
                kRatioTarget, ratio >= kRatioTarget ? "" : "  MISSED");
    ok &= !library.failed && !curl.failed && ratio >= kRatioTarget;
    library_rss_kib = std::max(library_rss_kib, library.peak_rss_kib);
  }
  rusage self{};
  getrusage(RUSAGE_SELF, &self);
  std::printf(
      "library peak RSS %.1f MiB (target < %.0f MiB)%s\n"
      "seconds, MB/s and CPU s are medians; RSS is the kernel's peak for the child, which "
      "counts this launcher's pages at spawn (its peak: %.1f MiB); own is the library "
      "child's own high-water mark\n",
      Mebibytes(library_rss_kib), Mebibytes(kRssTargetKib),
      library_rss_kib < kRssTargetKib ? "" : "  MISSED", Mebibytes(self.ru_maxrss));
  return ok && library_rss_kib < kRssTargetKib;
}

int RunBench(int argc, char** argv) {
  const Options options = ReadOptions(argc, argv);
  if (options.skip) {
    std::cout << "bench_transfer: skipped by --benchmark_filter\n";
    return 0;
  }
  const WorkFolder folder;
  if (!EnoughDisk(folder.Path(), options.size)) return 1;
  std::printf("bench_transfer: %llu bytes (%.1f MiB) each way, %d rounds, MB/s = 10^6 bytes/s\n",
              static_cast<unsigned long long>(options.size),
              static_cast<double>(options.size) / kMiB, options.rounds);
  std::fflush(stdout);
  TransferBench bench(options, folder);
  return Report(bench.Run(), options) ? 0 : 1;
}

}  // namespace
}  // namespace velto::bench

int main(int argc, char** argv) {
  using namespace velto::bench;
  if (argc == 6 && argv[1] == kUploadMode) {
    return UploadThroughLibrary(argv[2], argv[3], argv[4], argv[5]);
  }
  if (argc == 6 && argv[1] == kDownloadMode) {
    return DownloadThroughLibrary(argv[2], argv[3], argv[4], argv[5]);
  }
  try {
    return RunBench(argc, argv);
  } catch (const std::exception& failure) {
    std::cerr << "bench_transfer: " << failure.what() << '\n';
    return 1;
  }
}
